#include "app/fitting.h"

// Std
#include <cmath>

// Local
#include "app/numbers.h"
#include "platform/screen_service.h"

namespace vorlane {

float fitZoom(float size, qint32 trimW, qint32 trimH, QSizeF workArea)
{
    const float w = float(workArea.width());
    const float h = float(workArea.height());
    // The comparisons are made in single precision, as the zoom is kept.
    // The width test allows for the frame (+300) but its zoom does not, so
    // near the limit it would come out a little larger than asked for: the
    // fitting only ever lowers the zoom.
    if (trimW > 0 && w - float(layout::fitMarginWidth) < size * float(trimW) / 100.0f + 300.0f)
        size = qMin(size,
                    float(floorToInt32((double(w) - layout::fitMarginWidth) * 100.0 / trimW)));
    if (trimH > 0 && h - float(layout::fitMarginHeight) < size * float(trimH) / 100.0f)
        size = qMin(size,
                    float(floorToInt32((double(h) - layout::fitMarginHeight) * 100.0 / trimH)));
    // A zoom below 1 would make the surface vanish and later divide by zero.
    return size < 1.0f ? 1.0f : size;
}

QSize fitBoxPixels(QSizeF workArea, double twipsPerPixelX, double twipsPerPixelY)
{
    // The width test allows the surface the work-area width less its margin
    // (its +300 for the frame is not taken off the zoom), the height test the
    // height less its margin.
    const double w = (workArea.width() - layout::fitMarginWidth) / twipsPerPixelX;
    const double h = (workArea.height() - layout::fitMarginHeight) / twipsPerPixelY;
    return { qMax(1, int(std::ceil(w))), qMax(1, int(std::ceil(h))) };
}

qint32 naturalTwips(double himetric)
{
    // Bitmap sizes arrive as pixels × 2540 / dpi, so the product carries
    // rounding noise: snap it to a fine grid first, so that 640 pixels at
    // 96 dpi give exactly 9600 twips. At least one twip: a crop of positive
    // size keeps the fitting sound.
    const double twips = ScreenService::himetricToTwips(himetric);
    return qMax(1, toInt32(std::round(twips * 1e6) / 1e6));
}

QSize fittedSurfacePixels(QSizeF himetric, QSizeF workArea, double twipsPerPixelX,
                          double twipsPerPixelY)
{
    if (twipsPerPixelX <= 0 || twipsPerPixelY <= 0)
        return {};
    const qint32 w = naturalTwips(himetric.width());
    const qint32 h = naturalTwips(himetric.height());
    const float zoom = fitZoom(100, w, h, workArea);
    // As the surface rounds its twips to whole pixels, never below one.
    const auto pixels = [](double twips, double perPixel) {
        return qMax(1, int(qBound(-1e6, std::nearbyint(twips / perPixel), 1e6)));
    };
    return { pixels(double(zoom) * w / 100, twipsPerPixelX),
             pixels(double(zoom) * h / 100, twipsPerPixelY) };
}

WindowRect placeWindow(double surfaceW, double surfaceH, double left, double top,
                       QSizeF workArea)
{
    if (top < 0)
        top = 0;
    if (left < 0)
        left = 0;
    WindowRect r;
    r.width = toInt32(surfaceW + layout::extraWidth);
    r.height = toInt32(surfaceH + layout::extraHeight);
    r.left = toInt32(left);
    r.top = toInt32(top);
    if (r.width < layout::minWidth)
        r.width = qint32(layout::minWidth);
    if (r.height < layout::minHeight)
        r.height = qint32(layout::minHeight);
    const double W = workArea.width();
    const double H = workArea.height();
    if (H < double(r.height) + r.top)
        r.top = toInt32(H - r.height);
    if (W < double(r.width) + r.left)
        r.left = toInt32(W - r.width);
    return r;
}

SurfacePos centerSurface(double windowW, double windowH, double surfaceW, double surfaceH)
{
    return { toInt32((windowW - layout::centerWidth - surfaceW) / 2),
             toInt32((windowH - layout::centerHeight - surfaceH) / 2) };
}

} // namespace vorlane
