// Opening a path (picture, folder, sound) and scanning its folder, from the
// command line and the Open dialog, on real temporary folders.

// Qt
#include <QDir>
#include <QFile>
#include <QtTest>

// Std
#include <sys/stat.h>

// Local
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// Makes the files named (relative to the sandbox, separated by spaces):
// pictures of the kind their extension names, text in names holding
// "broken", sounds and other files with a few bytes, folders for names
// ending in "/", a pipe for "NAME|" and a symbolic link for "NAME>TARGET".
static void make(const Sandbox &box, const QString &files)
{
    for (const QString &name : files.split(' ', Qt::SkipEmptyParts)) {
        const QString ext = name.section('.', -1).toLower();
        if (name.endsWith('/'))
            QDir().mkpath(box.file(name));
        else if (name.endsWith('|'))
            QCOMPARE(::mkfifo(QFile::encodeName(box.file(name.chopped(1))).constData(), 0600), 0);
        else if (name.contains('>'))
            QVERIFY(QFile::link(box.file(name.section('>', 1)), box.file(name.section('>', 0, 0))));
        else if (QStringLiteral("bmp gif jpg ico").contains(ext) && !name.contains("broken"))
            box.picture(name, { 24, 16 }, ext.toLatin1().constData());
        else
            box.write(name, "no picture");
    }
}

// A path, or a list's paths separated by spaces, relative to the sandbox.
static QString rel(const Sandbox &box, const QString &path)
{
    return QString(path).remove(box.path() + '/');
}
static QString rel(const Sandbox &box, const SortedPathList &list)
{
    return rel(box, QStringList(list.entries().cbegin(), list.entries().cend()).join(' '));
}

// What opening left, paths relative to the sandbox: "shown | pictures |
// sounds | folder scanned for sounds only | picture and sound indexes".
static QString state(const Sandbox &box, Viewer &v)
{
    const QString indexes = QStringLiteral("%1 %2").arg(v->m_bmpidx).arg(v->m_sndidx);
    return QStringList { rel(box, v->m_fname), rel(box, v->m_BitmapList), rel(box, v->m_SoundList),
                         rel(box, v->m_scandir), indexes }.join(" | ");
}

class TestOpening : public QObject
{
    Q_OBJECT
private slots:
    // Each row starts with start/y.gif shown (the second of two pictures)
    // and both indexes at 1, then opens the path. Each folder lists its
    // files in the order given.
    void openPath_data()
    {
        columns<QString, QString, QString>({ "files", "path", "state" });
        const QString unchanged = "start/y.gif | start/x.gif start/y.gif |  |  | 1 1";
        // clang-format off
        QTest::newRow("folder: its sorted first picture") << "d/b.jpg d/A.bmp" << "d"
            << "d/A.bmp | d/A.bmp d/b.jpg |  |  | 0 1";
        QTest::newRow("folder ending in /: no cleaning") << "d/b.jpg d/A.bmp" << "d/"
            << "d//A.bmp | d//A.bmp d//b.jpg |  |  | 0 1";
        for (const char *nothing : { "sounds", "empty", "missing" })
            QTest::newRow(nothing) << "sounds/a.mid empty/" << nothing << unchanged;
        QTest::newRow("picture: its folder scanned") << "f/a.jpg f/b.gif f/c.jpg f/d.mid f/e.txt"
            << "f/c.jpg" << "f/c.jpg | f/a.jpg f/b.gif f/c.jpg | f/d.mid |  | 2 0";
        QTest::newRow("picture that fails: its folder all the same") << "g/broken.bmp g/ok.bmp"
            << "g/broken.bmp" << "start/y.gif | g/broken.bmp g/ok.bmp |  |  | 0 1";
        QTest::newRow("hidden files, pipes, folders and broken links skipped")
            << "h/a.jpg h/.b.jpg h/c.jpg/ h/d.jpg| h/e.jpg>h/a.jpg h/f.jpg>no.jpg" << "h"
            << "h/a.jpg | h/a.jpg h/e.jpg |  |  | 0 1";
        QTest::newRow("a hidden folder is no folder") << ".h/a.jpg" << ".h" << unchanged;
        QTest::newRow("other letter case: index kept") << "f/a.jpg f/b.jpg" << "f/A.JPG"
            << "start/y.gif | f/a.jpg f/b.jpg |  |  | 1 1";
        // clang-format on
    }

    void openPath()
    {
        QFETCH(QString, files);
        QFETCH(QString, path);
        Started s;
        auto &[box, v] = s;
        make(box, files + " start/x.gif start/y.gif");
        for (const QString &name : files.split(' '))
            v.folders.order[box.path() + '/' + name.section('/', 0, -2) + '/'] << name.section('/', -1);
        v->OpenPath(box.file("start/y.gif"));
        v->m_sndidx = 1;
        v->OpenPath(box.path() + '/' + path);
        QTEST(state(box, v), "state");
    }

    void soundScansOnlySounds()
    {
        Started s;
        auto &[box, v] = s;
        make(box, "m/x.jpg m/y.jpg m/w.mid m/x.mid other/p.bmp");
        v->OpenPath(box.file("m/y.jpg"));
        // Only the sound list is rebuilt, and the sound's picture shows.
        make(box, "m/z.jpg");
        v->OpenPath(box.file("m/x.mid"));
        QCOMPARE(state(box, v), "m/x.jpg | m/x.jpg m/y.jpg | m/w.mid m/x.mid | m/ | 0 1");
        // Another sound or a picture of the same folder: no rescan (nor a
        // new picture index).
        make(box, "m/a-late.mid");
        v->OpenPath(box.file("m/a-late.mid"));
        v->OpenPath(box.file("m/y.jpg"));
        QCOMPARE(state(box, v), "m/y.jpg | m/x.jpg m/y.jpg | m/w.mid m/x.mid | m/ | 0 1");
        // Another folder scans in full and forgets the sound folder.
        v->OpenPath(box.file("other/p.bmp"));
        QCOMPARE(state(box, v), "other/p.bmp | other/p.bmp |  |  | 0 1");
    }

    void openDialog()
    {
        Started s;
        auto &[box, v] = s;
        make(box, "a.gif");
        v.dialogs.openAnswers.push_back(box.file("a.gif"));
        v->FileOpen_Click();
        QCOMPARE(v->m_fname, box.file("a.gif"));
        // Then the dialog proposes the name it last held, in the current folder.
        v->FileOpen_Click();
        const FileDialogRequest &last = v.dialogs.openRequests.last();
        QCOMPARE(std::tuple(last.nameFilters, last.pathMustExist, last.proposedPath, last.startFolder),
                 std::tuple(QStringList { "ファイル (*.*)" }, true, box.file("a.gif"), box.path() + "/"));
    }

    // Run from the sandbox; %1 is its path.
    void commandLine_data()
    {
        columns<QString, QString, QString>({ "line", "shown", "savedAtExit" });
        QTest::newRow("relative path") << "my pics/a b.jpg" << "my pics/a b.jpg" << "";
        QTest::newRow("-A, a folder") << "-A \"%1/f\"" << "f/a.jpg" << "f/a.jpg";
        QTest::newRow("-A, a relative path") << "-A f/b.jpg" << "f/b.jpg" << "f/b.jpg";
        QTest::newRow("-A, nothing opened") << "-A %1/missing.jpg" << "" << "";
    }

    void commandLine()
    {
        QFETCH(QString, line);
        Sandbox box;
        make(box, "f/a.jpg f/b.jpg");
        box.picture("my pics/a b.jpg", { 24, 16 });
        const QString previous = QDir::currentPath();
        QDir::setCurrent(box.path());
        Viewer v(box.path());
        v->Form_Load(QString(line).replace("%1", box.path()));
        QDir::setCurrent(previous);
        QTEST(rel(box, v->m_fname), "shown");
        QTEST(rel(box, v->m_savename), "savedAtExit");
    }
};

QTEST_MAIN(TestOpening)
#include "test_opening.moc"
