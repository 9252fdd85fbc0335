#pragma once

// Qt
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QSysInfo>

// Local
#include "data/writers/gif_writer.h"
#include "data/writers/icon_writer.h"
#include "data/writers/wmf_writer.h"

namespace vorlane::test {

// A width x height opaque picture in four quadrants: base top left, then
// pure green top right, blue bottom left and yellow bottom right (pick a base
// unlike those three to tell pictures apart); odd sizes give the extra column
// and row to the left and top quadrants. Reading the quadrants tells
// orientation, cropping and stretching apart. It claims a density of
// 72 x 144 dpi, which the viewer must ignore.
[[nodiscard]] QImage makePattern(int width, int height, const QColor &base = QColor(255, 0, 0));

// The bytes of img as a picture of kind "bmp", "gif", "jpg" (or "jpeg"),
// "ico" or "wmf"; empty for an unknown kind or a failed encoding. JPEG is
// written at quality 95; icons larger than 256x256 are scaled down to fit;
// a WMF holds the picture as a bitmap with a frame drawn round it.
[[nodiscard]] QByteArray encodePicture(const QImage &img, const char *kind);

// Writes encodePicture(img, kind) to path. The kind alone decides the
// content: the path may carry any extension, or none.
bool writePicture(const QImage &img, const QString &path, const char *kind);

// The picture writers the sample generator draws with serve the tests too.
using writers::writeIcon;
using writers::WmfWriter;

// Writes img as a JPEG carrying an EXIF Orientation tag with the given value
// (normally 1..8), its TIFF data in the given byte order.
bool writeJpegWithOrientation(const QImage &img, const QString &path, int exifOrientation,
    QSysInfo::Endian byteOrder = QSysInfo::BigEndian);

// Writes bytes to path as they are.
bool writeBytes(const QString &path, const QByteArray &bytes);
// The bytes of the file at path; empty when it cannot be read.
QByteArray bytesOf(const QString &path);

// A GIF of a few dozen bytes whose screen and frame claim width x height
// (each 1..65535, cut to 16 bits) while holding a single pixel.
bool writeGifHeaderClaiming(const QString &path, int width, int height);

// A 24-bit BMP whose header claims width x height (a negative height means
// top-down rows) but which holds at most 64 bytes of pixels.
bool writeBmpHeaderClaiming(const QString &path, qint32 width, qint32 height);

} // namespace vorlane::test
