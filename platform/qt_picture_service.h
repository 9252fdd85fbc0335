#pragma once

// Std
#include <atomic>

// Local
#include "platform/picture.h"
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

    [[nodiscard]] std::optional<Picture> loadPicture(const QString &path,
                                                     QSize fitBox = {}) override;
    [[nodiscard]] bool savePicture(const QImage &image, const QString &path) override;
    void prefetch(const QString &current, const QStringList &next, QSize fitBox = {}) override;

    // A decoded picture above this many bytes is not decoded ahead, and is
    // held shrunk to its fitted view once decoded: the decode-ahead keeps at
    // most three of them besides the one shown.
    static constexpr qint64 maxAheadBytes = 100 * 1024 * 1024;

    // Largest picture accepted, in pixels: a header claiming more is refused
    // before anything is allocated.
    static constexpr qint64 maxPixels = 250'000'000;
    static constexpr int maxSide = 100'000;

    // The surface size, in pixels, on which the fitted view of a picture of
    // natural size himetric is drawn, given the work area (twips) and the
    // screen's twips per pixel; an empty size: unknown.
    using FittedSurface = QSize (*)(QSizeF himetric, QSizeF workArea, double twipsPerPixelX,
                                    double twipsPerPixelY);
    // Pictures loaded for a fitted view also bring their pixels shrunk to
    // that view's surface (sizer from the fitting), so drawing the first
    // view need not shrink them.
    void setFittedSurface(FittedSurface sizer) { m_fittedSurface = sizer; }

    // How pictures shown in a view fitted into fitBox (pixels) are decoded;
    // sizer and workArea: as for setFittedSurface().
    [[nodiscard]] static struct DecodeOptions optionsFor(QSize fitBox, FittedSurface sizer = nullptr,
                                                         QSizeF workArea = {});

private:
    [[nodiscard]] double dpiX() const { return 1440.0 / m_screen.twipsPerPixelX(); }
    [[nodiscard]] double dpiY() const { return 1440.0 / m_screen.twipsPerPixelY(); }

    const ScreenService &m_screen;
    class DecodeAhead *m_ahead = nullptr;
    FittedSurface m_fittedSurface = nullptr;
};

// Decodes a picture file's bytes into pixels and a natural size; usable from
// any thread (no screen access: the resolution is passed in).
struct DecodedPicture
{
    QImage image;
    QSizeF himetric;
    // The file, kept open, when it has more pixels than image holds.
    HeldFile fullSource;
    // image shrunk to the surface of its fitted view, as drawing would
    // shrink it; null when not asked for or when that view is not smaller.
    QImage fittedView;
};
// How one decode runs; the defaults decode the whole picture to the end.
struct DecodeOptions
{
    // Set (from any thread) when nobody waits for the result any more: a
    // decode that sees it gives up and returns nullopt. nullptr: never.
    const std::atomic<bool> *cancel = nullptr;
    // The box the picture is fitted into at first, in pixels (see
    // fittedPixels()): a JPEG is decoded at the reduced scale that still
    // covers its fitted view. Empty: every pixel.
    QSize fitBox;
    // A picture that decodes to more bytes than this is shrunk to its
    // fitted view (0: never).
    qint64 shrinkAbove = 0;
    // When set, a bitmap also comes shrunk to the surface this gives for it
    // and workArea (DecodedPicture::fittedView).
    QtPictureService::FittedSurface fittedSurface = nullptr;
    QSizeF workArea;
};
[[nodiscard]] std::optional<DecodedPicture> decodePictureFile(const QString &path, double dpiX,
                                                              double dpiY,
                                                              const DecodeOptions &options = {});

// The bytes decodePictureFile() holds at its peak for the picture at path,
// told by its headers (the size each entry of an icon really has, the scale
// a JPEG is decoded at, the rows a file too short for its claimed size can
// fill); 0 when they do not tell or the picture would be refused.
[[nodiscard]] qint64 decodePeakBytes(const QString &path, const DecodeOptions &options);

// The bytes of an uncompressed 24-bit bottom-up BMP file of image.
[[nodiscard]] QByteArray encodeBmp24(const QImage &image);

} // namespace vorlane
