// Text rules: file kinds, splitting, base paths and memo files, the sorted
// path list, the command line, numbers read from and written to text.

// Qt
#include <QtTest>

// Local
#include "app/command_line.h"
#include "app/numbers.h"
#include "browse/paths.h"
#include "browse/sorted_path_list.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestPaths : public QObject
{
    Q_OBJECT
private slots:
    // Every rule on each path; "-" stands for no answer.
    void pathRules_data()
    {
        columns<QString, QString, QString, QString, QString, bool, bool>(
            { "path", "dir", "file", "base", "memo", "picture", "sound" });
        // clang-format off
        const auto row = [](const char *path, const char *dir, const char *file, const char *base,
                            const char *memo, bool picture, bool sound) {
            QTest::newRow(*path ? path : "empty") << path << dir << file << base << memo << picture
                                                  << sound;
        };
        row("/a/PHOTO.JPG", "/a/", "PHOTO.JPG", "/a/PHOTO.", "/a/PHOTO.txt", true, false);
        row("/a.Jpeg", "/", "a.Jpeg", "/a.", "/a.txt", true, false);
        row("/a/scanbmp", "/a/", "scanbmp", "/a/sca", "/a/scatxt", true, false);
        row("/x.jpg/readme", "/x.jpg/", "readme", "/x.jpg/re", "/x.jpg/retxt", false, false);
        row("/s/tune.MID", "/s/", "tune.MID", "/s/tune.", "/s/tune.txt", false, true);
        row("/s/a.Mp3", "/s/", "a.Mp3", "/s/a.", "/s/a.txt", false, true);
        row("/s/a.wav", "/s/", "a.wav", "/s/a.", "/s/a.txt", false, true);
        row("/a/pic.c", "/a/", "pic.c", "/a/pic.", "/a/pic.txt", false, false);
        row("/a/pic.tiff1", "/a/", "pic.tiff1", "/a/pic.t", "/a/pic.ttxt", false, false);
        row("/a/b.c.d", "/a/", "b.c.d", "/a/b.", "/a/b.txt", false, false);
        row("/p//q/../a.gif", "/p//q/../", "a.gif", "/p//q/../a.", "/p//q/../a.txt", true, false);
        row("/pics/", "/pics/", "", "/p", "/ptxt", false, false);
        row("abc.jpg", "a", "bc.jpg", "abc.", "abc.txt", true, false);
        row("a.b", "a", ".b", "a", "atxt", false, false);
        row("mp", "m", "p", "-", "-", false, false);
        row("", "", "-", "-", "", false, false);
        // clang-format on
    }

    void pathRules()
    {
        QFETCH(QString, path);
        QTEST(GetDirName(path), "dir");
        QTEST(GetFileName(path).value_or("-"), "file");
        QTEST(basePath(path).value_or("-"), "base");
        QTEST(memoFileFor(path).value_or("-"), "memo");
        QTEST(IsBitmapFile(path), "picture");
        QTEST(IsSoundFile(path), "sound");
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
        QTest::newRow("equal names keep their order") << QStringList { "/p/a.jpg", "/p/A.jpg",
            "/p/0.jpg" } << QStringList { "/p/0.jpg", "/p/a.jpg", "/p/A.jpg" };
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

    void commandLine_data()
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
        QTest::newRow("-A, quoted path") << "-A \"/p/my a.jpg\"" << false << true << "/p/my a.jpg";
        QTest::newRow("-A in quotes") << "\" -A /p/a.jpg\"" << false << true << "/p/a.jpg";
        QTest::newRow("-A after spaces") << "   -A /p/a.jpg" << false << true << "/p/a.jpg";
        QTest::newRow("-a is no prefix") << "-a /p/a.jpg" << false << false << "-a /p/a.jpg";
        QTest::newRow("-A without space") << "-A/p/a.jpg" << false << false << "-A/p/a.jpg";
        // clang-format on
    }

    void commandLine()
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
        QTest::newRow("too large") << huge << 1e30 << std::numeric_limits<qint32>::max()
                                   << "1000000015047466219876688855040";
        QTest::newRow("too small") << "-" + huge << -1e30 << std::numeric_limits<qint32>::min()
                                   << "-1000000015047466219876688855040";
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        const double read = readNumber(text);
        QCOMPARE(read, number);
        QTEST(int(toInt32(read)), "rounded");
        QTEST(formatSingle(float(read)), "written");
        QCOMPARE(toInt32(qQNaN()), 0);
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "test_paths.moc"
