// The platform layer's own promises: the common dialog object and Qt's file
// dialog behind it, BMP writing, the surface's XOR drawing, the folder test,
// the settings store (also where its file is no file or no home is set), and
// the metafile renderer: which files it takes, their natural size, what the
// records draw, and files made to hurt it.

// Qt
#include <QApplication>
#include <QBackingStore>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QListView>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

// Std
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

// Local
#include "app/interface_language.h"
#include "platform/common_dialog.h"
#include "platform/image_memory.h"
#include "platform/picture_surface.h"
#include "platform/qt_dialog_runner.h"
#include "platform/qt_folder_service.h"
#include "platform/qt_picture_service.h"
#include "platform/wmf/decoder.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

namespace {

// Little-endian 16-bit words.
QByteArray words(const QList<qint16> &values)
{
    QByteArray out(values.size() * 2, '\0');
    qToLittleEndian<qint16>(values.constData(), values.size(), out.data());
    return out;
}

// One record: its size in words, its function and its parameter words in file order.
QByteArray record(quint16 function, const QList<qint16> &params)
{
    return words({ qint16(3 + params.size()), 0, qint16(function) }) + words(params);
}

// A file of the given units whose records, placed just before its end (the
// decoder recounts the header), draw with a red brush and no pen.
QByteArray red(const QByteArray &records, QSize units = QSize(100, 100), int unitsPerInch = 96,
    bool placeable = true)
{
    WmfWriter w(units.width(), units.height(), unitsPerInch, placeable);
    w.setNullPen();
    w.setBrush(Qt::red);
    const QByteArray file = w.finish();
    return file.chopped(6) + records + file.right(6);
}

// The same file with another placeable bounding box: left, top, right and
// bottom (the decoder ignores the header's checksum).
QByteArray withBounds(const QByteArray &file, const QList<qint16> &edges)
{
    return file.left(6) + words(edges) + file.mid(14);
}

// Record functions.
// clang-format off
enum : quint16 {
    saveDc = 0x001E, setMapMode = 0x0103, restoreDc = 0x0127, selectObject = 0x012D,
    deleteObject = 0x01F0, setWindowOrg = 0x020B, setWindowExt = 0x020C, offsetViewportOrg = 0x0211,
    lineTo = 0x0213, moveTo = 0x0214, createPen = 0x02FA, createFont = 0x02FB, createBrush = 0x02FC,
    polygon = 0x0324, excludeClip = 0x0415, intersectClip = 0x0416, ellipse = 0x0418,
    rectangle = 0x041B, textOut = 0x0521, roundRect = 0x061C, pie = 0x081A
};
// clang-format on

// The program's formats, set as it sets them (before Qt reads the locale)
// for a user whose locale and languages are English.
const bool japaneseFormats = (qputenv("LANG", "en_US.UTF-8"), qputenv("LANGUAGE", "en_US:en"),
                              useJapaneseFormats(), true);

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void fileDialogRequest()
    {
        ScriptedDialogs runner;
        CommonDialog dlg(runner);
        dlg.Filter = "Pictures|*.jpg|All|*.*";
        dlg.DefaultExt = "*.*";
        dlg.Flags |= 0x802;
        dlg.FileName = "/photos/a";
        runner.saveAnswers.push_back(QString("/b.bmp"));
        QVERIFY(dlg.ShowSave());
        // A description without its pattern gets it; "*.*" adds no suffix.
        const FileDialogRequest r = runner.saveRequests.value(0);
        QCOMPARE(r.nameFilters, QStringList({ "Pictures (*.jpg)", "All (*.*)" }));
        QCOMPARE(r.defaultSuffix, QString());
        QCOMPARE(r.proposedPath, QString("/photos/a"));
        QVERIFY(r.confirmOverwrite && r.pathMustExist);
        QCOMPARE(dlg.FileTitle(), QString("b.bmp"));
        // A cancel keeps the name and clears the title.
        QVERIFY(!dlg.ShowOpen());
        QCOMPARE(dlg.FileName, QString("/b.bmp"));
        QCOMPARE(dlg.FileTitle(), QString());
    }

    // Qt's own dialog (not the desktop's), given the Open command's filter,
    // lists every file, those without a dot too, under the filter's text, and
    // dates and sizes them in Japanese, as the program has Qt format them.
    void openDialogListsEveryFile()
    {
        Sandbox box;
        for (const char *name : { "scanbmp", "README", "a.jpg" })
            box.write(name, "x");
        QDir(box.path()).mkdir("sub");
        installQtJapanese();
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QtDialogRunner runner;
        CommonDialog dlg(runner);
        dlg.Filter = "ファイル (*.*)|*.*";
        dlg.InitDir = box.path();
        QStringList listed;
        QString filter;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            const auto *view = dialog->findChild<QListView *>("listView");
            // The enabled rows, once there are three (they are checked below).
            (void)QTest::qWaitFor([&] {
                listed.clear();
                for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                    const QModelIndex i = view->model()->index(row, 0, view->rootIndex());
                    // A file's size, or a folder's kind; its date.
                    const QString size = i.siblingAtColumn(1).data().toString();
                    if (i.flags() & Qt::ItemIsEnabled)
                        listed << i.data().toString() + " "
                                + (size.isEmpty() ? i.siblingAtColumn(2).data().toString() : size)
                                + " " + i.siblingAtColumn(3).data().toString();
                }
                return listed.size() == 4;
            });
            filter = dialog->findChild<QComboBox *>("fileTypeCombo")->currentText();
            dialog->reject();
        });
        QVERIFY(!dlg.ShowOpen());
        listed.sort();
        QCOMPARE(listed.replaceInStrings(QRegularExpression(" \\d+:\\d\\d$"), "").join(", "),
                 QString("README 1 バイト %1, a.jpg 1 バイト %1, scanbmp 1 バイト %1, sub フォルダ %1")
                     .arg(QDate::currentDate().toString("yyyy/MM/dd")));
        QCOMPARE(filter, QString("ファイル (*.*)"));
    }

    // An odd width, so that rows are padded; alpha is dropped, colour kept.
    void bmpIsWrittenAt24BitsWithPaddedRows()
    {
        Sandbox box;
        FakeScreen screen;
        QtPictureService pictures(screen);
        QImage image = makePattern(3, 5).convertToFormat(QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(1, 2, 3, 0));
        const QString path = box.file("out.bmp");
        QVERIFY(pictures.savePicture(image, path));
        const QByteArray bytes = bytesOf(path);
        QCOMPARE(bytes.size(), 54 + 12 * 5);
        // The signature, 24 bits per pixel, uncompressed.
        QCOMPARE(bytes.left(2) + bytes.mid(28, 6), QByteArray("BM\x18\0\0\0\0\0", 8));
        QCOMPARE(QImage(path), image.convertToFormat(QImage::Format_RGB32));
        // Nothing to write, or nowhere to write it, fails.
        QVERIFY(!pictures.savePicture(QImage(), box.file("empty.bmp")));
        QVERIFY(!pictures.savePicture(image, box.path() + "/no/such/folder/x.bmp"));
        // A write cut short, as on a full disk, fails and keeps the old file.
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small { 100, saved.rlim_max };
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const bool written = pictures.savePicture(makePattern(40, 40), path);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QCOMPARE(bytesOf(path), bytes);
    }

    void xorBoxDrawnTwiceRestoresThePixels()
    {
        FakeScreen screen;
        QWidget parent;
        PictureSurface surface(screen, &parent);
        surface.Resize(60 * 15, 40 * 15);
        const Picture picture(makePattern(60, 40), QSizeF(1587.5, 1058.3));
        surface.PaintPicture(picture, QRectF(0, 0, 900, 600));
        // Kept drawing goes straight into the kept image, not into a copy.
        const uchar *bits = surface.Image().constBits();
        surface.PaintPicture(picture, QRectF(0, 0, 900, 600));
        QCOMPARE(surface.Image().constBits(), bits);
        const QImage before = surface.Image().copy();
        surface.drawMode = PictureSurface::DrawMode::XorPen;
        surface.Line(QPointF(75, 75), QPointF(600, 450), QColor(192, 192, 192), true);
        QCOMPARE(rgbAt(surface.Image(), 5, 5), rgbAt(before, 5, 5) ^ rgb(192, 192, 192));
        surface.Line(QPointF(75, 75), QPointF(600, 450), QColor(192, 192, 192), true);
        QCOMPARE(surface.Image(), before);
        // With AutoRedraw off, drawing leaves the kept image alone.
        surface.setAutoRedraw(false);
        surface.Line(QPointF(0, 0), QPointF(300, 300), Qt::red, false);
        surface.Cls();
        QCOMPARE(surface.Image(), before);
    }

    void pictureAtItsOwnSizeIsDrawnAsItIs()
    {
        // 64 MB of pixels: far above what the allocator keeps for reuse, so
        // a scaled copy would be fresh memory, each page touched anew.
        FakeScreen screen;
        QWidget parent;
        PictureSurface surface(screen, &parent);
        surface.Resize(4096 * 15, 4096 * 15);
        surface.Cls();
        const Picture picture(makePattern(4096, 4096), QSizeF(4096 * 26.4583, 4096 * 26.4583));
        rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        surface.PaintPicture(picture, QRectF(0, 0, 4096 * 15, 4096 * 15));
        getrusage(RUSAGE_SELF, &after);
        QVERIFY2(after.ru_minflt - before.ru_minflt < 2000,
                 qPrintable(QString::number(after.ru_minflt - before.ru_minflt)));
        QCOMPARE(surface.Image(), picture.image().convertToFormat(QImage::Format_RGB32));
    }

    void backingStoreMadeAndBackedAfterShow()
    {
        // 16 MB of window: filling it for the first paint must find its
        // pages already there.
        QWidget window;
        window.resize(2048, 2048);
        window.show();
        prefaultBackingStore(window);
        auto *image = dynamic_cast<QImage *>(window.backingStore()->paintDevice());
        QVERIFY(image);
        QCOMPARE(image->size(), QSize(2048, 2048));
        rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        image->fill(Qt::gray);
        getrusage(RUSAGE_SELF, &after);
        QVERIFY2(after.ru_minflt - before.ru_minflt < 500,
                 qPrintable(QString::number(after.ru_minflt - before.ru_minflt)));
    }

    void folderTest()
    {
        Sandbox box;
        for (const char *name : { "pics/a.jpg", "pics/b.jpg", ".hidden/a.jpg" })
            box.write(name, "x");
        QtFolderService folders;
        for (const char *folder : { "/pics", "/pics/", "/.", "/pics/.." })
            QVERIFY2(folders.isFolder(box.path() + folder), folder);
        for (const char *other : { "/.hidden", "/pics/a.jpg", "/missing", "" })
            QVERIFY2(!folders.isFolder(*other ? box.path() + other : QString()), other);
        // A listing can stop early.
        int seen = 0;
        folders.forEachFile(box.path() + "/pics/", [&seen](const QString &) { return ++seen > 1; });
        QCOMPARE(seen, 1);
    }

    void store()
    {
        Sandbox box;
        IniSettingsStore(box.path()).saveSetting("VORLANE", "Setting", "TrimCopy", "1 px, wide");
        IniSettingsStore store(box.path());
        // Names compare without case, both application names share one file,
        // and values outlive the store that wrote them.
        QCOMPARE(store.getSetting("vorlane", "setting", "trimcopy", "x"), QString("1 px, wide"));
        QCOMPARE(store.fileFor("VORLANE"), store.fileFor("vorlane"));
        const QString file = store.fileFor("vorlane");
        QVERIFY(QFile::exists(file));
        // An empty value is a value, not an absent key.
        QCOMPARE(store.getSetting("VORLANE", "Setting", "ShowClip", "0"), QString("0"));
        store.saveSetting("VORLANE", "Setting", "ShowClip", "");
        QCOMPARE(store.getSetting("VORLANE", "Setting", "ShowClip", "0"), QString());
        // A file Qt cannot read is kept beside the one written.
        box.write("vorlane/vorlane.conf", "[window\n=[[\n");
        store.saveSetting("vorlane", "window", "Top", "5");
        QCOMPARE(bytesOf(file + ".bak"), QByteArray("[window\n=[[\n"));
        QCOMPARE(store.getSetting("vorlane", "window", "Top", "none"), QString("5"));
        // A pipe would block the reader for ever; nothing is written over it.
        QVERIFY(QFile::remove(file));
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        QCOMPARE(store.getSetting("vorlane", "window", "Top", "none"), QString("none"));
        store.saveSetting("vorlane", "window", "Top", "5");
        QVERIFY(!QFileInfo(file).isFile());
        // Without a home, nothing is stored at the file system's root.
        const QByteArray home = qgetenv("HOME");
        qunsetenv("HOME");
        IniSettingsStore homeless;
        qputenv("HOME", home);
        homeless.saveSetting("vorlane", "window", "Top", "5");
        QVERIFY(!QFile::exists("/.config/vorlane/vorlane.conf"));
    }

    // The size in pixels at a resolution (empty: refused); in HIMETRIC the
    // same at every resolution.
    void naturalSize_data()
    {
        columns<QByteArray, double, QSize>({ "file", "dpi", "pixels" });
        const QByteArray inch = red({}, { 1440, 720 }, 1440);
        QTest::newRow("1440 units per inch") << inch << 96.0 << QSize(96, 48);
        QTest::newRow("96 per inch, 144 dpi") << red({}, { 200, 100 }) << 144.0 << QSize(300, 150);
        QTest::newRow("non-zero origin")
            << withBounds(inch, { 1000, -2000, 2440, -1280 }) << 96.0 << QSize(96, 48);
        QTest::newRow("762 metres wide") << red({}, { 30000, 10 }, 1) << 96.0 << QSize();
        QTest::newRow("over 100 megapixels") << red({}, { 12000, 12000 }) << 96.0 << QSize();
        // Without the placeable header: what the records draw, half a unit of
        // (null) pen around it, or the window scaled onto the viewport.
        const QByteArray twoBoxes
            = record(rectangle, { 50, 40, 20, 10 }) + record(rectangle, { 80, 130, 60, 100 });
        QTest::newRow("extent of the drawing")
            << red(twoBoxes, { 500, 500 }, 96, false) << 96.0 << QSize(121, 61);
        QTest::newRow("anisotropic window at most 1024 across")
            << red(record(setMapMode, { 8 }), { 4096, 2048 }, 96, false) << 96.0 << QSize(1024, 512);
    }

    void naturalSize()
    {
        QFETCH(QByteArray, file);
        QFETCH(double, dpi);
        QFETCH(QSize, pixels);
        const std::optional<DecodedMetafile> decoded = decodeWmf(file, dpi, dpi);
        QCOMPARE(decoded ? decoded->image.size() : QSize(), pixels);
        QVERIFY(!decoded || qAbs(decoded->himetric.width() - pixels.width() * 2540 / dpi) < 0.01);
    }

    // What the records draw, as the box of what is not white and the colour at
    // one point, in a 100 x 100 pixel file unless the row says otherwise.
    void draws_data()
    {
        columns<QByteArray, QRect, QPoint, QColor>({ "file", "ink", "probe", "colour" });
        const auto row = [](const char *name, const QByteArray &file, QRect ink, QPoint probe,
                            Qt::GlobalColor colour) {
            QTest::newRow(name) << file << ink << probe << QColor(colour);
        };
        // A black pen of the given width and no brush.
        const auto pen = [](qint16 width) {
            return record(createPen, { 0, width, 0, 0, 0 }) + record(selectObject, { 2 })
                + record(createBrush, { 1, 0, 0, 0 }) + record(selectObject, { 3 });
        };
        const QByteArray box = record(rectangle, { 60, 80, 20, 20 });
        const QByteArray all = record(rectangle, { 100, 100, 0, 0 });
        const QByteArray corner = record(rectangle, { 40, 40, 0, 0 });
        const QByteArray save = record(saveDc, {});
        const QByteArray restore = record(restoreDc, { -1 });
        const QByteArray clip = record(intersectClip, { 60, 60, 40, 40 });
        const QByteArray viewport = record(offsetViewportOrg, { 50, 50 });
        // Four colours in a 4 x 2 bitmap: flipped either way, the probe sees another.
        WmfWriter dib(100, 100, 96);
        dib.stretchDib(makePattern(4, 2), QRect(10, 10, 80, 60));
        // clang-format off
        row("rectangle", red(box), { 20, 20, 60, 40 }, { 50, 40 }, Qt::red);
        row("ellipse, its box's corner", red(record(ellipse, { 90, 90, 10, 10 })),
            { 10, 10, 80, 80 }, { 16, 16 }, Qt::white);
        row("polygon, beside a slope", red(record(polygon, { 3, 10, 90, 90, 90, 50, 10 })),
            { 10, 10, 80, 80 }, { 20, 30 }, Qt::white);
        row("line six wide", red(pen(6) + record(moveTo, { 50, 10 }) + record(lineTo, { 50, 90 })),
            { 7, 47, 86, 6 }, { 50, 51 }, Qt::black);
        row("pen without brush", red(pen(4) + record(rectangle, { 80, 80, 20, 20 })),
            { 18, 18, 64, 64 }, { 50, 50 }, Qt::white);
        row("1440 units per inch", red(record(rectangle, { 1440, 1440, 720, 720 }), { 1440, 1440 }, 1440),
            { 48, 48, 48, 48 }, { 72, 72 }, Qt::red);
        row("stretched bitmap", dib.finish(), { 10, 10, 80, 60 }, { 30, 25 }, Qt::red);
        row("in the window, not the header's origin", withBounds(red(box), { 500, 500, 600, 600 }),
            { 20, 20, 60, 40 }, { 50, 40 }, Qt::red);
        // Pies run counter-clockwise from the start radial to the end radial.
        row("pie from 3 to 12 o'clock", red(record(pie, { 10, 50, 50, 90, 90, 90, 10, 10 })),
            { 50, 10, 40, 40 }, { 65, 35 }, Qt::red);
        row("rounded corner", red(record(roundRect, { 40, 40, 90, 90, 10, 10 })),
            { 10, 10, 80, 80 }, { 12, 12 }, Qt::white);
        row("anisotropic window twice the header", red(record(setMapMode, { 8 })
            + record(setWindowExt, { 200, 200 }) + record(rectangle, { 200, 200, 100, 100 })),
            { 50, 50, 50, 50 }, { 75, 75 }, Qt::red);
        row("window with y going up", red(record(setWindowOrg, { 100, 0 })
            + record(setWindowExt, { -100, 100 }) + record(rectangle, { 40, 40, 10, 10 })),
            { 10, 60, 30, 30 }, { 25, 75 }, Qt::red);
        row("clipped to a rectangle", red(clip + all), { 40, 40, 20, 20 }, { 50, 50 }, Qt::red);
        row("a rectangle clipped out", red(record(excludeClip, { 60, 60, 40, 40 }) + all),
            { 0, 0, 100, 100 }, { 50, 50 }, Qt::white);
        row("clip restored", red(save + clip + restore + record(rectangle, { 30, 100, 0, 0 })),
            { 0, 0, 100, 30 }, { 10, 10 }, Qt::red);
        row("viewport moved", red(viewport + corner), { 50, 50, 40, 40 }, { 70, 70 }, Qt::red);
        row("viewport restored", red(save + viewport + restore + corner), { 0, 0, 40, 40 },
            { 20, 20 }, Qt::red);
        // clang-format on
    }

    void draws()
    {
        QFETCH(QByteArray, file);
        QFETCH(QRect, ink);
        QFETCH(QPoint, probe);
        QFETCH(QColor, colour);
        const std::optional<DecodedMetafile> decoded = decodeWmf(file, 96, 96);
        QVERIFY(decoded);
        const QRect box = inkBox(decoded->image, rgb(255, 255, 255));
        QVERIFY2(box.adjusted(-1, -1, 1, 1).contains(ink) && ink.adjusted(-1, -1, 1, 1).contains(box),
                 QTest::toString(box));
        const QRgb seen = rgbAt(decoded->image, probe.x(), probe.y());
        QVERIFY2(closeColor(seen, colour.rgb() & 0xffffff, 40), QTest::toString(QColor(seen)));
    }

    // Three full-width characters of 80 pixels from (20, 40); misread as
    // Windows-1252 the same six bytes are six narrower characters.
    void drawsText_data()
    {
        columns<int, int, int>({ "charset", "minWidth", "maxWidth" });
        QTest::newRow("Shift-JIS") << 128 << 200 << 250;
        QTest::newRow("same bytes as ANSI") << 0 << 260 << 480;
    }

    void drawsText()
    {
        QFETCH(int, charset);
        if (charset == 128 && QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            QSKIP("no font with Japanese characters installed");
        WmfWriter w(600, 200, 96);
        w.setTextColor(Qt::black);
        w.text(QPoint(20, 40), QByteArray::fromHex("93fa967b8cea"), 80, charset, "MS Gothic");
        const std::optional<DecodedMetafile> decoded = decodeWmf(w.finish(), 96, 96);
        QVERIFY(decoded);
        const QRect ink = inkBox(decoded->image, rgb(255, 255, 255));
        QFETCH(int, minWidth);
        QFETCH(int, maxWidth);
        QVERIFY2(ink.width() >= minWidth && ink.width() <= maxWidth,
            qPrintable(QString::number(ink.width())));
        // Top-left aligned: the ink starts near the point, within the cell.
        QVERIFY(ink.left() >= 18 && ink.left() < 40 && ink.top() >= 38 && ink.bottom() <= 140);
    }

    // Files made to hurt: cut short, objects deleted while selected with
    // their slot given to another kind, one record of 65535 points. Each is
    // drawn, if need be what was drawn by the renderer's time budget, or
    // refused, no more.
    void hostileFiles_data()
    {
        columns<QByteArray, bool, bool>({ "file", "decoded", "showsInk" });
        // A bitmap with a frame drawn round it.
        const QByteArray file = encodePicture(makePattern(8, 8), "wmf");
        // Once both headers are there, the complete records are drawn.
        for (int length = 0; length < file.size(); ++length)
            QTest::addRow("cut to %d bytes", length) << file.left(length) << (length >= 22 + 18) << false;
        // The file's pen and brush hold slots 0 and 1.
        const QByteArray slot2BecomesAPen = record(selectObject, { 2 })
            + record(deleteObject, { 2 }) + record(createPen, { 5, 3, 0, 0, 0 });
        QTest::newRow("brush deleted") << red(record(createBrush, { 0, 255, 0, 0 }) + slot2BecomesAPen
            + record(rectangle, { 90, 90, 10, 10 })) << true << false;
        QTest::newRow("font deleted")
            << red(record(createFont, { -20, 0, 0, 0, 400, 0, 0, 0, 0, 0x6261, 0x63 })
                   + slot2BecomesAPen + record(textOut, { 3, 0x6261, 0x63, 20, 20 })) << true << false;
        // One record through 65535 points scattered over a 1000-pixel square,
        // the same on every run, drawn with a pen 10 wide: a red polygon or a line.
        QPolygon points;
        QRandomGenerator random(1);
        for (int i = 0; i < 65535; ++i)
            points << QPoint(random.bounded(1000), random.bounded(1000));
        for (const bool closed : { true, false }) {
            WmfWriter dense(1000, 1000, 96);
            dense.setPen(Qt::black, 10);
            dense.setBrush(Qt::red);
            dense.polygon(points, closed);
            QTest::newRow(closed ? "polygon" : "wide polyline") << dense.finish() << true << true;
        }
    }

    void hostileFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, showsInk);
        QElapsedTimer clock;
        clock.start();
        const std::optional<DecodedMetafile> decoded = decodeWmf(file, 96, 96);
        QVERIFY2(clock.elapsed() < 60'000, qPrintable(QString::number(clock.elapsed()))); // a hang guard
        QTEST(bool(decoded), "decoded");
        QVERIFY(!showsInk || !inkBox(decoded->image, rgb(255, 255, 255)).isEmpty());
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
