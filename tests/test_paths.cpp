// Path rules: file kinds, splitting, base paths and memo files; the sorted
// path list.

// Qt
#include <QtTest>

// Local
#include "browse/paths.h"
#include "browse/sorted_path_list.h"

using namespace vorlane;

class TestPaths : public QObject
{
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void split_data();
    void split();
    void basePath_data();
    void basePath();
    void memoFile_data();
    void memoFile();
    void sortedList();
    void sortedListKeepsEqualEntriesInOrder();
    void sortedListBulkMatchesOneByOne();
};

void TestPaths::kinds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<bool>("sound");
    QTest::newRow("PHOTO.JPG") << "PHOTO.JPG" << true << false;
    QTest::newRow("photo.Jpeg") << "photo.Jpeg" << true << false;
    QTest::newRow("x.BMP") << "x.BMP" << true << false;
    QTest::newRow("gif, ico, wmf") << "/a/b.gif" << true << false;
    QTest::newRow("ico") << "i.ico" << true << false;
    QTest::newRow("wmf") << "m.WMF" << true << false;
    QTest::newRow("movie.mpeg counts as a picture") << "movie.mpeg" << true << false;
    QTest::newRow("no dot needed") << "scanbmp" << true << false;
    QTest::newRow("folder plays no role") << "/x.jpg/readme" << false << false;
    QTest::newRow("tune.MID") << "tune.MID" << false << true;
    QTest::newRow("a.Mp3") << "a.Mp3" << false << true;
    QTest::newRow("wav") << "/s/a.wav" << false << true;
    QTest::newRow("a.jp") << "a.jp" << false << false;
    QTest::newRow("two characters") << "mp" << false << false;
    QTest::newRow("png is not ours") << "a.png" << false << false;
    QTest::newRow("empty") << "" << false << false;
}

void TestPaths::kinds()
{
    QFETCH(QString, name);
    QTEST(IsBitmapFile(name), "picture");
    QTEST(IsSoundFile(name), "sound");
}

void TestPaths::split_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("file");
    QTest::newRow("/pics/a.jpg") << "/pics/a.jpg" << "/pics/" << "a.jpg";
    QTest::newRow("/a.jpg") << "/a.jpg" << "/" << "a.jpg";
    QTest::newRow("/pics/") << "/pics/" << "/pics/" << "";
    QTest::newRow("no separator: the scan stops at the first character")
        << "abc.jpg" << "a" << "bc.jpg";
    QTest::newRow("no normalisation") << "/p//q/../a.JPG" << "/p//q/../" << "a.JPG";
    QTest::newRow("one character") << "a" << "a" << "";
}

void TestPaths::split()
{
    QFETCH(QString, path);
    QTEST(GetDirName(path), "dir");
    QTEST(GetFileName(path).value_or("<none>"), "file");
}

void TestPaths::basePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("base");
    QTest::newRow("three-letter extension") << "/a/pic.jpg" << "/a/pic.";
    QTest::newRow("four-letter extension") << "/a/pic.jpeg" << "/a/pic.";
    QTest::newRow("sound") << "/a/pic.mid" << "/a/pic.";
    QTest::newRow("one-letter extension") << "/a/pic.c" << "/a/pic.";
    QTest::newRow("dot further back is ignored") << "/a/pic.tiff1" << "/a/pic.t";
    QTest::newRow("no dot: last four characters dropped") << "/a/readme" << "/a/re";
    QTest::newRow("first dot of the last four") << "/a/b.c.d" << "/a/b.";
    QTest::newRow("short with dot") << "a.b" << "a";
    QTest::newRow("short without dot") << "abc" << "<none>";
    QTest::newRow("empty") << "" << "<none>";
}

void TestPaths::basePath()
{
    QFETCH(QString, path);
    QTEST(vorlane::basePath(path).value_or("<none>"), "base");
}

void TestPaths::memoFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("memo");
    QTest::newRow("jpg") << "/a/pic.jpg" << "/a/pic.txt";
    QTest::newRow("jpeg") << "/a/pic.jpeg" << "/a/pic.txt";
    QTest::newRow("pasted file") << "/photos/Vorlane.bmp" << "/photos/Vorlane.txt";
    QTest::newRow("no dot") << "/a/readme" << "/a/retxt";
    QTest::newRow("no current path") << "" << "";
    QTest::newRow("too short for a base path") << "abc" << "<none>";
}

void TestPaths::memoFile()
{
    QFETCH(QString, path);
    QTEST(memoFileFor(path).value_or("<none>"), "memo");
}

static QStringList entries(const SortedPathList &list)
{
    QStringList out;
    for (const QString &e : list.entries())
        out << e;
    return out;
}

void TestPaths::sortedList()
{
    SortedPathList list;
    for (const char *name : { "/p/img10.jpg", "/p/b.jpg", "/p/img2.jpg", "/p/A.bmp", "/p/a2.gif" })
        list.add(QString::fromLatin1(name));
    QCOMPARE(entries(list),
             QStringList({ "/p/A.bmp", "/p/a2.gif", "/p/b.jpg", "/p/img2.jpg", "/p/img10.jpg" }));
    // Look-ups are exact.
    QCOMPARE(list.indexOf("/p/b.jpg"), 2);
    QCOMPARE(list.indexOf("/p/B.jpg"), -1);
    QCOMPARE(list.indexOf("/p/a.bmp"), -1);
}

void TestPaths::sortedListKeepsEqualEntriesInOrder()
{
    SortedPathList list;
    list.add("/p/a.jpg");
    list.add("/p/A.jpg");
    list.add("/p/0.jpg");
    QCOMPARE(entries(list), QStringList({ "/p/0.jpg", "/p/a.jpg", "/p/A.jpg" }));
    list.assign({ "/p/A.jpg", "/p/a.jpg" });
    QCOMPARE(entries(list), QStringList({ "/p/A.jpg", "/p/a.jpg" }));
}

void TestPaths::sortedListBulkMatchesOneByOne()
{
    // Enough names, in a scrambled order, with case and digit variety.
    std::vector<QString> names;
    for (int i = 0; i < 500; ++i) {
        const int k = (i * 7919) % 500;
        names.push_back(QStringLiteral("/f/%1img%2.jpg").arg(k % 3 ? "" : "X").arg(k % 60));
    }
    SortedPathList one;
    for (const QString &n : names)
        one.add(n);
    SortedPathList bulk;
    bulk.assign(names);
    QCOMPARE(bulk.count(), 500);
    QCOMPARE(entries(bulk), entries(one));
}

QTEST_GUILESS_MAIN(TestPaths)
#include "test_paths.moc"
