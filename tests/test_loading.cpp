// Loading picture files of every kind into the view.

// Qt
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

// Std
#include <sys/stat.h>

// Local
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestLoading : public QObject
{
    Q_OBJECT
private slots:
    void everyKindLoads_data();
    void everyKindLoads();
    void contentDecidesNotTheExtension();
    void jpegShowsUpright_data();
    void jpegShowsUpright();
    void iconShowsItsLargestEntry();
    void naturalSizes();
    void failedLoadKeepsThePicture();
    void emptyPathReleasesThePicture();
    void reloadResetsZoomAndCrop();
    void slideShowCaption();
    void largePhotoOpens();
    void absurdHeadersAreRefused();
    void pipeIsNeverRead();
    void truncatedFileShowsWhatDecoded();
};

void TestLoading::everyKindLoads_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("bmp") << QByteArray("bmp") << "p.bmp" << 0;
    QTest::newRow("gif") << QByteArray("gif") << "p.gif" << 0;
    QTest::newRow("jpg") << QByteArray("jpg") << "p.jpg" << 40;
    QTest::newRow("jpeg") << QByteArray("jpg") << "p.jpeg" << 40;
    QTest::newRow("ico") << QByteArray("ico") << "p.ico" << 0;
    QTest::newRow("wmf") << QByteArray("wmf") << "p.wmf" << 40;
}

void TestLoading::everyKindLoads()
{
    QFETCH(QByteArray, kind);
    QFETCH(QString, name);
    QFETCH(int, tolerance);
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString path = box.picture(name, { 64, 48 }, kind.constData());
    v->LoadPictureFile(path);
    QVERIFY(v->HasPicture());
    QCOMPARE(v->m_fname, path);
    QCOMPARE(v->windowTitle(), name);
    // 64 × 48 pixels at 15 twips a pixel (a metafile of that size too).
    QCOMPARE(v->m_orgx, 960);
    QCOMPARE(v->m_orgy, 720);
    QCOMPARE(v->m_size, 100.0f);
    // The view shows the picture the right way round.
    const QImage view = v->Picture1->Image();
    QCOMPARE(view.size(), QSize(64, 48));
    const QSize size(64, 48);
    for (Quadrant q : { Quadrant::TopLeft, Quadrant::TopRight, Quadrant::BottomLeft,
                        Quadrant::BottomRight }) {
        const QPoint p = quadrantCentre(size, q);
        QVERIFY2(sameColour(QColor(view.pixel(p)), quadrantColor(q), tolerance),
                 qPrintable(QString("quadrant %1").arg(int(q))));
    }
}

void TestLoading::contentDecidesNotTheExtension()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->LoadPictureFile(box.picture("really-a-jpeg.bmp", { 30, 20 }, "jpg"));
    QVERIFY(v->HasPicture());
    QCOMPARE(v->m_orgx, 450);
}

void TestLoading::jpegShowsUpright_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<int>("topLeftQuadrant"); // which quadrant of the file lands top-left
    QTest::newRow("1: as stored") << 1 << QSize(60, 40) << int(Quadrant::TopLeft);
    QTest::newRow("3: turned half round") << 3 << QSize(60, 40) << int(Quadrant::BottomRight);
    QTest::newRow("6: turned clockwise") << 6 << QSize(40, 60) << int(Quadrant::BottomLeft);
    QTest::newRow("8: turned anticlockwise") << 8 << QSize(40, 60) << int(Quadrant::TopRight);
}

void TestLoading::jpegShowsUpright()
{
    QFETCH(int, orientation);
    QFETCH(QSize, shown);
    QFETCH(int, topLeftQuadrant);
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString path = box.file("photo.jpg");
    QVERIFY(writeJpegWithOrientation(makePattern(60, 40), path, orientation));
    v->LoadPictureFile(path);
    QCOMPARE(QSize(v->m_orgx / 15, v->m_orgy / 15), shown);
    const QImage view = v->Picture1->Image();
    QVERIFY(sameColour(QColor(view.pixel(3, 3)), quadrantColor(Quadrant(topLeftQuadrant)), 40));
}

void TestLoading::iconShowsItsLargestEntry()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString path = box.file("multi.ico");
    QVERIFY(writeIcon({ makePattern(16, 16), makePattern(48, 48, Qt::magenta),
                        makePattern(32, 32) },
                      path));
    v->LoadPictureFile(path);
    QCOMPARE(v->m_orgx, 48 * 15);
    QVERIFY(sameColour(QColor(v->Picture1->Image().pixel(5, 5)), QColor(Qt::magenta), 0));
}

void TestLoading::naturalSizes()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->show();
    v->LoadPictureFile(box.picture("wide.gif", { 640, 32 }, "gif"));
    QCOMPARE(v->m_orgx, 9600);
    QCOMPARE(v->m_orgy, 480);
    const QString dot = box.file("dot.bmp");
    QVERIFY(writePicture(QImage(1, 1, QImage::Format_RGB32), dot, "bmp"));
    v->LoadPictureFile(dot);
    QCOMPARE(v->m_orgx, 15);
    QCOMPARE(v->m_orgy, 15);
    // The window takes its minimum width around a one-pixel surface.
    QCOMPARE(v->frameGeometry().width(), 267);
}

void TestLoading::failedLoadKeepsThePicture()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString good = box.picture("good.bmp", { 40, 30 });
    v->LoadPictureFile(good);
    v->m_size = 50;
    v->FormResize();
    const QImage before = v->Picture1->Image();
    const QString bad = box.write("broken.jpg", QByteArray("this is no picture at all"));
    v->LoadPictureFile(bad);
    QCOMPARE(v->windowTitle(), QString("broken.jpg"));
    QCOMPARE(v->m_fname, good);
    QVERIFY(v->HasPicture());
    QCOMPARE(v->m_size, 50.0f);
    QCOMPARE(v->Picture1->Image(), before);
    // A missing file is met the same way.
    v->LoadPictureFile(box.file("missing.gif"));
    QCOMPARE(v->windowTitle(), QString("missing.gif"));
    QCOMPARE(v->m_fname, good);
}

void TestLoading::emptyPathReleasesThePicture()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString good = box.picture("good.bmp", { 40, 30 });
    v->LoadPictureFile(good);
    v->LoadPictureFile(QString());
    QVERIFY(!v->m_pic.has_value());
    QVERIFY(!v->HasPicture());
    QCOMPARE(v->m_fname, good);
    QCOMPARE(v->windowTitle(), QString("good.bmp"));
    // The next redraw shows the prompt again.
    v->RedrawView();
    QVERIFY(!sameColour(QColor(v->Picture1->Image().pixel(2, 2)), QColor(255, 0, 0), 60));
}

void TestLoading::reloadResetsZoomAndCrop()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString path = box.picture("p.bmp", { 40, 30 });
    for (int i = 0; i < 2; ++i) {
        v->m_size = 230;
        v->m_trimx = 15;
        v->m_trimw = 30;
        v->LoadPictureFile(path);
        QCOMPARE(v->m_size, 100.0f);
        QCOMPARE(QRect(v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh), QRect(0, 0, 600, 450));
    }
}

void TestLoading::slideShowCaption()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString path = box.picture("cat.jpg", { 20, 20 }, "jpg");
    v->ssTimer.start(2500);
    v->LoadPictureFile(path);
    QCOMPARE(v->windowTitle(), QString("cat.jpg >> 2.5"));
    v->ssTimer.start(10000);
    v->LoadPictureFile(path);
    QCOMPARE(v->windowTitle(), QString("cat.jpg >> 10"));
    v->ssTimer.stop();
}

void TestLoading::largePhotoOpens()
{
    // 108 megapixels: more than Qt's own default allocation limit allows.
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString path = box.file("huge.jpg");
    {
        QImage photo(12000, 9000, QImage::Format_RGB32);
        photo.fill(QColor(30, 90, 200));
        QVERIFY(writePicture(photo, path, "jpg"));
    }
    v->LoadPictureFile(path);
    QVERIFY(v->HasPicture());
    QCOMPARE(v->m_orgx, 12000 * 15);
    QVERIFY(v->m_size < 10);
    QVERIFY(sameColour(QColor(v->Picture1->Image().pixel(3, 3)), QColor(30, 90, 200), 8));
}

void TestLoading::absurdHeadersAreRefused()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString gif = box.file("bomb.gif");
    QVERIFY(writeGifHeaderClaiming(gif, 50000, 50000));
    const QString bmp = box.file("bomb.bmp");
    QVERIFY(writeBmpHeaderClaiming(bmp, 65536, 32768)); // 2^31 pixels
    const QString topDown = box.file("bomb2.bmp");
    QVERIFY(writeBmpHeaderClaiming(topDown, 46341, -46341));
    for (const QString &path : { gif, bmp, topDown }) {
        v->LoadPictureFile(path);
        QVERIFY2(!v->HasPicture(), qPrintable(path));
    }
}

void TestLoading::pipeIsNeverRead()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString pipe = box.file("pipe.jpg");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Reading the pipe would block for ever; it must not be opened at all.
    v->LoadPictureFile(pipe);
    QVERIFY(!v->HasPicture());
    QCOMPARE(v->windowTitle(), QString("pipe.jpg"));
}

void TestLoading::truncatedFileShowsWhatDecoded()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QByteArray whole = encodePicture(makePattern(200, 200), "bmp");
    const QString path = box.write("cut.bmp", truncated(whole, 0.6));
    v->LoadPictureFile(path);
    // A bitmap's rows run bottom-up: what survived is the lower part.
    QVERIFY(v->HasPicture());
    QCOMPARE(v->m_orgx, 3000);
    const QImage view = v->Picture1->Image();
    QVERIFY(sameColour(QColor(view.pixel(150, 190)), quadrantColor(Quadrant::BottomRight), 0));
}

QTEST_MAIN(TestLoading)
#include "test_loading.moc"
