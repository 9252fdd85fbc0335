#pragma once

// Qt
#include <QImage>
#include <QSize>

namespace vorlane {

// A new image of that size and format, its pixels uninitialised, like
// QImage(size, format); null when it cannot be had. Pixels filling 512 KiB
// or more get memory of their own, in whole 2 MiB huge pages the kernel is
// asked to back them with: a buffer of a view's size touched for the first
// time page by page costs more than decoding or drawing into it on some
// machines (each 4 KiB page faults separately). Copies of it are ordinary
// images.
[[nodiscard]] QImage allocateImage(QSize size, QImage::Format format);

} // namespace vorlane
