// The test helpers' own picture writers, where the other tests rely on them
// being exact: the GIF encoder keeps colours, and the files that claim huge
// sizes are otherwise valid (so refusing them tests the size check).

// Qt
#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

// Local
#include "support/fixtures.h"
#include "data/writers/gif_writer.h"

using namespace vorlane::test;
using namespace vorlane::writers;

namespace {

QImage decode(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).read();
}

// count distinct colours scattered by a fixed pseudo-random sequence.
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
    void gifKeepsExactColours_data()
    {
        QTest::addColumn<QImage>("image");
        QImage one(1, 1, QImage::Format_RGB32);
        one.fill(QColor(12, 34, 56));
        QTest::newRow("1x1") << one;
        QTest::newRow("3x7 pattern") << makePattern(3, 7);
        QTest::newRow("two colours") << paletteNoise(13, 11, 2);
        // Noise overflows the 4096-code table many times over.
        QTest::newRow("256 colours noise 512x384") << paletteNoise(512, 384, 256);
        QImage holes = paletteNoise(40, 30, 255).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < holes.height(); y += 3)
            for (int x = y % 2; x < holes.width(); x += 2)
                holes.setPixel(x, y, qRgba(0, 0, 0, 0));
        QTest::newRow("255 colours and transparency") << holes;
    }

    void gifKeepsExactColours()
    {
        QFETCH(QImage, image);
        const QImage decoded = decode(encodeGif(image));
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
        const QImage img = reader.read();
        QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(img.size(), QSize(3, qAbs(height)));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestFixtures)
#include "test_fixtures.moc"
