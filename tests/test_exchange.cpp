// The view exchanged with other programs: clipboard copy and paste, drops,
// drags, saving as BMP and the clean-up at exit, on real temporary folders
// and the real (in-process) clipboard.

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
    void pasteAtStartUpWithoutAPicture();
    void drop_data();
    void drop();
    void dragOut();
    void saveWritesTheViewAsBmp();
    void exit_data();
    void exit();

private:
    QTemporaryDir m_runtime;
};

static QImage rgb32(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

static QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}

// A left-button event at a point of w, with the buttons held as given.
static void mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Drops data on target as a drag from another program does: Qt hands the
// drag-enter and the drop to the innermost widget there that accepts drops.
// Returns whether one took it.
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
    QTest::newRow("cropped") << 0 << QRect(300, 225, 300, 225) << QSize(20, 15);
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
        std::tie(v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh)
            = std::tuple(crop.x(), crop.y(), crop.width(), crop.height());
        v->FormResize();
    }
    v->EditCopy_Click();
    QCOMPARE(clipboard()->image().size(), drawn);
    QCOMPARE(rgb32(clipboard()->image()), rgb32(v->Picture1->Image()));
}

void TestExchange::paste()
{
    Sandbox box;
    const QString a = box.picture("p/a.jpg", { 40, 30 }, "jpg");
    box.picture("p/b.bmp", { 40, 30 });
    const QString pasted = box.path() + "/p/Vorlane.bmp";
    Viewer v(box.path());
    v->Form_Load(a);
    v->m_bmpidx = 1;
    v->SlideShow_Click();

    clipboard()->setImage(makePattern(30, 20, Qt::cyan));
    v->EditPaste_Click();
    QVERIFY(!v->ssTimer.isActive() && v->m_BitmapList.isEmpty());
    QCOMPARE(v->Picture1->Image().size(), QSize(30, 20));
    QCOMPARE(v->m_fname, pasted);
    QCOMPARE(rgb32(QImage(pasted)), rgb32(v->Picture1->Image()));
    QCOMPARE(v->m_bmpidx, 1);
    QCOMPARE(v->windowTitle(), QString("b.bmp")); // as stopping the show left it
    clipboard()->setImage(makePattern(12, 10));
    v->EditPaste_Click();
    QCOMPARE(QImage(pasted).size(), QSize(12, 10));

    // Text only: the held picture goes, nothing else happens.
    v->OpenPath(a);
    v->SlideShow_Click();
    clipboard()->setText("words");
    v->EditPaste_Click();
    QVERIFY(!v->HasPicture() && !v->ssTimer.isActive() && v->m_BitmapList.isEmpty());
    QCOMPARE(v->m_fname, a);

    // A name that cannot be replaced (a folder holds it): nothing is written
    // and no temporary file stays behind.
    QDir().mkpath(box.path() + "/q/Vorlane.bmp");
    v->OpenPath(box.picture("q/c.bmp", { 8, 8 }));
    clipboard()->setImage(makePattern(10, 10));
    v->EditPaste_Click();
    QCOMPARE(QDir(box.path() + "/q").entryList(QDir::NoDotAndDotDot | QDir::Files | QDir::Dirs,
                                                QDir::Name | QDir::IgnoreCase),
             QStringList({ "c.bmp", "Vorlane.bmp" }));
}

void TestExchange::pasteAtStartUpWithoutAPicture()
{
    Sandbox box;
    IniSettingsStore(box.path()).saveSetting("VORLANE", "Setting", "ShowClip", "1");
    clipboard()->setImage(makePattern(30, 20));
    Viewer v(box.path());
    v->Form_Load("");
    QCOMPARE(v->Picture1->Image().size(), QSize(30, 20));
    // Named, not written; a later save proposes the name without extension.
    QVERIFY(v->m_fname.endsWith("/Vorlane.bmp"));
    QVERIFY(!QFile::exists(v->m_fname));
    v->SavePic();
    QCOMPARE(v.dialogs.saveRequests.last().proposedPath, v->m_fname.chopped(4));
}

void TestExchange::drop_data()
{
    QTest::addColumn<QStringList>("urls"); // sandbox names, or full URLs
    QTest::addColumn<bool>("onSurface");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("scandir");
    const QStringList before { "f/b.jpg", "f/c.bmp" };
    QTest::newRow("one folder") << QStringList { "d" } << true
                                << QStringList { "d/a.bmp", "d/z.gif" } << "d/a.bmp" << "";
    QTest::newRow("one sound") << QStringList { "d/z.mid" } << false << before << "f/b.jpg"
                               << "d/";
    QTest::newRow("a sound among pictures")
        << QStringList { "d/z.gif", "d/z.mid", "f/c.bmp" } << true
        << QStringList { "d/z.gif", "f/c.bmp" } << "d/z.gif" << "";
    QTest::newRow("no picture among two")
        << QStringList { "d/z.mid", "d" } << false << QStringList() << "f/b.jpg" << "";
    QTest::newRow("text") << QStringList() << true << before << "f/b.jpg" << "";
    QTest::newRow("a web address") << QStringList { "https://example.org/x.jpg" } << false
                                   << before << "f/b.jpg" << "";
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
        box.picture(name, { 16, 12 });
    box.write("d/z.mid", "not played");
    const QString at = box.path() + "/";
    Viewer v(box.path());
    v->Form_Load(at + "f/b.jpg");
    v->menuBar()->setFocus();

    QMimeData data;
    data.setText("words");
    QList<QUrl> dropped;
    for (const QString &u : urls)
        dropped << (u.contains(':') ? QUrl(u) : QUrl::fromLocalFile(at + u));
    if (!dropped.isEmpty())
        data.setUrls(dropped);
    QVERIFY(dropOn(onSurface ? static_cast<QWidget *>(v->Picture1) : v->menuBar(), data));
    for (QString &entry : list)
        entry.prepend(at);
    QCOMPARE(QStringList(v->m_BitmapList.entries().begin(), v->m_BitmapList.entries().end()),
             list);
    QCOMPARE(v->m_fname, at + shown);
    QCOMPARE(v->HasPicture(), !list.isEmpty());
    QCOMPARE(v->m_scandir, scandir.isEmpty() ? QString() : at + scandir);
    QCOMPARE(v->focusWidget(), v->Picture1);
}

void TestExchange::dragOut()
{
    Sandbox box;
    const QString a = box.picture("a.bmp", { 40, 30 });
    const QString snapshot = VANE::dragSnapshotPath();
    QFile::remove(snapshot);
    Viewer v(box.path());
    v->Form_Load(a);
    v->big_Click();
    // A press that moves less than the drag distance starts nothing, nor does
    // a move after the release; moving the distance starts the drag (which
    // ends at once: the offscreen platform has no drag loop).
    QWidget *surface = v->Picture1;
    const QPoint at(5, 5);
    const QPoint far = at + QPoint(QApplication::startDragDistance(), 0);
    mouse(surface, QEvent::MouseButtonPress, at, Qt::LeftButton);
    v->startDragOut();
    mouse(surface, QEvent::MouseMove, far - QPoint(1, 0), Qt::LeftButton);
    mouse(surface, QEvent::MouseButtonRelease, far, Qt::NoButton);
    mouse(surface, QEvent::MouseMove, far, Qt::LeftButton);
    QVERIFY(!QFile::exists(snapshot));
    mouse(surface, QEvent::MouseButtonPress, at, Qt::LeftButton);
    v->startDragOut();
    mouse(surface, QEvent::MouseMove, far, Qt::LeftButton);
    QVERIFY(QFile::exists(snapshot) && v->acceptDrops());

    QMimeData data;
    data.setText("stale");
    Qt::DropActions effects = Qt::MoveAction;
    QVERIFY(v->Picture1_OLEStartDrag(data, effects));
    QCOMPARE(data.formats(), QStringList({ "text/uri-list" }));
    QCOMPARE(data.urls(), QList<QUrl>({ QUrl::fromLocalFile(snapshot) }));
    QCOMPARE(effects, Qt::DropActions(Qt::CopyAction));
    QCOMPARE(QImage(snapshot).size(), QSize(44, 33));
    QCOMPARE(rgb32(QImage(snapshot)), rgb32(v->Picture1->Image()));
    // On its own window the picture is refused while the drag lasts, and
    // taken once it has ended.
    QVERIFY(!dropOn(v->Picture1, data) && !dropOn(v->menuBar(), data));
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

    // No drag starts without an existing file to offer, nor when the
    // snapshot cannot be written (a file holds its folder's name).
    Viewer other(box.path());
    other->Form_Load("");
    other->m_shiftdrag = true;
    QVERIFY(!other->Picture1_OLEStartDrag(data, effects));
    other->m_fname = box.path() + "/Vorlane.bmp"; // named by a paste, never written
    QVERIFY(!other->Picture1_OLEStartDrag(data, effects));
    const QString folder = QFileInfo(snapshot).path();
    QDir(folder).removeRecursively();
    writeBytes(folder, "");
    other->m_shiftdrag = false;
    QVERIFY(!other->Picture1_OLEStartDrag(data, effects));
    QVERIFY(other->acceptDrops() && other->Picture1->acceptDrops());
    QFile::remove(folder);
}

void TestExchange::saveWritesTheViewAsBmp()
{
    Sandbox box;
    const QString a = box.picture("a.jpeg", { 40, 30 }, "jpg");
    const QString typed = box.path() + "/out.png";
    Viewer v(box.path());
    v->Form_Load(a);
    v->big_Click();
    v->CDlg.Flags = CommonDialog::cdlCCRGBInit;
    v.dialogs.saveAnswers = { typed };
    v->save_Click();
    const FileDialogRequest &request = v.dialogs.saveRequests.first();
    QCOMPARE(request.proposedPath, box.path() + "/a");
    QCOMPARE(request.nameFilters, QStringList({ "BMPファイル (*.bmp)" }));
    QCOMPARE(request.defaultSuffix, QString("bmp"));
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
        QCOMPARE(QProcess::execute("convert", { typed, box.path() + "/magick.ppm" }), 0);
        QCOMPARE(rgb32(QImage(box.path() + "/magick.ppm")), view);
        QFile::remove(box.path() + "/magick.ppm");
    }
    const QStringList before = QDir(box.path()).entryList(QDir::Files);
    v->SavePic(); // cancelled
    QCOMPARE(QDir(box.path()).entryList(QDir::Files), before);

    // Only a three- or four-letter extension is dropped from the name.
    for (const auto &[path, proposed] :
         { std::pair("/p/a.jpg", "/p/a"), std::pair("/p/b.jpeg", "/p/b"), std::pair("", ""),
           std::pair("/p.d/name", "/p.d/name"), std::pair("/p/x.y", "/p/x.y"),
           std::pair("a.b", "a.b") })
        QCOMPARE(defaultSaveName(path), QString(proposed));
}

void TestExchange::exit_data()
{
    QTest::addColumn<bool>("dragged");
    QTest::newRow("another copy's snapshot stays") << false;
    QTest::newRow("this run's snapshot goes") << true;
}

void TestExchange::exit()
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
    QMimeData data;
    Qt::DropActions effects;
    if (dragged)
        QVERIFY(v->Picture1_OLEStartDrag(data, effects));
    v->close();
    QCOMPARE(v.dialogs.saveRequests.size(), 1);
    QCOMPARE(v.dialogs.saveRequests.first().proposedPath, box.path() + "/my pics/a");
    QCOMPARE(QFile::exists(snapshot), !dragged);
}

QTEST_MAIN(TestExchange)
#include "test_exchange.moc"
