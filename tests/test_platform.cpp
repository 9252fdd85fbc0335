// The platform layer's own promises: the common dialog object, BMP writing,
// picture handles, the surface's XOR drawing, the folder test and the
// termination signal.

// Qt
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

// Std
#include <csignal>

// Local
#include "platform/common_dialog.h"
#include "platform/picture_surface.h"
#include "platform/qt_folder_service.h"
#include "platform/qt_picture_service.h"
#include "platform/termination_watcher.h"
#include "support/fake_screen.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void fileDialogRequest();
    void dialogCancelKeepsFileNameAndClearsTitle();
    void colourDialogStartsFromColourOnlyWithItsFlag();
    void bmpIsWrittenAt24BitsWithPaddedRows_data();
    void bmpIsWrittenAt24BitsWithPaddedRows();
    void savingIntoAMissingFolderFails();
    void pictureHandles();
    void xorBoxDrawnTwiceRestoresThePixels();
    void drawingWithAutoRedrawOffLeavesTheImage();
    void folderTest();
    void terminationSignalReachesTheEventLoop();
};

void TestPlatform::fileDialogRequest()
{
    ScriptedDialogs runner;
    CommonDialog dlg(runner);
    dlg.Filter = "BMPファイル (*.bmp)|*.bmp";
    dlg.DefaultExt = "*.bmp";
    dlg.Flags |= 0x802;
    dlg.FileName = "/photos/a";
    QVERIFY(!dlg.ShowSave());
    const FileDialogRequest r = runner.saveRequests.value(0);
    QCOMPARE(r.nameFilters, QStringList({ "BMPファイル (*.bmp)" }));
    QCOMPARE(r.defaultSuffix, QString("bmp"));
    QCOMPARE(r.proposedPath, QString("/photos/a"));
    QVERIFY(r.confirmOverwrite);
    QVERIFY(r.pathMustExist);
    // A description without its pattern gets it; "*.*" adds no suffix.
    dlg.Filter = "Pictures|*.jpg|All|*.*";
    dlg.DefaultExt = "*.*";
    QVERIFY(!dlg.ShowOpen());
    QCOMPARE(runner.openRequests.value(0).nameFilters,
             QStringList({ "Pictures (*.jpg)", "All (*.*)" }));
    QCOMPARE(runner.openRequests.value(0).defaultSuffix, QString());
}

void TestPlatform::dialogCancelKeepsFileNameAndClearsTitle()
{
    ScriptedDialogs runner;
    CommonDialog dlg(runner);
    runner.saveAnswers.push_back(QString("/photos/b.bmp"));
    QVERIFY(dlg.ShowSave());
    QCOMPARE(dlg.FileName, QString("/photos/b.bmp"));
    QCOMPARE(dlg.FileTitle(), QString("b.bmp"));
    QVERIFY(!dlg.ShowSave());
    QCOMPARE(dlg.FileName, QString("/photos/b.bmp"));
    QCOMPARE(dlg.FileTitle(), QString());
}

void TestPlatform::colourDialogStartsFromColourOnlyWithItsFlag()
{
    ScriptedDialogs runner;
    CommonDialog dlg(runner);
    dlg.Color = QColor(10, 20, 30);
    QVERIFY(!dlg.ShowColor());
    QCOMPARE(runner.colorStarts.value(0), QColor(Qt::black));
    dlg.Color = QColor(10, 20, 30);
    dlg.Flags |= CommonDialog::cdlCCRGBInit;
    QVERIFY(!dlg.ShowColor());
    QCOMPARE(runner.colorStarts.value(1), QColor(10, 20, 30));
    // A cancel gives back the colour it started from.
    QCOMPARE(dlg.Color, QColor(10, 20, 30));
}

void TestPlatform::bmpIsWrittenAt24BitsWithPaddedRows_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1x1") << QSize(1, 1);
    QTest::newRow("odd width pads rows") << QSize(3, 5);
    QTest::newRow("wide") << QSize(127, 64);
}

void TestPlatform::bmpIsWrittenAt24BitsWithPaddedRows()
{
    QFETCH(QSize, size);
    Sandbox box;
    FakeScreen screen;
    QtPictureService pictures(screen);
    QImage image = makePattern(qMax(2, size.width()), qMax(2, size.height()))
                       .copy(QRect(QPoint(0, 0), size))
                       .convertToFormat(QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(1, 2, 3, 0)); // alpha is dropped, colour kept
    const QString path = box.file("out.bmp");
    QVERIFY(pictures.savePicture(image, path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const int stride = (size.width() * 3 + 3) & ~3;
    QCOMPARE(bytes.size(), 54 + stride * size.height());
    QCOMPARE(bytes.mid(0, 2), QByteArray("BM"));
    QCOMPARE(int(uchar(bytes[28])), 24); // bits per pixel
    QCOMPARE(int(uchar(bytes[30])), 0);  // uncompressed
    const QImage back(path);
    QCOMPARE(back.size(), size);
    QCOMPARE(back.pixel(0, 0) & 0xffffff, QRgb(0x010203));
    for (int y = 0; y < size.height(); ++y)
        for (int x = 1; x < size.width(); ++x)
            QCOMPARE(back.pixel(x, y) & 0xffffff, image.pixel(x, y) & 0xffffff);
}

void TestPlatform::savingIntoAMissingFolderFails()
{
    Sandbox box;
    FakeScreen screen;
    QtPictureService pictures(screen);
    QVERIFY(!pictures.savePicture(makePattern(4, 4), box.path() + "/no/such/folder/x.bmp"));
    QVERIFY(!pictures.savePicture(QImage(), box.file("empty.bmp")));
    QVERIFY(!QFile::exists(box.file("empty.bmp")));
}

void TestPlatform::pictureHandles()
{
    QCOMPARE(Picture().handle(), quintptr(0));
    QCOMPARE(Picture(QImage(0, 5, QImage::Format_RGB32), QSizeF(0, 5)).handle(), quintptr(0));
    QVERIFY(Picture(makePattern(2, 2), QSizeF(53, 53)).handle() != 0);
}

void TestPlatform::xorBoxDrawnTwiceRestoresThePixels()
{
    FakeScreen screen;
    QWidget parent;
    PictureSurface surface(screen, &parent);
    surface.Resize(60 * 15, 40 * 15);
    Picture picture(makePattern(60, 40), QSizeF(60 * 2540 / 96.0, 40 * 2540 / 96.0));
    surface.PaintPicture(picture, QRectF(0, 0, 900, 600));
    const QImage before = surface.Image().copy();
    surface.drawMode = PictureSurface::DrawMode::XorPen;
    surface.Line(QPointF(75, 75), QPointF(600, 450), QColor(192, 192, 192), true);
    QVERIFY(surface.Image() != before);
    QCOMPARE(surface.Image().pixel(5, 5) & 0xffffff,
             (before.pixel(5, 5) ^ qRgb(192, 192, 192)) & 0xffffff);
    surface.Line(QPointF(75, 75), QPointF(600, 450), QColor(192, 192, 192), true);
    QCOMPARE(surface.Image(), before);
}

void TestPlatform::drawingWithAutoRedrawOffLeavesTheImage()
{
    FakeScreen screen;
    QWidget parent;
    PictureSurface surface(screen, &parent);
    surface.Resize(300, 300);
    surface.Cls();
    const QImage before = surface.Image().copy();
    surface.setAutoRedraw(false);
    surface.Line(QPointF(0, 0), QPointF(300, 300), Qt::red, false);
    surface.Cls();
    QCOMPARE(surface.Image(), before);
}

void TestPlatform::folderTest()
{
    Sandbox box;
    QtFolderService folders;
    QDir().mkpath(box.path() + "/pics");
    QDir().mkpath(box.path() + "/.hidden");
    box.write("file.jpg", "x");
    QVERIFY(folders.isFolder(box.path() + "/pics"));
    QVERIFY(folders.isFolder(box.path() + "/pics/"));
    QVERIFY(folders.isFolder(box.path() + "/."));
    QVERIFY(folders.isFolder(box.path() + "/pics/.."));
    QVERIFY(!folders.isFolder(box.path() + "/.hidden"));
    QVERIFY(!folders.isFolder(box.path() + "/file.jpg"));
    QVERIFY(!folders.isFolder(box.path() + "/missing"));
    QVERIFY(!folders.isFolder(QString()));
    // A listing can stop early.
    box.write("pics/a.jpg", "x");
    box.write("pics/b.jpg", "x");
    int seen = 0;
    folders.forEachFile(box.path() + "/pics/", [&seen](const QString &) {
        ++seen;
        return false;
    });
    QCOMPARE(seen, 1);
}

void TestPlatform::terminationSignalReachesTheEventLoop()
{
    TerminationWatcher watcher;
    QSignalSpy spy(&watcher, &TerminationWatcher::terminationRequested);
    std::raise(SIGTERM);
    QVERIFY(spy.wait(2000));
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
