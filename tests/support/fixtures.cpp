#include "support/fixtures.h"

// Qt
#include <QBuffer>
#include <QImageWriter>
#include <QPolygon>
#include <QRect>
#include <QSaveFile>
#include <QtEndian>

// Local
#include "data/writers/gif_writer.h"
#include "data/writers/wmf_writer.h"

namespace vorlane::test {

using writers::WmfWriter;
using writers::encodeGif;

namespace {

    constexpr int kIconMax = 256;
    constexpr int kJpegQuality = 95;

    [[nodiscard]] QByteArray encodeWithQt(const QImage &img, const char *format, int quality = -1)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        if (quality >= 0)
            writer.setQuality(quality);
        if (!writer.write(img))
            return {};
        return bytes;
    }

    [[nodiscard]] QByteArray encodeWmf(const QImage &img)
    {
        const int w = img.width();
        const int h = img.height();
        WmfWriter wmf(w, h, 96);
        wmf.stretchDib(img, QRect(0, 0, w, h));

        wmf.setPen(QColor(0, 0, 0), 1);
        wmf.setNullBrush();
        wmf.rectangle(QRect(0, 0, w, h));

        // A disc where the quadrants meet and a triangle hanging from the top
        // edge: both stay clear of the quadrant centres.
        const int r = qMax(1, qMin(w, h) / 10);
        const QPoint middle(w / 2, h / 2);
        wmf.setNullPen();
        wmf.setBrush(QColor(255, 255, 255));
        wmf.ellipse(QRect(middle.x() - r, middle.y() - r, 2 * r, 2 * r));
        wmf.setBrush(QColor(255, 0, 255));
        wmf.polygon(QPolygon(
            { QPoint(middle.x() - r, 0), QPoint(middle.x() + r, 0), QPoint(middle.x(), r) }));
        return wmf.finish();
    }

    void appendLe16(QByteArray &out, quint16 value)
    {
        char bytes[2];
        qToLittleEndian(value, bytes);
        out.append(bytes, 2);
    }

    void appendLe32(QByteArray &out, quint32 value)
    {
        char bytes[4];
        qToLittleEndian(value, bytes);
        out.append(bytes, 4);
    }

    // The Exif APP1 segment holding one IFD with a single Orientation entry.
    [[nodiscard]] QByteArray exifOrientationSegment(quint16 orientation, QSysInfo::Endian order)
    {
        const bool big = order == QSysInfo::BigEndian;
        QByteArray tiff;
        const auto u16 = [&](quint16 v) {
            char bytes[2];
            big ? qToBigEndian(v, bytes) : qToLittleEndian(v, bytes);
            tiff.append(bytes, 2);
        };
        const auto u32 = [&](quint32 v) {
            char bytes[4];
            big ? qToBigEndian(v, bytes) : qToLittleEndian(v, bytes);
            tiff.append(bytes, 4);
        };
        tiff.append(big ? "MM" : "II");
        u16(42);
        u32(8); // first IFD right after this header
        u16(1); // one entry
        u16(0x0112); // Orientation
        u16(3); // SHORT
        u32(1); // one value
        u16(orientation);
        u16(0); // value field padding
        u32(0); // no further IFD

        QByteArray segment("\xff\xe1", 2);
        const quint16 length = quint16(2 + 6 + tiff.size());
        segment.append(char(length >> 8));
        segment.append(char(length & 0xff));
        segment.append("Exif\0\0", 6);
        segment.append(tiff);
        return segment;
    }

} // namespace

QColor quadrantColor(Quadrant quadrant, const QColor &base)
{
    switch (quadrant) {
    case Quadrant::TopLeft:
        return base;
    case Quadrant::TopRight:
        return QColor(0, 255, 0);
    case Quadrant::BottomLeft:
        return QColor(0, 0, 255);
    case Quadrant::BottomRight:
        return QColor(255, 255, 0);
    }
    return base;
}

QImage makePattern(int width, int height, const QColor &base)
{
    QImage img(width, height, QImage::Format_RGB32);
    if (img.isNull())
        return img;
    const int left = (width + 1) / 2;
    const int top = (height + 1) / 2;
    img.fill(quadrantColor(Quadrant::BottomRight, base));
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const Quadrant q = y < top ? (x < left ? Quadrant::TopLeft : Quadrant::TopRight)
                                       : (x < left ? Quadrant::BottomLeft : Quadrant::BottomRight);
            line[x] = quadrantColor(q, base).rgb();
        }
    }
    return img;
}

QPoint quadrantCentre(const QSize &size, Quadrant quadrant)
{
    const int left = (size.width() + 1) / 2;
    const int top = (size.height() + 1) / 2;
    const bool isLeft = quadrant == Quadrant::TopLeft || quadrant == Quadrant::BottomLeft;
    const bool isTop = quadrant == Quadrant::TopLeft || quadrant == Quadrant::TopRight;
    return QPoint(isLeft ? left / 2 : left + (size.width() - left) / 2,
        isTop ? top / 2 : top + (size.height() - top) / 2);
}

bool sameColour(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance && qAbs(a.alpha() - b.alpha()) <= tolerance;
}

QByteArray encodePicture(const QImage &img, const char *kind)
{
    if (img.isNull() || !kind)
        return {};
    const QByteArray k(kind);
    if (k == "bmp")
        return encodeWithQt(img, "bmp");
    if (k == "jpg" || k == "jpeg")
        return encodeWithQt(img, "jpeg", kJpegQuality);
    if (k == "gif")
        return encodeGif(img);
    if (k == "wmf")
        return encodeWmf(img);
    if (k == "ico") {
        const QImage icon = img.width() > kIconMax || img.height() > kIconMax
            ? img.scaled(kIconMax, kIconMax, Qt::KeepAspectRatio, Qt::FastTransformation)
            : img;
        return encodeWithQt(icon, "ico");
    }
    return {};
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

bool writePicture(const QImage &img, const QString &path, const char *kind)
{
    const QByteArray bytes = encodePicture(img, kind);
    return !bytes.isEmpty() && writeBytes(path, bytes);
}

bool writeJpegWithOrientation(
    const QImage &img, const QString &path, int exifOrientation, QSysInfo::Endian byteOrder)
{
    if (exifOrientation < 0 || exifOrientation > 0xffff)
        return false;
    QByteArray jpeg = encodeWithQt(img, "jpeg", kJpegQuality);
    if (!jpeg.startsWith("\xff\xd8"))
        return false;
    jpeg.insert(2, exifOrientationSegment(quint16(exifOrientation), byteOrder));
    return writeBytes(path, jpeg);
}

QByteArray truncated(const QByteArray &data, double fraction)
{
    const double wanted = qBound(0.0, fraction, 1.0) * double(data.size());
    return data.left(qsizetype(wanted));
}

bool writeGifHeaderClaiming(const QString &path, int width, int height)
{
    if (width < 1 || width > 0xffff || height < 1 || height > 0xffff)
        return false;
    // A 1x1 two-colour GIF: 6 bytes signature, 7 of screen descriptor and a
    // 2-entry colour table put the image descriptor at offset 19.
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(QColor(255, 255, 255));
    QByteArray gif = encodeGif(pixel);
    constexpr int descriptor = 19;
    if (gif.size() < descriptor + 10 || gif.at(descriptor) != char(0x2c))
        return false;
    qToLittleEndian(quint16(width), gif.data() + 6);
    qToLittleEndian(quint16(height), gif.data() + 8);
    qToLittleEndian(quint16(width), gif.data() + descriptor + 5);
    qToLittleEndian(quint16(height), gif.data() + descriptor + 7);
    return writeBytes(path, gif);
}

bool writeBmpHeaderClaiming(const QString &path, qint32 width, qint32 height)
{
    constexpr int headers = 14 + 40;
    const qint64 rowBytes = (qint64(width) * 24 + 31) / 32 * 4;
    const qint64 pixelBytes = qBound(qint64(0), rowBytes * qAbs(qint64(height)), qint64(64));

    QByteArray out("BM");
    appendLe32(out, quint32(headers + pixelBytes));
    appendLe32(out, 0); // reserved
    appendLe32(out, headers); // pixels offset
    appendLe32(out, 40); // info header size
    appendLe32(out, quint32(width));
    appendLe32(out, quint32(height));
    appendLe16(out, 1); // planes
    appendLe16(out, 24); // bits per pixel
    appendLe32(out, 0); // uncompressed
    appendLe32(out, 0); // image size: may be 0 when uncompressed
    appendLe32(out, 2835); // 72 dpi
    appendLe32(out, 2835);
    appendLe32(out, 0); // colours used
    appendLe32(out, 0); // colours important
    out.append(QByteArray(pixelBytes, char(0x80)));
    return writeBytes(path, out);
}

} // namespace vorlane::test
