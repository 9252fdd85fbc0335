#include "support/fixtures.h"

// Qt
#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

namespace vorlane::test {

namespace {

    [[nodiscard]] QByteArray encodeWithQt(const QImage &img, const char *format, int quality = -1)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        return img.save(&buffer, format, quality) ? bytes : QByteArray();
    }

    [[nodiscard]] QByteArray encodeWmf(const QImage &img)
    {
        WmfWriter wmf(img.width(), img.height(), 96);
        wmf.stretchDib(img, img.rect());
        wmf.setPen(QColor(0, 0, 0), 1);
        wmf.setNullBrush();
        wmf.rectangle(img.rect());
        return wmf.finish();
    }

} // namespace

QImage makePattern(int width, int height, const QColor &base)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.setDotsPerMeterX(2835); // 72 dpi
    img.setDotsPerMeterY(5669); // 144 dpi
    const int left = (width + 1) / 2;
    const int top = (height + 1) / 2;
    const QRgb colours[] = { base.rgb(), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0) };
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = colours[(y < top ? 0 : 2) + (x < left ? 0 : 1)];
    }
    return img;
}

QByteArray encodePicture(const QImage &img, const char *kind)
{
    const QByteArray k(kind);
    if (img.isNull())
        return {};
    if (k == "ico" && (img.width() > 256 || img.height() > 256))
        return encodePicture(img.scaled(256, 256, Qt::KeepAspectRatio, Qt::FastTransformation), kind);
    if (k == "bmp" || k == "ico")
        return encodeWithQt(img, kind);
    if (k == "jpg" || k == "jpeg")
        return encodeWithQt(img, "jpeg", 95);
    if (k == "gif")
        return writers::encodeGif(img);
    if (k == "wmf")
        return encodeWmf(img);
    return {};
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writePicture(const QImage &img, const QString &path, const char *kind)
{
    const QByteArray bytes = encodePicture(img, kind);
    return !bytes.isEmpty() && writeBytes(path, bytes);
}

bool writeJpegWithOrientation(const QImage &img, const QString &path, int exifOrientation,
                              QSysInfo::Endian byteOrder)
{
    // TIFF data: the header, then one IFD holding one SHORT Orientation entry
    // (tag, type, count, value and padding), then no further IFD.
    QByteArray tiff(byteOrder == QSysInfo::BigEndian ? "MM" : "II");
    QDataStream out(&tiff, QIODevice::Append);
    out.setByteOrder(QDataStream::ByteOrder(byteOrder));
    out << quint16(42) << quint32(8) << quint16(1) << quint16(0x0112) << quint16(3) << quint32(1)
        << quint16(exifOrientation) << quint16(0) << quint32(0);
    const int length = 2 + 6 + int(tiff.size());
    const QByteArray segment = QByteArray("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff)
        + QByteArray("Exif\0\0", 6) + tiff;
    return writeBytes(path, encodeWithQt(img, "jpeg", 95).insert(2, segment));
}

bool writeGifHeaderClaiming(const QString &path, int width, int height)
{
    // A 1x1 two-colour GIF: 6 bytes of signature, 7 of screen descriptor and
    // a 2-entry colour table put the image descriptor at offset 19.
    QByteArray gif = writers::encodeGif(makePattern(1, 1));
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
    // A 4x4 24-bit bitmap (48 bytes of pixels) whose header then claims the
    // size asked, its image size 0 as uncompressed rows allow.
    QByteArray bmp = encodeWithQt(makePattern(4, 4), "bmp");
    qToLittleEndian(width, bmp.data() + 18);
    qToLittleEndian(height, bmp.data() + 22);
    qToLittleEndian(quint32(0), bmp.data() + 34);
    return writeBytes(path, bmp);
}

} // namespace vorlane::test
