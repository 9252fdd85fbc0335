// Opening a path (picture, folder, sound) and scanning its folder, from the
// command line and the Open dialog, on real temporary folders.

// Qt
#include <QDir>
#include <QFile>
#include <QtTest>

// Std
#include <sys/stat.h>

// Local
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestOpening : public QObject
{
    Q_OBJECT
private slots:
    void folderShowsTheSortedFirstPicture();
    void folderWithoutPicturesOpensNothing();
    void pictureScansItsFolder();
    void firstSoundInEnumerationOrderIsCurrent();
    void soundScansOnlySounds();
    void differentLetterCaseKeepsTheIndex();
    void hiddenFilesPipesAndFoldersAreSkipped();
    void largeFolder();
    void openDialog();
    void commandLine();
    void commandLineSaveAtExit();

private:
    static QString picture(const Sandbox &box, const QString &name)
    {
        const QString ext = name.section('.', -1).toLower();
        const QByteArray kind = ext == "jpeg" ? "jpg" : ext.toLatin1();
        return box.picture(name, { 24, 16 }, kind.constData());
    }
    static QString sound(const Sandbox &box, const QString &name)
    {
        return box.write(name, QByteArray("not played by these tests"));
    }
    static QStringList entries(const SortedPathList &list)
    {
        QStringList out;
        for (const QString &e : list.entries())
            out << e;
        return out;
    }
};

void TestOpening::folderShowsTheSortedFirstPicture()
{
    Sandbox box;
    const QString dir = box.path() + "/pics";
    picture(box, "pics/b.jpg");
    picture(box, "pics/A.bmp");
    Viewer v(box.path());
    v.folders.order[dir + "/"] = QStringList { "b.jpg", "A.bmp" };
    v->Form_Load("");
    v->OpenPath(dir);
    QCOMPARE(v->m_fname, dir + "/A.bmp");
    QCOMPARE(v->m_bmpidx, 0);
    QCOMPARE(v->windowTitle(), QString("A.bmp"));
    QCOMPARE(entries(v->m_BitmapList), QStringList({ dir + "/A.bmp", dir + "/b.jpg" }));
    // A folder path ending in "/" works the same (no cleaning of "//").
    v->OpenPath(dir + "/");
    QCOMPARE(v->m_fname, dir + "//A.bmp");
}

void TestOpening::folderWithoutPicturesOpensNothing()
{
    Sandbox box;
    const QString shown = picture(box, "a/x.gif");
    sound(box, "sounds/tune.mid");
    QDir().mkpath(box.path() + "/empty");
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(box.path() + "/a");
    QCOMPARE(v->m_fname, shown);
    for (const QString &folder : { box.path() + "/sounds", box.path() + "/empty" }) {
        v->OpenPath(folder);
        QCOMPARE(v->m_fname, shown);
        QCOMPARE(entries(v->m_BitmapList), QStringList({ shown }));
        QVERIFY(v->m_SoundList.isEmpty());
    }
    // Nor does a path that does not exist.
    v->OpenPath(box.path() + "/nothing-here");
    QCOMPARE(v->m_fname, shown);
}

void TestOpening::pictureScansItsFolder()
{
    Sandbox box;
    const QString a = picture(box, "f/a.jpg");
    picture(box, "f/b.gif");
    const QString c = picture(box, "f/c.jpeg");
    sound(box, "f/d.mid");
    box.write("f/notes.txt", "text");
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(c);
    QCOMPARE(v->m_fname, c);
    QCOMPARE(v->m_BitmapList.count(), 3);
    QCOMPARE(v->m_bmpidx, 2);
    QCOMPARE(entries(v->m_SoundList), QStringList({ box.path() + "/f/d.mid" }));
    QCOMPARE(v->m_scandir, QString());
    // A picture that fails to load still has its folder scanned.
    const QString broken = box.write("g/broken.bmp", "no picture");
    picture(box, "g/ok.bmp");
    v->OpenPath(broken);
    QCOMPARE(v->m_fname, c);
    QCOMPARE(v->m_BitmapList.count(), 2);
    QCOMPARE(v->m_bmpidx, 0);
    Q_UNUSED(a);
}

void TestOpening::firstSoundInEnumerationOrderIsCurrent()
{
    Sandbox box;
    const QString c = picture(box, "f/c.jpg");
    sound(box, "f/b.wav");
    sound(box, "f/a.mid");
    Viewer v(box.path());
    v.folders.order[box.path() + "/f/"] = QStringList { "c.jpg", "b.wav", "a.mid" };
    v->Form_Load("");
    v->OpenPath(c);
    // b.wav was met first; a.mid sorts before it.
    QCOMPARE(entries(v->m_SoundList),
             QStringList({ box.path() + "/f/a.mid", box.path() + "/f/b.wav" }));
    QCOMPARE(v->m_sndidx, 1);
}

void TestOpening::soundScansOnlySounds()
{
    Sandbox box;
    const QString dir = box.path() + "/m/";
    const QString x = picture(box, "m/x.jpg");
    const QString y = picture(box, "m/y.jpg");
    sound(box, "m/w.mid");
    const QString xSound = sound(box, "m/x.mid");
    const QString other = picture(box, "other/p.bmp");
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(y);
    QCOMPARE(v->m_fname, y);

    // The sound: only the sound list is rebuilt, and its picture shows.
    picture(box, "m/z.jpg"); // appears after the scan
    v->OpenPath(xSound);
    QCOMPARE(v->m_scandir, dir);
    QCOMPARE(v->m_sndidx, 1);
    QCOMPARE(v->m_BitmapList.count(), 2);
    QCOMPARE(v->m_fname, x);
    QCOMPARE(v->m_bmpidx, 0);

    // A second sound of the same folder changes neither list nor index.
    const QString late = sound(box, "m/a-late.mid");
    v->m_sndidx = 0;
    v->OpenPath(late);
    QCOMPARE(v->m_SoundList.count(), 2);
    QCOMPARE(v->m_sndidx, 0);

    // A picture of the same folder right after: no rescan.
    v->OpenPath(y);
    QCOMPARE(v->m_fname, y);
    QCOMPARE(v->m_BitmapList.count(), 2);
    QCOMPARE(v->m_scandir, dir);

    // Another folder scans in full and forgets the sound folder.
    v->OpenPath(other);
    QCOMPARE(v->m_scandir, QString());
    QCOMPARE(entries(v->m_BitmapList), QStringList({ other }));
    QVERIFY(v->m_SoundList.isEmpty());
}

void TestOpening::differentLetterCaseKeepsTheIndex()
{
    Sandbox box;
    picture(box, "f/a.jpg");
    picture(box, "f/b.jpg");
    const QString c = picture(box, "f/c.jpg");
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(c);
    QCOMPARE(v->m_bmpidx, 2);
    v->OpenPath(box.path() + "/f/A.JPG");
    QCOMPARE(v->m_bmpidx, 2);
    QCOMPARE(v->m_BitmapList.count(), 3);
}

void TestOpening::hiddenFilesPipesAndFoldersAreSkipped()
{
    Sandbox box;
    const QString shown = picture(box, "f/shown.jpg");
    picture(box, "f/.hidden.jpg");
    QDir().mkpath(box.path() + "/f/folder.jpg");
    QCOMPARE(::mkfifo(QFile::encodeName(box.path() + "/f/pipe.jpg").constData(), 0600), 0);
    QVERIFY(QFile::link(shown, box.path() + "/f/link.jpg"));
    QVERIFY(QFile::link(box.path() + "/nowhere.jpg", box.path() + "/f/dangling.jpg"));
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(box.path() + "/f");
    QCOMPARE(entries(v->m_BitmapList),
             QStringList({ box.path() + "/f/link.jpg", box.path() + "/f/shown.jpg" }));
    // A hidden folder does not open as a folder.
    picture(box, ".secret/s.jpg");
    v->OpenPath(box.path() + "/.secret");
    QCOMPARE(v->m_BitmapList.count(), 2);
}

void TestOpening::largeFolder()
{
    // More entries than a 16-bit count could hold.
    Sandbox box;
    const QString dir = box.path() + "/big/";
    QDir().mkpath(dir);
    const int count = 33000;
    for (int i = 0; i < count; ++i) {
        QFile f(dir + QStringLiteral("img%1.jpg").arg(i));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    Viewer v(box.path());
    v->Form_Load("");
    const QString last = dir + QStringLiteral("img%1.jpg").arg(count - 1);
    v->ScanFolder(dir, last);
    QCOMPARE(v->m_BitmapList.count(), count);
    QCOMPARE(v->m_bmpidx, count - 1);
    QCOMPARE(v->m_BitmapList.at(2), dir + "img2.jpg");
    QCOMPARE(v->m_BitmapList.at(10), dir + "img10.jpg");
}

void TestOpening::openDialog()
{
    Sandbox box;
    const QString a = picture(box, "a.gif");
    Viewer v(box.path());
    v->Form_Load("");
    v->CDlg.Flags = 0x1;
    v->FileOpen_Click(); // cancelled
    QCOMPARE(v->m_fname, QString());
    QCOMPARE(v->windowTitle(), QString("Vorlane"));
    QCOMPARE(v.dialogs.openRequests.size(), 1);
    const FileDialogRequest request = v.dialogs.openRequests.first();
    QCOMPARE(request.nameFilters, QStringList({ "ファイル (*.*)" }));
    QVERIFY(request.pathMustExist);
    QCOMPARE(v->CDlg.Flags, 0x803);
    v.dialogs.openAnswers.push_back(a);
    v->FileOpen_Click();
    QCOMPARE(v->m_fname, a);
    QCOMPARE(v.dialogs.openRequests.last().startFolder, QString());
    // The dialog proposes the name it last held, in the current folder.
    v->FileOpen_Click();
    QCOMPARE(v.dialogs.openRequests.last().proposedPath, a);
    QCOMPARE(v.dialogs.openRequests.last().startFolder, box.path() + "/");
}

void TestOpening::commandLine()
{
    Sandbox box;
    const QString spaced = picture(box, "my pics/a b.jpg");
    Viewer v(box.path());
    v->Form_Load("\"" + spaced + "\"");
    QCOMPARE(v->m_fname, spaced);
    QVERIFY(v->m_savename.isEmpty());

    // A relative path is taken from the current folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(box.path());
    Viewer relative(box.path());
    relative->Form_Load("my pics/a b.jpg");
    QDir::setCurrent(previous);
    QCOMPARE(relative->m_fname, box.path() + "/my pics/a b.jpg");

    // "-a " is no prefix: nothing opens.
    Viewer lower(box.path());
    lower->Form_Load("-a " + spaced);
    QCOMPARE(lower->m_fname, QString());
    QVERIFY(!lower->HasPicture());
}

void TestOpening::commandLineSaveAtExit()
{
    Sandbox box;
    const QString a = picture(box, "f/a.jpg");
    picture(box, "f/b.jpg");
    Viewer v(box.path());
    v->Form_Load("-A \"" + box.path() + "/f\"");
    QCOMPARE(v->m_fname, a);
    QCOMPARE(v->m_savename, a);
    Viewer none(box.path());
    none->Form_Load("-A " + box.path() + "/missing.jpg");
    QCOMPARE(none->m_savename, QString());
}

QTEST_MAIN(TestOpening)
#include "test_opening.moc"
