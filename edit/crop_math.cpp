#include "edit/crop_math.h"

// Std
#include <cmath>

// Local
#include "app/numbers.h"

namespace vorlane {

// Clamps the release to [0, extent] and orders it against the anchor:
// returns the near edge and sets far to the other one, both whole.
static qint32 orderEdges(qint32 start, double release, double extent, qint32 &far)
{
    if (release > extent)
        release = extent;
    if (release < 0)
        release = 0;
    if (release < start) {
        far = start;
        return toInt32(release);
    }
    far = toInt32(release);
    return start;
}

std::optional<CropRect> selectionToCrop(qint32 startX, qint32 startY, double releaseX,
                                        double releaseY, double surfaceW, double surfaceH,
                                        float size, const CropRect &current)
{
    if (!(size > 0))
        return std::nullopt;
    qint32 right = 0;
    qint32 bottom = 0;
    const qint32 left = orderEdges(startX, releaseX, surfaceW, right);
    const qint32 top = orderEdges(startY, releaseY, surfaceH, bottom);
    const double scale = 100.0 / double(size);
    const CropRect crop{ toInt32(left * scale + current.x), toInt32(top * scale + current.y),
                         toInt32((double(right) - left) * scale),
                         toInt32((double(bottom) - top) * scale) };
    if (crop.w < 1 || crop.h < 1)
        return std::nullopt;
    return crop;
}

// One direction of sizedCrop: origin and extent within [0, natural].
static void fitInside(double extentTwips, double size, qint32 natural, qint32 &origin,
                      qint32 &extent)
{
    const double wanted = std::nearbyint(extentTwips * 100.0 / size);
    double at = origin;
    if (!(wanted >= 1) || wanted > natural) {
        origin = 0;
        extent = natural;
        return;
    }
    // Past the far edge: end at the edge (the extent fits, so the origin
    // stays at or above 0).
    if (at + wanted > natural)
        at = natural - wanted;
    origin = toInt32(at);
    extent = toInt32(wanted);
}

CropRect sizedCrop(double widthTwips, double heightTwips, float size, const CropRect &current,
                   qint32 orgx, qint32 orgy)
{
    CropRect crop = current;
    fitInside(widthTwips, size, orgx, crop.x, crop.w);
    fitInside(heightTwips, size, orgy, crop.y, crop.h);
    return crop;
}

CropRect movedCrop(const CropRect &crop, CropMove move, double step, qint32 orgx, qint32 orgy)
{
    CropRect moved = crop;
    switch (move) {
    case CropMove::Left:
        if (step < crop.x)
            moved.x = toInt32(crop.x - step);
        break;
    case CropMove::Up:
        if (step < crop.y)
            moved.y = toInt32(crop.y - step);
        break;
    case CropMove::Right:
        if (step < double(orgx) - (double(crop.x) + crop.w))
            moved.x = toInt32(crop.x + step);
        break;
    case CropMove::Down:
        if (step < double(orgy) - (double(crop.y) + crop.h))
            moved.y = toInt32(crop.y + step);
        break;
    }
    return moved;
}

} // namespace vorlane
