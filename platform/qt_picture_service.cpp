#include "platform/qt_picture_service.h"

// Qt
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QtEndian>

// Local
#include "platform/decode_ahead.h"
#include "platform/view_pixels.h"
#include "platform/wmf_decoder.h"

namespace vorlane {

namespace {

// Metafiles are small; anything larger than this is not one we can render.
constexpr qint64 maxMetafileBytes = 64 * 1024 * 1024;

bool sizeAcceptable(QSize size)
{
    const qint64 w = qAbs(qint64(size.width()));
    const qint64 h = qAbs(qint64(size.height()));
    return w <= QtPictureService::maxSide && h <= QtPictureService::maxSide
        && w * h <= QtPictureService::maxPixels;
}

// The entry of an icon file with the most pixels (then the deepest).
int largestIconEntry(QImageReader &reader)
{
    int best = 0;
    qint64 bestArea = -1;
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i))
            break;
        const QSize s = reader.size();
        const qint64 area = qint64(s.width()) * s.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    return best;
}

// Pixels as decoded, and the picture's natural size in pixels as shown
// (after the EXIF rotation): larger than the pixels when decoded reduced.
struct QtDecoded
{
    QImage image;
    QSize natural;
};

std::optional<QtDecoded> decodeWithQt(const QString &path, const DecodeOptions &options)
{
    // Qt refuses pictures over 128 MB by default, which a 12000 × 9000 photo
    // exceeds; our own limit on the claimed size guards against absurd ones.
    static const bool limitRaised = [] {
        QImageReader::setAllocationLimit(int(QtPictureService::maxPixels * 4 / (1024 * 1024)) + 64);
        return true;
    }();
    Q_UNUSED(limitRaised);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return std::nullopt;
    if (format == "ico" && reader.imageCount() > 1)
        reader.jumpToImage(largestIconEntry(reader));
    // A top-down bitmap claims a negative height: the size check takes
    // absolute values. QSize() means the reader cannot tell.
    const QSize claimed = reader.size();
    if (claimed != QSize() && !sizeAcceptable(claimed))
        return std::nullopt;
    // A JPEG larger than its view is decoded at a reduced scale: libjpeg
    // then skips most of the work.
    QSize natural;
    if (format == "jpeg" && claimed.isValid() && !options.fitBox.isEmpty()) {
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const int scale = reducedScale(turned ? claimed.transposed() : claimed, options.fitBox);
        if (scale > 1) {
            natural = turned ? claimed.transposed() : claimed;
            reader.setScaledSize(QSize((claimed.width() + scale - 1) / scale,
                                       (claimed.height() + scale - 1) / scale));
        }
    }
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    if (!sizeAcceptable(image.size()))
        return std::nullopt;
    if (!natural.isValid())
        natural = image.size();
    convertToSrgb(image);
    // Keep the pixels in a format the painter draws fast: opaque pictures as
    // RGB32, pictures with transparency premultiplied.
    const QImage::Format wanted = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32;
    if (image.format() != wanted)
        image.convertTo(wanted);
    // A picture too large to keep whole is kept at the size of its view.
    if (options.shrinkAbove > 0 && image.sizeInBytes() > options.shrinkAbove) {
        const QSize fitted = fittedPixels(natural, options.fitBox);
        if (fitted.width() < image.width() || fitted.height() < image.height())
            image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return QtDecoded { std::move(image), natural };
}

} // namespace

std::optional<DecodedPicture> decodePictureFile(const QString &path, double dpiX, double dpiY,
                                                const DecodeOptions &options)
{
    // Only regular files are read: a pipe or device named like a picture
    // would block or never end.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return std::nullopt;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.peek(64);
    if (looksLikeWmf(head)) {
        if (file.size() > maxMetafileBytes)
            return std::nullopt;
        const QByteArray data = file.readAll();
        std::optional<DecodedMetafile> wmf = decodeWmf(data, dpiX, dpiY);
        if (!wmf)
            return std::nullopt;
        return DecodedPicture { std::move(wmf->image), wmf->himetric };
    }
    file.close();

    std::optional<QtDecoded> decoded = decodeWithQt(path, options);
    if (!decoded)
        return std::nullopt;
    // A bitmap's natural size is its pixel size at the screen's resolution
    // (its own density field is ignored, as viewers do).
    const QSizeF himetric(decoded->natural.width() * 2540.0 / dpiX,
                          decoded->natural.height() * 2540.0 / dpiY);
    const bool reduced = decoded->image.size() != decoded->natural;
    return DecodedPicture { std::move(decoded->image), himetric, reduced };
}

DecodeOptions QtPictureService::optionsFor(QSize fitBox)
{
    DecodeOptions options;
    options.fitBox = fitBox;
    options.shrinkAbove = fitBox.isEmpty() ? 0 : maxAheadBytes;
    return options;
}

std::optional<Picture> QtPictureService::loadPicture(const QString &path, QSize fitBox)
{
    const DecodeOptions options = optionsFor(fitBox);
    std::optional<DecodedPicture> decoded = m_ahead
        ? m_ahead->load(path, dpiX(), dpiY(), options)
        : decodePictureFile(path, dpiX(), dpiY(), options);
    if (!decoded)
        return std::nullopt;
    return Picture(std::move(decoded->image), decoded->himetric,
                   decoded->reduced ? path : QString());
}

void QtPictureService::prefetch(const QString &current, const QStringList &next, QSize fitBox)
{
    if (m_ahead)
        m_ahead->prefetch(current, next, dpiX(), dpiY(), optionsFor(fitBox));
}

QByteArray encodeBmp24(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const qint64 width = image.width();
    const qint64 height = image.height();
    const qint64 stride = (width * 3 + 3) & ~qint64(3);
    const qint64 pixelBytes = stride * height;
    const qint64 fileSize = 54 + pixelBytes;
    if (image.isNull() || fileSize > std::numeric_limits<qint32>::max())
        return {};

    QByteArray out(fileSize, '\0');
    uchar *p = reinterpret_cast<uchar *>(out.data());
    // BITMAPFILEHEADER
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(fileSize), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    // BITMAPINFOHEADER: positive height (bottom-up), 1 plane, 24 bits, BI_RGB
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(qint32(width), p + 18);
    qToLittleEndian<qint32>(qint32(height), p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    qToLittleEndian<quint32>(quint32(pixelBytes), p + 34);
    qToLittleEndian<qint32>(3780, p + 38); // 96 dpi in pixels per metre
    qToLittleEndian<qint32>(3780, p + 42);

    uchar *rows = p + 54;
    for (qint64 y = 0; y < height; ++y) {
        const uchar *src = image.constScanLine(int(height - 1 - y));
        uchar *dst = rows + y * stride;
        for (qint64 x = 0; x < width; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return out;
}

bool QtPictureService::savePicture(const QImage &image, const QString &path)
{
    const QByteArray bytes = encodeBmp24(image);
    if (bytes.isEmpty())
        return false;
    // Written beside the target and renamed over it, so a failure never
    // leaves a half-written file under the user's name.
    QSaveFile file(path);
    // Unbuffered, so that the count written is what reached the file: a
    // write cut short (a full disk, a file size limit) reports no error of
    // its own, and a buffered one would be committed half written.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vorlane
