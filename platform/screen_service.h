#pragma once

// Qt
#include <QSizeF>

namespace vorlane {

// The screen the main window sits on: its resolution and work area.
class ScreenService
{
public:
    virtual ~ScreenService() = default;

    // Twips per device-independent pixel, horizontally and vertically
    // (1440 / logical dots per inch: 15 at 96 dpi).
    [[nodiscard]] virtual double twipsPerPixelX() const = 0;
    [[nodiscard]] virtual double twipsPerPixelY() const = 0;
    // Width and height of the screen area not covered by panels, in twips.
    [[nodiscard]] virtual QSizeF workArea() const = 0;

    // Unit conversions at the screen's resolution, without rounding.
    [[nodiscard]] double pixelsToTwipsX(double px) const { return px * twipsPerPixelX(); }
    [[nodiscard]] double pixelsToTwipsY(double px) const { return px * twipsPerPixelY(); }
    [[nodiscard]] double twipsToPixelsX(double tw) const { return tw / twipsPerPixelX(); }
    [[nodiscard]] double twipsToPixelsY(double tw) const { return tw / twipsPerPixelY(); }
    // HIMETRIC (1/100 mm, 2540 per inch) to twips (1440 per inch).
    [[nodiscard]] static double himetricToTwips(double hm) { return hm * 1440.0 / 2540.0; }
    // Pixels to HIMETRIC at the screen's resolution.
    [[nodiscard]] double pixelsToHimetricX(double px) const
    {
        return pixelsToTwipsX(px) * 2540.0 / 1440.0;
    }
    [[nodiscard]] double pixelsToHimetricY(double px) const
    {
        return pixelsToTwipsY(px) * 2540.0 / 1440.0;
    }
};

} // namespace vorlane
