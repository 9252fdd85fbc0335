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

// The public test files (they sit beside the repository).
static const QString corpus = QStringLiteral(VORLANE_CORPUS_DIR) + '/';

// The colours at the middles of a picture's quadrants (top left, top right,
// bottom left, bottom right), each as the letter of the nearest pure colour:
// Red, Green, Blue, Yellow, Magenta, Cyan, blacK or White.
static QString quadrants(const QImage &img)
{
    QString letters;
    for (const QPoint q : { QPoint(1, 1), QPoint(3, 1), QPoint(1, 3), QPoint(3, 3) }) {
        const QRgb c = img.pixel(q.x() * img.width() / 4, q.y() * img.height() / 4);
        letters += QLatin1Char("KBGCRMYW"[(qRed(c) > 127) * 4 + (qGreen(c) > 127) * 2 + (qBlue(c) > 127)]);
    }
    return letters;
}

class TestLoading : public QObject
{
    Q_OBJECT
private slots:
    // kind: as encodePicture() names it, "exifN" for a JPEG to be turned by
    // its EXIF orientation N, "icons" for an icon of 16 x 16, 48 x 48 (its
    // top left magenta) and 32 x 32; the name ends the path and the caption.
    void everyKindLoads_data()
    {
        columns<QByteArray, QString, QSize, QString>({ "kind", "name", "size", "quadrants" });
        const auto row = [](const char *kind, const char *name, QSize size, const char *seen = "RGBY") {
            QTest::newRow(name) << QByteArray(kind) << name << size << seen;
        };
        row("bmp", "p.bmp", { 64, 48 });
        row("gif", "wide.gif", { 640, 32 });
        row("jpg", "p.jpeg", { 64, 48 });
        row("ico", "p.ico", { 64, 48 });
        row("ico", "256 (0 in the file).ico", { 256, 256 });
        row("wmf", "p.wmf", { 64, 48 });
        row("jpg", "content decides.bmp", { 30, 20 });
        row("exif3", "half round.jpg", { 60, 40 }, "YBGR");
        row("exif6", "clockwise.jpg", { 60, 40 }, "BRYG");
        row("exif8", "anticlockwise.jpg", { 60, 40 }, "GYRB");
        row("icons", "its largest entry.ico", { 48, 48 }, "MGBY");
    }

    // Each at its natural size of 15 twips a pixel whatever density the file
    // claims (the pictures claim 72 x 144 dpi), whole, at 100 %, upright.
    void everyKindLoads()
    {
        QFETCH(QByteArray, kind);
        QFETCH(QString, name);
        QFETCH(QSize, size);
        Started s;
        auto &[box, v] = s;
        const QString path = box.file(name);
        const QImage pattern = makePattern(size.width(), size.height());
        if (kind.startsWith("exif"))
            QVERIFY(writeJpegWithOrientation(pattern, path, kind.back() - '0'));
        else if (kind == "icons")
            QVERIFY(writeIcon({ makePattern(16, 16), makePattern(48, 48, Qt::magenta), makePattern(32, 32) },
                              path));
        else
            QVERIFY(writePicture(pattern, path, kind.constData()));
        std::tie(v->m_size, v->m_trimx) = std::tuple(230.0f, 15);
        v->LoadPictureFile(path);
        QCOMPARE(std::tuple(v->m_fname, v->windowTitle(), v->m_size), std::tuple(path, name, 100.0f));
        const QSize shown = kind == "exif6" || kind == "exif8" ? size.transposed() : size;
        QCOMPARE(QRect(v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh), QRect(QPoint(), shown * 15));
        QCOMPARE(std::tuple(QSize(v->m_orgx, v->m_orgy), v->Picture1->Image().size()),
                 std::tuple(shown * 15, shown));
        QTEST(quadrants(v->Picture1->Image()), "quadrants");
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
        // A zoom a load would set to 100, not yet drawn: neither a load nor
        // a fitting may follow a refused file.
        v->m_size = 50;
        const QImage before = v->Picture1->Image();
        // Refused before decoding: the peak memory does not grow by the
        // gigabyte a picture of the claimed size would take.
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        const long peakKb = usage.ru_maxrss;
        v->LoadPictureFile(path);
        getrusage(RUSAGE_SELF, &usage);
        QVERIFY(usage.ru_maxrss - peakKb < 200 * 1024);
        QCOMPARE(std::tuple(v->windowTitle(), v->m_fname, v->m_size), std::tuple(name, good, 50.0f));
        QCOMPARE(v->Picture1->Image(), before);
        // An empty path releases the picture and keeps the rest; the next
        // redraw shows the prompt, not the red quadrant.
        v->LoadPictureFile(QString());
        QCOMPARE(std::tuple(v->HasPicture(), v->m_fname, v->windowTitle()), std::tuple(false, good, name));
        v->RedrawView();
        QVERIFY(!closeColor(rgbAt(v->Picture1->Image(), 2, 2), rgb(255, 0, 0), 60));
    }

    void largeAndTruncatedFiles()
    {
        Started s;
        auto &[box, v] = s;
        // A bitmap's rows run bottom-up: what survived is the lower part.
        const QByteArray whole = encodePicture(makePattern(200, 200), "bmp");
        v->LoadPictureFile(box.write("cut.bmp", whole.left(whole.size() * 6 / 10)));
        QCOMPARE(v->m_orgx, 3000);
        QCOMPARE(quadrants(v->Picture1->Image()).right(2), "BY");
        // 108 megapixels: more than Qt's own default allocation limit allows.
        v->LoadPictureFile(box.picture("huge.jpg", { 12000, 9000 }, "jpg"));
        QCOMPARE(v->m_orgx, 12000 * 15);
        QVERIFY(v->m_size < 10);
        QCOMPARE(quadrants(v->Picture1->Image()), "RGBY");
    }

    // A photo held shrunk for its view, zoomed into after its file was
    // moved, deleted, replaced or rewritten: the zoom shows the same picture
    // (every pixel of it, read from the file kept open since), and its size,
    // zoom and crop stay.
    void zoomAfterTheFileChanged_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change : { "moved", "deleted", "replaced", "rewritten in place" })
            QTest::newRow(change) << change;
    }
    void zoomAfterTheFileChanged()
    {
        QFETCH(QString, change);
        Sandbox box;
        Viewer v(box.path(), QSize(1024, 720), true);
        v->Form_Load("");
        const QString photo = box.picture("p.jpg", { 4000, 3000 }, "jpg");
        v->LoadPictureFile(photo);
        QVERIFY(v->m_pic->isReduced());
        const QString other = box.picture("o.jpg", { 3000, 4000 }, "jpg", Qt::cyan);
        QFile rewritten(photo);
        QVERIFY(change == "moved" ? QFile::rename(photo, box.file("q.jpg"))
                : change == "deleted"  ? QFile::remove(photo)
                : change == "replaced" ? QFile::remove(photo) && QFile::rename(other, photo)
                                       : rewritten.open(QIODevice::WriteOnly) && rewritten.write(bytesOf(other)) > 0);
        rewritten.close();
        // 200 × 100 pixels of the red quadrant at 400 %.
        std::tie(v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh, v->m_size)
            = std::tuple(15000, 15000, 3000, 1500, 400.f);
        v->FormResize();
        // Rewritten in place, it is no longer there to read: the held pixels stay.
        QCOMPARE(std::tuple(v->m_pic->image().size() == QSize(4000, 3000), v->m_orgx, v->m_trimw,
                     v->m_size, quadrants(v->Picture1->Image())),
            std::tuple(change != "rewritten in place", 60000, 3000, 400.f, QString("RRRR")));
    }

    // Real-world pictures load; broken and damaged ones either show (in
    // part, maybe) or leave all as it was but the caption.
    void corpusFilesLoad_data()
    {
        QTest::addColumn<QString>("file");
        if (!QDir(corpus).exists())
            QSKIP(qPrintable("no public test files at " + corpus));
        for (const QString folder : { "bmp", "gif", "jpeg", "ico", "wmf", "bad", "questionable" })
            for (const QString &name : QDir(corpus + folder).entryList(QDir::Files))
                QTest::newRow(qPrintable(folder + '/' + name)) << folder + '/' + name;
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
