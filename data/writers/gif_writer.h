#pragma once

// Qt
#include <QByteArray>
#include <QImage>
#include <QString>

namespace vorlane::writers {

// Encodes image as a single-frame GIF89a. Pictures with at most 256 distinct
// colours keep them exactly (fully transparent pixels, when present, take one
// more palette slot); richer pictures are reduced to a 6x6x6 colour cube plus
// greys. Returns an empty array for a null image or one wider or taller than
// 65535 pixels.
[[nodiscard]] QByteArray encodeGif(const QImage &image);

// Writes encodeGif(image) to path; false when there is nothing to write or the
// file cannot be written.
bool writeGif(const QImage &image, const QString &path);

} // namespace vorlane::writers
