#pragma once

// Qt
#include <QImage>
#include <QSize>

class QWidget;

namespace vorlane {

// A new image of that size and format, its pixels uninitialised, like
// QImage(size, format); null when it cannot be had. Pixels filling 512 KiB
// or more get memory of their own, in whole 2 MiB huge pages the kernel is
// asked to back them with: a buffer of a view's size touched for the first
// time page by page costs more than decoding or drawing into it on some
// machines (each 4 KiB page faults separately). Copies of it are ordinary
// images.
[[nodiscard]] QImage allocateImage(QSize size, QImage::Format format);

// Makes the window's backing store now, at the window's size, and has the
// kernel back all its pixels in one call. The first paint of a newly shown
// window otherwise touches that memory (shared with the X server) page by
// page, which costs about 15 ms for a screen-sized window on some machines;
// called right after show(), this runs while the window manager frames the
// window. Nothing happens where the backing store is not an image in memory
// or the kernel cannot do it.
void prefaultBackingStore(QWidget &window);

} // namespace vorlane
