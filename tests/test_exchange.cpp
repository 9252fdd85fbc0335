// The view exchanged with other programs: clipboard copy and paste, drops,
// drags, saving as BMP and the clean-up at exit; and the side windows: the
// memo window and its files, the file list, the about and options window.
// On real temporary folders and the real (in-process) clipboard.

// Qt
#include <QCheckBox>
#include <QClipboard>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QtTest>

// Std
#include <csignal>
#include <sys/resource.h>

// Local
#include "exchange/about_window.h"
#include "exchange/frm_list.h"
#include "exchange/memo_codec.h"
#include "exchange/memo_window.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// A window opened with option and "p/a.bmp" (40x30), beside "p/b.bmp"; the
// folder "d" holds five pictures and two sounds, "a.wav" first.
struct Shown
{
    explicit Shown(const QString &option = {})
    {
        for (const char *name :
            { "p/b.bmp", "d/a.bmp", "d/b.bmp", "d/c.bmp", "d/e.bmp", "d/z.gif" })
            box.picture(name, { 16, 12 });
        box.write("d/a.wav", "not played");
        box.write("d/y.mid", "not played");
        v->Form_Load(option + a);
    }
    Sandbox box;
    QString at = box.path() + "/";
    QString a = box.picture("p/a.bmp", { 40, 30 });
    Viewer v { box.path() };
};

static QImage rgb32(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }

// Bytes this process has read so far, through every file.
static qint64 bytesRead() { return bytesOf("/proc/self/io").mid(7).split('\n')[0].toLongLong(); }

// Drops data on target as a drag from another program does; returns whether
// the innermost widget there that accepts drops took it.
static bool dropOn(QWidget *target, const QMimeData &data)
{
    QDragEnterEvent enter({ 1, 1 }, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop({ 1, 1 }, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    return QApplication::sendEvent(target, &enter) && enter.isAccepted()
        && QApplication::sendEvent(target, &drop) && drop.isAccepted();
}

// The memo window open on p/a.bmp, its memo file holding memoOfA (none if
// null).
struct MemoCase : Shown
{
    explicit MemoCase(const QByteArray &memoOfA = {})
    {
        if (!memoOfA.isNull())
            box.write("p/a.txt", memoOfA);
        v->OpenPath(a);
        v->Memo_Click();
    }
    void type(const QString &text)
    {
        memo().EditBtn->setChecked(true);
        memo().Comment->moveCursor(QTextCursor::End);
        memo().Comment->insertPlainText(text);
    }
    // The bytes of a file in the sandbox, or of an absolute path; none if missing.
    QByteArray bytes(const QString &name) const { return bytesOf(QDir(box.path()).filePath(name)); }
    frmShowComment &memo() { return v->memoWindow(); }
};

static std::vector<QString> rows(const frmList *list)
{
    std::vector<QString> texts;
    for (int i = 0; i < list->List1->count(); ++i)
        texts.push_back(list->List1->item(i)->text());
    return texts;
}

class TestExchange : public QObject
{
    Q_OBJECT
    // A home of the test's own, as the runtime folder the drag snapshot goes
    // to, and with a pictures folder a paste at start-up could write to.
    QTemporaryDir m_home;
    const bool m_homeSet = qputenv("HOME", m_home.path().toLocal8Bit())
        && qputenv("XDG_RUNTIME_DIR", m_home.path().toLocal8Bit())
        && qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit())
        && QDir().mkpath(m_home.path() + "/Pictures")
        && QDir().mkpath(QFileInfo(VANE::dragSnapshotPath()).path());

private slots:
    void viewOut_data()
    {
        // The zoom in percent, the crop in twips, the size drawn, and
        // whether the drag offers the file (with Shift).
        columns<int, QRect, QSize, bool>({ "zoom", "crop", "drawn", "shift" });
        QTest::newRow("with Shift") << 100 << QRect(0, 0, 600, 450) << QSize(40, 30) << true;
        QTest::newRow("zoomed in") << 120 << QRect(0, 0, 600, 450) << QSize(48, 36) << false;
        QTest::newRow("cropped") << 100 << QRect(300, 225, 300, 225) << QSize(20, 15) << false;
    }

    // Saving fits the view first; then the view saved, copied or dragged
    // leaves as drawn, pixel for pixel (with Shift a drag offers the file
    // instead). Saved, it is BMP whatever extension is typed; the dialog
    // refuses a missing folder and a file it cannot write, and a cancel
    // writes nothing. The window refuses its own drag while it lasts and
    // takes it after. At exit "-A " offers to save the picture it named, and
    // the snapshot goes only if this run wrote it.
    void viewOut()
    {
        QFETCH(int, zoom);
        QFETCH(QRect, crop);
        QFETCH(bool, shift);
        const QString snapshot = VANE::dragSnapshotPath();
        writeBytes(snapshot, "another copy's");
        Shown s("-A ");
        const QString offered = shift ? s.a : snapshot;
        s.v->m_shiftdrag = shift;
        std::tie(s.v->m_size, s.v->m_trimx, s.v->m_trimy, s.v->m_trimw, s.v->m_trimh)
            = std::tuple(zoom, crop.x(), crop.y(), crop.width(), crop.height());
        const QString typed = s.at + "out.png";
        s.v.dialogs.saveAnswers = { s.at + "no/x.bmp", s.at + "p", typed };
        s.v->save_Click();
        s.v->SavePic();
        s.v->EditCopy_Click();
        QMimeData data;
        Qt::DropActions effects = Qt::MoveAction;
        QVERIFY(s.v->Picture1_OLEStartDrag(data, effects) && effects == Qt::CopyAction);
        QVERIFY(s.v.dialogs.refusals.value(0).contains("フォルダーが見つかりません")
            && s.v.dialogs.refusals.value(1).contains("保存できませんでした"));
        QCOMPARE(QImageReader(typed).format(), QByteArray("bmp"));
        QTEST(s.v->Picture1->Image().size(), "drawn");
        for (const QImage &out :
            { QGuiApplication::clipboard()->image(), QImage(typed), QImage(offered) })
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
        for (const int x : { 4 + d, 5 + 3 * d }) {
            QTest::mousePress(s.v->Picture1, Qt::LeftButton, {}, { 5, 5 });
            QTest::mouseMove(s.v->Picture1, { x, 5 });
            QCOMPARE(QFile::exists(snapshot), x > 5 + d);
            QTest::mouseRelease(s.v->Picture1, Qt::LeftButton, {}, { x, 5 });
        }
    }

    void paste_data()
    {
        // What the clipboard offers (null: text only), and whether a folder
        // holds the name written to.
        columns<QImage, bool>({ "offered", "blocked" });
        QTest::newRow("larger than the screen, then small") << makePattern(1600, 1200) << false;
        QTest::newRow("text only") << QImage() << false;
        QTest::newRow("an unwritable name") << makePattern(30, 20) << true;
    }

    // A paste stops the show, empties the list, shows the picture and writes
    // the view as Vorlane.bmp beside the picture shown before, over an
    // earlier one. The folder of the last sound-only scan is scanned again
    // when one of its pictures is opened next.
    void paste()
    {
        QFETCH(QImage, offered);
        QFETCH(bool, blocked);
        Shown s;
        QVERIFY(!blocked || QDir().mkpath(s.at + "p/Vorlane.bmp"));
        s.v->OpenPath(s.at + "d/a.wav");
        s.v->SlideShow_Click();
        for (const QImage &image : { rgb32(offered), rgb32(offered).copy(0, 0, 15, 10) }) {
            image.isNull() ? QGuiApplication::clipboard()->setText("words")
                           : QGuiApplication::clipboard()->setImage(image);
            s.v->EditPaste_Click();
            QVERIFY(!s.v->ssTimer.isActive() && s.v->m_BitmapList.isEmpty());
            const QImage view = s.v->HasPicture() ? rgb32(s.v->Picture1->Image()) : QImage();
            QCOMPARE(rgb32(QImage(s.at + "p/Vorlane.bmp")), blocked ? QImage() : view);
            // Nothing else is left there (besides . and ..), not even a temporary file.
            QCOMPARE(QDir(s.at + "p").count(), image.isNull() && !blocked ? 4u : 5u);
        }
        s.v->OpenPath(s.at + "d/b.bmp");
        QCOMPARE(s.v->m_BitmapList.count(), 5);
    }

    // Pasted at start-up, the picture is named in the pictures folder, for
    // a later save, but not written.
    void pasteAtStartUp()
    {
        Viewer v(m_home.path());
        v.settings.saveSetting("VORLANE", "Setting", "ShowClip", "1");
        QGuiApplication::clipboard()->setImage(makePattern(30, 20));
        v->Form_Load("");
        QCOMPARE(v->m_fname, m_home.path() + "/Pictures/Vorlane.bmp");
        QVERIFY(!QFile::exists(v->m_fname));
    }

    void drop_data()
    {
        // Sandbox names dropped, and the list then (its first one shown).
        columns<QString, QString>({ "urls", "list" });
        // clang-format off
        QTest::newRow("one folder") << "d" << "d/a.bmp d/b.bmp d/c.bmp d/e.bmp d/z.gif";
        QTest::newRow("one sound") << "d/y.mid" << "p/a.bmp p/b.bmp";
        QTest::newRow("a sound among pictures") << "d/z.gif d/y.mid p/b.bmp" << "d/z.gif p/b.bmp";
        QTest::newRow("no picture among two") << "d/y.mid d" << "";
        QTest::newRow("text") << "" << "p/a.bmp p/b.bmp";
        // clang-format on
    }

    // Dropped pictures replace the list, their first one shown; one file or
    // folder is opened as such.
    void drop()
    {
        QFETCH(QString, urls);
        QFETCH(QString, list);
        Shown s;
        QMimeData data;
        data.setText("words");
        QStringList names = urls.split(' ', Qt::SkipEmptyParts);
        s.v->OpenPath(s.at + "p/s.wav"); // p scanned for its sounds only
        data.setUrls(QUrl::fromStringList(
            names.replaceInStrings(QRegularExpression("^"), "file://" + s.at)));
        s.v->menuBar()->setFocus();
        QVERIFY(dropOn(s.v->menuBar(), data));
        QCOMPARE(s.v->focusWidget(), s.v->Picture1);
        const auto &entries = s.v->m_BitmapList.entries();
        QCOMPARE(QStringList(entries.begin(), entries.end()).join(' ').remove(s.at), list);
        QCOMPARE(s.v->m_fname, s.at + (list.isEmpty() ? "p/a.bmp" : list.section(' ', 0, 0)));
        QCOMPARE(s.v->HasPicture(), !list.isEmpty());
        // Without a picture, the drop prompt is not saved, copied or dragged out.
        QGuiApplication::clipboard()->setText("kept");
        s.v->save_Click();
        s.v->EditCopy_Click();
        Qt::DropActions effects;
        QCOMPARE(s.v->Picture1_OLEStartDrag(data, effects), !list.isEmpty());
        QCOMPARE(s.v.dialogs.saveRequests.isEmpty(), list.isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString(list.isEmpty() ? "kept" : ""));
        // Whatever was dropped, opening a picture of p now scans p again.
        s.v->OpenPath(s.a);
        QCOMPARE(entries, std::vector<QString>({ s.a, s.at + "p/b.bmp" }));
    }

    void memoCodec_data()
    {
        // A memo file's bytes and its text. A file that ends in CR LF is
        // also what the text less its last "\n" is written as.
        columns<QByteArray, QString>({ "bytes", "text" });
        // clang-format off
        QTest::newRow("CR LF") << QByteArray("A\r\nB\r\n") << "A\nB\n";
        QTest::newRow("no CR LF at the end") << QByteArray("A\r\nB") << "A\nB\n";
        QTest::newRow("lone CR ends, lone LF stays") << QByteArray("A\rB\nC\r\r") << "A\nB\nC\n\n";
        QTest::newRow("code page 932") << QByteArray("\x87\x40\xFB\xFC\x81\x60\r\n") << "①髙～\n";
        QTest::newRow("UTF-8") << QByteArray("メモñ") << "メモñ\n";
        const QByteArray bom = "\xEF\xBB\xBF";
        QTest::newRow("wave dash: UTF-8, marked") << bom + "\xE3\x80\x9C\r\n" << "〜\n";
        // Shift-JIS half-width kana that are also two-byte UTF-8 ("ñ"); UTF-8
        // with three-byte sequences stays UTF-8, and "ñ" alone is written marked.
        QTest::newRow("kana: Shift-JIS, also UTF-8") << QByteArray("\xC3\xB1\r\n") << "ﾃｱ\n";
        QTest::newRow("ñ: UTF-8, marked") << bom + "\xC3\xB1\r\n" << "ñ\n";
        QTest::newRow("U+FEFF first") << bom + bom + "x\r\n" << QStringLiteral("\uFEFFx\n");
        QTest::newRow("emoji: UTF-8, marked") << bom + "\xF0\x9F\x98\x80\r\n" << "😀\n";
        // clang-format on
    }
    void memoCodec()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeMemo(bytes), text);
        if (bytes.endsWith("\r\n"))
            QCOMPARE(encodeMemo(text.chopped(1)), bytes);
    }

    void memoEditingThenSteppingOn_data()
    {
        // The memo file of p/b.bmp, and what the memo window shows of it.
        columns<QByteArray, QString>({ "bytes", "shown" });
        const QString note = "（メモとしては大きすぎるため、先頭だけを表示しています。"
                             "編集・保存はできません）\n";
        QTest::newRow("a memo") << QByteArray("memo of b") << "memo of b\n";
        QTest::newRow("five megabytes") << QByteArray("メモ書き\r\n").repeated(400'000)
                                        << note + QString("メモ書き\n").repeated(4681);
        QTest::newRow("one line of a megabyte")
            << QByteArray(1 << 20, 'x') << note + (QString(4096, 'x') + '\n').repeated(16);
    }
    // A memo typed is saved, without a question, when stepping on. No memo is
    // read while the memo window is hidden; shown, even a file too large to be
    // a memo comes at once, its beginning shown read-only, never changed.
    void memoEditingThenSteppingOn()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        Shown s;
        s.box.write("p/b.txt", bytes);
        const qint64 before = bytesRead();
        s.v->NextBitmap_Click();
        s.v->NextBitmap_Click();
        QVERIFY(bytesRead() - before < 64 << 10);
        s.v->Memo_Click();
        frmShowComment &memo = s.v->memoWindow();
        const QString today = QDate::currentDate().toString("yyyy年MM月dd日");
        for (bool on : { true, false, true })
            memo.EditBtn->setChecked(on);
        QCOMPARE(memo.Comment->toPlainText(), today + "\n");
        QVERIFY(memo.isChanged() && memo.UpdateD->text().startsWith(today + " "));
        const QDeadlineTimer hangGuard(10'000);
        s.v->NextBitmap_Click();
        QCoreApplication::processEvents();
        QVERIFY(!hangGuard.hasExpired());
        QCOMPARE(decodeMemo(bytesOf(s.at + "p/a.txt")), today + "\n\n");
        QTEST(memo.Comment->toPlainText(), "shown");
        QVERIFY(memo.Comment->isReadOnly() && memo.focusWidget() == memo.Comment);
        const bool whole = decodeMemo(bytes) == shown;
        QCOMPARE(memo.EditBtn->isEnabled() + memo.DelBtn->isEnabled() + memo.CloseBtn->isEnabled(),
            3 * whole);
        memo.EditBtn->setChecked(true);
        memo.Comment->insertPlainText("more");
        memo.DelBtn_Click();
        s.v->NextBitmap_Click();
        QCOMPARE(bytesOf(s.at + "p/b.txt") == bytes, !whole);
    }

    void memoClosingAsks_data()
    {
        columns<bool, bool>({ "ok", "atExit" });
        QTest::newRow("Cancel keeps window and text") << false << false;
        QTest::newRow("OK discards the text") << true << false;
        QTest::newRow("Cancel at exit keeps the memo open") << false << true;
    }
    void memoClosingAsks()
    {
        QFETCH(bool, ok);
        QFETCH(bool, atExit);
        MemoCase c("old");
        c.type("new");
        c.v.dialogs.okCancelAnswers = { ok };
        QVERIFY(atExit ? c.v->close() : c.memo().close() == ok);
        QCOMPARE(c.v.dialogs.okCancelTexts,
            QStringList("VORLANE|変更は保存されません。よろしいですか？"));
        QCOMPARE(c.memo().isVisible(), !ok);
        c.v->NextBitmap_Click();
        QCOMPARE(c.bytes("p/a.txt"), QByteArray(ok ? "old" : "old\r\nnew\r\n"));
    }

    void memoUpdateDeleteAndTheMemoShown()
    {
        // Unchanged, nothing is written: the lone LF would become CR LF.
        MemoCase c("one\ntwo");
        QFile file(c.box.file("p/a.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly)
            && file.setFileTime({ { 2001, 2, 3 }, { 4, 5, 6 } }, QFile::FileModificationTime));
        c.memo().EditBtn->setChecked(true);
        c.memo().CloseBtn->click();
        QCOMPARE(c.bytes("p/a.txt"), QByteArray("one\ntwo"));
        QCOMPARE(c.memo().UpdateD->text(), QString("2001年02月03日 04時05分06秒"));
        // "削除" leaves the text shown.
        c.memo().DelBtn->click();
        QCOMPARE(c.memo().Comment->toPlainText() + c.bytes("p/a.txt"), QString("one\ntwo\n"));
        c.memo().CloseBtn->click();
        QVERIFY(c.memo().Comment->toPlainText().isEmpty() && c.memo().UpdateD->text() == "---");
        // The current file changes without a load from a file, as a paste
        // does: Memo saves the memo shown where it belongs.
        c.type("about a");
        c.v->m_fname = c.at + "p/b.bmp";
        c.v->Memo_Click();
        QVERIFY(c.bytes("p/a.txt").endsWith("about a\r\n"));
        QVERIFY(!QFile::exists(c.at + "p/b.txt"));
    }

    void memoFailedWritesLoseNothing()
    {
        MemoCase c("old memo");
        c.type(QString(4000, 'x'));
        // Files may not grow beyond 1000 bytes: the write stops half way, as
        // on a full disk.
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small { 1000, saved.rlim_max };
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        c.memo().CloseBtn->click();
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(c.bytes("p/a.txt"), QByteArray("old memo"));
        QVERIFY(c.memo().isChanged() && c.memo().EditBtn->isChecked());
        // Moving on from a memo whose folder has gone keeps a recovery copy,
        // named within 255 bytes even for a long Japanese path, and says
        // where; when even that fails, the text goes to standard error. The
        // window follows the pictures either way.
        const QString far = c.box.picture(
            "写真/2024年の家族旅行/京都と奈良の寺めぐり/清水寺の夜景.bmp", { 9, 9 });
        QVERIFY(QDir(c.at + "p").removeRecursively());
        QVERIFY(QDir().mkpath(frmShowComment::recoveryPath(c.at + "p/a.txt")));
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression("nor kept as .*\n(old memo\n)?x{4000}"));
        c.v->LoadPictureFile(far);
        c.type("夜景");
        const QString copy = frmShowComment::recoveryPath(far.chopped(3) + "txt");
        QVERIFY(QDir(c.at + "写真").removeRecursively());
        c.v->LoadPictureFile(c.box.picture("g/c.bmp", { 20, 10 }));
        QVERIFY(decodeMemo(bytesOf(copy)).endsWith("夜景\n")
            && QFileInfo(copy).fileName().toUtf8().size() <= 255);
        QCOMPARE(c.memo().m_ComFile, c.box.file("g/c.txt"));
    }

    // The list opened during a show stops it, mirrors the five pictures or
    // the two sounds and picks what is chosen; its rows stay as they are
    // until "更新". It keeps a minimum size, and is replaced once closed.
    void listWindow()
    {
        Shown s;
        s.v->OpenPath(s.at + "d/a.bmp");
        s.v->SlideShow_Click();
        s.v->ListView_Click();
        QVERIFY(!s.v->ssTimer.isActive());
        QPointer<frmList> list = s.v->listWindow();
        QCOMPARE(rows(list), s.v->m_BitmapList.entries());
        list->List1->setCurrentRow(1);
        QCOMPARE(s.v->m_fname, s.at + "d/b.bmp");
        QTest::keyClick(list->List1, Qt::Key_Down);
        QCOMPARE(s.v->m_bmpidx, 2);

        QTest::mouseClick(list->TSel[1], Qt::LeftButton);
        QCOMPARE(rows(list), s.v->m_SoundList.entries());
        // Emptying the rows picked nothing; the sound of a.bmp plays still.
        QCOMPARE(std::pair(s.v->m_bmpidx, s.v->m_sndidx), std::pair(2, 0));
        const QRect row1 = list->List1->visualItemRect(list->List1->item(1));
        QTest::mouseClick(list->List1->viewport(), Qt::LeftButton, {}, row1.center());
        QCOMPARE(std::pair(s.v->MMControl1.fileName(), s.v->m_sndidx),
            std::pair(s.v->m_SoundList.at(1), 1));

        const std::vector<QString> sounds = rows(list);
        s.v->OpenPath(s.a);
        list->showMinimized();
        s.v->ListView_Click();
        QCOMPARE(std::pair(s.v->listWindow(), list->isMinimized()), std::pair(list.data(), false));
        QCOMPARE(rows(list), sounds);
        QTest::mouseClick(list->Command1, Qt::LeftButton);
        QCOMPARE(rows(list), s.v->m_SoundList.entries());

        list->resize(20, 20);
        // 2000 x 3000 twips at 15 twips a pixel, frame included.
        QTRY_VERIFY(list->frameGeometry().width() >= 134 && list->frameGeometry().height() >= 200);
        QVERIFY(list->List1->geometry().bottom() < list->height());

        list->close();
        s.v->ListView_Click();
        QPointer<frmList> second = s.v->listWindow();
        QVERIFY(second != list && second->TSel[0]->isChecked());
        QTRY_VERIFY(!list);
        s.v->close();
        QTRY_VERIFY(!second);
    }

    void aboutClosing_data()
    {
        // Options as two characters, "TrimCopy" then "ShowClip" ("-": none
        // stored); both boxes are toggled, then the dialog closed by Enter
        // (OK, its default button), Esc or the close box.
        columns<QString, QString, QString, QString>({ "stored", "shown", "close", "after" });
        // clang-format off
        QTest::newRow("nothing stored, Enter") << "--" << "00" << "Enter" << "11";
        QTest::newRow("not a number") << "x1" << "01" << "Enter" << "10";
        QTest::newRow("Esc presses OK") << "10" << "10" << "Esc" << "01";
        QTest::newRow("close box stores nothing") << "01" << "01" << "box" << "01";
        // clang-format on
    }
    void aboutClosing()
    {
        QFETCH(QString, stored);
        QFETCH(QString, close);
        Shown s;
        const QStringList keys { "TrimCopy", "ShowClip" };
        for (int i = 0; i < 2 && stored[i] != '-'; ++i)
            s.v.settings.saveSetting("VORLANE", "Setting", keys[i], stored.mid(i, 1));
        QString shown;
        QTimer::singleShot(0, [&] {
            auto &about = *qobject_cast<frmAbout *>(QApplication::activeModalWidget());
            for (QCheckBox *option : { about.TrimCopy, about.ShowClip }) {
                shown += option->isChecked() ? '1' : '0';
                option->toggle();
            }
            // The links open in the browser and leave the dialog open.
            for (QLabel *link : about.Label2)
                QTest::mouseClick(link, Qt::LeftButton);
            if (close == "box")
                about.windowHandle()->close();
            else
                QTest::keyClick(&about, close == "Esc" ? Qt::Key_Escape : Qt::Key_Return);
        });
        s.v->info_Click();
        QTEST(shown, "shown");
        QCOMPARE(s.v.shell.opened,
            QStringList({ "https://www.qt.io/", "https://wvware.sourceforge.net/libwmf.html" }));
        const QString trim = s.v.settings.getSetting("VORLANE", "Setting", keys[0], "-");
        QTEST(trim + s.v.settings.getSetting("VORLANE", "Setting", keys[1], "-"), "after");
        QCOMPARE(s.v->m_trimcopy, trim == "1");
    }
};

QTEST_MAIN(TestExchange)
#include "test_exchange.moc"
