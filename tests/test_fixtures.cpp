// Qt
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// Local
#include "support/fixtures.h"
#include "support/gif_writer.h"

using namespace vorlane::test;

namespace {

const QColor kMagenta(255, 0, 255);

// The four quadrant centres as letters (R, G, B, Y, M), '?' for any other
// colour, top left to bottom right.
QString quadrantLetters(const QImage &img, int tolerance)
{
    static const QList<QPair<QChar, QColor>> known = {
        { u'R', QColor(255, 0, 0) },
        { u'G', QColor(0, 255, 0) },
        { u'B', QColor(0, 0, 255) },
        { u'Y', QColor(255, 255, 0) },
        { u'M', kMagenta },
    };
    QString letters;
    for (Quadrant q :
        { Quadrant::TopLeft, Quadrant::TopRight, Quadrant::BottomLeft, Quadrant::BottomRight }) {
        const QColor c = img.pixelColor(quadrantCentre(img.size(), q));
        QChar letter = u'?';
        for (const auto &[l, colour] : known) {
            if (sameColour(c, colour, tolerance))
                letter = l;
        }
        letters.append(letter);
    }
    return letters;
}

QImage decode(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).read();
}

// 'count' distinct colours scattered by a fixed pseudo-random sequence.
QImage paletteNoise(int width, int height, int count)
{
    QImage img(width, height, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const int i = int((state >> 16) % quint32(count));
            img.setPixel(x, y, qRgb(i, 255 - i, (i * 7) % 256));
        }
    }
    return img;
}

} // namespace

class TestFixtures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("decodedSize");
        QTest::addColumn<QString>("letters");
        QTest::addColumn<int>("tolerance");

        const QColor red(255, 0, 0);
        auto row = [&](const char *name, const char *kind, const QString &file, QSize size,
                       QByteArray format, int tolerance) {
            QTest::newRow(name) << QByteArray(kind) << file << size << red << format << size
                                << QString("RGBY") << tolerance;
        };
        row("bmp", "bmp", "p.bmp", QSize(64, 48), "bmp", 0);
        row("bmp odd size", "bmp", "p.bmp", QSize(33, 17), "bmp", 0);
        row("gif", "gif", "p.gif", QSize(64, 48), "gif", 0);
        row("gif odd size", "gif", "p.gif", QSize(33, 17), "gif", 0);
        row("jpg", "jpg", "p.jpg", QSize(64, 48), "jpeg", 12);
        row("jpeg odd size", "jpeg", "p.jpeg", QSize(67, 35), "jpeg", 12);
        row("ico", "ico", "p.ico", QSize(64, 48), "ico", 0);
        row("ico odd size", "ico", "p.ico", QSize(33, 17), "ico", 0);
        row("jpg named .bmp", "jpg", "x.bmp", QSize(64, 48), "jpeg", 12);
        row("gif named .jpg", "gif", "x.jpg", QSize(64, 48), "gif", 0);
        row("bmp named .gif", "bmp", "x.gif", QSize(64, 48), "bmp", 0);
        row("ico without extension", "ico", "x", QSize(64, 48), "ico", 0);
        QTest::newRow("ico larger than 256 shrinks")
            << QByteArray("ico") << "big.ico" << QSize(512, 300) << red << QByteArray("ico")
            << QSize(256, 150) << QString("RGBY") << 0;
        QTest::newRow("bmp other base")
            << QByteArray("bmp") << "m.bmp" << QSize(20, 20) << kMagenta << QByteArray("bmp")
            << QSize(20, 20) << QString("MGBY") << 0;
    }

    void roundTrip()
    {
        QFETCH(QByteArray, kind);
        QFETCH(QString, fileName);
        QFETCH(QSize, size);
        QFETCH(QColor, base);
        QFETCH(QByteArray, format);
        QFETCH(QSize, decodedSize);
        QFETCH(QString, letters);
        QFETCH(int, tolerance);

        const QString path = m_dir.filePath(fileName);
        QVERIFY(writePicture(makePattern(size.width(), size.height(), base), path, kind));
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), format);
        const QImage img = reader.read();
        QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(img.size(), decodedSize);
        QCOMPARE(quadrantLetters(img, tolerance), letters);
    }

    void unknownKindWritesNothing()
    {
        const QString path = m_dir.filePath("nothing.png");
        QVERIFY(!writePicture(makePattern(8, 8), path, "png"));
        QVERIFY(!QFile::exists(path));
    }

    void wmfStartsWithPlaceableKey()
    {
        const QString path = m_dir.filePath("p.wmf");
        QVERIFY(writePicture(makePattern(40, 30), path, "wmf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(4), QByteArray("\xd7\xcd\xc6\x9a", 4));
    }

    void exifOrientation_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSysInfo::Endian>("byteOrder");
        QTest::addColumn<QImageIOHandler::Transformations>("transformation");
        QTest::addColumn<QString>("letters");

        struct Case
        {
            int orientation;
            const char *name;
            QImageIOHandler::Transformations transformation;
            const char *letters;
        };
        const Case cases[] = {
            { 1, "upright", QImageIOHandler::TransformationNone, "RGBY" },
            { 2, "mirrored", QImageIOHandler::TransformationMirror, "GRYB" },
            { 3, "upside down", QImageIOHandler::TransformationRotate180, "YBGR" },
            { 4, "flipped", QImageIOHandler::TransformationFlip, "BYRG" },
            { 5, "transposed", QImageIOHandler::TransformationFlipAndRotate90, "RBGY" },
            { 6, "turned right", QImageIOHandler::TransformationRotate90, "BRYG" },
            { 7, "transversed", QImageIOHandler::TransformationMirrorAndRotate90, "YGBR" },
            { 8, "turned left", QImageIOHandler::TransformationRotate270, "GYRB" },
        };
        for (const Case &c : cases) {
            for (const auto order : { QSysInfo::BigEndian, QSysInfo::LittleEndian }) {
                QTest::addRow(
                    "%d %s %s", c.orientation, c.name, order == QSysInfo::BigEndian ? "MM" : "II")
                    << c.orientation << order << c.transformation << QString(c.letters);
            }
        }
    }

    void exifOrientation()
    {
        QFETCH(int, orientation);
        QFETCH(QSysInfo::Endian, byteOrder);
        QFETCH(QImageIOHandler::Transformations, transformation);
        QFETCH(QString, letters);

        const QSize stored(80, 48);
        const QString path = m_dir.filePath("exif.jpg");
        QVERIFY(writeJpegWithOrientation(
            makePattern(stored.width(), stored.height()), path, orientation, byteOrder));

        QImageReader raw(path);
        raw.setAutoTransform(false);
        QCOMPARE(raw.transformation(), transformation);
        const QImage asStored = raw.read();
        QCOMPARE(asStored.size(), stored);
        QCOMPARE(quadrantLetters(asStored, 12), QString("RGBY"));

        QImageReader turned(path);
        turned.setAutoTransform(true);
        const QImage shown = turned.read();
        QCOMPARE(shown.size(), orientation >= 5 ? stored.transposed() : stored);
        QCOMPARE(quadrantLetters(shown, 12), letters);
    }

    void gifKeepsExactColours_data()
    {
        QTest::addColumn<QImage>("image");

        QImage one(1, 1, QImage::Format_RGB32);
        one.fill(QColor(12, 34, 56));
        QTest::newRow("1x1") << one;
        QTest::newRow("3x7 pattern") << makePattern(3, 7);
        QTest::newRow("300x200 pattern") << makePattern(300, 200);
        QTest::newRow("two colours") << paletteNoise(13, 11, 2);
        QTest::newRow("three colours") << paletteNoise(13, 11, 3);
        QTest::newRow("256 colours 16x16") << paletteNoise(16, 16, 256);
        // Noise overflows the 4096-code table many times over.
        QTest::newRow("256 colours noise 512x384") << paletteNoise(512, 384, 256);
        QTest::newRow("17 colours noise 300x200") << paletteNoise(300, 200, 17);

        QImage holes = paletteNoise(40, 30, 255).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < holes.height(); y += 3) {
            for (int x = y % 2; x < holes.width(); x += 2)
                holes.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
        QTest::newRow("255 colours and transparency") << holes;
    }

    void gifKeepsExactColours()
    {
        QFETCH(QImage, image);

        const QByteArray bytes = encodeGif(image);
        QVERIFY(bytes.startsWith("GIF89a"));
        QCOMPARE(bytes.back(), ';');
        const QImage decoded = decode(bytes);
        QCOMPARE(decoded.size(), image.size());
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb want = image.pixel(x, y);
                const QRgb got = decoded.pixel(x, y);
                const bool same
                    = qAlpha(want) < 128 ? qAlpha(got) == 0 : got == (want | 0xff000000u);
                if (!same)
                    QFAIL(qPrintable(QString("pixel %1,%2 is %3, wrote %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(got, 8, 16)
                                         .arg(want, 8, 16)));
            }
        }
    }

    void gifReducesRichPictures()
    {
        QImage img(300, 200, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgb(x * 255 / 299, y * 255 / 199, (x + y) % 256));
        }
        const QImage decoded = decode(encodeGif(img));
        QCOMPARE(decoded.size(), img.size());
        QSet<QRgb> used;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const QRgb a = img.pixel(x, y);
                const QRgb b = decoded.pixel(x, y);
                used.insert(b);
                const int dr = qRed(a) - qRed(b);
                const int dg = qGreen(a) - qGreen(b);
                const int db = qBlue(a) - qBlue(b);
                QVERIFY2(dr * dr + dg * dg + db * db <= 3 * 26 * 26,
                    qPrintable(QString("pixel %1,%2 too far off").arg(x).arg(y)));
            }
        }
        QVERIFY(used.size() > 100);
    }

    void gifRefusesWhatItCannotEncode_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::newRow("null") << QImage();
        QTest::newRow("wider than 65535") << QImage(65536, 1, QImage::Format_RGB32);
    }

    void gifRefusesWhatItCannotEncode()
    {
        QFETCH(QImage, image);
        QVERIFY(encodeGif(image).isEmpty());
        QVERIFY(!writeGif(image, m_dir.filePath("refused.gif")));
    }

    void multiSizeIcon()
    {
        const QList<QSize> sizes = { QSize(256, 256), QSize(48, 32), QSize(16, 16) };
        QList<QImage> images;
        for (const QSize &s : sizes)
            images.append(makePattern(s.width(), s.height(), kMagenta));
        const QString path = m_dir.filePath("multi.ico");
        QVERIFY(writeIcon(images, path));

        QImageReader reader(path);
        QCOMPARE(reader.imageCount(), int(sizes.size()));
        QList<QSize> found;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage img = reader.read();
            QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(quadrantLetters(img, 0), QString("MGBY"));
            found.append(img.size());
        }
        QCOMPARE(found, sizes);
    }

    void claimingHeaders_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QSize>("claimed");

        QTest::newRow("gif 50000x50000")
            << QByteArray("gif") << 50000 << 50000 << QSize(50000, 50000);
        QTest::newRow("gif 65535x65535")
            << QByteArray("gif") << 65535 << 65535 << QSize(65535, 65535);
        QTest::newRow("bmp 50000x50000")
            << QByteArray("bmp") << 50000 << 50000 << QSize(50000, 50000);
        QTest::newRow("bmp top-down 30000x30000")
            << QByteArray("bmp") << 30000 << -30000 << QSize(30000, 30000);
        QTest::newRow("bmp 2^31-1 wide") << QByteArray("bmp") << INT_MAX << 1 << QSize(INT_MAX, 1);
    }

    void claimingHeaders()
    {
        QFETCH(QByteArray, kind);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QSize, claimed);

        const QString path = m_dir.filePath("claim." + kind);
        QVERIFY(kind == "gif" ? writeGifHeaderClaiming(path, width, height)
                              : writeBmpHeaderClaiming(path, width, height));
        QVERIFY(QFileInfo(path).size() < 200);
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        const QSize size = reader.size();
        QVERIFY2(!size.isValid() || size == claimed,
            qPrintable(QString("reported %1x%2").arg(size.width()).arg(size.height())));
    }

    // The same headers with a modest claim make pictures Qt decodes, so the
    // huge ones differ from a valid file only by the size.
    void claimingHeadersAreWellFormed_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<int>("height");
        QTest::newRow("gif") << QByteArray("gif") << 2;
        QTest::newRow("bmp bottom-up") << QByteArray("bmp") << 2;
        QTest::newRow("bmp top-down") << QByteArray("bmp") << -2;
    }

    void claimingHeadersAreWellFormed()
    {
        QFETCH(QByteArray, kind);
        QFETCH(int, height);
        const QString path = m_dir.filePath("modest." + kind);
        QVERIFY(kind == "gif" ? writeGifHeaderClaiming(path, 3, height)
                              : writeBmpHeaderClaiming(path, 3, height));
        QImageReader reader(path);
        // Qt reports a top-down bitmap's height as negative.
        const QSize reported = reader.size();
        QCOMPARE(QSize(reported.width(), qAbs(reported.height())), QSize(3, qAbs(height)));
        const QImage img = reader.read();
        QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(img.size(), QSize(3, qAbs(height)));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestFixtures)
#include "test_fixtures.moc"
