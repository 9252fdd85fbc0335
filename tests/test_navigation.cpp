// Browsing folders: the text rules of paths, numbers and the command line;
// opening a path (picture, folder, sound) and scanning its folder, from the
// command line and the Open dialog; stepping through the pictures and the
// slide show, where decoding ahead changes nothing a user can see, also when
// files change on disk; background sound on the real SDL device: the
// sequence, the pairing with pictures, and files that cannot be played. All
// on real temporary folders.

// Qt
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QtTest>

// Std
#include <climits>
#include <cmath>
#include <sys/stat.h>

// Local
#include "app/command_line.h"
#include "app/numbers.h"
#include "browse/paths.h"
#include "browse/sorted_path_list.h"
#include "data/writers/sound_writer.h"
#include "exchange/save_name.h"
#include "platform/midi_length.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace Qt::StringLiterals;
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

// A folder of pictures named as given (".bmp" added), each one pixel wider
// than the one before; returns the folder with its "/".
static QString folderOf(const Sandbox &box, const QStringList &names)
{
    for (int i = 0; i < names.size(); ++i)
        box.picture("f/" + names[i] + ".bmp", { 20 + i, 10 });
    return box.path() + "/f/";
}

// What a user sees: caption, current file's name and index, size and pixels.
static QString seen(Viewer &v)
{
    const QImage view = v->Picture1->Image();
    return QStringLiteral("%1 %2 %3 %4 %5").arg(v->windowTitle(), v->m_fname.section('/', -1))
        .arg(v->m_bmpidx).arg(v->m_orgx).arg(qHashBits(view.constBits(), view.sizeInBytes()));
}

// Writes a sound to path and returns it: for a ".mid" name one piano note
// of a quarter second, else a 440 Hz tone of the given length.
static QString sound(const QString &path, int ms = 150)
{
    std::vector<qint16> samples(size_t(22050 * ms / 1000));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = qint16(12000 * std::sin(double(i) * 2 * M_PI * 440 / 22050));
    path.endsWith(".mid")
        ? writers::writeMidi({ .programs = { 0 }, .notes = { { 0, 240, 0, 72, 110 } } }, path)
        : writers::writeWav(samples, 22050, path);
    return path;
}

class TestNavigation : public QObject
{
    Q_OBJECT
private slots:
    // Every rule on each path (the name a save proposes too); "-" stands
    // for no answer.
    void pathRules_data()
    {
        columns<QString, QString, QString, QString, QString, QString, QString>(
            { "path", "dir", "file", "base", "memo", "save", "kind" });
        // clang-format off
        const auto row = [](const char *path, auto... rules) {
            ((QTest::newRow(*path ? path : "empty") << QString(path)) << ... << QString(rules));
        };
        row("/a/PHOTO.JPG", "/a/", "PHOTO.JPG", "/a/PHOTO.", "/a/PHOTO.txt", "/a/PHOTO", "picture");
        row("/a.Jpeg", "/", "a.Jpeg", "/a.", "/a.txt", "/a", "picture");
        row("/a/scanbmp", "/a/", "scanbmp", "/a/sca", "/a/scatxt", "/a/scanbmp", "picture");
        row("/x.jpg/readme", "/x.jpg/", "readme", "/x.jpg/re", "/x.jpg/retxt", "/x.jpg/readme", "");
        row("/s/tune.MID", "/s/", "tune.MID", "/s/tune.", "/s/tune.txt", "/s/tune", "sound");
        row("/s/a.Mp3", "/s/", "a.Mp3", "/s/a.", "/s/a.txt", "/s/a", "sound");
        row("/a/pic.c", "/a/", "pic.c", "/a/pic.", "/a/pic.txt", "/a/pic.c", "");
        row("/a/pic.tiff1", "/a/", "pic.tiff1", "/a/pic.t", "/a/pic.ttxt", "/a/pic.tiff1", "");
        row("/a/b.c.d", "/a/", "b.c.d", "/a/b.", "/a/b.txt", "/a/b", "");
        row("/p//../a.gif", "/p//../", "a.gif", "/p//../a.", "/p//../a.txt", "/p//../a", "picture");
        row("/pics/", "/pics/", "", "/p", "/ptxt", "/pics/", "");
        row("abc.jpg", "a", "bc.jpg", "abc.", "abc.txt", "abc", "picture");
        row("a.b", "a", ".b", "a", "atxt", "a.b", "");
        row("mp", "m", "p", "-", "-", "mp", "");
        row("", "", "-", "-", "", "", "");
        // clang-format on
    }

    void pathRules()
    {
        QFETCH(QString, path);
        QTEST(GetDirName(path), "dir");
        QTEST(GetFileName(path).value_or("-"), "file");
        QTEST(basePath(path).value_or("-"), "base");
        QTEST(memoFileFor(path).value_or("-"), "memo");
        QTEST(defaultSaveName(path), "save");
        QTEST(QString(IsBitmapFile(path) ? "picture" : "") + (IsSoundFile(path) ? "sound" : ""), "kind");
    }

    // Case-blind, numbers by value, equal names in the order added; adding
    // all at once gives the order of adding one by one.
    void sortedList_data()
    {
        // expected: empty: as added one by one
        columns<QStringList, QStringList>({ "added", "expected" });
        QTest::newRow("names and numbers")
            << QStringList { "/p/img10.jpg", "/p/b.jpg", "/p/img2.jpg", "/p/A.bmp", "/p/a2.gif" }
            << QStringList { "/p/A.bmp", "/p/a2.gif", "/p/b.jpg", "/p/img2.jpg", "/p/img10.jpg" };
        QTest::newRow("equal names keep their order") << QStringList { "/p/A.jpg", "/p/a.jpg",
            "/p/0.jpg" } << QStringList { "/p/0.jpg", "/p/A.jpg", "/p/a.jpg" };
        QStringList scrambled;
        for (int i = 0; i < 500; ++i) {
            const int k = (i * 7919) % 500;
            scrambled << QStringLiteral("/f/%1img%2.jpg").arg(k % 3 ? "" : "X").arg(k % 60);
        }
        QTest::newRow("500 names, many equal") << scrambled << QStringList();
    }

    void sortedList()
    {
        QFETCH(QStringList, added);
        QFETCH(QStringList, expected);
        SortedPathList one;
        for (const QString &n : added)
            one.add(n);
        SortedPathList bulk;
        bulk.assign(std::vector<QString>(added.cbegin(), added.cend()));
        const QStringList listed(one.entries().cbegin(), one.entries().cend());
        if (!expected.isEmpty())
            QCOMPARE(listed, expected);
        QCOMPARE(QStringList(bulk.entries().cbegin(), bulk.entries().cend()), listed);
        // Look-ups are exact.
        QCOMPARE(one.at(one.indexOf(listed.last())), listed.last());
        QCOMPARE(one.indexOf(listed.last().toUpper()), -1);
    }

    void commandLineParsed_data()
    {
        columns<QString, bool, bool, QString>({ "text", "empty", "saveAtExit", "path" });
        // clang-format off
        QTest::newRow("nothing") << "" << true << false << "";
        QTest::newRow("only spaces") << "   " << false << false << "";
        QTest::newRow("tabs kept") << " \t/a.jpg\t " << false << false << "\t/a.jpg\t";
        QTest::newRow("spaces in quotes") << "\"  /my a.jpg \"" << false << false << "/my a.jpg";
        QTest::newRow("nested quotes") << "\"\"/a.jpg\"\"" << false << false << "/a.jpg";
        QTest::newRow("no closing quote") << "\"/a.jpg" << false << false << "/a.jp";
        QTest::newRow("lone double quote") << "\"" << false << false << "\"";
        QTest::newRow("two double quotes") << "\"\"" << false << false << "";
        QTest::newRow("-A in quotes") << "\" -A /p/a.jpg\"" << false << true << "/p/a.jpg";
        QTest::newRow("-A after spaces") << "   -A /p/a.jpg" << false << true << "/p/a.jpg";
        QTest::newRow("-a is no prefix") << "-a /p/a.jpg" << false << false << "-a /p/a.jpg";
        QTest::newRow("-A without space") << "-A/p/a.jpg" << false << false << "-A/p/a.jpg";
        // clang-format on
    }

    void commandLineParsed()
    {
        QFETCH(QString, text);
        const CommandLine cl = parseCommandLine(text);
        QTEST(cl.empty, "empty");
        QTEST(cl.saveAtExit, "saveAtExit");
        QTEST(cl.path, "path");
    }

    // A number read from text, that number rounded to a 32-bit integer
    // (halves to even, saturating), and written back as a single.
    void numbers_data()
    {
        columns<QString, double, int, QString>({ "text", "number", "rounded", "written" });
        const QString huge(30, '9');
        QTest::newRow("half down to even") << "2.5" << 2.5 << 2 << "2.5";
        QTest::newRow("half up to even") << "3.5" << 3.5 << 4 << "3.5";
        QTest::newRow("negative half") << "-2.5" << -2.5 << -2 << "-2.5";
        QTest::newRow("plus sign, blanks first") << "  \t +7" << 7.0 << 7 << "7";
        QTest::newRow("trailing text ignored") << "1500px" << 1500.0 << 1500 << "1500";
        QTest::newRow("no exponent") << "1e5" << 1.0 << 1 << "1";
        QTest::newRow("comma is no decimal point") << "1,5" << 1.0 << 1 << "1";
        QTest::newRow("leading point") << ".5" << 0.5 << 0 << "0.5";
        QTest::newRow("not a number") << "abc" << 0.0 << 0 << "0";
        QTest::newRow("negative zero") << "-0" << 0.0 << 0 << "0";
        QTest::newRow("seven digits") << "66.6666666" << 66.6666666 << 67 << "66.66666";
        QTest::newRow("large stays plain") << "123456789" << 123456789.0 << 123456789 << "123456792";
        QTest::newRow("too large") << huge << 1e30 << INT_MAX << "1000000015047466219876688855040";
        QTest::newRow("too small") << "-" + huge << -1e30 << INT_MIN << "-1000000015047466219876688855040";
    }

    void numbers()
    {
        QFETCH(QString, text);
        const double read = readNumber(text);
        QTEST(read, "number");
        QTEST(int(toInt32(read)), "rounded");
        QTEST(formatSingle(float(read)), "written");
        QCOMPARE(toInt32(qQNaN()), 0);
    }

    // Each row starts with start/y.gif shown (the second of two pictures)
    // and both indexes at 1, then opens the paths in turn ("+NAME": NAME is
    // made then). Each folder lists its files in the order given.
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
        // A sound rebuilds only the sound list and shows its picture; another
        // sound or picture of that folder rescans nothing, but the picture
        // opened becomes the current one; another folder scans in full.
        const QString m = "m/x.jpg m/y.jpg m/w.mid m/x.mid other/p.bmp";
        QTest::newRow("sound folder") << m << "m/y.jpg +m/z.jpg m/x.mid +m/a.mid m/a.mid m/y.jpg"
            << "m/y.jpg | m/x.jpg m/y.jpg | m/w.mid m/x.mid | m/ | 1 1";
        QTest::newRow("sound folder forgotten") << m << "m/y.jpg m/x.mid other/p.bmp"
            << "other/p.bmp | other/p.bmp |  |  | 0 1";
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
        for (const QString &step : path.split(' '))
            step.startsWith('+') ? make(box, step.mid(1)) : v->OpenPath(box.path() + '/' + step);
        QTEST(state(box, v), "state");
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
    void commandLineOpens_data()
    {
        columns<QString, QString, QString>({ "line", "shown", "savedAtExit" });
        QTest::newRow("relative path") << "my pics/a b.jpg" << "my pics/a b.jpg" << "";
        QTest::newRow("-A, a folder") << "-A \"%1/f\"" << "f/a.jpg" << "f/a.jpg";
        QTest::newRow("-A, a relative path") << "-A f/b.jpg" << "f/b.jpg" << "f/b.jpg";
        QTest::newRow("-A, nothing opened") << "-A %1/missing.jpg" << "" << "";
    }

    void commandLineOpens()
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

    // From the first picture, steps by command (n, b) or key (Space,
    // Backspace); every step loads its picture again, even the same one.
    void stepping_data()
    {
        columns<QString, QString, QString>({ "names", "steps", "titles" });
        QTest::newRow("wrapping round both ways") << "a b c" << "b n n n n" << "c a b c a";
        QTest::newRow("one picture") << "only" << "n b" << "only only";
        QTest::newRow("Space and Backspace") << "a b c" << "Space Backspace Backspace" << "b a c";
    }

    void stepping()
    {
        QFETCH(QString, names);
        QFETCH(QString, steps);
        Started s;
        auto &[box, v] = s;
        const QString dir = folderOf(box, names.split(' '));
        v->show();
        v->OpenPath(dir + names.section(' ', 0, 0) + ".bmp");
        QStringList titles;
        for (const QString &step : steps.split(' ')) {
            v->m_size = 40;
            if (step == "n")
                v->NextBitmap_Click();
            else if (step == "b")
                v->BeforeBitmap_Click();
            else
                QTest::keyClick(v->Picture1, step == "Space" ? Qt::Key_Space : Qt::Key_Backspace);
            // A key step shows its picture once the waiting events are handled.
            QTRY_COMPARE(v->m_size, 100.0f);
            QCOMPARE(v->m_orgx, (20 + names.split(' ').indexOf(v->windowTitle().chopped(4))) * 15);
            titles << v->windowTitle().chopped(4);
        }
        QTEST(titles.join(' '), "titles");
        // The time of the step, to the whole second.
        QCOMPARE(v->m_slidetime.msec(), 0);
    }

    void slideShow()
    {
        Started s;
        auto &[box, v] = s;
        // What is shown, whether the timer runs and the command is checked.
        const auto show = [&v](const QString &shown) {
            return std::tuple(shown, v->ssTimer.isActive(), v->SlideShow->isChecked());
        };
        // With no pictures, steps change nothing and no show starts.
        v->m_bmpidx = 3;
        v->NextBitmap_Click();
        v->BeforeBitmap_Click();
        v->SlideShow->trigger();
        QCOMPARE(show(QString::number(v->m_bmpidx)), std::tuple(QString("3"), false, false));
        const QString dir = folderOf(box, { "a", "b" });
        v->OpenPath(dir + "a.bmp");
        v->SlideShow->trigger();
        QCOMPARE(show(v->windowTitle()), std::tuple(QString("a.bmp >> 10"), true, true));
        v->ssTimer_Timer();
        QCOMPARE(v->windowTitle(), QString("b.bmp"));
        v->ssTimer.start(2500);
        v->LoadPictureFile(dir + "a.bmp");
        QCOMPARE(v->windowTitle(), QString("a.bmp >> 2.5"));
        // With the list emptied a tick shows nothing, and the command cannot
        // stop a show with nothing to show.
        v->m_BitmapList.clear();
        v->ssTimer_Timer();
        v->SlideShow->trigger();
        QCOMPARE(show(v->m_fname), std::tuple(dir + "a.bmp", true, true));
        v->OpenPath(dir + "a.bmp");
        v->SlideShow->trigger();
        QCOMPARE(show(v->windowTitle()), std::tuple(QString("a.bmp"), false, false));
    }

    // Stepping on and back through a folder shows the same with and without
    // decoding ahead, also when p1, decoded ahead, changes on disk before
    // the step onto it.
    void decodingAheadChangesNothing_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change : { "none", "another picture", "deleted", "no picture, same size" })
            QTest::newRow(change) << change;
    }

    void decodingAheadChangesNothing()
    {
        QFETCH(QString, change);
        QStringList seenBy[2];
        for (const bool ahead : { false, true }) {
            Sandbox box;
            folderOf(box, { "p0", "p1", "p2", "p3", "p4" });
            Viewer v(box.path(), QSize(1024, 720), ahead);
            v->Form_Load("");
            v->OpenPath(box.path() + "/f");
            v.ahead.waitForAll();
            const QString p1 = box.file("f/p1.bmp");
            if (change == "another picture")
                QVERIFY(writePicture(makePattern(77, 20, Qt::cyan), p1, "bmp"));
            else if (change == "deleted")
                QVERIFY(QFile::remove(p1));
            else if (change != "none")
                box.write("f/p1.bmp", QByteArray(QFileInfo(p1).size(), 'x'));
            for (int i = 0; i < 7; ++i) {
                v.ahead.waitForAll();
                v->NextBitmap_Click();
                seenBy[ahead] << seen(v);
            }
            for (int i = 0; i < 3; ++i) {
                v->BeforeBitmap_Click(); // at once, decodes possibly still running
                seenBy[ahead] << seen(v);
            }
        }
        QCOMPARE(seenBy[true], seenBy[false]);
    }

    void sequenceMovesOnWhenASoundEnds_data()
    {
        // The folder's sounds, the one opened first (none: "♪" is clicked)
        // and the bytes it holds (null: a real sound), and the one after.
        columns<QString, QString, QByteArray, QString>({ "sounds", "first", "bytes", "next" });
        QByteArray noise(3000, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) >> 3);
        const QString bad = "m.mid p.mp3 w.wav z.wav";
        // clang-format off
        QTest::newRow("the next follows") << "a.mid b.wav c.wav" << "b.wav" << QByteArray() << "c.wav";
        QTest::newRow("last wraps to first") << "a.mid b.wav c.wav" << "c.wav" << QByteArray() << "a.mid";
        QTest::newRow("one sound repeats") << "one.wav" << "one.wav" << QByteArray() << "one.wav";
        QTest::newRow("no sounds: the tune repeats") << "" << "" << QByteArray() << "";
        QTest::newRow("text as .mid stays") << bad << "m.mid" << QByteArray("no tune\n") << "m.mid";
        QTest::newRow("noise named .mp3 stays") << bad << "p.mp3" << noise << "p.mp3";
        QTest::newRow("empty .wav stays") << bad << "w.wav" << QByteArray("") << "w.wav";
        // clang-format on
    }
    void sequenceMovesOnWhenASoundEnds()
    {
        QFETCH(QString, sounds);
        QFETCH(QString, first);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, next);
        Started s;
        auto &[box, v] = s;
        const SoundDevice &device = v->MMControl1;
        for (const QString &name : sounds.split(' ', Qt::SkipEmptyParts))
            name == first && !bytes.isNull() ? box.write("s/" + name, bytes)
                                             : sound(box.file("s/" + name));
        // The default tune is looked for beside the program.
        const QString tune = QCoreApplication::applicationDirPath() + "/vorlane.mid";
        const bool ownTune = !QFileInfo::exists(tune) && !sound(tune).isEmpty();
        const auto removeTune = qScopeGuard([&] { QFile::remove(ownTune ? tune : QString()); });

        first.isEmpty() ? v->SoundNext_Click() : v->OpenPath(box.file("s/" + first));
        // A real sound plays to its end; a file that cannot be played never
        // reads as ended. The notification is then run at once rather than
        // after three seconds.
        const int ended = bytes.isNull() ? SoundDevice::modeStopped : SoundDevice::modeNotReady;
        QTRY_COMPARE_WITH_TIMEOUT(device.mode(), ended, 10000);
        // Pairing with the current sound does not start it again.
        v->FindSound(device.fileName());
        QCOMPARE(device.mode(), ended);
        v->MMControl1_StatusUpdate();
        // The sound then playing is looked at every three seconds; once
        // stopped, no more.
        QCOMPARE(std::tuple(
                     device.fileName(), v->m_sndidx, v->SoundNext->text(), device.updateInterval()),
            std::tuple(next.isEmpty() ? tune : box.file("s/" + next),
                qMax(0, int(sounds.split(' ').indexOf(next))), QString("■"), 3000));
        v->SoundNext_Click();
        QCOMPARE(std::tuple(v->SoundNext->text(), device.updateInterval(), device.mode()),
            std::tuple(QString("♪"), 0, int(SoundDevice::modeNotReady)));
    }

    void pairing_data()
    {
        // Files of folder f (sounds in the listing order given), what is
        // opened in turn, the sound then played (an index of the sorted
        // sound list, or none), and then the picture shown, the sound
        // playing, the current one of the sound list and the zoom (100 once
        // a picture is loaded again, 40 before).
        columns<QString, QString, int, QString>({ "files", "open", "play", "shown" });
        // clang-format off
        QTest::newRow("a sound shows the first picture of its name")
            << "a.bmp a.jpg b.bmp a.wav b.wav" << "f/b.bmp" << 0 << "f/a.bmp f/a.wav f/a.wav 100";
        QTest::newRow("the picture shown is not loaded again")
            << "a.bmp b.bmp a.mid a.wav" << "f/a.bmp" << 1 << "f/a.bmp f/a.wav f/a.wav 40";
        QTest::newRow("a sound elsewhere leaves the picture")
            << "a.bmp b.bmp" << "f/a.bmp g/b.wav" << -1 << "f/a.bmp g/b.wav g/b.wav 40";
        QTest::newRow("the picture's first sound takes over")
            << "a.bmp b.bmp a.mid a.wav" << "f/b.bmp" << 1 << "f/a.bmp f/a.mid f/a.mid 100";
        QTest::newRow("a folder's first listed sound starts")
            << "c.bmp b.wav a.mid" << "f/c.bmp" << -1 << "f/c.bmp f/b.wav f/b.wav 40";
        // clang-format on
    }
    void pairing()
    {
        QFETCH(QString, files);
        QFETCH(QString, open);
        QFETCH(int, play);
        Started s;
        auto &[box, v] = s;
        const QStringList names = files.split(' ');
        make(box, "g/b.wav f/" + names.join(" f/"));
        v.folders.order[box.path() + "/f/"] = names;
        for (const QString &path : open.split(' '))
            v->OpenPath(box.file(path));
        v->m_size = 40;
        if (play >= 0)
            v->PlaySound(play);
        const QStringList shown { v->m_fname, v->MMControl1.fileName(),
                                  v->m_SoundList.at(v->m_sndidx), QString::number(v->m_size) };
        QTEST(shown.join(' ').remove(box.path() + '/'), "shown");
    }

    // Seconds to the last note, through tempo changes, running status and a
    // RIFF wrapper; a late end of track does not count.
    void midiLengthRead_data()
    {
        columns<QByteArray, double>({ "file", "seconds" });
        const auto smf = [](QByteArray division, QByteArray events) {
            QByteArray size(4, '\0');
            qToBigEndian(quint32(events.size()), size.data());
            return "MThd\0\0\0\6\0\0\0\1"_ba + division + "MTrk"_ba + size + events;
        };
        // A note from tick 0 to 96, at 96 ticks a quarter, then the track ends a minute on.
        const QByteArray note = "\0\x90\x48\x6e\x60\x80\x48\0\xda\0\xff\x2f\0"_ba;
        // clang-format off
        QTest::newRow("half a second") << smf("\0\x60"_ba, note) << 0.5;
        QTest::newRow("running status, tempo halved at tick 48") << smf("\0\x60"_ba,
            "\0\x90\x48\x6e\0\x4a\x6e\x30\xff\x51\3\x0f\x42\x40\x30\x80\x48\0\0\xff\x2f\0"_ba) << 0.75;
        QTest::newRow("25 frames of 4 ticks a second") << smf("\xe7\x04"_ba, note) << 0.96;
        QTest::newRow("wrapped") << "RIFF\0\0\0\0RMIDdata\x23\0\0\0"_ba + smf("\0\x60"_ba, note) << 0.5;
        QTest::newRow("no MIDI") << "RIFF\0\0\0\0WAVE"_ba << -1.0;
        QTest::newRow("4097 notes at once") << smf("\0\x60"_ba, "\0\x90\x48\x6e"_ba + "\0\x48\x6e"_ba.repeated(4096)) << -1.0;
        // clang-format on
    }
    void midiLengthRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(double, seconds);
        QCOMPARE(midiLength(file).value_or(-1), seconds);
    }

    // The driver asked for and the file played: a sound made here or a
    // sample, or files made to hurt (a pipe, a link to a device, a sparse
    // MIDI over the size limit, a note whose track ends a minute later).
    void deviceWritesRealSamples_data()
    {
        columns<QByteArray, QString, bool>({ "driver", "file", "plays" });
        // clang-format off
        QTest::newRow("midi") << QByteArray("disk") << "a.mid" << true;
        QTest::newRow("wav") << QByteArray("disk") << "a.wav" << true;
        QTest::newRow("mp3") << QByteArray("disk") << VORLANE_SOURCE_DIR "/data/samples/07-night.mp3" << true;
        QTest::newRow("no device: the dummy driver") << QByteArray("no-such-driver") << "a.wav" << true;
        QTest::newRow("ends a second after its note") << QByteArray("dummy") << "late.mid" << true;
        for (const char *hostile : { "pipe.mid", "zero.mid", "huge.mid" })
            QTest::newRow(hostile) << QByteArray("dummy") << hostile << false;
        // clang-format on
    }
    void deviceWritesRealSamples()
    {
        QFETCH(QByteArray, driver);
        QFETCH(QString, file);
        QFETCH(bool, plays);
        Sandbox box;
        const QString output = box.file("out.raw"), path = box.file(file);
        const QByteArray late
            = "MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\x0d\0\x90\x48\x6e\x60\x80\x48\0\xda\0\xff\x2f\0"_ba;
        if (file == "late.mid" || file == "huge.mid") // the same tune, then zeros
            QVERIFY(QFile(box.write(file, late)).resize(file == "huge.mid" ? 17 << 20 : late.size()));
        QVERIFY(file != "pipe.mid" || mkfifo(qPrintable(path), 0600) == 0);
        QVERIFY(file != "zero.mid" || QFile::link("/dev/zero", path));
        qputenv("SDL_AUDIODRIVER", driver);
        qputenv("SDL_DISKAUDIOFILE", output.toLocal8Bit());
        const auto restore = qScopeGuard([] { qputenv("SDL_AUDIODRIVER", "dummy"); });
        {
            SdlSoundDevice device;
            device.setFileName(QFileInfo(file).isAbsolute() ? file
                    : QFileInfo::exists(path)        ? path
                                                     : sound(path, 400));
            device.open();
            device.play();
            QCOMPARE(device.mode(), plays ? SoundDevice::modePlaying : SoundDevice::modeNotReady);
            if (plays)
                QTRY_COMPARE_WITH_TIMEOUT(device.mode(), SoundDevice::modeStopped, 15000);
        }
        if (driver != "disk")
            return;
        // Native 16-bit samples: something well above the noise floor came out.
        const QByteArray bytes = bytesOf(output);
        const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
        QVERIFY(std::any_of(
            samples, samples + bytes.size() / 2, [](qint16 s) { return qAbs(int(s)) > 2000; }));
    }
};

QTEST_MAIN(TestNavigation)
#include "test_navigation.moc"
