#include "platform/image_memory.h"

// Qt
#include <QBackingStore>
#include <QWidget>

// Std
#include <climits>
#include <cstdint>

// POSIX
#include <sys/mman.h>
#include <unistd.h>

namespace vorlane {

namespace {

constexpr std::size_t hugePage = std::size_t(2) << 20;
// From half a megabyte up, a huge page (at most 1.5 MiB more than asked)
// is cheaper than the 128 or more faults of touching 4 KiB pages one by one.
constexpr qint64 ownMappingFrom = qint64(512) << 10;

struct Mapping
{
    void *start;
    std::size_t length;
};

void unmap(void *info)
{
    const Mapping *mapping = static_cast<Mapping *>(info);
    munmap(mapping->start, mapping->length);
    delete mapping;
}

} // namespace

QImage allocateImage(QSize size, QImage::Format format)
{
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (size.isEmpty() || depth <= 0 || size.width() > (1 << 20) || size.height() > (1 << 20))
        return QImage(size, format);
    // Rows aligned to 32 bits, as QImage lays them out.
    const qint64 bytesPerLine = (qint64(size.width()) * depth + 31) / 32 * 4;
    const qint64 bytes = bytesPerLine * size.height();
    if (bytes < ownMappingFrom || bytesPerLine > INT_MAX)
        return QImage(size, format);
    const std::size_t length = (std::size_t(bytes) + hugePage - 1) / hugePage * hugePage;
    // Mapped one huge page longer, so that a huge-page-aligned start can be
    // cut out of it; the slack either side is given back at once.
    void *raw = mmap(nullptr, length + hugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return QImage(size, format);
    const std::uintptr_t rawStart = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t start = (rawStart + hugePage - 1) & ~std::uintptr_t(hugePage - 1);
    if (start > rawStart)
        munmap(raw, start - rawStart);
    if (const std::size_t tail = hugePage - (start - rawStart); tail > 0)
        munmap(reinterpret_cast<void *>(start + length), tail);
    void *pixels = reinterpret_cast<void *>(start);
    madvise(pixels, length, MADV_HUGEPAGE);
    QImage image(static_cast<uchar *>(pixels), size.width(), size.height(),
                 qsizetype(bytesPerLine), format, unmap, new Mapping { pixels, length });
    if (image.isNull())
        unmap(new Mapping { pixels, length });
    return image;
}

void prefaultBackingStore(QWidget &window)
{
    QBackingStore *store = window.backingStore();
    if (!store)
        return;
    // The size the first paint would give it: made now, it is kept then.
    store->resize(window.size());
    const auto *image = dynamic_cast<const QImage *>(store->paintDevice());
    if (!image || image->isNull())
        return;
    const auto first = reinterpret_cast<std::uintptr_t>(image->constBits());
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = first / page * page;
    const std::uintptr_t end = first + std::uintptr_t(image->sizeInBytes());
    madvise(reinterpret_cast<void *>(start), end - start, MADV_POPULATE_WRITE);
}

} // namespace vorlane
