#pragma once

// Qt
#include <QColor>
#include <QImage>
#include <QWidget>

// Std
#include <optional>

// Local
#include "platform/picture.h"
#include "platform/screen_service.h"

class QMimeData;

namespace vorlane {

// A picture surface: a child widget measured in twips that keeps a
// persistent image of what is drawn on it. While AutoRedraw is on, every
// drawing goes into the persistent image (which repaints the widget); while
// off, drawing reaches the screen only and leaves the persistent image
// untouched. Mouse positions are reported in twips of the surface.
class PictureSurface : public QWidget
{
    Q_OBJECT
public:
    enum class DrawMode { CopyPen, XorPen };

    PictureSurface(const ScreenService &screen, QWidget *parent);

    // Geometry in twips of the parent's client area. Sizes are kept in whole
    // pixels, so a size reads back as the nearest pixel multiple.
    [[nodiscard]] double Left() const;
    [[nodiscard]] double Top() const;
    [[nodiscard]] double Width() const;
    [[nodiscard]] double Height() const;
    void Move(double left, double top);
    void Resize(double width, double height);

    [[nodiscard]] bool AutoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on);
    // The persistent image, at the surface's device pixel size.
    [[nodiscard]] const QImage &Image();

    QColor ForeColor = Qt::black;
    [[nodiscard]] QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    DrawMode drawMode = DrawMode::CopyPen;
    // Position of the next Print, in twips.
    double CurrentX = 0;
    double CurrentY = 0;

    // Fills with the background colour.
    void Cls();
    // Draws the source rectangle src (twips of the picture at its natural
    // size; the whole picture when absent) stretched into dst (twips of the
    // surface). A source reaching beyond the picture draws only the part
    // that exists, in proportion.
    void PaintPicture(const Picture &picture, const QRectF &dst,
                      const std::optional<QRectF> &src = std::nullopt);
    // A line, or with box the rectangle's outline, one pixel wide, in the
    // draw mode.
    void Line(const QPointF &from, const QPointF &to, const QColor &color, bool box);
    // Text measures in twips, in the surface's font.
    [[nodiscard]] double TextWidth(const QString &text) const;
    [[nodiscard]] double TextHeight(const QString &text) const;
    // Draws one line of text with its top-left corner at (CurrentX, CurrentY).
    void Print(const QString &text);

    void setMousePointer(Qt::CursorShape shape) { setCursor(shape); }

signals:
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt;
    // x, y in twips of the surface.
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);
    void doubleClicked();
    // The surface has been painted on screen.
    void painted();
    void keyPressed(QKeyEvent *event);
    // Data dropped on the surface (only while it accepts drops); button,
    // shift and x, y as for the mouse signals.
    void dataDropped(const QMimeData &data, int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The image drawing goes to in the current AutoRedraw state.
    QImage &target();
    void afterDrawing();
    void syncImageSize();
    [[nodiscard]] QRectF toDevice(const QRectF &twips) const;
    [[nodiscard]] QPointF toDevice(const QPointF &twips) const;
    [[nodiscard]] QSize deviceSize() const;
    void emitMouse(QMouseEvent *event, void (PictureSurface::*signal)(int, int, float, float));

    // The last picture drawn, scaled to its place: drawing the same view
    // again (a fit redraws it more than once) costs a copy, not a rescale.
    struct ScaledPicture
    {
        qint64 cacheKey = 0;
        QRectF source;
        QRectF target;
        QImage image;
        QPoint at;
    };
    // fitted: image shrunk ahead to some size (may be null), taken instead of
    // shrinking when the whole image is shrunk to exactly that size.
    [[nodiscard]] static ScaledPicture scalePicture(const QImage &image, const QRectF &source,
                                                    const QRectF &target,
                                                    const QImage &fitted = {});

    const ScreenService &m_screen;
    ScaledPicture m_scaled;
    bool m_autoRedraw = true;
    QColor m_backColor;
    QImage m_persistent; // what AutoRedraw keeps
    // What is on screen when drawing was done while AutoRedraw was off: the
    // persistent image plus that drawing. Null: the persistent image is.
    QImage m_screenImage;
};

// Shift bits from Qt modifiers: 1 Shift, 2 Ctrl, 4 Alt.
[[nodiscard]] int shiftBits(Qt::KeyboardModifiers modifiers);
// Button bits from Qt buttons: 1 left, 2 right, 4 middle.
[[nodiscard]] int mouseButtonBits(Qt::MouseButtons buttons);

} // namespace vorlane
