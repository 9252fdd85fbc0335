#pragma once

// Qt
#include <QImage>
#include <QSize>

namespace vorlane {

// How many pixels a picture needs to be shown at first. The fitting gives a
// picture of natural size natural (pixels) the largest zoom, at most 100 %,
// at which it fits inside fitBox (pixels); an empty fitBox asks for every
// pixel.

// The largest of 1, 2, 4 and 8 (the reduced scales a JPEG decodes at) by
// which both sides may be divided while still covering that view.
[[nodiscard]] int reducedScale(QSize natural, QSize fitBox);

// The fewest pixels that cover that view: natural times that zoom, rounded
// up; natural itself when fitBox is empty or holds it whole.
[[nodiscard]] QSize fittedPixels(QSize natural, QSize fitBox);

// Converts pixels that carry a colour profile other than sRGB to sRGB, as
// the screen shows them; pixels without one, or in sRGB, are left alone.
void convertToSrgb(QImage &image);

} // namespace vorlane
