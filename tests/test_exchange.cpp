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

// A window opened with option and "p/a.bmp" (40x30), beside "p/b.bmp"; the
// folder "d" holds two pictures and a sound.
struct Shown
{
    explicit Shown(const QString &option = {})
    {
        for (const char *name : { "p/b.bmp", "d/a.bmp", "d/z.gif" })
            box.picture(name, { 16, 12 });
        box.write("d/z.mid", "not played");
        v->Form_Load(option + a);
    }
    Sandbox box;
    QString at = box.path() + "/";
    QString a = box.picture("p/a.bmp", { 40, 30 });
    Viewer v { box.path() };
};

static QImage rgb32(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }

// Drops data on target as a drag from another program does; returns whether
// the innermost widget there that accepts drops took it.
static bool dropOn(QWidget *target, const QMimeData &data)
{
    QDragEnterEvent enter({ 1, 1 }, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop({ 1, 1 }, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    return QApplication::sendEvent(target, &enter) && enter.isAccepted()
        && QApplication::sendEvent(target, &drop) && drop.isAccepted();
}

class TestExchange : public QObject
{
    Q_OBJECT
    // A home of the test's own, as the runtime folder the drag snapshot goes
    // to, and with a pictures folder a paste at start-up could write to.
    QTemporaryDir m_home;
    const bool m_homeSet = qputenv("HOME", m_home.path().toLocal8Bit())
        && qputenv("XDG_RUNTIME_DIR", m_home.path().toLocal8Bit())
        && QDir().mkpath(m_home.path() + "/Pictures")
        && QDir().mkpath(QFileInfo(VANE::dragSnapshotPath()).path());

private slots:
    void viewOut_data()
    {
        QTest::addColumn<int>("zoom"); // percent
        QTest::addColumn<QRect>("crop"); // twips
        QTest::addColumn<QSize>("drawn");
        QTest::addColumn<bool>("shift"); // the drag offers the file
        QTest::newRow("with Shift") << 100 << QRect(0, 0, 600, 450) << QSize(40, 30) << true;
        QTest::newRow("zoomed in") << 120 << QRect(0, 0, 600, 450) << QSize(48, 36) << false;
        QTest::newRow("cropped") << 100 << QRect(300, 225, 300, 225) << QSize(20, 15) << false;
    }

    // The view copied, dragged or saved leaves as drawn, pixel for pixel
    // (with Shift a drag offers the file instead). Saved, it is BMP whatever
    // extension is typed; a cancel writes nothing. The window refuses its own
    // drag while it lasts and takes it after. At exit "-A " offers to save
    // the picture it named, and the snapshot goes only if this run wrote it.
    void viewOut()
    {
        QFETCH(int, zoom);
        QFETCH(QRect, crop);
        QFETCH(QSize, drawn);
        QFETCH(bool, shift);
        const QString snapshot = VANE::dragSnapshotPath();
        writeBytes(snapshot, "another copy's");
        Shown s("-A ");
        const QString offered = shift ? s.a : snapshot;
        s.v->m_shiftdrag = shift;
        std::tie(s.v->m_size, s.v->m_trimx, s.v->m_trimy, s.v->m_trimw, s.v->m_trimh)
            = std::tuple(zoom, crop.x(), crop.y(), crop.width(), crop.height());
        s.v->FormResize();
        s.v->EditCopy_Click();
        QMimeData data;
        Qt::DropActions effects = Qt::MoveAction;
        QVERIFY(s.v->Picture1_OLEStartDrag(data, effects) && effects == Qt::CopyAction);
        const QString typed = s.at + "out.png", magick = s.at + "magick.ppm";
        s.v.dialogs.saveAnswers = { typed };
        s.v->save_Click();
        s.v->SavePic();
        QCOMPARE(QImageReader(typed).format(), QByteArray("bmp"));
        QCOMPARE(QProcess::execute("convert", { typed, magick }), 0);
        QCOMPARE(s.v->Picture1->Image().size(), drawn);
        for (const QImage &out : { QGuiApplication::clipboard()->image(), QImage(typed),
                 QImage(offered), QImage(magick) })
            QCOMPARE(rgb32(out), rgb32(s.v->Picture1->Image()));
        QCOMPARE(QDir(s.at + "p").entryList(QDir::Files), QStringList({ "a.bmp", "b.bmp" }));
        QVERIFY(!dropOn(s.v->Picture1, data) && !dropOn(s.v->menuBar(), data));
        s.v->Picture1_OLECompleteDrag(Qt::CopyAction);
        QVERIFY(dropOn(s.v->Picture1, data) && s.v->m_fname == offered);
        s.v->close();
        // The save, its cancelled repeat, then the one at exit.
        QCOMPARE(s.v.dialogs.saveRequests.value(2).proposedPath, s.at + "p/a");
        QCOMPARE(QFile::exists(snapshot), shift);
    }

    // A click, or a press that moves less than the drag distance, drags
    // nothing out; moving further with the button held does.
    void dragStartsPastTheDragDistance()
    {
        Shown s;
        const QString snapshot = VANE::dragSnapshotPath();
        QFile::remove(snapshot);
        const int d = QApplication::startDragDistance();
        auto mouse = [&](QEvent::Type type, int x, Qt::MouseButtons held) {
            QMouseEvent e(type, QPointF(x, 5), QPointF(x, 5), Qt::LeftButton, held, {});
            QApplication::sendEvent(s.v->Picture1, &e);
        };
        mouse(QEvent::MouseButtonPress, 5, Qt::LeftButton);
        mouse(QEvent::MouseMove, 4 + d, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, 4 + d, {});
        mouse(QEvent::MouseMove, 5 + 3 * d, {});
        QVERIFY(!QFile::exists(snapshot));
        mouse(QEvent::MouseButtonPress, 5, Qt::LeftButton);
        mouse(QEvent::MouseMove, 5 + 3 * d, Qt::LeftButton);
        QVERIFY(QFile::exists(snapshot));
    }

    // A save proposes the current name without a three- or four-letter
    // extension only.
    void saveProposal()
    {
        for (const auto &[path, proposed] :
            { std::pair("/p/a.jpg", "/p/a"), std::pair("/p/b.jpeg", "/p/b"), std::pair("", ""),
                std::pair("/p.d/name", "/p.d/name"), std::pair("/p/x.y", "/p/x.y"),
                std::pair("a.b", "a.b") })
            QCOMPARE(defaultSaveName(path), QString(proposed));
    }

    void paste_data()
    {
        QTest::addColumn<QImage>("offered"); // null: text only
        QTest::addColumn<bool>("blocked"); // a folder holds the name written to
        QTest::newRow("a picture, twice") << makePattern(30, 20) << false;
        QTest::newRow("text only") << QImage() << false;
        QTest::newRow("an unwritable name") << makePattern(30, 20) << true;
    }

    // A paste stops the show, empties the list, shows the picture and writes
    // it as Vorlane.bmp beside the picture shown before, over an earlier one.
    void paste()
    {
        QFETCH(QImage, offered);
        QFETCH(bool, blocked);
        Shown s;
        QVERIFY(!blocked || QDir().mkpath(s.at + "p/Vorlane.bmp"));
        s.v->SlideShow_Click();
        for (const QImage &image : { rgb32(offered), rgb32(offered).copy(0, 0, 15, 10) }) {
            image.isNull() ? QGuiApplication::clipboard()->setText("words")
                           : QGuiApplication::clipboard()->setImage(image);
            s.v->EditPaste_Click();
            QVERIFY(!s.v->ssTimer.isActive() && s.v->m_BitmapList.isEmpty());
            QCOMPARE(s.v->HasPicture() ? rgb32(s.v->Picture1->Image()) : QImage(), image);
            QCOMPARE(rgb32(QImage(s.at + "p/Vorlane.bmp")), blocked ? QImage() : image);
            // Nothing else is left there (besides . and ..), not even a temporary file.
            QCOMPARE(QDir(s.at + "p").count(), image.isNull() && !blocked ? 4u : 5u);
        }
    }

    // Pasted at start-up, the picture is named but not written; a save
    // proposes that name without extension.
    void pasteAtStartUp()
    {
        Viewer v(m_home.path());
        v.settings.saveSetting("VORLANE", "Setting", "ShowClip", "1");
        QGuiApplication::clipboard()->setImage(makePattern(30, 20));
        v->Form_Load("");
        QCOMPARE(v->m_fname, m_home.path() + "/Pictures/Vorlane.bmp");
        QVERIFY(!QFile::exists(v->m_fname));
        v->SavePic();
        QCOMPARE(v.dialogs.saveRequests.last().proposedPath, v->m_fname.chopped(4));
    }

    void drop_data()
    {
        QTest::addColumn<QStringList>("urls"); // sandbox names
        QTest::addColumn<QStringList>("list"); // its first one shown
        const QStringList before { "p/a.bmp", "p/b.bmp" };
        QTest::newRow("one folder") << QStringList { "d" } << QStringList { "d/a.bmp", "d/z.gif" };
        QTest::newRow("one sound") << QStringList { "d/z.mid" } << before;
        QTest::newRow("a sound among pictures") << QStringList { "d/z.gif", "d/z.mid", "p/b.bmp" }
                                                << QStringList { "d/z.gif", "p/b.bmp" };
        QTest::newRow("no picture among two") << QStringList { "d/z.mid", "d" } << QStringList();
        QTest::newRow("text") << QStringList() << before;
    }

    // Dropped pictures replace the list, their first one shown; one file or
    // folder is opened as such.
    void drop()
    {
        QFETCH(QStringList, urls);
        QFETCH(QStringList, list);
        Shown s;
        QMimeData data;
        data.setText("words");
        data.setUrls(
            QUrl::fromStringList(urls.replaceInStrings(QRegularExpression("^"), "file://" + s.at)));
        QVERIFY(dropOn(s.v->menuBar(), data));
        const auto &entries = s.v->m_BitmapList.entries();
        QCOMPARE(QStringList(entries.begin(), entries.end()).replaceInStrings(s.at, ""), list);
        QCOMPARE(s.v->m_fname, s.at + list.value(0, "p/a.bmp"));
        QCOMPARE(s.v->HasPicture(), !list.isEmpty());
    }
};

QTEST_MAIN(TestExchange)
#include "test_exchange.moc"
