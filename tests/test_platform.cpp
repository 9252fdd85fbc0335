// The platform layer's own promises: the common dialog object and Qt's file
// dialog behind it, BMP writing, the surface's XOR drawing, the folder test,
// the settings store and the termination signal.

// Qt
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QSignalSpy>
#include <QtTest>

// Std
#include <csignal>
#include <sys/resource.h>

// Local
#include "platform/common_dialog.h"
#include "platform/picture_surface.h"
#include "platform/qt_dialog_runner.h"
#include "platform/qt_folder_service.h"
#include "platform/qt_picture_service.h"
#include "platform/termination_watcher.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void fileDialogRequest()
    {
        ScriptedDialogs runner;
        CommonDialog dlg(runner);
        dlg.Filter = "Pictures|*.jpg|All|*.*";
        dlg.DefaultExt = "*.*";
        dlg.Flags |= 0x802;
        dlg.FileName = "/photos/a";
        runner.saveAnswers.push_back(QString("/photos/b.bmp"));
        QVERIFY(dlg.ShowSave());
        // A description without its pattern gets it; "*.*" adds no suffix.
        const FileDialogRequest r = runner.saveRequests.value(0);
        QCOMPARE(r.nameFilters, QStringList({ "Pictures (*.jpg)", "All (*.*)" }));
        QCOMPARE(r.defaultSuffix, QString());
        QCOMPARE(r.proposedPath, QString("/photos/a"));
        QVERIFY(r.confirmOverwrite && r.pathMustExist);
        QCOMPARE(dlg.FileTitle(), QString("b.bmp"));
        // A cancel keeps the name and clears the title.
        QVERIFY(!dlg.ShowOpen());
        QCOMPARE(dlg.FileName, QString("/photos/b.bmp"));
        QCOMPARE(dlg.FileTitle(), QString());
    }

    // Qt's own dialog (not the desktop's), given the Open command's filter,
    // lists every file, those without a dot too, under the filter's text.
    void openDialogListsEveryFile()
    {
        Sandbox box;
        for (const char *name : { "scanbmp", "README", "a.jpg" })
            box.write(name, "x");
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QtDialogRunner runner;
        CommonDialog dlg(runner);
        dlg.Filter = "ファイル (*.*)|*.*";
        dlg.InitDir = box.path();
        QStringList listed;
        QString filter;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            const auto *view = dialog->findChild<QListView *>("listView");
            const auto enabled = [&] {
                listed.clear();
                for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                    const QModelIndex i = view->model()->index(row, 0, view->rootIndex());
                    if (i.flags() & Qt::ItemIsEnabled)
                        listed << i.data().toString();
                }
                return listed.size() == 3;
            };
            (void)QTest::qWaitFor(enabled); // the lists are read below
            filter = dialog->findChild<QComboBox *>("fileTypeCombo")->currentText();
            dialog->reject();
        });
        QVERIFY(!dlg.ShowOpen());
        listed.sort();
        QCOMPARE(listed, QStringList({ "README", "a.jpg", "scanbmp" }));
        QCOMPARE(filter, QString("ファイル (*.*)"));
    }

    // An odd width, so that rows are padded.
    void bmpIsWrittenAt24BitsWithPaddedRows()
    {
        const QSize size(3, 5);
        Sandbox box;
        FakeScreen screen;
        QtPictureService pictures(screen);
        QImage image = makePattern(3, 5).convertToFormat(QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(1, 2, 3, 0)); // alpha is dropped, colour kept
        const QString path = box.file("out.bmp");
        QVERIFY(pictures.savePicture(image, path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.size(), 54 + ((size.width() * 3 + 3) & ~3) * size.height());
        QCOMPARE(bytes.mid(0, 2), QByteArray("BM"));
        QCOMPARE(int(bytes[28]), 24); // bits per pixel
        QCOMPARE(int(bytes[30]), 0); // uncompressed
        const QImage back(path);
        QCOMPARE(back.size(), size);
        QCOMPARE(rgbAt(back, 0, 0), QRgb(0x010203));
        QCOMPARE(rgbAt(back, 2, 4), rgb(255, 255, 0));
        // Nothing to write, or nowhere to write it, fails.
        QVERIFY(!pictures.savePicture(QImage(), box.file("empty.bmp")));
        QVERIFY(!pictures.savePicture(image, box.path() + "/no/such/folder/x.bmp"));
        // A write cut short, as on a full disk, fails and keeps the old file.
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small { 100, saved.rlim_max };
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const bool written = pictures.savePicture(makePattern(40, 40), path);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QCOMPARE(QImage(path).size(), size);
    }

    void xorBoxDrawnTwiceRestoresThePixels()
    {
        FakeScreen screen;
        QWidget parent;
        PictureSurface surface(screen, &parent);
        surface.Resize(60 * 15, 40 * 15);
        surface.PaintPicture(Picture(makePattern(60, 40), QSizeF(1587.5, 1058.3)),
                             QRectF(0, 0, 900, 600));
        const QImage before = surface.Image().copy();
        surface.drawMode = PictureSurface::DrawMode::XorPen;
        surface.Line(QPointF(75, 75), QPointF(600, 450), QColor(192, 192, 192), true);
        QCOMPARE(rgbAt(surface.Image(), 5, 5), rgbAt(before, 5, 5) ^ rgb(192, 192, 192));
        surface.Line(QPointF(75, 75), QPointF(600, 450), QColor(192, 192, 192), true);
        QCOMPARE(surface.Image(), before);
        // With AutoRedraw off, drawing leaves the kept image alone.
        surface.setAutoRedraw(false);
        surface.Line(QPointF(0, 0), QPointF(300, 300), Qt::red, false);
        surface.Cls();
        QCOMPARE(surface.Image(), before);
    }

    void folderTest()
    {
        Sandbox box;
        box.write("pics/a.jpg", "x");
        box.write("pics/b.jpg", "x");
        box.write(".hidden/a.jpg", "x");
        QtFolderService folders;
        for (const char *folder : { "/pics", "/pics/", "/.", "/pics/.." })
            QVERIFY2(folders.isFolder(box.path() + folder), folder);
        for (const char *other : { "/.hidden", "/pics/a.jpg", "/missing", "" })
            QVERIFY2(!folders.isFolder(*other ? box.path() + other : QString()), other);
        // A listing can stop early.
        int seen = 0;
        folders.forEachFile(box.path() + "/pics/", [&seen](const QString &) { return ++seen > 1; });
        QCOMPARE(seen, 1);
    }

    void store()
    {
        Sandbox box;
        IniSettingsStore(box.path()).saveSetting("VORLANE", "Setting", "TrimCopy", "1 px, wide");
        IniSettingsStore store(box.path());
        // Names compare without case, both application names share one file,
        // and values outlive the store that wrote them.
        QCOMPARE(store.getSetting("vorlane", "setting", "trimcopy", "x"), QString("1 px, wide"));
        QCOMPARE(store.fileFor("VORLANE"), store.fileFor("vorlane"));
        QVERIFY(QFile::exists(store.fileFor("vorlane")));
        // An empty value is a value, not an absent key.
        QCOMPARE(store.getSetting("VORLANE", "Setting", "ShowClip", "0"), QString("0"));
        store.saveSetting("VORLANE", "Setting", "ShowClip", "");
        QCOMPARE(store.getSetting("VORLANE", "Setting", "ShowClip", "0"), QString());
    }

    void terminationSignalReachesTheEventLoop()
    {
        TerminationWatcher watcher;
        QSignalSpy spy(&watcher, &TerminationWatcher::terminationRequested);
        std::raise(SIGTERM);
        QVERIFY(spy.wait(2000));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
