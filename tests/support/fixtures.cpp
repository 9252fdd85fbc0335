#include "support/fixtures.h"

// Qt
#include <QBuffer>
#include <QImageWriter>
#include <QPolygon>
#include <QRect>
#include <QSaveFile>
#include <QtEndian>

namespace vorlane::test {

namespace {

    [[nodiscard]] QByteArray encodeWithQt(const QImage &img, const char *format, int quality = -1)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        writer.setQuality(quality);
        return writer.write(img) ? bytes : QByteArray();
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
        return wmf.finish();
    }

    // Little-endian words and double words.
    void append(QByteArray &out, std::initializer_list<quint32> values, int size)
    {
        for (const quint32 v : values)
            for (int i = 0; i < size; ++i)
                out.append(char((v >> (8 * i)) & 0xff));
    }

} // namespace

QColor quadrantColor(Quadrant quadrant, const QColor &base)
{
    const QColor others[] = { QColor(0, 255, 0), QColor(0, 0, 255), QColor(255, 255, 0) };
    return quadrant == Quadrant::TopLeft ? base : others[int(quadrant) - 1];
}

QImage makePattern(int width, int height, const QColor &base)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.setDotsPerMeterX(2835); // 72 dpi
    img.setDotsPerMeterY(5669); // 144 dpi
    const int left = (width + 1) / 2;
    const int top = (height + 1) / 2;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = quadrantColor(Quadrant((y < top ? 0 : 2) + (x < left ? 0 : 1)), base).rgb();
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

QByteArray encodePicture(const QImage &img, const char *kind)
{
    const QByteArray k(kind);
    if (img.isNull())
        return {};
    if (k == "bmp")
        return encodeWithQt(img, "bmp");
    if (k == "jpg" || k == "jpeg")
        return encodeWithQt(img, "jpeg", 95);
    if (k == "gif")
        return encodeGif(img);
    if (k == "wmf")
        return encodeWmf(img);
    if (k == "ico")
        return encodeWithQt(img.width() > 256 || img.height() > 256
                                ? img.scaled(256, 256, Qt::KeepAspectRatio, Qt::FastTransformation)
                                : img,
                            "ico");
    return {};
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool writePicture(const QImage &img, const QString &path, const char *kind)
{
    const QByteArray bytes = encodePicture(img, kind);
    return !bytes.isEmpty() && writeBytes(path, bytes);
}

bool writeJpegWithOrientation(const QImage &img, const QString &path, int exifOrientation,
                              QSysInfo::Endian byteOrder)
{
    QByteArray jpeg = encodeWithQt(img, "jpeg", 95);
    if (!jpeg.startsWith("\xff\xd8") || exifOrientation < 0 || exifOrientation > 0xffff)
        return false;
    // TIFF data: the header, then one IFD holding one SHORT Orientation entry
    // (tag, type, count, value and padding), then no further IFD.
    const bool big = byteOrder == QSysInfo::BigEndian;
    QByteArray tiff(big ? "MM" : "II");
    for (const auto &[value, size] : std::initializer_list<std::pair<quint32, int>> {
             { 42, 2 }, { 8, 4 }, { 1, 2 }, { 0x0112, 2 }, { 3, 2 }, { 1, 4 },
             { quint32(exifOrientation), 2 }, { 0, 2 }, { 0, 4 } })
        for (int i = 0; i < size; ++i)
            tiff.append(char((value >> (8 * (big ? size - 1 - i : i))) & 0xff));
    const int length = 2 + 6 + int(tiff.size());
    const QByteArray segment = QByteArray("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff)
        + QByteArray("Exif\0\0", 6) + tiff;
    return writeBytes(path, jpeg.insert(2, segment));
}

QByteArray truncated(const QByteArray &data, double fraction)
{
    return data.left(qsizetype(qBound(0.0, fraction, 1.0) * double(data.size())));
}

bool writeGifHeaderClaiming(const QString &path, int width, int height)
{
    if (width < 1 || width > 0xffff || height < 1 || height > 0xffff)
        return false;
    // A 1x1 two-colour GIF: 6 bytes of signature, 7 of screen descriptor and
    // a 2-entry colour table put the image descriptor at offset 19.
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(Qt::white);
    QByteArray gif = encodeGif(pixel);
    constexpr int descriptor = 19;
    if (gif.size() < descriptor + 10 || gif.at(descriptor) != char(0x2c))
        return false;
    for (const int at : { 6, descriptor + 5 }) {
        qToLittleEndian(quint16(width), gif.data() + at);
        qToLittleEndian(quint16(height), gif.data() + at + 2);
    }
    return writeBytes(path, gif);
}

bool writeBmpHeaderClaiming(const QString &path, qint32 width, qint32 height)
{
    constexpr int headers = 14 + 40;
    const qint64 rowBytes = (qint64(width) * 24 + 31) / 32 * 4;
    const qint64 pixelBytes = qBound(qint64(0), rowBytes * qAbs(qint64(height)), qint64(64));
    QByteArray out("BM");
    // File size, reserved, pixel offset; info header size, width, height.
    append(out, { quint32(headers + pixelBytes), 0, headers, 40, quint32(width), quint32(height) }, 4);
    append(out, { 1, 24 }, 2); // planes, bits per pixel
    // Uncompressed, image size 0 (allowed then), 72 dpi, colours used and important.
    append(out, { 0, 0, 2835, 2835, 0, 0 }, 4);
    out.append(QByteArray(pixelBytes, char(0x80)));
    return writeBytes(path, out);
}

} // namespace vorlane::test
