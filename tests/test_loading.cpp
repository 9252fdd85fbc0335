// Loading picture files of every kind into the view, made in code and from
// public test suites (outside the repository: those tests skip without them).

// Qt
#include <QDir>
#include <QFile>
#include <QtTest>

// Std
#include <sys/resource.h>
#include <sys/stat.h>

// Local
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// The public test files, and a row for each in the folders named; false
// when they are not there (they sit beside the repository).
static const QString corpus = QStringLiteral(VORLANE_CORPUS_DIR) + '/';
static bool corpusFiles(std::initializer_list<const char *> folders)
{
    QTest::addColumn<QString>("file");
    for (const QString folder : folders)
        for (const QString &name : QDir(corpus + folder).entryList(QDir::Files))
            QTest::newRow(qPrintable(folder + '/' + name)) << folder + '/' + name;
    return QDir(corpus).exists();
}

class TestLoading : public QObject
{
    Q_OBJECT
private slots:
    void everyKindLoads_data()
    {
        columns<QByteArray, QString, QSize, int>({ "kind", "name", "size", "tolerance" });
        QTest::newRow("bmp") << QByteArray("bmp") << "p.bmp" << QSize(64, 48) << 0;
        QTest::newRow("gif, wide") << QByteArray("gif") << "p.gif" << QSize(640, 32) << 0;
        QTest::newRow("jpeg") << QByteArray("jpg") << "p.jpeg" << QSize(64, 48) << 40;
        QTest::newRow("ico") << QByteArray("ico") << "p.ico" << QSize(64, 48) << 0;
        QTest::newRow("ico of 256 (0 in the file)") << QByteArray("ico") << "q.ico" << QSize(256, 256)
                                                    << 0;
        QTest::newRow("wmf") << QByteArray("wmf") << "p.wmf" << QSize(64, 48) << 40;
        QTest::newRow("content decides") << QByteArray("jpg") << "jpeg.bmp" << QSize(30, 20) << 40;
    }

    // Each at its natural size of 15 twips a pixel whatever density the file
    // claims (the pictures claim 72 x 144 dpi), whole, at 100 %, upright.
    void everyKindLoads()
    {
        QFETCH(QByteArray, kind);
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(int, tolerance);
        Started s;
        auto &[box, v] = s;
        const QString path = box.picture(name, size, kind.constData());
        v->m_size = 230;
        v->m_trimx = 15;
        v->LoadPictureFile(path);
        QCOMPARE(v->m_fname, path);
        QCOMPARE(v->windowTitle(), name);
        QCOMPARE(v->m_size, 100.0f);
        QCOMPARE(QRect(v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh), QRect(QPoint(), size * 15));
        QCOMPARE(QSize(v->m_orgx, v->m_orgy), size * 15);
        const QImage view = v->Picture1->Image();
        QCOMPARE(view.size(), size);
        for (const int q : { 0, 1, 2, 3 }) {
            const QPoint p = quadrantCentre(size, Quadrant(q));
            const QRgb expected = quadrantColor(Quadrant(q)).rgb() & 0xffffff;
            QVERIFY(closeColor(rgbAt(view, p.x(), p.y()), expected, tolerance));
        }
    }

    void jpegShowsUpright_data()
    {
        // topLeft: the file's quadrant that lands top left
        columns<int, QSize, int>({ "orientation", "shown", "topLeft" });
        QTest::newRow("3: half round") << 3 << QSize(60, 40) << int(Quadrant::BottomRight);
        QTest::newRow("6: clockwise") << 6 << QSize(40, 60) << int(Quadrant::BottomLeft);
        QTest::newRow("8: anticlockwise") << 8 << QSize(40, 60) << int(Quadrant::TopRight);
    }

    void jpegShowsUpright()
    {
        QFETCH(int, orientation);
        QFETCH(int, topLeft);
        Started s;
        auto &[box, v] = s;
        QVERIFY(writeJpegWithOrientation(makePattern(60, 40), box.file("p.jpg"), orientation));
        v->LoadPictureFile(box.file("p.jpg"));
        QTEST(QSize(v->m_orgx, v->m_orgy) / 15, "shown");
        QVERIFY(closeColor(rgbAt(v->Picture1->Image(), 3, 3),
                           quadrantColor(Quadrant(topLeft)).rgb() & 0xffffff, 40));
    }

    void iconShowsItsLargestEntry()
    {
        Started s;
        auto &[box, v] = s;
        QVERIFY(writeIcon({ makePattern(16, 16), makePattern(48, 48, Qt::magenta),
                            makePattern(32, 32) }, box.file("p.ico")));
        v->LoadPictureFile(box.file("p.ico"));
        QCOMPARE(v->m_orgx, 48 * 15);
        QCOMPARE(rgbAt(v->Picture1->Image(), 5, 5), rgb(255, 0, 255));
    }

    void refusedFileChangesOnlyTheCaption_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("no picture") << "broken.jpg";
        QTest::newRow("missing") << "missing.gif";
        QTest::newRow("pipe: never opened") << "pipe.jpg";
        // 256 megapixels: over the viewer's limit of 250, under Qt's own.
        QTest::newRow("GIF claiming 16000 x 16000") << "claims.gif";
        QTest::newRow("BMP claiming 16000 x 16000") << "claims.bmp";
        QTest::newRow("top-down BMP claiming 16000 x 16000") << "top-down.bmp";
    }

    void refusedFileChangesOnlyTheCaption()
    {
        QFETCH(QString, name);
        Started s;
        auto &[box, v] = s;
        const QString path = box.file(name);
        if (name == "broken.jpg")
            box.write(name, "this is no picture at all");
        else if (name == "pipe.jpg")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (name == "claims.gif")
            QVERIFY(writeGifHeaderClaiming(path, 16000, 16000));
        else if (name != "missing.gif")
            QVERIFY(writeBmpHeaderClaiming(path, 16000, name == "claims.bmp" ? 16000 : -16000));
        const QString good = box.picture("good.bmp", { 40, 30 });
        v->LoadPictureFile(good);
        v->m_size = 50;
        v->FormResize();
        const QImage before = v->Picture1->Image();
        // Refused before decoding: the peak memory does not grow by the
        // gigabyte a picture of the claimed size would take.
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        const long peakKb = usage.ru_maxrss;
        v->LoadPictureFile(path);
        getrusage(RUSAGE_SELF, &usage);
        QVERIFY(usage.ru_maxrss - peakKb < 200 * 1024);
        QCOMPARE(v->windowTitle(), name);
        QCOMPARE(v->m_fname, good);
        QCOMPARE(v->m_size, 50.0f);
        QCOMPARE(v->Picture1->Image(), before);
        // An empty path releases the picture and keeps the rest; the next
        // redraw shows the prompt, not the red quadrant.
        v->LoadPictureFile(QString());
        QVERIFY(!v->HasPicture());
        QCOMPARE(v->m_fname, good);
        QCOMPARE(v->windowTitle(), name);
        v->RedrawView();
        QVERIFY(!closeColor(rgbAt(v->Picture1->Image(), 2, 2), rgb(255, 0, 0), 60));
    }

    void largeAndTruncatedFiles()
    {
        Started s;
        auto &[box, v] = s;
        // A bitmap's rows run bottom-up: what survived is the lower part.
        const QByteArray whole = encodePicture(makePattern(200, 200), "bmp");
        v->LoadPictureFile(box.write("cut.bmp", truncated(whole, 0.6)));
        QCOMPARE(v->m_orgx, 3000);
        QCOMPARE(rgbAt(v->Picture1->Image(), 150, 190), rgb(255, 255, 0));
        // 108 megapixels: more than Qt's own default allocation limit allows.
        QImage photo(12000, 9000, QImage::Format_RGB32);
        photo.fill(QColor(30, 90, 200));
        QVERIFY(writePicture(photo, box.file("huge.jpg"), "jpg"));
        photo = QImage();
        v->LoadPictureFile(box.file("huge.jpg"));
        QCOMPARE(v->m_orgx, 12000 * 15);
        QVERIFY(v->m_size < 10);
        QVERIFY(closeColor(rgbAt(v->Picture1->Image(), 3, 3), rgb(30, 90, 200)));
    }

    // Real-world pictures load; broken and damaged ones either show (in
    // part, maybe) or leave all as it was but the caption.
    void corpusFilesLoad_data()
    {
        if (!corpusFiles({ "bmp", "gif", "jpeg", "ico", "wmf", "bad", "questionable" }))
            QSKIP(qPrintable("no public test files at " + corpus));
    }

    void corpusFilesLoad()
    {
        QFETCH(QString, file);
        Started s;
        auto &[box, v] = s;
        const QString good = box.picture("good.bmp", { 40, 30 });
        v->LoadPictureFile(good);
        v->LoadPictureFile(corpus + file);
        QCOMPARE(v->windowTitle(), file.section('/', -1));
        const bool broken = file.startsWith("bad/") || file.startsWith("questionable/");
        QCOMPARE(v->m_fname, broken && v->m_fname == good ? good : corpus + file);
        QVERIFY(v->m_orgx > 0 && v->m_orgy > 0);
    }
};

QTEST_MAIN(TestLoading)
#include "test_loading.moc"
