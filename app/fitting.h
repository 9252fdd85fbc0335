#pragma once

// Qt
#include <QSize>
#include <QSizeF>
#include <QtGlobal>

namespace vorlane {

// The window's layout around the picture surface, in twips.
namespace layout {
constexpr double extraWidth = 300;  // window wider than the surface
constexpr double extraHeight = 1000; // window taller than the surface
constexpr double minWidth = 4000;
constexpr double minHeight = 700;
constexpr double fitMarginWidth = 800;   // work-area width kept free
constexpr double fitMarginHeight = 1500; // work-area height kept free
constexpr double centerWidth = 100;      // subtracted when centring
constexpr double centerHeight = 700;
constexpr double foldedWidth = 4000;
constexpr double foldedHeight = 700;
} // namespace layout

// The zoom (percent) at which a crop of trimW × trimH twips fits the work
// area: lowered to a whole percentage when the surface would be too wide
// (then too tall), never raised, never below 1.
[[nodiscard]] float fitZoom(float size, qint32 trimW, qint32 trimH, QSizeF workArea);

// The box, in pixels of a screen of the given twips per pixel, that holds
// every surface the fitting makes at 100 % or less: a picture fitted to the
// work area is never drawn larger.
[[nodiscard]] QSize fitBoxPixels(QSizeF workArea, double twipsPerPixelX, double twipsPerPixelY);

// A natural size in HIMETRIC as whole twips, halves to even, at least 1.
[[nodiscard]] qint32 naturalTwips(double himetric);

// The surface size, in pixels, of a new picture's fitted view: a picture of
// natural size himetric shown whole, its zoom fitted to workArea (twips).
[[nodiscard]] QSize fittedSurfacePixels(QSizeF himetric, QSizeF workArea,
                                        double twipsPerPixelX, double twipsPerPixelY);

struct WindowRect
{
    qint32 left = 0;
    qint32 top = 0;
    qint32 width = 0;
    qint32 height = 0;
    friend bool operator==(const WindowRect &, const WindowRect &) = default;
};

// The window's outer rectangle around a surface of the given size (as read
// back, twips), starting from the window's current position: a position
// above or left of the screen moves to 0, the size is at least the minimum,
// and a window reaching past the work area's bottom or right is pulled back.
[[nodiscard]] WindowRect placeWindow(double surfaceW, double surfaceH, double left, double top,
                                     QSizeF workArea);

// Where the surface sits inside a window of the given outer size: left and
// top in twips of the area below the menu bar, halves to even.
struct SurfacePos
{
    qint32 left = 0;
    qint32 top = 0;
};
[[nodiscard]] SurfacePos centerSurface(double windowW, double windowH, double surfaceW,
                                       double surfaceH);

} // namespace vorlane
