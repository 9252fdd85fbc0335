// The keyboard: every key press of the main window ends here, and so does
// the wheel's stepping.

#include "app/vane.h"

// Qt
#include <QKeyEvent>
#include <QWheelEvent>

// Local
#include "edit/crop_math.h"
#include "edit/key_codes.h"
#include "edit/slide_pace.h"

namespace vorlane {

void VANE::Picture1_KeyDown(int keyCode, int shift)
{
    // A running show gives the keys their pacing meaning.
    if (ssTimer.isActive())
        slideShowKey(keyCode);
    else
        viewKey(keyCode, shift);
}

void VANE::slideShowKey(int keyCode)
{
    if (keyCode == vk::Space) {
        // Space before the next step is due: the time since the last step
        // becomes the pace.
        if (qint64(secondsSince(m_slidetime, nowToSecond())) * 1000 >= ssTimer.interval())
            return;
        ssTimer.stop();
        ssTimer.setInterval(retimedInterval(secondsSince(m_slidetime, nowToSecond())));
    } else {
        const int seconds = slideSeconds(keyCode);
        if (seconds == 0)
            return;
        ssTimer.stop();
        ssTimer.setInterval(seconds * 1000);
    }
    ssTimer.start();
    NextBitmap_Click();
    m_slidetime = nowToSecond();
}

void VANE::viewKey(int keyCode, int shift)
{
    switch (keyCode) {
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down: {
        // One screen pixel, ten with Shift, Ctrl or Alt; no undo entry and
        // no refit: the moved crop is drawn into the surface as it is.
        float sx = shift != 0 ? 10.0f : 1.0f;
        float sy = sx;
        PixelsToTwips(sx, sy);
        static constexpr CropMove moves[] = { CropMove::Left, CropMove::Up, CropMove::Right,
                                              CropMove::Down };
        const CropMove move = moves[keyCode - vk::Left];
        const bool across = move == CropMove::Left || move == CropMove::Right;
        const CropRect crop = movedCrop({ m_trimx, m_trimy, m_trimw, m_trimh }, move,
                                        across ? sx : sy, m_orgx, m_orgy);
        m_trimx = crop.x;
        m_trimy = crop.y;
        RedrawView();
        update();
        break;
    }
    case vk::X:
    case vk::F12:
        trimpic_Click();
        break;
    case vk::F11:
        PopUndoList();
        break;
    case vk::Space:
        stepByKey(1);
        m_slidetime = nowToSecond();
        break;
    case vk::Back:
        stepByKey(-1);
        m_slidetime = nowToSecond();
        break;
    default:
        break;
    }
}

void VANE::surfaceKeyPressed(QKeyEvent *event)
{
    const int code = virtualKeyCode(event->key(), event->modifiers(), event->nativeScanCode());
    if (code == 0) {
        event->ignore();
        return;
    }
    m_trace.markInput();
    Picture1_KeyDown(code, shiftBits(event->modifiers()));
}

void VANE::keyPressEvent(QKeyEvent *event)
{
    // Form_KeyDown: keys that reach the window go to the same handler.
    surfaceKeyPressed(event);
    if (!event->isAccepted())
        QMainWindow::keyPressEvent(event);
}

void VANE::wheelEvent(QWheelEvent *event)
{
    // Each notch towards the user is Space, each away Backspace, through the
    // keys' own handler, so a running show takes them as it takes the keys
    // (the first re-times it, the second does nothing); with Ctrl a notch is
    // a zoom step, away from the user in.
    const WheelTurn turn = turnWheel(m_wheelTravel, event->angleDelta().y());
    m_wheelTravel = turn.left;
    event->accept();
    const bool zoom = event->modifiers() & Qt::ControlModifier;
    for (int i = 0; i < qAbs(turn.notches); ++i) {
        m_trace.markInput();
        if (zoom)
            turn.notches > 0 ? big_Click() : mini_Click();
        else
            Picture1_KeyDown(turn.notches > 0 ? vk::Back : vk::Space,
                             shiftBits(event->modifiers()));
    }
}

} // namespace vorlane
