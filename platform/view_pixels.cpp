#include "platform/view_pixels.h"

// Qt
#include <QColorSpace>

// Std
#include <cmath>

namespace vorlane {

// The zoom, as a fraction, that the fitting cannot exceed for this picture;
// it never goes below 1 %.
static double fittedZoomBound(QSize natural, QSize fitBox)
{
    if (fitBox.isEmpty() || natural.isEmpty())
        return 1.0;
    const double bound = std::min({ 1.0, double(fitBox.width()) / natural.width(),
                                    double(fitBox.height()) / natural.height() });
    return std::max(bound, 0.01);
}

int reducedScale(QSize natural, QSize fitBox)
{
    const double bound = fittedZoomBound(natural, fitBox);
    for (int scale : { 8, 4, 2 })
        if (1.0 / scale >= bound)
            return scale;
    return 1;
}

QSize fittedPixels(QSize natural, QSize fitBox)
{
    const double bound = fittedZoomBound(natural, fitBox);
    return { qMin(natural.width(), int(std::ceil(natural.width() * bound))),
             qMin(natural.height(), int(std::ceil(natural.height() * bound))) };
}

void convertToSrgb(QImage &image)
{
    const QColorSpace space = image.colorSpace();
    if (space.isValid() && space != QColorSpace(QColorSpace::SRgb))
        image.convertToColorSpace(QColorSpace::SRgb);
}

} // namespace vorlane
