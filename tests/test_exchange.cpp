// The view exchanged with other programs: clipboard copy and paste, drops
// and drags through Qt's own drag loop, saving as BMP, and the clean-up at
// exit. Real temporary folders, the real (in-process) clipboard.

// Qt
#include <QClipboard>
#include <QImageReader>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

// Local
#include "exchange/save_name.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestExchange : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void copyExportsTheDrawnView_data();
    void copyExportsTheDrawnView();
    void paste();
    void pasteAtStartUp_data();
    void pasteAtStartUp();
    void drop_data();
    void drop();
    void dragOutData();
    void dragOutByMouse();
    void proposedSaveName_data();
    void proposedSaveName();
    void saveWritesTheViewAsBmp();
    void exitSaveAndSnapshot_data();
    void exitSaveAndSnapshot();

private:
    QTemporaryDir m_runtime;
};

// The pixels of an image as opaque RGB, for exact comparison.
static QImage rgb32(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

static QStringList entries(const SortedPathList &list)
{
    return QStringList(list.entries().begin(), list.entries().end());
}

// Sends a mouse event of the left button to a widget, at a point of the
// widget, with the buttons held as given.
static void mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Drops data on the middle of target as a drag from another program does:
// Qt hands the drag-enter and then the drop to the innermost widget there
// that accepts drops. Returns whether one took it.
static bool dropOn(QWidget *target, const QMimeData &data)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (!QApplication::sendEvent(target, &enter) || !enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    return QApplication::sendEvent(target, &drop) && drop.isAccepted();
}

void TestExchange::initTestCase()
{
    // The drag snapshot goes to a runtime folder of the test's own.
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    QVERIFY(VANE::dragSnapshotPath().startsWith(m_runtime.path()));
}

void TestExchange::copyExportsTheDrawnView_data()
{
    QTest::addColumn<int>("zoomSteps");
    QTest::addColumn<QRect>("crop"); // twips; empty: the whole picture
    QTest::addColumn<QSize>("drawn");
    QTest::newRow("as loaded") << 0 << QRect() << QSize(40, 30);
    QTest::newRow("zoomed in twice") << 2 << QRect() << QSize(48, 36);
    QTest::newRow("cropped to the lower right") << 0 << QRect(300, 225, 300, 225) << QSize(20, 15);
}

void TestExchange::copyExportsTheDrawnView()
{
    QFETCH(int, zoomSteps);
    QFETCH(QRect, crop);
    QFETCH(QSize, drawn);
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load(box.picture("a.bmp", { 40, 30 }));
    for (int i = 0; i < zoomSteps; ++i)
        v->big_Click();
    if (!crop.isEmpty()) {
        v->m_trimx = crop.x();
        v->m_trimy = crop.y();
        v->m_trimw = crop.width();
        v->m_trimh = crop.height();
        v->FormResize();
    }
    v->EditCopy_Click();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), drawn);
    QCOMPARE(rgb32(copied), rgb32(v->Picture1->Image()));
}

void TestExchange::paste()
{
    Sandbox box;
    const QString a = box.picture("p/a.jpg", { 40, 30 }, "jpg");
    box.picture("p/b.bmp", { 40, 30 });
    const QString pasted = box.path() + "/p/Vorlane.bmp";
    QClipboard *clipboard = QGuiApplication::clipboard();
    Viewer v(box.path());
    v->Form_Load(a);
    v->m_bmpidx = 1;
    v->SlideShow_Click();

    clipboard->setImage(makePattern(30, 20, Qt::cyan));
    v->EditPaste_Click();
    QVERIFY(!v->ssTimer.isActive());
    QVERIFY(v->m_BitmapList.isEmpty());
    QCOMPARE(v->m_size, 100.0f);
    QCOMPARE(v->Picture1->Image().size(), QSize(30, 20));
    QCOMPARE(v->m_fname, pasted);
    QCOMPARE(rgb32(QImage(pasted)), rgb32(v->Picture1->Image()));
    QCOMPARE(v->m_bmpidx, 1);
    QCOMPARE(v->windowTitle(), QString("b.bmp")); // as the show's stop left it

    // A second paste replaces the file.
    clipboard->setImage(makePattern(12, 10, Qt::magenta));
    v->EditPaste_Click();
    QCOMPARE(QImage(pasted).size(), QSize(12, 10));

    // Text only: the held picture goes, nothing is written or shown.
    v->OpenPath(a);
    v->SlideShow_Click();
    clipboard->setText("words");
    v->EditPaste_Click();
    QVERIFY(!v->HasPicture());
    QVERIFY(v->m_BitmapList.isEmpty());
    QVERIFY(!v->ssTimer.isActive());
    QCOMPARE(v->m_fname, a);

    // A name that cannot be replaced (a folder holds it): nothing is written
    // and no temporary file stays behind.
    const QString blocked = box.path() + "/q/Vorlane.bmp";
    QDir().mkpath(blocked);
    v->OpenPath(box.picture("q/c.bmp", { 8, 8 }));
    clipboard->setImage(makePattern(10, 10));
    v->EditPaste_Click();
    QCOMPARE(v->m_fname, blocked);
    QVERIFY(QFileInfo(blocked).isDir());
    QCOMPARE(QDir(box.path() + "/q").entryList(QDir::NoDotAndDotDot | QDir::AllEntries,
                                                QDir::Name | QDir::IgnoreCase),
             QStringList({ "c.bmp", "Vorlane.bmp" }));
}

void TestExchange::pasteAtStartUp_data()
{
    QTest::addColumn<QString>("showClip");
    QTest::addColumn<bool>("image");
    QTest::addColumn<QSize>("shown");
    QTest::newRow("ShowClip on, a bitmap") << "1" << true << QSize(30, 20);
    QTest::newRow("ShowClip on, text only") << "1" << false << QSize(296, 196);
    QTest::newRow("ShowClip off, a bitmap") << "0" << true << QSize(296, 196);
}

void TestExchange::pasteAtStartUp()
{
    QFETCH(QString, showClip);
    QFETCH(bool, image);
    QFETCH(QSize, shown);
    Sandbox box;
    IniSettingsStore(box.path()).saveSetting("VORLANE", "Setting", "ShowClip", showClip);
    if (image)
        QGuiApplication::clipboard()->setImage(makePattern(30, 20));
    else
        QGuiApplication::clipboard()->setText("words");
    Viewer v(box.path());
    const QStringList before = QDir(box.path()).entryList(QDir::Files);
    v->Form_Load("");
    QCOMPARE(v->Picture1->Image().size(), shown);
    QCOMPARE(v->HasPicture(), shown.width() == 30);
    // With no picture before, the pasted picture is named but not written:
    // a later save proposes that name without its extension.
    if (v->HasPicture()) {
        QVERIFY(v->m_fname.endsWith("/Vorlane.bmp"));
        QVERIFY(!QFile::exists(v->m_fname));
        v->SavePic();
        QCOMPARE(v.dialogs.saveRequests.last().proposedPath, v->m_fname.chopped(4));
    }
    QCOMPARE(QDir(box.path()).entryList(QDir::Files), before);
}

void TestExchange::drop_data()
{
    QTest::addColumn<QStringList>("urls"); // sandbox names, or full URLs
    QTest::addColumn<bool>("onSurface");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("scandir");
    const QStringList unchanged { "f/b.jpg", "f/c.bmp" };
    QTest::newRow("one folder") << QStringList { "d" } << true << QStringList { "d/a.bmp", "d/z.gif" }
                                << "d/a.bmp" << "";
    QTest::newRow("one sound") << QStringList { "d/z.mid" } << false << unchanged << "f/b.jpg"
                               << "d/";
    QTest::newRow("a sound among pictures")
        << QStringList { "d/z.gif", "d/z.mid", "f/c.bmp" } << true
        << QStringList { "d/z.gif", "f/c.bmp" } << "d/z.gif" << "";
    QTest::newRow("no picture among two") << QStringList { "d/z.mid", "d" } << false
                                          << QStringList() << "f/b.jpg" << "";
    QTest::newRow("text") << QStringList() << true << unchanged << "f/b.jpg" << "";
    QTest::newRow("a web address") << QStringList { "https://example.org/x.jpg" } << false
                                   << unchanged << "f/b.jpg" << "";
}

void TestExchange::drop()
{
    QFETCH(QStringList, urls);
    QFETCH(bool, onSurface);
    QFETCH(QStringList, list);
    QFETCH(QString, shown);
    QFETCH(QString, scandir);
    Sandbox box;
    for (const char *name : { "d/a.bmp", "d/z.gif", "f/b.jpg", "f/c.bmp" })
        box.picture(name, { 16, 12 }, "bmp");
    box.write("d/z.mid", "not played");
    const QString prefix = box.path() + "/";
    Viewer v(box.path());
    v->Form_Load(prefix + "f/b.jpg");
    v->show();
    QVERIFY(QTest::qWaitForWindowExposed(&v.vane()));
    v->menuBar()->setFocus();

    QMimeData data;
    data.setText("words");
    QList<QUrl> dropped;
    for (const QString &u : urls)
        dropped << (u.contains(':') ? QUrl(u) : QUrl::fromLocalFile(prefix + u));
    if (!dropped.isEmpty())
        data.setUrls(dropped);
    QVERIFY(dropOn(onSurface ? static_cast<QWidget *>(v->Picture1) : v->menuBar(), data));

    for (QString &entry : list)
        entry.prepend(prefix);
    QCOMPARE(entries(v->m_BitmapList), list);
    QCOMPARE(v->m_fname, prefix + shown);
    QCOMPARE(v->HasPicture(), !list.isEmpty());
    QCOMPARE(v->m_scandir, scandir.isEmpty() ? QString() : prefix + scandir);
    QCOMPARE(v->focusWidget(), v->Picture1);
}

void TestExchange::dragOutData()
{
    Sandbox box;
    const QString a = box.picture("a.bmp", { 40, 30 });
    const QString snapshot = VANE::dragSnapshotPath();
    Viewer v(box.path());
    v->Form_Load(a);
    v->big_Click();
    QMimeData data;
    data.setText("stale");
    Qt::DropActions effects = Qt::MoveAction;
    QVERIFY(v->Picture1_OLEStartDrag(data, effects));
    QCOMPARE(data.formats(), QStringList({ "text/uri-list" }));
    QCOMPARE(data.urls(), QList<QUrl>({ QUrl::fromLocalFile(snapshot) }));
    QCOMPARE(effects, Qt::DropActions(Qt::CopyAction));
    QCOMPARE(rgb32(QImage(snapshot)), rgb32(v->Picture1->Image()));
    QCOMPARE(QImage(snapshot).size(), QSize(44, 33));
    // Dropped on its own window during the drag, the picture is refused;
    // after the drag, drops are taken again.
    for (QWidget *target : { static_cast<QWidget *>(v->Picture1), static_cast<QWidget *>(v->menuBar()) })
        QVERIFY(!dropOn(target, data));
    QCOMPARE(v->m_fname, a);
    v->Picture1_OLECompleteDrag(Qt::CopyAction);
    QVERIFY(dropOn(v->Picture1, data));
    QCOMPARE(v->m_fname, snapshot);

    // A second drag replaces the snapshot; Shift offers the file itself.
    v->OpenPath(a);
    QVERIFY(v->Picture1_OLEStartDrag(data, effects));
    QCOMPARE(QImage(snapshot).size(), QSize(40, 30));
    v->m_shiftdrag = true;
    QVERIFY(v->Picture1_OLEStartDrag(data, effects));
    QCOMPARE(data.urls(), QList<QUrl>({ QUrl::fromLocalFile(a) }));
    v->Picture1_OLECompleteDrag(Qt::IgnoreAction);

    // No drag starts without an existing file to offer, nor when the
    // snapshot cannot be written (a file holds its folder's name); drops
    // stay accepted.
    Viewer empty(box.path());
    empty->Form_Load("");
    empty->m_shiftdrag = true;
    QVERIFY(!empty->Picture1_OLEStartDrag(data, effects));
    empty->m_fname = box.path() + "/Vorlane.bmp"; // named by a paste, never written
    QVERIFY(!empty->Picture1_OLEStartDrag(data, effects));
    const QString folder = QFileInfo(snapshot).path();
    QDir(folder).removeRecursively();
    writeBytes(folder, "");
    empty->m_shiftdrag = false;
    QVERIFY(!empty->Picture1_OLEStartDrag(data, effects));
    QVERIFY(empty->acceptDrops() && empty->Picture1->acceptDrops());
    QFile::remove(folder);
}

void TestExchange::dragOutByMouse()
{
    Sandbox box;
    const QString a = box.picture("a.bmp", { 40, 30 });
    const QString snapshot = VANE::dragSnapshotPath();
    QFile::remove(snapshot);
    Viewer v(box.path());
    v->Form_Load(a);
    v->show();
    QVERIFY(QTest::qWaitForWindowExposed(&v.vane()));
    QWidget *surface = v->Picture1;
    const QPoint at(5, 5);
    const QPoint near = at + QPoint(QApplication::startDragDistance() - 1, 0);
    const QPoint far = at + QPoint(QApplication::startDragDistance(), 0);

    // A click, and a press that moves less than the drag distance, start
    // nothing; neither does a move after the release.
    mouse(surface, QEvent::MouseButtonPress, at, Qt::LeftButton);
    v->startDragOut();
    mouse(surface, QEvent::MouseMove, near, Qt::LeftButton);
    mouse(surface, QEvent::MouseButtonRelease, near, Qt::NoButton);
    mouse(surface, QEvent::MouseMove, far, Qt::LeftButton);
    QVERIFY(!QFile::exists(snapshot));

    // Far enough: the drag runs to its end (at once here: the offscreen
    // platform has no drag loop) and drops are taken again after it.
    mouse(surface, QEvent::MouseButtonPress, at, Qt::LeftButton);
    v->startDragOut();
    mouse(surface, QEvent::MouseMove, far, Qt::LeftButton);
    QVERIFY(QFile::exists(snapshot));
    QVERIFY(v->acceptDrops() && v->Picture1->acceptDrops());
}

void TestExchange::proposedSaveName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("three-letter extension") << "/p/a.jpg" << "/p/a";
    QTest::newRow("four-letter extension") << "/p/b.jpeg" << "/p/b";
    QTest::newRow("no picture") << "" << "";
    QTest::newRow("dot too far from the end") << "/p.d/name" << "/p.d/name";
    QTest::newRow("dot neither three nor four from the end") << "/p/x.y" << "/p/x.y";
    QTest::newRow("shorter than the extension's reach") << "a.b" << "a.b";
}

void TestExchange::proposedSaveName()
{
    QFETCH(QString, path);
    QFETCH(QString, proposed);
    QCOMPARE(defaultSaveName(path), proposed);
}

void TestExchange::saveWritesTheViewAsBmp()
{
    Sandbox box;
    const QString a = box.picture("a.jpeg", { 40, 30 }, "jpg");
    Viewer v(box.path());
    v->Form_Load(a);
    v->big_Click();
    v->CDlg.Flags = CommonDialog::cdlCCRGBInit;
    const QString typed = box.path() + "/out.png";
    v.dialogs.saveAnswers = { typed, std::nullopt };
    v->save_Click();
    const FileDialogRequest &request = v.dialogs.saveRequests.first();
    QCOMPARE(request.proposedPath, box.path() + "/a");
    QCOMPARE(request.nameFilters, QStringList({ "BMPファイル (*.bmp)" }));
    QCOMPARE(request.defaultSuffix, QString("bmp"));
    QVERIFY(request.confirmOverwrite && request.pathMustExist);
    QCOMPARE(v->CDlg.Flags, 0x803);
    QCOMPARE(v->m_fname, a);

    // BMP whatever the extension typed, the view as drawn, read back exactly
    // by Qt, by our own loader and by ImageMagick.
    QImageReader reader(typed);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage view = rgb32(v->Picture1->Image());
    QCOMPARE(view.size(), QSize(44, 33));
    QCOMPARE(rgb32(reader.read()), view);
    QCOMPARE(rgb32(v.pictures.loadPicture(typed)->image()), view);
    if (!QStandardPaths::findExecutable("convert").isEmpty()) {
        const QString ppm = box.path() + "/magick.ppm";
        QCOMPARE(QProcess::execute("convert", { typed, ppm }), 0);
        QCOMPARE(rgb32(QImage(ppm)), view);
        QFile::remove(ppm);
    }

    // A cancel writes nothing.
    const QStringList before = QDir(box.path()).entryList(QDir::Files);
    v->SavePic();
    QCOMPARE(QDir(box.path()).entryList(QDir::Files), before);
}

void TestExchange::exitSaveAndSnapshot_data()
{
    QTest::addColumn<bool>("dragged");
    QTest::newRow("another copy's snapshot stays") << false;
    QTest::newRow("this run's snapshot goes") << true;
}

void TestExchange::exitSaveAndSnapshot()
{
    QFETCH(bool, dragged);
    Sandbox box;
    const QString a = box.picture("my pics/a.gif", { 20, 10 }, "gif");
    const QString snapshot = VANE::dragSnapshotPath();
    QDir().mkpath(QFileInfo(snapshot).path());
    writeBytes(snapshot, "another copy's");
    Viewer v(box.path());
    v->Form_Load("-A \"" + a + "\"");
    v->OpenPath(box.picture("b.bmp", { 8, 8 }));
    if (dragged) {
        QMimeData data;
        Qt::DropActions effects;
        QVERIFY(v->Picture1_OLEStartDrag(data, effects));
        v->Picture1_OLECompleteDrag(Qt::CopyAction);
    }
    v->close();
    QCOMPARE(v.dialogs.saveRequests.size(), 1);
    QCOMPARE(v.dialogs.saveRequests.first().proposedPath, box.path() + "/my pics/a");
    QCOMPARE(QFile::exists(snapshot), !dragged);
}

QTEST_MAIN(TestExchange)
#include "test_exchange.moc"
