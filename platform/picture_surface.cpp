#include "platform/picture_surface.h"

// Qt
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

// Std
#include <cmath>

// Local
#include "platform/image_memory.h"

namespace vorlane {

int shiftBits(Qt::KeyboardModifiers modifiers)
{
    int bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= 1;
    if (modifiers & Qt::ControlModifier)
        bits |= 2;
    if (modifiers & Qt::AltModifier)
        bits |= 4;
    return bits;
}

PictureSurface::PictureSurface(const ScreenService &screen, QWidget *parent)
    : QWidget(parent), m_screen(screen), m_backColor(palette().color(QPalette::Base))
{
    ForeColor = palette().color(QPalette::Text);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_persistent = QImage(deviceSize(), QImage::Format_RGB32);
    m_persistent.setDevicePixelRatio(devicePixelRatioF());
    m_persistent.fill(m_backColor);
}

QSize PictureSurface::deviceSize() const
{
    const qreal dpr = devicePixelRatioF();
    return { qMax(1, qRound(width() * dpr)), qMax(1, qRound(height() * dpr)) };
}

double PictureSurface::Left() const
{
    return m_screen.pixelsToTwipsX(x());
}

double PictureSurface::Top() const
{
    return m_screen.pixelsToTwipsY(y());
}

double PictureSurface::Width() const
{
    return m_screen.pixelsToTwipsX(width());
}

double PictureSurface::Height() const
{
    return m_screen.pixelsToTwipsY(height());
}

// Twips to whole pixels, kept within what a widget can hold.
static int toPixels(double twips, double twipsPerPixel)
{
    const double px = std::nearbyint(twips / twipsPerPixel);
    if (!std::isfinite(px))
        return 0;
    return int(qBound(-1'000'000.0, px, 1'000'000.0));
}

void PictureSurface::Move(double left, double top)
{
    move(toPixels(left, m_screen.twipsPerPixelX()), toPixels(top, m_screen.twipsPerPixelY()));
}

void PictureSurface::Resize(double w, double h)
{
    // Never smaller than a pixel: a surface of no size would show nothing
    // and take no clicks.
    resize(qMax(1, toPixels(w, m_screen.twipsPerPixelX())),
           qMax(1, toPixels(h, m_screen.twipsPerPixelY())));
}

const QImage &PictureSurface::Image()
{
    syncImageSize();
    return m_persistent;
}

void PictureSurface::setAutoRedraw(bool on)
{
    m_autoRedraw = on;
}

void PictureSurface::setBackColor(const QColor &color)
{
    m_backColor = color;
}

QImage &PictureSurface::target()
{
    // A hidden widget gets its resize event only when shown: follow the
    // size here so drawing always covers the whole surface.
    syncImageSize();
    if (m_autoRedraw)
        return m_persistent;
    // Drawing that is not kept goes on a copy of what is on screen (made
    // when first drawn on).
    if (m_screenImage.isNull())
        m_screenImage = m_persistent;
    return m_screenImage;
}

void PictureSurface::afterDrawing()
{
    // Kept drawing puts the persistent image back on screen. It is not
    // shared with a second image meanwhile: the next drawing on it would
    // copy it whole first.
    if (m_autoRedraw)
        m_screenImage = QImage();
    update();
}

QPointF PictureSurface::toDevice(const QPointF &twips) const
{
    const qreal dpr = devicePixelRatioF();
    return { twips.x() / m_screen.twipsPerPixelX() * dpr,
             twips.y() / m_screen.twipsPerPixelY() * dpr };
}

QRectF PictureSurface::toDevice(const QRectF &twips) const
{
    return { toDevice(twips.topLeft()), toDevice(twips.bottomRight()) };
}

void PictureSurface::Cls()
{
    target().fill(m_backColor);
    CurrentX = 0;
    CurrentY = 0;
    afterDrawing();
}

void PictureSurface::PaintPicture(const Picture &picture, const QRectF &dst,
                                  const std::optional<QRectF> &src)
{
    if (!picture.handle())
        return;
    const QImage &image = picture.image();
    QRectF source(QPointF(0, 0), QSizeF(image.size()));
    if (src) {
        // Twips of the picture at its natural size to the image's pixels.
        const double naturalW = ScreenService::himetricToTwips(picture.himetric().width());
        const double naturalH = ScreenService::himetricToTwips(picture.himetric().height());
        if (naturalW <= 0 || naturalH <= 0)
            return;
        const double sx = image.width() / naturalW;
        const double sy = image.height() / naturalH;
        source = QRectF(src->x() * sx, src->y() * sy, src->width() * sx, src->height() * sy);
    }
    const QRectF targetRect = toDevice(dst);
    ScaledPicture &scaled = m_scaled;
    if (scaled.cacheKey != image.cacheKey() || scaled.source != source
        || scaled.target != targetRect) {
        scaled = scalePicture(image, source, targetRect, picture.fittedView());
    }
    if (scaled.image.isNull())
        return;
    QImage &canvas = target();
    canvas.setDevicePixelRatio(1);
    {
        QPainter p(&canvas);
        p.setCompositionMode(scaled.image.hasAlphaChannel() ? QPainter::CompositionMode_SourceOver
                                                            : QPainter::CompositionMode_Source);
        p.drawImage(scaled.at, scaled.image);
    }
    canvas.setDevicePixelRatio(devicePixelRatioF());
    afterDrawing();
}

PictureSurface::ScaledPicture PictureSurface::scalePicture(const QImage &image,
                                                           const QRectF &source,
                                                           const QRectF &target,
                                                           const QImage &fitted)
{
    ScaledPicture out;
    out.cacheKey = image.cacheKey();
    out.source = source;
    out.target = target;
    if (source.width() <= 0 || source.height() <= 0 || target.isEmpty())
        return out;
    // A source reaching beyond the picture draws only the part that exists,
    // in proportion: the target shrinks with the source.
    const QRectF clipped = source & QRectF(image.rect());
    if (clipped.isEmpty())
        return out;
    const double kx = target.width() / source.width();
    const double ky = target.height() / source.height();
    const QRectF part(target.x() + (clipped.x() - source.x()) * kx,
                      target.y() + (clipped.y() - source.y()) * ky, clipped.width() * kx,
                      clipped.height() * ky);
    // The pixels whose centres lie inside the part: where the picture's edge
    // falls inside a pixel, that pixel keeps the background rather than
    // showing a column that is not in the picture.
    const QRect area(QPoint(int(std::ceil(part.left() - 0.5)), int(std::ceil(part.top() - 0.5))),
                     QPoint(int(std::ceil(part.right() - 0.5)) - 1,
                            int(std::ceil(part.bottom() - 0.5)) - 1));
    if (area.isEmpty())
        return out;
    out.at = area.topLeft();
    if (kx < 1 && ky < 1) {
        // Shrinking: average the pixels (a plain stretch would drop most of
        // them and shimmer on photos); as fast as the stretch with Qt's
        // threaded scaler.
        const QRect sourcePixels = clipped.toAlignedRect() & image.rect();
        if (clipped == QRectF(image.rect()) && fitted.size() == area.size()) {
            out.image = fitted;
            return out;
        }
        const QImage piece = sourcePixels == image.rect() ? image : image.copy(sourcePixels);
        out.image = piece.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return out;
    }
    if (clipped == QRectF(image.rect()) && area.size() == image.size()) {
        // Shown at its own size: the picture is drawn as it is, without a
        // scaled copy (a fresh buffer the size of the view costs more to
        // touch than the drawing itself).
        out.image = image;
        return out;
    }
    out.image = QImage(area.size(), image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                            : QImage::Format_RGB32);
    QPainter p(&out.image);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(area.size())), image, clipped);
    return out;
}

void PictureSurface::Line(const QPointF &from, const QPointF &to, const QColor &color, bool box)
{
    QImage &canvas = target();
    canvas.setDevicePixelRatio(1);
    {
        QPainter p(&canvas);
        if (drawMode == DrawMode::XorPen)
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(color);
        pen.setWidth(1);
        pen.setCosmetic(true);
        p.setPen(pen);
        const QPointF a = toDevice(from);
        const QPointF b = toDevice(to);
        const QPoint pa(int(std::floor(a.x())), int(std::floor(a.y())));
        const QPoint pb(int(std::floor(b.x())), int(std::floor(b.y())));
        if (box) {
            // Each edge pixel exactly once, so drawing the same box twice in
            // XOR mode restores what was beneath. Both corners on the box
            // whichever way it was dragged (normalizing a reversed QRect
            // would pull it a pixel in at either end).
            const QRect r(QPoint(qMin(pa.x(), pb.x()), qMin(pa.y(), pb.y())),
                          QPoint(qMax(pa.x(), pb.x()), qMax(pa.y(), pb.y())));
            if (r.width() <= 1 || r.height() <= 1) {
                p.drawLine(r.topLeft(), r.bottomRight());
            } else {
                p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
                p.drawLine(r.right(), r.top(), r.right(), r.bottom() - 1);
                p.drawLine(r.right(), r.bottom(), r.left() + 1, r.bottom());
                p.drawLine(r.left(), r.bottom(), r.left(), r.top() + 1);
            }
        } else {
            p.drawLine(pa, pb);
        }
    }
    canvas.setDevicePixelRatio(devicePixelRatioF());
    afterDrawing();
}

double PictureSurface::TextWidth(const QString &text) const
{
    return m_screen.pixelsToTwipsX(fontMetrics().horizontalAdvance(text));
}

double PictureSurface::TextHeight(const QString &) const
{
    return m_screen.pixelsToTwipsY(fontMetrics().height());
}

void PictureSurface::Print(const QString &text)
{
    QImage &canvas = target();
    {
        QPainter p(&canvas);
        p.setFont(font());
        p.setPen(ForeColor);
        const QPointF at(CurrentX / m_screen.twipsPerPixelX(),
                         CurrentY / m_screen.twipsPerPixelY());
        p.drawText(at + QPointF(0, fontMetrics().ascent()), text);
    }
    CurrentY += TextHeight(text);
    afterDrawing();
}

void PictureSurface::paintEvent(QPaintEvent *)
{
    {
        QPainter p(this);
        p.drawImage(QPointF(0, 0), m_screenImage.isNull() ? m_persistent : m_screenImage);
    }
    emit painted();
}

void PictureSurface::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    syncImageSize();
}

void PictureSurface::syncImageSize()
{
    const QSize size = deviceSize();
    if (size == m_persistent.size())
        return;
    // Like a persistent image being resized: what was drawn stays at the
    // top-left, new area in the background colour.
    QImage grown = allocateImage(size, QImage::Format_RGB32);
    grown.fill(m_backColor);
    {
        QPainter p(&grown);
        QImage old = m_persistent;
        old.setDevicePixelRatio(1);
        p.drawImage(0, 0, old);
    }
    grown.setDevicePixelRatio(devicePixelRatioF());
    m_persistent = grown;
    m_screenImage = QImage();
}

int mouseButtonBits(Qt::MouseButtons buttons)
{
    int bits = 0;
    if (buttons & Qt::LeftButton)
        bits |= 1;
    if (buttons & Qt::RightButton)
        bits |= 2;
    if (buttons & Qt::MiddleButton)
        bits |= 4;
    return bits;
}

void PictureSurface::emitMouse(QMouseEvent *event,
                               void (PictureSurface::*signal)(int, int, float, float))
{
    // Press and release report the button that changed; a move reports the
    // buttons held.
    const int button = event->type() == QEvent::MouseMove ? mouseButtonBits(event->buttons())
                                                          : mouseButtonBits(event->button());
    const QPointF pos = event->position();
    emit(this->*signal)(button, shiftBits(event->modifiers()),
                        float(m_screen.pixelsToTwipsX(pos.x())),
                        float(m_screen.pixelsToTwipsY(pos.y())));
}

void PictureSurface::mousePressEvent(QMouseEvent *event)
{
    emitMouse(event, &PictureSurface::mouseDown);
}

void PictureSurface::mouseMoveEvent(QMouseEvent *event)
{
    emitMouse(event, &PictureSurface::mouseMove);
}

void PictureSurface::mouseReleaseEvent(QMouseEvent *event)
{
    emitMouse(event, &PictureSurface::mouseUp);
}

void PictureSurface::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void PictureSurface::keyPressEvent(QKeyEvent *event)
{
    emit keyPressed(event);
}

void PictureSurface::dragEnterEvent(QDragEnterEvent *event)
{
    // Whatever is dragged in is taken: the viewer decides what a drop means.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void PictureSurface::dragMoveEvent(QDragMoveEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void PictureSurface::dropEvent(QDropEvent *event)
{
    const QPointF pos = event->position();
    emit dataDropped(*event->mimeData(), mouseButtonBits(event->buttons()),
                     shiftBits(event->modifiers()), float(m_screen.pixelsToTwipsX(pos.x())),
                     float(m_screen.pixelsToTwipsY(pos.y())));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool PictureSurface::focusNextPrevChild(bool)
{
    // Tab and the arrows belong to the viewer's own keys.
    return false;
}

} // namespace vorlane
