// Real picture files from public test suites: every good file loads with
// the right natural size, and broken files never crash or hang the viewer.
// The files live outside the repository; without them these tests skip.

// Qt
#include <QDir>
#include <QtTest>

// Local
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

static QString corpus(const QString &sub = QString())
{
    return QStringLiteral(VORLANE_CORPUS_DIR) + (sub.isEmpty() ? QString() : "/" + sub);
}

static QStringList filesIn(const QString &folder)
{
    QStringList out;
    for (const QString &name : QDir(corpus(folder)).entryList(QDir::Files, QDir::Name))
        out << corpus(folder) + "/" + name;
    return out;
}

class TestCorpus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void goodFilesLoad_data();
    void goodFilesLoad();
    void naturalSizes_data();
    void naturalSizes();
    void photosShowUpright();
    void brokenFilesFailQuietly_data();
    void brokenFilesFailQuietly();
    void folderOfEveryKindSteps();
};

void TestCorpus::initTestCase()
{
    if (!QDir(corpus()).exists())
        QSKIP(qPrintable("no picture corpus at " + corpus()
                         + " (it sits beside the repository in the project's shared folder)"));
}

void TestCorpus::goodFilesLoad_data()
{
    QTest::addColumn<QString>("path");
    for (const char *kind : { "bmp", "gif", "jpeg", "ico", "wmf" })
        for (const QString &path : filesIn(kind))
            QTest::newRow(qPrintable(QString(kind) + "/" + QFileInfo(path).fileName())) << path;
}

void TestCorpus::goodFilesLoad()
{
    QFETCH(QString, path);
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->LoadPictureFile(path);
    QVERIFY(v->HasPicture());
    QCOMPARE(v->m_fname, path);
    QVERIFY(v->m_orgx > 0 && v->m_orgy > 0);
    // Something other than the empty view is drawn.
    const QImage view = v->Picture1->Image();
    QCOMPARE(view.size(), QSize(qRound(v->Picture1->Width() / 15), qRound(v->Picture1->Height() / 15)));
}

void TestCorpus::naturalSizes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("twips");
    // Bitmaps: pixels × 15 at 96 dpi, whatever density the file claims.
    QTest::newRow("odd width") << "bmp/pal1.bmp" << QSize(127 * 15, 64 * 15);
    QTest::newRow("top-down") << "bmp/pal8topdown.bmp" << QSize(127 * 15, 64 * 15);
    QTest::newRow("non-square density ignored") << "bmp/pal8nonsquare.bmp" << QSize(127 * 15, 32 * 15);
    QTest::newRow("OS/2 header") << "bmp/pal8os2.bmp" << QSize(127 * 15, 64 * 15);
    QTest::newRow("gif 1000x1000 screen") << "gif/large-gif-anim-combine.gif"
                                          << QSize(15000, 15000);
    QTest::newRow("ico largest entry") << "ico/pillow.ico" << QSize(256 * 15, 256 * 15);
    QTest::newRow("ico entry of 256 stored as 0") << "ico/hopper_256x256.ico"
                                                  << QSize(256 * 15, 256 * 15);
    QTest::newRow("ico many depths: largest") << "ico/multiple_entries_with_different_bit_depth.ico"
                                              << QSize(48 * 15, 48 * 15);
    // Metafiles: the placeable header's box and units per inch.
    QTest::newRow("wmf 96 units per inch") << "wmf/grid.wmf" << QSize(1410, 1410);
    QTest::newRow("wmf 1200 units per inch") << "wmf/drawing.wmf" << QSize(1643, 1643);
    QTest::newRow("wmf in HIMETRIC") << "wmf/symbol-font-tables.wmf" << QSize(8504, 7540);
    QTest::newRow("wmf with box origin") << "wmf/fjftest.wmf" << QSize(11906, 16838);
}

void TestCorpus::naturalSizes()
{
    QFETCH(QString, file);
    QFETCH(QSize, twips);
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->LoadPictureFile(corpus(file));
    QVERIFY(v->HasPicture());
    QVERIFY2(qAbs(v->m_orgx - twips.width()) <= 1 && qAbs(v->m_orgy - twips.height()) <= 1,
             qPrintable(QString("%1 x %2").arg(v->m_orgx).arg(v->m_orgy)));
}

void TestCorpus::photosShowUpright()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    // 2 × 1 pixels stored, turned a quarter by its EXIF orientation.
    v->LoadPictureFile(corpus("jpeg/orientation_rectangle.jpg"));
    QCOMPARE(QSize(v->m_orgx, v->m_orgy), QSize(15, 30));
    v->LoadPictureFile(corpus("jpeg/hopper_orientation_6.jpg"));
    QCOMPARE(QSize(v->m_orgx, v->m_orgy), QSize(128 * 15, 128 * 15));
}

void TestCorpus::brokenFilesFailQuietly_data()
{
    QTest::addColumn<QString>("path");
    for (const char *folder : { "bad", "questionable" })
        for (const QString &path : filesIn(folder))
            QTest::newRow(qPrintable(QString(folder) + "/" + QFileInfo(path).fileName())) << path;
}

void TestCorpus::brokenFilesFailQuietly()
{
    QFETCH(QString, path);
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QString good = corpus("bmp/rgb24.bmp");
    v->LoadPictureFile(good);
    QVERIFY(v->HasPicture());
    // Either the file shows (in part, maybe) or everything stays as it was
    // but the caption.
    v->LoadPictureFile(path);
    QCOMPARE(v->windowTitle(), QFileInfo(path).fileName());
    QVERIFY(v->HasPicture());
    if (v->m_fname == path) {
        QVERIFY(v->m_orgx > 0 && v->m_orgy > 0);
    } else {
        QCOMPARE(v->m_fname, good);
        QCOMPARE(v->m_orgx, 127 * 15);
    }
}

void TestCorpus::folderOfEveryKindSteps()
{
    // A folder holding every good file; stepping round it once visits each.
    Sandbox box;
    QStringList names;
    for (const char *kind : { "bmp", "gif", "jpeg", "ico", "wmf" })
        for (const QString &path : filesIn(kind)) {
            const QString name = QString(kind) + "-" + QFileInfo(path).fileName();
            QVERIFY(QFile::copy(path, box.file("all/" + name)));
            names << name;
        }
    Viewer v(box.path(), QSize(1024, 720), true);
    v->Form_Load("");
    v->OpenPath(box.path() + "/all");
    QCOMPARE(v->m_BitmapList.count(), names.size());
    QSet<QString> shown { v->m_fname };
    for (int i = 1; i < names.size(); ++i) {
        v->NextBitmap_Click();
        shown << v->m_fname;
    }
    QCOMPARE(shown.size(), names.size());
}

QTEST_MAIN(TestCorpus)
#include "test_corpus.moc"
