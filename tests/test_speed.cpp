// Decoding for the view: fewer pixels held than the file has must never
// show, stepping by held keys must end as if every picture had been shown,
// and decoding ahead must stay within its memory and never hold up exit.

// Qt
#include <QColorSpace>
#include <QColorTransform>
#include <QCryptographicHash>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
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

// Quadrants with thin dark lines every four pixels: detail that a reduced
// decode averages away.
QImage lined(QSize size)
{
    QImage img = makePattern(size.width(), size.height(), QColor(200, 60, 40));
    QPainter p(&img);
    p.setPen(QColor(20, 20, 20));
    for (int x = 0; x < size.width(); x += 4)
        p.drawLine(x, 0, x, size.height() - 1);
    return img;
}

// Mean difference per channel of two images of one size (255 when they differ
// in size).
double meanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 255;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += qAbs(qRed(p[col]) - qRed(q[col])) + qAbs(qGreen(p[col]) - qGreen(q[col]))
                + qAbs(qBlue(p[col]) - qBlue(q[col]));
    }
    return sum / (3.0 * x.width() * x.height());
}

bool writeJpeg(const QImage &img, const QString &path, bool progressive)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(img);
}

qint64 peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

struct Seen
{
    QString title;
    QString fname;
    int bmpidx;
    QByteArray view;
    bool operator==(const Seen &) const = default;
};

Seen seen(Viewer &v)
{
    const QImage view = v->Picture1->Image();
    return { v->windowTitle(), v->m_fname, v->m_bmpidx,
             QCryptographicHash::hash(QByteArrayView(view.constBits(), view.sizeInBytes()),
                                      QCryptographicHash::Sha1) };
}

} // namespace

class TestSpeed : public QObject
{
    Q_OBJECT
private slots:
    // First: it reads the peak memory of the whole process.
    void bombFolderStaysWithinBudget();
    void fittedViewAsWithEveryPixel_data();
    void fittedViewAsWithEveryPixel();
    void closerViewsDecodeEveryPixel_data();
    void closerViewsDecodeEveryPixel();
    void profileConvertedToSrgb();
    void queuedStepsEndAsIfEachWasShown_data();
    void queuedStepsEndAsIfEachWasShown();
    void exitDoesNotWaitForANeighbour();
};

void TestSpeed::bombFolderStaysWithinBudget()
{
    // Each a few dozen bytes claiming 15,800 × 15,800 pixels: a gigabyte
    // decoded. Stepped through with the neighbours decoded ahead, as the
    // program does.
    Sandbox box;
    for (int i = 0; i < 7; ++i)
        QVERIFY(writeGifHeaderClaiming(box.file(QStringLiteral("b/bomb%1.gif").arg(i)), 15800,
                                       15800));
    Viewer v(box.path(), QSize(1024, 720), true);
    v->Form_Load("");
    v->OpenPath(box.path() + "/b");
    for (int i = 0; i < 7; ++i) {
        v->NextBitmap_Click();
        v.ahead.waitForAll();
    }
    const qint64 peak = peakMemoryKiB();
    QVERIFY2(peak > 0 && peak < 1536 * 1024, qPrintable(QString("peak %1 MiB").arg(peak / 1024)));
}

void TestSpeed::fittedViewAsWithEveryPixel_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("orientation"); // EXIF; 0: none
    QTest::addColumn<bool>("progressive");
    QTest::newRow("photo") << QSize(4000, 3000) << 0 << false;
    QTest::newRow("progressive") << QSize(4000, 3000) << 0 << true;
    QTest::newRow("rotated by EXIF") << QSize(3000, 2000) << 6 << false;
    QTest::newRow("smaller than the view") << QSize(300, 200) << 0 << false;
}

void TestSpeed::fittedViewAsWithEveryPixel()
{
    QFETCH(QSize, size);
    QFETCH(int, orientation);
    QFETCH(bool, progressive);
    Sandbox box;
    const QImage img = makePattern(size.width(), size.height());
    const QString jpg = box.file("p.jpg");
    QVERIFY(orientation ? writeJpegWithOrientation(img, jpg, orientation)
                        : writeJpeg(img, jpg, progressive));
    // The same picture decoded whole: what the view showed before.
    QImageReader reader(jpg);
    reader.setAutoTransform(true);
    const QString bmp = box.file("p.bmp");
    QVERIFY(writePicture(reader.read(), bmp, "bmp"));

    Viewer reduced(box.path(), QSize(1024, 768));
    Viewer whole(box.path(), QSize(1024, 768));
    reduced->Form_Load("");
    whole->Form_Load("");
    reduced->LoadPictureFile(jpg);
    whole->LoadPictureFile(bmp);
    QCOMPARE(reduced->m_pic->isReduced(), size.width() > 1000);
    QCOMPARE(reduced->m_orgx, whole->m_orgx);
    QCOMPARE(reduced->m_orgy, whole->m_orgy);
    QCOMPARE(reduced->m_size, whole->m_size);
    QCOMPARE(reduced->windowWidth(), whole->windowWidth());
    QCOMPARE(reduced->windowHeight(), whole->windowHeight());
    const double diff = meanDifference(reduced->Picture1->Image(), whole->Picture1->Image());
    QVERIFY2(diff < 3, qPrintable(QString::number(diff)));
}

void TestSpeed::closerViewsDecodeEveryPixel_data()
{
    QTest::addColumn<float>("zoom");
    QTest::addColumn<QRect>("crop"); // pixels of the picture
    QTest::newRow("100 x 100 crop") << 100.0f << QRect(1000, 1000, 100, 100);
    QTest::newRow("zoomed to 400 %") << 400.0f << QRect(2000, 1500, 200, 150);
}

void TestSpeed::closerViewsDecodeEveryPixel()
{
    QFETCH(float, zoom);
    QFETCH(QRect, crop);
    Sandbox box;
    const QImage img = lined(QSize(4000, 3000));
    const QString jpg = box.file("p.jpg");
    QVERIFY(writeJpeg(img, jpg, false));
    const QString bmp = box.file("p.bmp");
    QVERIFY(writePicture(QImage(jpg), bmp, "bmp"));
    Viewer reduced(box.path(), QSize(1024, 768));
    Viewer whole(box.path(), QSize(1024, 768));
    for (Viewer *v : { &reduced, &whole }) {
        (*v)->Form_Load("");
        (*v)->LoadPictureFile(v == &reduced ? jpg : bmp);
        (*v)->m_trimx = crop.x() * 15;
        (*v)->m_trimy = crop.y() * 15;
        (*v)->m_trimw = crop.width() * 15;
        (*v)->m_trimh = crop.height() * 15;
        (*v)->m_size = zoom;
        (*v)->FormResize();
    }
    QVERIFY(!reduced->m_pic->isReduced());
    QCOMPARE(reduced->m_pic->image().size(), QSize(4000, 3000));
    QCOMPARE(reduced->m_orgx, 4000 * 15);
    const double diff = meanDifference(reduced->Picture1->Image(), whole->Picture1->Image());
    QVERIFY2(diff < 1, qPrintable(QString::number(diff)));
}

void TestSpeed::profileConvertedToSrgb()
{
    Sandbox box;
    const QRgb raw = qRgb(40, 190, 60);
    QImage img(64, 64, QImage::Format_RGB32);
    img.fill(raw);
    img.setColorSpace(QColorSpace::AdobeRgb);
    const QString path = box.file("adobe.jpg");
    QVERIFY(writeJpeg(img, path, false));
    const QRgb expected = QColorSpace(QColorSpace::AdobeRgb)
                              .transformationToColorSpace(QColorSpace::SRgb)
                              .map(raw);
    QVERIFY(!closeColor(expected, raw, 12)); // the profile matters for this colour
    Viewer v(box.path());
    v->Form_Load("");
    v->LoadPictureFile(path);
    const QImage view = v->Picture1->Image();
    const QRgb shown = rgbAt(view, view.width() / 2, view.height() / 2);
    QVERIFY2(closeColor(shown, expected, 4), qPrintable(QString::number(shown, 16)));
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
        box.picture(QStringLiteral("f/p%1.bmp").arg(i), QSize(2400 - 100 * i, 1800), "bmp",
                    QColor(30 * i, 90, 0));
    if (!broken.isEmpty())
        box.write("f/" + broken, "not a picture");
    Viewer queued(box.path());
    Viewer shown(box.path());
    for (Viewer *v : { &queued, &shown }) {
        (*v)->Form_Load("");
        (*v)->OpenPath(box.path() + "/f");
    }
    QElapsedTimer timer;
    timer.start();
    shown->NextBitmap_Click();
    const qint64 oneStepMs = qMax<qint64>(timer.elapsed(), 1);
    for (int i = 1; i < presses; ++i)
        shown->NextBitmap_Click();

    // Presses arriving faster than pictures decode.
    timer.restart();
    for (int i = 0; i < presses; ++i)
        QCoreApplication::postEvent(queued->Picture1,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier,
                                                  QStringLiteral(" ")));
    QTRY_COMPARE(seen(queued), seen(shown));
    if (presses > 1 && broken.isEmpty())
        QVERIFY2(timer.elapsed() < presses / 4 * oneStepMs,
                 qPrintable(QString("%1 ms, one step %2 ms").arg(timer.elapsed()).arg(oneStepMs)));
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
    vorlane.start(QStringLiteral(VORLANE_BINARY), { first });
    QVERIFY(vorlane.waitForStarted());
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += vorlane.readAll()).contains("ready "), 20000);
    QVERIFY(vorlane.processId() > 0);
    QElapsedTimer timer;
    timer.start();
    ::kill(pid_t(vorlane.processId()), SIGTERM);
    QVERIFY(vorlane.waitForFinished(5000));
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString("%1 ms").arg(timer.elapsed())));
    QCOMPARE(vorlane.exitStatus(), QProcess::NormalExit);
}

QTEST_MAIN(TestSpeed)
#include "test_speed.moc"
