// Decoding for the view: holding fewer pixels than the file has must never
// show, queued step keys must end as if every picture had been shown, and
// decoding ahead must stay within its memory and never hold up exit.

// Qt
#include <QColorSpace>
#include <QColorTransform>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QtTest>

// Std
#include <csignal>

// Local
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

namespace {

// Mean difference per channel of two views (255 when their sizes differ).
double meanDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height() && a.size() == b.size(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return a.size() == b.size() ? sum / (a.width() * a.height()) : 255;
}

bool writeJpeg(const QImage &img, const QString &path, bool progressive = false)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(img);
}

QString shown(Viewer &v)
{
    const QImage view = v->Picture1->Image();
    return v->windowTitle() + v->m_fname + QString::number(v->m_bmpidx)
        + QString::number(qHashBits(view.constBits(), view.sizeInBytes()));
}

} // namespace

class TestSpeed : public QObject
{
    Q_OBJECT
private slots:
    // First: it reads the peak memory of the whole process.
    void bombFolderStaysWithinBudget();
    void viewAsWithEveryPixel_data();
    void viewAsWithEveryPixel();
    void profileConvertedToSrgb();
    void queuedStepsEndAsIfEachWasShown_data();
    void queuedStepsEndAsIfEachWasShown();
    void exitDoesNotWaitForANeighbour();
};

void TestSpeed::bombFolderStaysWithinBudget()
{
    // A few dozen bytes each, a gigabyte each decoded; stepped through with
    // the neighbours decoded ahead.
    Sandbox box;
    for (int i = 0; i < 7; ++i)
        QVERIFY(writeGifHeaderClaiming(box.file(QString("b/%1.gif").arg(i)), 15800, 15800));
    Viewer v(box.path(), QSize(1024, 720), true);
    v->Form_Load("");
    v->OpenPath(box.path() + "/b");
    for (int i = 0; i < 7; ++i, v.ahead.waitForAll())
        v->NextBitmap_Click();
    QFile file("/proc/self/status");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray status = file.readAll();
    const QByteArray peakKiB = status.mid(status.indexOf("VmHWM:") + 6).trimmed().split(' ')[0];
    QVERIFY2(peakKiB.toLongLong() < 1536 * 1024, peakKiB);
}

void TestSpeed::viewAsWithEveryPixel_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("orientation"); // EXIF; 0: none, -1: progressive
    QTest::addColumn<QRect>("crop"); // pixels; empty: the whole picture
    QTest::addColumn<float>("zoom");
    QTest::newRow("photo") << QSize(4000, 3000) << 0 << QRect() << 100.0f;
    QTest::newRow("progressive") << QSize(4000, 3000) << -1 << QRect() << 100.0f;
    QTest::newRow("rotated by EXIF") << QSize(3000, 2000) << 6 << QRect() << 100.0f;
    QTest::newRow("smaller than the view") << QSize(300, 200) << 0 << QRect() << 100.0f;
    QTest::newRow("100 x 100 crop")
        << QSize(4000, 3000) << 0 << QRect(1000, 1000, 100, 100) << 100.0f;
    QTest::newRow("zoomed to 400 %")
        << QSize(4000, 3000) << 0 << QRect(1990, 1490, 200, 150) << 400.0f;
    // A crop drawn on a surface of the same size as the whole picture's
    // fitted view: the view shrunk ahead must not stand in for it.
    QTest::newRow("crop the size of the fitted view")
        << QSize(1600, 1200) << 0 << QRect(200, 150, 1100, 825) << 80.0f;
}

void TestSpeed::viewAsWithEveryPixel()
{
    QFETCH(QSize, size);
    QFETCH(int, orientation);
    QFETCH(QRect, crop);
    QFETCH(float, zoom);
    Sandbox box;
    const QImage img = makePattern(size.width(), size.height());
    const QString jpg = box.file("p.jpg");
    QVERIFY(orientation > 0 ? writeJpegWithOrientation(img, jpg, orientation)
                            : writeJpeg(img, jpg, orientation < 0));
    // The same pixels as a bitmap, which is always decoded whole.
    QImageReader reader(jpg);
    reader.setAutoTransform(true);
    const QString bmp = box.file("p.bmp");
    QVERIFY(writePicture(reader.read(), bmp, "bmp"));
    // The JPEG through the decode-ahead, its first view shrunk on a worker;
    // the bitmap shrunk while drawing.
    Viewer reduced(box.path(), QSize(1024, 768), true);
    Viewer whole(box.path(), QSize(1024, 768));
    whole.pictures.setFittedSurface(nullptr);
    for (Viewer *v : { &reduced, &whole }) {
        (*v)->Form_Load("");
        (*v)->LoadPictureFile(v == &reduced ? jpg : bmp);
        QCOMPARE((*v)->m_pic->isReduced(), v == &reduced && size.width() > 2000);
        QCOMPARE((*v)->m_pic->fittedView().size(),
                 v == &reduced && size.width() > 1000 ? (*v)->Picture1->Image().size() : QSize(0, 0));
        if (!crop.isEmpty()) {
            (*v)->m_trimx = crop.x() * 15, (*v)->m_trimy = crop.y() * 15;
            (*v)->m_trimw = crop.width() * 15, (*v)->m_trimh = crop.height() * 15;
            (*v)->m_size = zoom;
            (*v)->FormResize();
            QCOMPARE((*v)->m_pic->isReduced(), false);
        }
    }
    QCOMPARE(reduced->m_orgx, whole->m_orgx);
    QCOMPARE(reduced->m_orgy, whole->m_orgy);
    QCOMPARE(reduced->m_size, whole->m_size);
    QCOMPARE(reduced->frameGeometry(), whole->frameGeometry());
    const double diff = meanDifference(reduced->Picture1->Image(), whole->Picture1->Image());
    QVERIFY2(diff < 3, qPrintable(QString::number(diff)));
}

void TestSpeed::profileConvertedToSrgb()
{
    Sandbox box;
    const QRgb raw = qRgb(40, 190, 60);
    QImage img(64, 64, QImage::Format_RGB32);
    img.fill(raw);
    img.setColorSpace(QColorSpace::AdobeRgb);
    QVERIFY(writeJpeg(img, box.file("adobe.jpg")));
    const QRgb expected
        = QColorSpace(QColorSpace::AdobeRgb).transformationToColorSpace(QColorSpace::SRgb).map(raw);
    QVERIFY(!closeColor(expected, raw, 12)); // the profile matters for this colour
    Viewer v(box.path());
    v->Form_Load("");
    v->LoadPictureFile(box.file("adobe.jpg"));
    QVERIFY(closeColor(rgbAt(v->Picture1->Image(), 32, 32), expected, 4));
}

void TestSpeed::queuedStepsEndAsIfEachWasShown_data()
{
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("broken"); // a file that does not decode
    QTest::newRow("forty presses") << 40 << QString();
    QTest::newRow("ending on a file that does not decode") << 22 << "p5.bmp";
    QTest::newRow("one press") << 1 << QString();
}

void TestSpeed::queuedStepsEndAsIfEachWasShown()
{
    QFETCH(int, presses);
    QFETCH(QString, broken);
    Sandbox box;
    for (int i = 0; i < 6; ++i)
        box.picture(
            QString("f/p%1.bmp").arg(i), QSize(2400 - 100 * i, 1800), "bmp", QColor(30 * i, 90, 0));
    if (!broken.isEmpty())
        box.write("f/" + broken, "not a picture");
    Viewer queued(box.path());
    Viewer each(box.path());
    for (Viewer *v : { &queued, &each }) {
        (*v)->Form_Load("");
        (*v)->OpenPath(box.path() + "/f");
    }
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < presses; ++i)
        each->NextBitmap_Click();
    const qint64 eachMs = timer.restart();
    // Presses arriving faster than pictures decode.
    for (int i = 0; i < presses; ++i)
        QCoreApplication::postEvent(
            queued->Picture1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, {}, " "));
    QTRY_COMPARE(shown(queued), shown(each));
    if (presses > 1 && broken.isEmpty())
        QVERIFY2(timer.elapsed() * 4 < eachMs,
            qPrintable(QString("%1 ms, one by one %2 ms").arg(timer.elapsed()).arg(eachMs)));
}

void TestSpeed::exitDoesNotWaitForANeighbour()
{
    // A metafile whose one polygon takes long to fill is decoded ahead
    // while the first picture is shown.
    Sandbox box;
    const QString first = box.picture("f/a.bmp", QSize(40, 30));
    WmfWriter wmf(1000, 1000, 1000);
    wmf.setBrush(Qt::blue);
    QPolygon star;
    for (qint64 i = 0; i < 65535; ++i)
        star << QPoint(int(i * 7919 % 1000), int(i * 104729 % 1000));
    wmf.polygon(star);
    QVERIFY(wmf.save(box.file("f/b.wmf")));
    QProcess vorlane;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "vorlane.timing=true");
    env.insert("XDG_CONFIG_HOME", box.path());
    vorlane.setProcessEnvironment(env);
    vorlane.setProcessChannelMode(QProcess::MergedChannels);
    vorlane.start(VORLANE_BINARY, { first });
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += vorlane.readAll()).contains("ready "), 20000);
    QVERIFY(vorlane.processId() > 0);
    QElapsedTimer timer;
    timer.start();
    ::kill(pid_t(vorlane.processId()), SIGTERM);
    QVERIFY(vorlane.waitForFinished(5000));
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString("%1 ms").arg(timer.elapsed())));
}

QTEST_MAIN(TestSpeed)
#include "test_speed.moc"
