// Crop mode and the rubber band: a drag on the picture surface, or on the
// window's margin around it, selects a new crop rectangle.

#include "app/vane.h"

// Qt
#include <QMouseEvent>

// Local
#include "app/numbers.h"
#include "edit/crop_math.h"

namespace vorlane {

namespace {
constexpr int leftButton = 1;
constexpr int rightButton = 2;
constexpr int shiftKey = 1;
// The band's colour; drawn in XOR mode, drawing it twice erases it.
const QColor bandColor(192, 192, 192);
} // namespace

void VANE::trimpic_Click()
{
    if (!HasPicture())
        return;
    m_trimming = true;
    Picture1->setMousePointer(Qt::CrossCursor);
}

void VANE::Picture1_MouseDown(int button, int shift, float x, float y)
{
    m_pressArmed = m_trimming;
    if (button & leftButton) {
        if (shift & shiftKey) {
            // Shift+left always drags out, armed or not.
            m_shiftdrag = true;
            startDragOut();
            return;
        }
    } else if ((button & rightButton) && HasPicture()) {
        // The right button crops at once.
        m_trimming = true;
        Picture1->setMousePointer(Qt::CrossCursor);
    } else {
        return;
    }
    if (!m_trimming) {
        m_shiftdrag = false;
        startDragOut();
        return;
    }
    m_startx = toInt32(x);
    m_starty = toInt32(y);
    m_endx = float(m_startx);
    m_endy = float(m_starty);
    // The band goes to the screen only: the view that copy, drag and save
    // take stays clean. The next redraw switches persistence back on.
    Picture1->setAutoRedraw(false);
}

void VANE::drawBand()
{
    Picture1->Line(QPointF(m_startx, m_starty), QPointF(m_endx, m_endy), bandColor, true);
}

// A band is being drawn between an anchoring press and its release: the
// press switched persistence off, any redraw switches it on again.
bool VANE::banding() const
{
    return m_trimming && !Picture1->AutoRedraw();
}

void VANE::Picture1_MouseMove(int button, int, float x, float y)
{
    // Not while a Shift+left press waits to drag out: that press anchored
    // nothing, and the band would go into the view.
    if (!(button & (leftButton | rightButton)) || !banding())
        return;
    drawBand(); // erases the band drawn last
    m_endx = x;
    m_endy = y;
    drawBand();
}

void VANE::Picture1_MouseUp(int button, int, float x, float y)
{
    if (!(button & (leftButton | rightButton)))
        return;
    // Only a release that ends a band crops (after a Shift+left press while
    // armed the anchor would be an earlier press's); one exactly on the
    // anchor's column or row selects nothing.
    if (!banding() || x == float(m_startx) || y == float(m_starty)) {
        FormResize();
        return;
    }
    drawBand();
    const std::optional<CropRect> crop
        = selectionToCrop(m_startx, m_starty, x, y, Picture1->Width(), Picture1->Height(),
                          m_size, { m_trimx, m_trimy, m_trimw, m_trimh });
    if (crop) {
        SetUndoList();
        m_trimx = crop->x;
        m_trimy = crop->y;
        m_trimw = crop->w;
        m_trimh = crop->h;
    }
    FormResize();
}

void VANE::Form_MouseDown(int button, int shift, float x, float y)
{
    // A press on the margin acts at the nearest point of the surface.
    float sx = float(x - Picture1->Left());
    float sy = float(y - Picture1->Top());
    const float w = float(Picture1->Width());
    const float h = float(Picture1->Height());
    if (sx < 0)
        sx = 0;
    else if (sx > w)
        sx = w;
    if (sy < 0)
        sy = 0;
    else if (sy > h)
        sy = h;
    Picture1_MouseDown(button, shift, sx, sy);
}

void VANE::Form_MouseMove(int button, int shift, float x, float y)
{
    Picture1_MouseMove(button, shift, float(x - Picture1->Left()), float(y - Picture1->Top()));
}

void VANE::Form_MouseUp(int button, int shift, float x, float y)
{
    Picture1_MouseUp(button, shift, float(x - Picture1->Left()), float(y - Picture1->Top()));
}

bool VANE::formMouseEvent(QEvent *event)
{
    using Handler = void (VANE::*)(int, int, float, float);
    Handler handler = nullptr;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        handler = &VANE::Form_MouseDown;
        break;
    case QEvent::MouseMove:
        handler = &VANE::Form_MouseMove;
        break;
    case QEvent::MouseButtonRelease:
        handler = &VANE::Form_MouseUp;
        break;
    default:
        return false;
    }
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const int button = event->type() == QEvent::MouseMove ? mouseButtonBits(mouse->buttons())
                                                          : mouseButtonBits(mouse->button());
    const QPointF pos = mouse->position();
    (this->*handler)(button, shiftBits(mouse->modifiers()),
                     float(m_services.screen.pixelsToTwipsX(pos.x())),
                     float(m_services.screen.pixelsToTwipsY(pos.y())));
    return true;
}

} // namespace vorlane
