// The metafile renderer: which files it takes, their natural size, what the
// records draw, and files that must never crash it.

// Qt
#include <QDataStream>
#include <QFontDatabase>
#include <QTest>
#include <QtEndian>

// Std
#include <functional>

// Local
#include "data/writers/wmf_writer.h"
#include "platform/wmf_decoder.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;
using writers::WmfWriter;

namespace {

using Draw = std::function<void(WmfWriter &)>;

// One record: its function and parameter words in file order.
QByteArray record(quint16 function, const QList<qint16> &params)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream << quint32(3 + params.size()) << function;
    for (const qint16 p : params)
        stream << p;
    return out;
}

// What draw writes into a 100 x 100 pixel file (96 units per inch), then the
// raw records just before its end (the decoder recounts the header).
QByteArray drawn(const Draw &draw, const QByteArray &records = {}, bool placeable = true,
    QSize units = QSize(100, 100))
{
    WmfWriter w(units.width(), units.height(), 96, placeable);
    draw(w);
    const QByteArray file = w.finish();
    return file.left(file.size() - 6) + records + file.right(6);
}

const Draw redBrush = [](WmfWriter &w) {
    w.setNullPen();
    w.setBrush(Qt::red);
};

// The same file with another placeable bounding box (and its checksum).
QByteArray withBounds(QByteArray file, const QRect &b)
{
    const qint16 edges[4] = { qint16(b.left()), qint16(b.top()), qint16(b.left() + b.width()),
        qint16(b.top() + b.height()) };
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(edges[i], file.data() + 6 + 2 * i);
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= qFromLittleEndian<quint16>(file.constData() + i);
    qToLittleEndian(sum, file.data() + 20);
    return file;
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

} // namespace

class TestWmf : public QObject
{
    Q_OBJECT

private slots:
    void naturalSize_data()
    {
        // pixels: empty: refused
        columns<QByteArray, double, QSize, double>({ "file", "dpi", "pixels", "himetricWidth" });
        QTest::newRow("1440 units per inch")
            << WmfWriter(1440, 720, 1440).finish() << 96.0 << QSize(96, 48) << 2540.0;
        QTest::newRow("96 units per inch on a 144 dpi screen")
            << WmfWriter(200, 100, 96).finish() << 144.0 << QSize(300, 150) << 200 * 2540 / 96.0;
        QTest::newRow("non-zero origin")
            << withBounds(WmfWriter(1440, 720, 1440).finish(), QRect(1000, -2000, 1440, 720))
            << 96.0 << QSize(96, 48) << 2540.0;
        QTest::newRow("762 metres wide")
            << WmfWriter(30000, 10, 1).finish() << 96.0 << QSize() << 0.0;
        QTest::newRow("over 100 megapixels")
            << WmfWriter(12000, 12000, 96).finish() << 96.0 << QSize() << 0.0;
        // Without the placeable header: what the records draw, half a unit of
        // (null) pen around it, or the window scaled onto the viewport.
        QTest::newRow("extent of the drawing") << drawn(redBrush,
            record(rectangle, { 50, 40, 20, 10 }) + record(rectangle, { 80, 130, 60, 100 }), false,
            QSize(500, 500)) << 96.0 << QSize(121, 61) << 121 * 2540 / 96.0;
        QTest::newRow("anisotropic window at most 1024 across")
            << drawn(redBrush, record(setMapMode, { 8 }), false, QSize(4096, 2048)) << 96.0
            << QSize(1024, 512) << 1024 * 2540 / 96.0;
    }

    void naturalSize()
    {
        QFETCH(QByteArray, file);
        QFETCH(double, dpi);
        QFETCH(QSize, pixels);
        QFETCH(double, himetricWidth);
        const std::optional<DecodedMetafile> decoded = decodeWmf(file, dpi, dpi);
        QCOMPARE(bool(decoded), !pixels.isEmpty());
        if (!decoded)
            return;
        QCOMPARE(decoded->image.size(), pixels);
        QVERIFY(qAbs(decoded->himetric.width() - himetricWidth) < 0.01);
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
        // Red brush and no pen, or a black pen of the given width and no brush.
        const auto red = [](const QByteArray &records) { return drawn(redBrush, records); };
        const auto pen = [](int width, const QByteArray &records) {
            return drawn([=](WmfWriter &w) { w.setPen(Qt::black, width), w.setNullBrush(); },
                records);
        };
        const QByteArray box = record(rectangle, { 60, 80, 20, 20 });
        const QByteArray all = record(rectangle, { 100, 100, 0, 0 });
        const QByteArray corner = record(rectangle, { 40, 40, 0, 0 });
        const QByteArray save = record(saveDc, {});
        const QByteArray restore = record(restoreDc, { -1 });
        const QByteArray clip = record(intersectClip, { 60, 60, 40, 40 });
        const QByteArray viewport = record(offsetViewportOrg, { 50, 50 });
        // A 4 x 2 bitmap: red, green over blue, yellow; flipped either way
        // the probe sees another colour.
        QImage bitmap(4, 2, QImage::Format_RGB32);
        const QColor quarters[4] = { Qt::red, Qt::green, Qt::blue, Qt::yellow };
        for (int i = 0; i < 8; ++i)
            bitmap.setPixelColor(i % 4, i / 4, quarters[i / 4 * 2 + i % 4 / 2]);
        const QByteArray dib
            = drawn([&](WmfWriter &w) { w.stretchDib(bitmap, QRect(10, 10, 80, 60)); });
        WmfWriter inch(1440, 1440, 1440);
        redBrush(inch);
        inch.rectangle(QRect(720, 720, 720, 720));
        // clang-format off
        row("rectangle", red(box), { 20, 20, 60, 40 }, { 50, 40 }, Qt::red);
        row("ellipse, its box's corner", red(record(ellipse, { 90, 90, 10, 10 })),
            { 10, 10, 80, 80 }, { 16, 16 }, Qt::white);
        row("polygon, beside a slope", red(record(polygon, { 3, 10, 90, 90, 90, 50, 10 })),
            { 10, 10, 80, 80 }, { 20, 30 }, Qt::white);
        row("line six wide", pen(6, record(moveTo, { 50, 10 }) + record(lineTo, { 50, 90 })),
            { 7, 47, 86, 6 }, { 50, 51 }, Qt::black);
        row("pen without brush", pen(4, record(rectangle, { 80, 80, 20, 20 })), { 18, 18, 64, 64 },
            { 50, 50 }, Qt::white);
        row("1440 units per inch", inch.finish(), { 48, 48, 48, 48 }, { 72, 72 }, Qt::red);
        row("stretched bitmap", dib, { 10, 10, 80, 60 }, { 30, 25 }, Qt::red);
        row("in the window, not the header's origin", withBounds(red(box), { 500, 500, 100, 100 }),
            { 20, 20, 60, 40 }, { 50, 40 }, Qt::red);
        // Pies run counter-clockwise from the start radial to the end radial.
        row("pie from 3 to 12 o'clock", red(record(pie, { 10, 50, 50, 90, 90, 90, 10, 10 })),
            { 50, 10, 40, 40 }, { 65, 35 }, Qt::red);
        row("rounded corner", red(record(roundRect, { 40, 40, 90, 90, 10, 10 })),
            { 10, 10, 80, 80 }, { 12, 12 }, Qt::white);
        row("anisotropic window twice the header",
            red(record(setMapMode, { 8 }) + record(setWindowExt, { 200, 200 })
            + record(rectangle, { 200, 200, 100, 100 })), { 50, 50, 50, 50 }, { 75, 75 }, Qt::red);
        row("window with y going up",
            red(record(setWindowOrg, { 100, 0 }) + record(setWindowExt, { -100, 100 })
            + record(rectangle, { 40, 40, 10, 10 })), { 10, 60, 30, 30 }, { 25, 75 }, Qt::red);
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

    // Cut files, and objects deleted while selected with their slot given to
    // another kind: each decodes or is refused, no more.
    void hostileFilesNeverCrash()
    {
        WmfWriter w(120, 90, 96);
        w.setPen(Qt::black, 2);
        w.setBrush(Qt::red);
        w.rectangle(QRect(5, 5, 50, 40));
        w.stretchDib(QImage(8, 8, QImage::Format_RGB32), QRect(60, 5, 40, 40));
        w.text(QPoint(5, 50), "Vorlane", 20);
        const QByteArray file = w.finish();
        for (int length = 0; length < file.size(); ++length) {
            const std::optional<DecodedMetafile> decoded = decodeWmf(file.left(length), 96, 96);
            // Once both headers are there, the complete records are drawn.
            QCOMPARE(bool(decoded), length >= 22 + 18);
        }
        // The writer's pen and brush hold slots 0 and 1.
        const QByteArray slot2BecomesAPen = record(selectObject, { 2 })
            + record(deleteObject, { 2 }) + record(createPen, { 5, 3, 0, 0, 0 });
        const QByteArray deletedBrush = record(createBrush, { 0, 255, 0, 0 }) + slot2BecomesAPen
            + record(rectangle, { 90, 90, 10, 10 });
        const QByteArray deletedFont
            = record(createFont, { -20, 0, 0, 0, 400, 0, 0, 0, 0, 0x6261, 0x63 }) + slot2BecomesAPen
            + record(textOut, { 3, 0x6261, 0x63, 20, 20 });
        for (const QByteArray &records : { deletedBrush, deletedFont })
            QVERIFY(decodeWmf(drawn(redBrush, records), 96, 96));
    }
};

QTEST_MAIN(TestWmf)
#include "test_wmf.moc"
