#pragma once

// Std
#include <atomic>

// Local
#include "platform/picture_service.h"
#include "platform/screen_service.h"

namespace vorlane {

// Decodes with Qt's image readers (BMP, GIF, JPEG, ICO) and our metafile
// renderer (WMF); writes BMP files of our own.
class QtPictureService : public PictureService
{
public:
    // ahead: where pictures are decoded ahead of use; nullptr: none.
    explicit QtPictureService(const ScreenService &screen, class DecodeAhead *ahead = nullptr)
        : m_screen(screen), m_ahead(ahead)
    {
    }

    [[nodiscard]] std::optional<Picture> loadPicture(const QString &path) override;
    [[nodiscard]] bool savePicture(const QImage &image, const QString &path) override;
    void prefetch(const QString &current, const QStringList &next) override;

    // Largest picture accepted, in pixels: a header claiming more is refused
    // before anything is allocated.
    static constexpr qint64 maxPixels = 250'000'000;
    static constexpr int maxSide = 100'000;

private:
    [[nodiscard]] double dpiX() const { return 1440.0 / m_screen.twipsPerPixelX(); }
    [[nodiscard]] double dpiY() const { return 1440.0 / m_screen.twipsPerPixelY(); }

    const ScreenService &m_screen;
    class DecodeAhead *m_ahead = nullptr;
};

// Decodes a picture file's bytes into pixels and a natural size; usable from
// any thread (no screen access: the resolution is passed in).
struct DecodedPicture
{
    QImage image;
    QSizeF himetric;
};
// How one decode runs; the defaults decode the whole picture to the end.
struct DecodeOptions
{
    // Set (from any thread) when nobody waits for the result any more: a
    // decode that sees it gives up and returns nullopt. nullptr: never.
    const std::atomic<bool> *cancel = nullptr;
};
[[nodiscard]] std::optional<DecodedPicture> decodePictureFile(const QString &path, double dpiX,
                                                              double dpiY,
                                                              const DecodeOptions &options = {});

// The bytes of an uncompressed 24-bit bottom-up BMP file of image.
[[nodiscard]] QByteArray encodeBmp24(const QImage &image);

} // namespace vorlane
