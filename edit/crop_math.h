#pragma once

// Qt
#include <QtGlobal>

// Std
#include <optional>

namespace vorlane {

// A crop rectangle in twips of the picture at its natural size.
struct CropRect
{
    qint32 x = 0;
    qint32 y = 0;
    qint32 w = 0;
    qint32 h = 0;
    friend bool operator==(const CropRect &, const CropRect &) = default;
};

// The crop a rubber band selects. start is the anchor (surface twips,
// whole), release the point where the button went up (surface twips, may lie
// outside the surface of surfaceW × surfaceH twips: it is clamped to it).
// The selection is taken inside current, shown at size percent. nullopt
// when the result would be narrower or lower than 1 twip (or the zoom is
// not above 0): such a selection is not applied.
[[nodiscard]] std::optional<CropRect> selectionToCrop(qint32 startX, qint32 startY,
                                                      double releaseX, double releaseY,
                                                      double surfaceW, double surfaceH,
                                                      float size, const CropRect &current);

// The crop the resize dialog sets: widthTwips × heightTwips of the screen
// (as the dialog's pixels times twips per pixel) at size percent, from the
// current origin, kept inside a picture of orgx × orgy twips. A size under
// one twip, or wider than the picture, covers the picture in that direction
// from 0. Worked in double precision before converting, so no size
// overflows.
[[nodiscard]] CropRect sizedCrop(double widthTwips, double heightTwips, float size,
                                 const CropRect &current, qint32 orgx, qint32 orgy);

enum class CropMove { Left, Up, Right, Down };

// The crop moved by step twips, only where the margin on that side of a
// picture of orgx × orgy twips is larger than the step (no partial move).
[[nodiscard]] CropRect movedCrop(const CropRect &crop, CropMove move, double step, qint32 orgx,
                                 qint32 orgy);

} // namespace vorlane
