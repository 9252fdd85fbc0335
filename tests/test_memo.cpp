// Memo files and the memo window: encodings, line breaks, following the
// current picture, and never losing what the user wrote.

// Qt
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

// Std
#include <csignal>
#include <sys/resource.h>

// Local
#include "exchange/memo_codec.h"
#include "exchange/memo_window.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// A viewer showing f/a.bmp (f/b.bmp beside it) with its memo window open.
struct MemoCase
{
    explicit MemoCase(const QByteArray &memoOfA = {})
    {
        for (const char *name : { "f/a.bmp", "f/b.bmp" })
            box.picture(name, { 20, 10 });
        if (!memoOfA.isNull())
            box.write("f/a.txt", memoOfA);
        v->Form_Load("");
        v->OpenPath(box.file("f/a.bmp"));
        v->Memo_Click();
    }
    void type(const QString &text)
    {
        memo.EditBtn->setChecked(true);
        memo.Comment->moveCursor(QTextCursor::End);
        memo.Comment->insertPlainText(text);
    }
    QByteArray bytes(const QString &name) const
    {
        QFile f(box.file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
    Sandbox box;
    Viewer v { box.path() };
    frmShowComment &memo = v->memoWindow();
};

class TestMemo : public QObject
{
    Q_OBJECT
private slots:
    void codec_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("written"); // the text less its last "\n" encodes to bytes
        QTest::newRow("CR LF") << QByteArray("A\r\nB\r\n") << "A\nB\n" << true;
        QTest::newRow("no CR LF at the end") << QByteArray("A\r\nB") << "A\nB\n" << false;
        QTest::newRow("lone CR ends, lone LF stays") << QByteArray("A\rB\nC\r\r") << "A\nB\nC\n\n"
                                                     << false;
        QTest::newRow("code page 932")
            << QByteArray("\x87\x40\xFB\xFC\x81\x60\r\n") << QString::fromUtf8("①髙～\n") << true;
        QTest::newRow("UTF-8") << QByteArray("メモ") << QString::fromUtf8("メモ\n") << false;
        QTest::newRow("wave dash: UTF-8, marked")
            << QByteArray("\xEF\xBB\xBF\xE3\x80\x9C\r\n") << QString::fromUtf8("〜\n") << true;
        // Their Shift-JIS bytes C3 B1 would read back as UTF-8 "ñ".
        QTest::newRow("half-width kana as valid UTF-8: UTF-8, marked")
            << QByteArray("\xEF\xBB\xBF\xEF\xBE\x83\xEF\xBD\xB1\r\n") << QString::fromUtf8("ﾃｱ\n")
            << true;
        QTest::newRow("U+FEFF first: marked twice")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx\r\n") << QStringLiteral("\uFEFFx\n") << true;
        QTest::newRow("emoji: UTF-8, marked")
            << QByteArray("\xEF\xBB\xBF\xF0\x9F\x98\x80\r\n") << QString::fromUtf8("😀\n") << true;
    }
    void codec()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, written);
        QCOMPARE(decodeMemo(bytes), text);
        if (written)
            QCOMPARE(encodeMemo(text.chopped(1)), bytes);
    }

    void editingThenSteppingOn()
    {
        MemoCase c;
        c.box.write("f/b.txt", "memo of b");
        QCOMPARE(c.memo.UpdateD->text(), QString("---"));
        const QString today = QDate::currentDate().toString("yyyy年MM月dd日");
        for (bool on : { true, false, true })
            c.memo.EditBtn->setChecked(on);
        QCOMPARE(c.memo.Comment->toPlainText(), today + "\n");
        QVERIFY(c.memo.isChanged() && c.memo.UpdateD->text().startsWith(today + " "));
        c.v->NextBitmap_Click();
        QCOMPARE(decodeMemo(c.bytes("f/a.txt")), today + "\n\n");
        QCOMPARE(c.memo.Comment->toPlainText(), QString("memo of b\n"));
        QVERIFY(c.memo.Comment->isReadOnly() && c.memo.focusWidget() == c.memo.Comment);
    }

    void closingAsks_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("atExit");
        QTest::newRow("Cancel keeps window and text") << false << false;
        QTest::newRow("OK discards the text") << true << false;
        QTest::newRow("Cancel at exit keeps the memo open") << false << true;
    }
    void closingAsks()
    {
        QFETCH(bool, ok);
        QFETCH(bool, atExit);
        MemoCase c("old");
        c.type("new");
        c.v.dialogs.okCancelAnswers = { ok };
        QVERIFY(atExit ? c.v->close() : c.memo.close() == ok);
        QCOMPARE(c.v.dialogs.okCancelTexts,
            QStringList("VORLANE|変更は保存されません。よろしいですか？"));
        QCOMPARE(c.memo.isVisible(), !ok);
        c.v->NextBitmap_Click();
        QCOMPARE(c.bytes("f/a.txt"), QByteArray(ok ? "old" : "old\r\nnew\r\n"));
    }

    void updateDeleteAndTheMemoShown()
    {
        // Unchanged, nothing is written: the lone LF would become CR LF.
        MemoCase c("one\ntwo");
        c.memo.EditBtn->setChecked(true);
        c.memo.CloseBtn->click();
        QCOMPARE(c.bytes("f/a.txt"), QByteArray("one\ntwo"));
        c.memo.DelBtn->click();
        c.memo.CloseBtn->click();
        QVERIFY(c.memo.Comment->toPlainText().isEmpty() && c.memo.UpdateD->text() == "---");
        // The current file changes without a load from a file, as a paste
        // does: Memo saves the memo shown where it belongs.
        c.type("about a");
        c.v->m_fname = c.box.file("f/b.bmp");
        c.v->Memo_Click();
        QVERIFY(c.bytes("f/a.txt").endsWith("about a\r\n"));
        QCOMPARE(c.bytes("f/b.txt"), QByteArray("(none)"));
    }

    void failedWritesLoseNothing()
    {
        static QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        MemoCase c("old memo");
        c.type(QString(4000, 'x'));
        // Files may not grow beyond 1000 bytes: the write stops half way, as
        // on a full disk.
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small { 1000, saved.rlim_max };
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        c.memo.CloseBtn->click();
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(c.bytes("f/a.txt"), QByteArray("old memo"));
        QVERIFY(c.memo.isChanged() && c.memo.EditBtn->isChecked());
        // Moving on from a memo whose folder has gone keeps a recovery copy.
        const QString lost = c.memo.m_ComFile;
        QVERIFY(QDir(c.box.file("f")).removeRecursively());
        c.v->LoadPictureFile(c.box.picture("g/c.bmp", { 20, 10 }));
        QFile copy(frmShowComment::recoveryPath(lost));
        QVERIFY(copy.open(QIODevice::ReadOnly) && copy.readAll().endsWith("xxx\r\n"));
        QCOMPARE(c.memo.m_ComFile, c.box.file("g/c.txt"));
    }
};

QTEST_MAIN(TestMemo)
#include "test_memo.moc"
