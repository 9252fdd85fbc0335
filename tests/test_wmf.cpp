// Qt
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

// Std
#include <functional>

// Local
#include "platform/wmf_decoder.h"
#include "data/writers/wmf_writer.h"

using vorlane::DecodedMetafile;
using vorlane::decodeWmf;
using vorlane::writers::WmfWriter;

namespace {

using Draw = std::function<void(WmfWriter &)>;

const QString kCorpus = QStringLiteral(VORLANE_CORPUS_DIR);

// A 100 x 100 unit placeable metafile at 96 units per inch: 100 x 100 pixels at 96 dpi.
QByteArray drawn(const Draw &draw)
{
    WmfWriter w(100, 100, 96);
    draw(w);
    return w.finish();
}

bool sameColour(const QColor &a, const QColor &b, int tolerance = 40)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

// The bounding box of the pixels darker than mid grey.
QRect inkBounds(const QImage &img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (qGray(img.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// The same file with another placeable bounding box (and its checksum).
QByteArray withBounds(QByteArray file, const QRect &bounds)
{
    const qint16 edges[4] = { qint16(bounds.left()), qint16(bounds.top()),
        qint16(bounds.left() + bounds.width()), qint16(bounds.top() + bounds.height()) };
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(edges[i], file.data() + 6 + 2 * i);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<quint16>(file.constData() + i);
    qToLittleEndian(checksum, file.data() + 20);
    return file;
}

// One record: its function and parameter words in file order.
QByteArray record(quint16 function, const QList<qint16> &params)
{
    QByteArray out(6, '\0');
    qToLittleEndian(quint32(3 + params.size()), out.data());
    qToLittleEndian(function, out.data() + 4);
    for (const qint16 p : params) {
        char bytes[2];
        qToLittleEndian(p, bytes);
        out.append(bytes, 2);
    }
    return out;
}

// A file with extra records just before its EOF record (the decoder recounts the header).
QByteArray withRecords(const QByteArray &file, const QByteArray &records)
{
    return file.left(file.size() - 6) + records + file.right(6);
}

// Metafile records of plausible sizes but random functions and parameters.
QByteArray randomRecords(QRandomGenerator &random, int count)
{
    static const quint16 functions[] = { 0x0418, 0x041B, 0x061C, 0x0324, 0x0325, 0x0538, 0x0817,
        0x081A, 0x0830, 0x0213, 0x0214, 0x02FA, 0x02FB, 0x02FC, 0x012D, 0x01F0, 0x0521, 0x0A32,
        0x0F43, 0x0B41, 0x0940, 0x0142, 0x06FF, 0x012C, 0x0416, 0x0415, 0x001E, 0x0127, 0x020B,
        0x020C, 0x020E, 0x0103, 0x0104, 0x0419, 0x041F, 0x0228, 0x0102, 0x012E, 0x061D, 0x0412 };
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        QList<qint16> params(random.bounded(40));
        for (qint16 &p : params)
            p = qint16(random.bounded(4) == 0 ? random.generate() : random.bounded(200));
        out += record(functions[random.bounded(int(std::size(functions)))], params);
    }
    return out;
}

} // namespace

class TestWmf : public QObject
{
    Q_OBJECT

private slots:
    void recognisesHeaders_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("expected");
        QTest::newRow("placeable key") << QByteArray::fromHex("d7cdc69a0000") << true;
        QTest::newRow("standard, in memory") << QByteArray::fromHex("010009000003") << true;
        QTest::newRow("standard, wrong header size")
            << QByteArray::fromHex("010008000003") << false;
        QTest::newRow("too short") << QByteArray::fromHex("d7cd") << false;
        QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1a\n", 8) << false;
    }

    void recognisesHeaders()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, expected);
        QCOMPARE(vorlane::looksLikeWmf(head), expected);
    }

    void naturalSizeOfPlaceableFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<QSizeF>("himetric");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("1440 units per inch")
            << WmfWriter(1440, 720, 1440).finish() << 96.0 << QSizeF(2540, 1270) << QSize(96, 48);
        QTest::newRow("96 units per inch")
            << WmfWriter(200, 100, 96).finish() << 96.0
            << QSizeF(200 * 2540 / 96.0, 100 * 2540 / 96.0) << QSize(200, 100);
        QTest::newRow("96 units per inch on a 144 dpi screen")
            << WmfWriter(200, 100, 96).finish() << 144.0
            << QSizeF(200 * 2540 / 96.0, 100 * 2540 / 96.0) << QSize(300, 150);
        QTest::newRow("2540 units per inch")
            << WmfWriter(5080, 2540, 2540).finish() << 96.0 << QSizeF(5080, 2540) << QSize(192, 96);
        QTest::newRow("non-zero origin")
            << withBounds(WmfWriter(1440, 720, 1440).finish(), QRect(1000, -2000, 1440, 720))
            << 96.0 << QSizeF(2540, 1270) << QSize(96, 48);
        // Refused: 762 metres wide, and 12000 x 12000 pixels (over 100 megapixels).
        QTest::newRow("too wide") << WmfWriter(30000, 10, 1).finish() << 96.0 << QSizeF()
                                  << QSize();
        QTest::newRow("too many pixels")
            << WmfWriter(12000, 12000, 96).finish() << 96.0 << QSizeF() << QSize();
    }

    void naturalSizeOfPlaceableFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(double, dpi);
        QFETCH(QSizeF, himetric);
        QFETCH(QSize, pixels);
        const std::optional<DecodedMetafile> decoded = decodeWmf(file, dpi, dpi);
        QCOMPARE(bool(decoded), !pixels.isEmpty());
        if (!decoded)
            return;
        QVERIFY(qAbs(decoded->himetric.width() - himetric.width()) < 0.01);
        QVERIFY(qAbs(decoded->himetric.height() - himetric.height()) < 0.01);
        QCOMPARE(decoded->image.size(), pixels);
        QCOMPARE(decoded->image.format(), QImage::Format_RGB32);
    }

    // Without the placeable header the size is what the records draw (or the
    // window they scale onto the viewport), at 96 units per inch.
    void naturalSizeWithoutPlaceableHeader_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QByteArray>("records");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QPoint>("red");
        QTest::addColumn<QPoint>("white");
        constexpr quint16 setMapMode = 0x0103;
        constexpr quint16 rectangle = 0x041B;
        // Two boxes, (10,20)-(40,50) and (100,60)-(130,80); the extent includes
        // half a unit of (null) pen around them.
        QTest::newRow("extent of the drawing")
            << QSize(500, 500)
            << record(rectangle, { 50, 40, 20, 10 }) + record(rectangle, { 80, 130, 60, 100 })
            << QSize(121, 61) << QPoint(15, 15) << QPoint(60, 15);
        QTest::newRow("anisotropic window")
            << QSize(200, 100)
            << record(setMapMode, { 8 }) + record(rectangle, { 100, 200, 50, 100 })
            << QSize(200, 100) << QPoint(150, 75) << QPoint(50, 25);
        QTest::newRow("large anisotropic window")
            << QSize(4096, 2048)
            << record(setMapMode, { 8 }) + record(rectangle, { 2048, 4096, 1024, 2048 })
            << QSize(1024, 512) << QPoint(768, 384) << QPoint(256, 128);
    }

    void naturalSizeWithoutPlaceableHeader()
    {
        QFETCH(QSize, window);
        QFETCH(QByteArray, records);
        QFETCH(QSize, pixels);
        QFETCH(QPoint, red);
        QFETCH(QPoint, white);
        WmfWriter w(window.width(), window.height(), 96, false);
        w.setNullPen();
        w.setBrush(Qt::red);
        const std::optional<DecodedMetafile> decoded
            = decodeWmf(withRecords(w.finish(), records), 96, 96);
        QVERIFY(decoded);
        QCOMPARE(decoded->image.size(), pixels);
        QVERIFY(qAbs(decoded->himetric.width() - pixels.width() * 2540 / 96.0) < 0.01);
        QVERIFY(sameColour(decoded->image.pixelColor(red), Qt::red));
        QVERIFY(sameColour(decoded->image.pixelColor(white), Qt::white));
    }

    void drawsShapes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QColor>("expected");
        const auto row = [](const char *name, const QByteArray &file, QPoint probe, QColor colour) {
            QTest::newRow(name) << file << probe << colour;
        };
        const Draw redRectangle = [](WmfWriter &w) {
            w.setNullPen();
            w.setBrush(Qt::red);
            w.rectangle(QRect(20, 20, 60, 40));
        };
        row("filled rectangle, inside", drawn(redRectangle), { 50, 40 }, Qt::red);
        row("filled rectangle, outside", drawn(redRectangle), { 50, 70 }, Qt::white);
        const QByteArray ellipse = drawn([](WmfWriter &w) {
            w.setNullPen();
            w.setBrush(Qt::blue);
            w.ellipse(QRect(10, 10, 80, 80));
        });
        row("ellipse, centre", ellipse, { 50, 50 }, Qt::blue);
        row("ellipse, corner of its box", ellipse, { 14, 14 }, Qt::white);
        const QByteArray triangle = drawn([](WmfWriter &w) {
            w.setNullPen();
            w.setBrush(Qt::green);
            w.polygon(QPolygon({ QPoint(10, 90), QPoint(90, 90), QPoint(50, 10) }));
        });
        row("polygon, inside", triangle, { 50, 70 }, Qt::green);
        row("polygon, beside a slope", triangle, { 20, 30 }, Qt::white);
        const QByteArray line = drawn([](WmfWriter &w) {
            w.setPen(Qt::black, 6);
            w.line(QPoint(10, 50), QPoint(90, 50));
        });
        row("line, on it", line, { 50, 51 }, Qt::black);
        row("line, beside it", line, { 50, 40 }, Qt::white);
        const QByteArray hollowBox = drawn([](WmfWriter &w) {
            w.setPen(Qt::blue, 4);
            w.setNullBrush();
            w.rectangle(QRect(20, 20, 60, 60));
        });
        row("null brush, edge", hollowBox, { 20, 50 }, Qt::blue);
        row("null brush, inside", hollowBox, { 50, 50 }, Qt::white);
        // 1440 units per inch: the lower right quarter of a one-inch square.
        WmfWriter twips(1440, 1440, 1440);
        twips.setNullPen();
        twips.setBrush(Qt::red);
        twips.rectangle(QRect(720, 720, 720, 720));
        row("scaled, inside", twips.finish(), { 72, 72 }, Qt::red);
        row("scaled, outside", twips.finish(), { 24, 72 }, Qt::white);
        // A 4 x 2 bitmap of four colours, stretched into an 80 x 60 destination.
        QImage bitmap(4, 2, QImage::Format_RGB32);
        const QColor colours[2][2] = { { Qt::red, Qt::green }, { Qt::blue, Qt::yellow } };
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 4; ++x)
                bitmap.setPixelColor(x, y, colours[y][x / 2]);
        }
        const QByteArray dib
            = drawn([&](WmfWriter &w) { w.stretchDib(bitmap, QRect(10, 10, 80, 60)); });
        row("bitmap, top left", dib, { 30, 25 }, Qt::red);
        row("bitmap, top right", dib, { 70, 25 }, Qt::green);
        row("bitmap, bottom left", dib, { 30, 55 }, Qt::blue);
        row("bitmap, bottom right", dib, { 70, 55 }, Qt::yellow);
        row("bitmap, outside", dib, { 50, 80 }, Qt::white);
        // The rectangle is drawn in the file's window, not at the header's origin.
        row("non-zero header origin", withBounds(drawn(redRectangle), QRect(500, 500, 100, 100)),
            { 50, 40 }, Qt::red);
    }

    void drawsShapes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QPoint, probe);
        QFETCH(QColor, expected);
        const std::optional<DecodedMetafile> decoded = decodeWmf(file, 96, 96);
        QVERIFY(decoded);
        const QColor actual = decoded->image.pixelColor(probe);
        QVERIFY2(sameColour(actual, expected), qPrintable(actual.name()));
    }

    // Records the writer does not make: arcs, rounded corners and other mappings.
    void drawsOtherRecords_data()
    {
        QTest::addColumn<QByteArray>("records");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        constexpr quint16 pie = 0x081A;
        constexpr quint16 roundRect = 0x061C;
        constexpr quint16 rectangle = 0x041B;
        constexpr quint16 setMapMode = 0x0103;
        constexpr quint16 setWindowOrg = 0x020B;
        constexpr quint16 setWindowExt = 0x020C;
        constexpr quint16 saveDc = 0x001E;
        constexpr quint16 restoreDc = 0x0127;
        constexpr quint16 offsetViewportOrg = 0x0211;
        constexpr quint16 excludeClipRect = 0x0415;
        constexpr quint16 intersectClipRect = 0x0416;
        const QByteArray everything = record(rectangle, { 100, 100, 0, 0 });
        const QByteArray topBand = record(rectangle, { 30, 100, 0, 0 });
        const QByteArray cornerBox = record(rectangle, { 40, 40, 0, 0 });
        const QByteArray clip = record(intersectClipRect, { 60, 60, 40, 40 });
        const QByteArray moveViewport = record(offsetViewportOrg, { 50, 50 });
        const QByteArray save = record(saveDc, {});
        const QByteArray restore = record(restoreDc, { -1 });
        // Pies run counter-clockwise from the start radial to the end radial.
        QTest::newRow("pie from 3 to 12 o'clock")
            << record(pie, { 10, 50, 50, 90, 90, 90, 10, 10 }) << QPoint(65, 35) << QPoint(35, 65);
        QTest::newRow("pie from 12 to 3 o'clock")
            << record(pie, { 50, 90, 10, 50, 90, 90, 10, 10 }) << QPoint(35, 65) << QPoint(65, 35);
        QTest::newRow("rounded rectangle")
            << record(roundRect, { 40, 40, 90, 90, 10, 10 }) << QPoint(50, 12) << QPoint(12, 12);
        const QByteArray anisotropic = record(setMapMode, { 8 })
            + record(setWindowExt, { 200, 200 }) + record(rectangle, { 200, 200, 100, 100 });
        QTest::newRow("anisotropic window twice the header")
            << anisotropic << QPoint(75, 75) << QPoint(25, 25);
        const QByteArray yUp = record(setWindowOrg, { 100, 0 })
            + record(setWindowExt, { -100, 100 }) + record(rectangle, { 40, 40, 10, 10 });
        QTest::newRow("window with y going up") << yUp << QPoint(25, 75) << QPoint(25, 25);
        QTest::newRow("clipped to a rectangle")
            << clip + everything << QPoint(50, 50) << QPoint(10, 10);
        QTest::newRow("a rectangle clipped out") << record(excludeClipRect, { 60, 60, 40, 40 })
                + everything << QPoint(10, 10) << QPoint(50, 50);
        QTest::newRow("clip restored by RestoreDC")
            << save + clip + restore + topBand << QPoint(10, 10) << QPoint(50, 50);
        QTest::newRow("viewport origin moved")
            << moveViewport + cornerBox << QPoint(70, 70) << QPoint(20, 20);
        QTest::newRow("viewport origin restored by RestoreDC")
            << save + moveViewport + restore + cornerBox << QPoint(20, 20) << QPoint(70, 70);
    }

    void drawsOtherRecords()
    {
        QFETCH(QByteArray, records);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        const Draw redBrush = [](WmfWriter &w) {
            w.setNullPen();
            w.setBrush(Qt::red);
        };
        const QByteArray file = withRecords(drawn(redBrush), records);
        const std::optional<DecodedMetafile> decoded = decodeWmf(file, 96, 96);
        QVERIFY(decoded);
        QVERIFY2(sameColour(decoded->image.pixelColor(inside), Qt::red),
            qPrintable(decoded->image.pixelColor(inside).name()));
        QVERIFY2(sameColour(decoded->image.pixelColor(outside), Qt::white),
            qPrintable(decoded->image.pixelColor(outside).name()));
    }

    void drawsText_data()
    {
        QTest::addColumn<int>("charset");
        QTest::addColumn<int>("minWidth");
        QTest::addColumn<int>("maxWidth");
        // Three full-width characters of 80 pixels; misread as Windows-1252
        // the same six bytes are six narrower characters.
        QTest::newRow("Shift-JIS") << 128 << 200 << 250;
        QTest::newRow("same bytes as ANSI") << 0 << 260 << 480;
    }

    void drawsText()
    {
        QFETCH(int, charset);
        QFETCH(int, minWidth);
        QFETCH(int, maxWidth);
        if (charset == 128 && QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            QSKIP("no font with Japanese characters installed");
        const QByteArray nihongo = QByteArray::fromHex("93fa967b8cea"); // 日本語 in Shift-JIS
        WmfWriter w(600, 200, 96);
        w.setTextColor(Qt::black);
        w.text(QPoint(20, 40), nihongo, 80, charset, "MS Gothic");
        const std::optional<DecodedMetafile> decoded = decodeWmf(w.finish(), 96, 96);
        QVERIFY(decoded);
        const QRect ink = inkBounds(decoded->image);
        QVERIFY2(ink.width() >= minWidth && ink.width() <= maxWidth,
            qPrintable(QString::number(ink.width())));
        // Top-left aligned: the ink starts near the point and stays within the cell.
        QVERIFY(ink.left() >= 18 && ink.left() < 40);
        QVERIFY(ink.top() >= 38 && ink.bottom() <= 40 + 100);
    }

    // Records may delete an object the DC still uses and give its slot to
    // another kind of object; the DC must not read the newcomer as the old kind.
    void survivesDeletedSelectedObjects_data()
    {
        QTest::addColumn<QByteArray>("records");
        constexpr quint16 createPen = 0x02FA;
        constexpr quint16 createBrush = 0x02FC;
        constexpr quint16 createFont = 0x02FB;
        constexpr quint16 selectObject = 0x012D;
        constexpr quint16 deleteObject = 0x01F0;
        // The writer's pen and brush hold slots 0 and 1.
        const QByteArray swapSlot2 = record(selectObject, { 2 }) + record(deleteObject, { 2 })
            + record(createPen, { 5, 3, 0, 0, 0 });
        QTest::newRow("brush slot taken by a null pen") << record(createBrush, { 0, 255, 0, 0 })
                + swapSlot2 + record(0x041B, { 90, 90, 10, 10 });
        QTest::newRow("font slot taken by a pen")
            << record(createFont, { -20, 0, 0, 0, 400, 0, 0, 0, 0, 0x6261, 0x63 }) + swapSlot2
                + record(0x0521, { 3, 0x6261, 0x63, 20, 20 });
    }

    void survivesDeletedSelectedObjects()
    {
        QFETCH(QByteArray, records);
        const QByteArray file = withRecords(drawn([](WmfWriter &w) {
            w.setPen(Qt::black, 1);
            w.setBrush(Qt::red);
        }),
            records);
        const std::optional<DecodedMetafile> decoded = decodeWmf(file, 96, 96);
        QVERIFY(decoded);
        QCOMPARE(decoded->image.size(), QSize(100, 100));
    }

    void truncatedFilesNeverCrash()
    {
        WmfWriter w(120, 90, 96);
        w.setPen(Qt::black, 2);
        w.setBrush(Qt::red);
        w.rectangle(QRect(5, 5, 50, 40));
        w.stretchDib(QImage(8, 8, QImage::Format_RGB32), QRect(60, 5, 40, 40));
        w.setTextColor(Qt::blue);
        w.text(QPoint(5, 50), "Vorlane", 20);
        w.ellipse(QRect(60, 50, 50, 30));
        const QByteArray file = w.finish();
        constexpr int kHeaders = 22 + 18;
        for (int length = 0; length < file.size(); ++length) {
            const std::optional<DecodedMetafile> decoded = decodeWmf(file.left(length), 96, 96);
            // With both headers present the records that are complete are drawn.
            QCOMPARE(bool(decoded), length >= kHeaders);
            if (decoded)
                QCOMPARE(decoded->image.size(), QSize(120, 90));
        }
    }

    void randomRecordsNeverCrash_data()
    {
        QTest::addColumn<bool>("placeable");
        QTest::addColumn<bool>("recordShaped");
        QTest::newRow("placeable, random bytes") << true << false;
        QTest::newRow("placeable, random records") << true << true;
        QTest::newRow("standard, random records") << false << true;
    }

    void randomRecordsNeverCrash()
    {
        QFETCH(bool, placeable);
        QFETCH(bool, recordShaped);
        WmfWriter w(200, 150, 96, placeable);
        w.setPen(Qt::black, 1);
        const QByteArray valid = w.finish();
        const QByteArray header = valid.left(valid.size() - 6); // without the EOF record
        for (quint32 seed = 1; seed <= 150; ++seed) {
            QRandomGenerator random(seed);
            QByteArray tail;
            if (recordShaped) {
                tail = randomRecords(random, 60);
            } else {
                tail.resize(2000);
                random.fillRange(reinterpret_cast<quint32 *>(tail.data()), tail.size() / 4);
            }
            const std::optional<DecodedMetafile> decoded = decodeWmf(header + tail, 96, 96);
            if (decoded && placeable)
                QCOMPARE(decoded->image.size(), QSize(200, 150));
        }
    }

    void decodesCorpusMetafiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSizeF>("himetric");
        QTest::addColumn<QPointF>("probe"); // where the picture is blue, as a fraction of its size
        if (!QDir(kCorpus).exists())
            QSKIP("test corpus not found at " VORLANE_CORPUS_DIR);
        QTest::newRow("grid") << "wmf/grid.wmf" << QSizeF(2487.1, 2487.1) << QPointF();
        QTest::newRow("drawing") << "wmf/drawing.wmf" << QSizeF(2897.7, 2897.7) << QPointF();
        QTest::newRow("symbol font tables")
            << "wmf/symbol-font-tables.wmf" << QSizeF(15000, 13300) << QPointF();
        // The A4 page draws in its window at (0,0), not at its header's origin (10866,9154).
        QTest::newRow("non-zero origin")
            << "wmf/fjftest.wmf" << QSizeF(21000.7, 29700.2) << QPointF(0.35, 0.38);
    }

    void decodesCorpusMetafiles()
    {
        QFETCH(QString, name);
        QFETCH(QSizeF, himetric);
        QFETCH(QPointF, probe);
        const QByteArray data = corpusFile(name);
        const std::optional<DecodedMetafile> decoded = decodeWmf(data, 96, 96);
        QVERIFY(decoded);
        QVERIFY(qAbs(decoded->himetric.width() - himetric.width()) <= 1);
        QVERIFY(qAbs(decoded->himetric.height() - himetric.height()) <= 1);
        QCOMPARE(decoded->image.width(), qRound(himetric.width() * 96 / 2540));
        QVERIFY2(!inkBounds(decoded->image).isEmpty(), "nothing drawn");
        if (!probe.isNull()) {
            const QImage &img = decoded->image;
            const QColor c = img.pixelColor(img.width() * probe.x(), img.height() * probe.y());
            QVERIFY2(c.blue() > 200 && c.red() < 50, qPrintable(c.name()));
        }
    }

private:
    static QByteArray corpusFile(const QString &name)
    {
        QFile file(kCorpus + '/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

QTEST_MAIN(TestWmf)
#include "test_wmf.moc"
