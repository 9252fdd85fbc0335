#include "data/writers/wmf_writer.h"

// Qt
#include <QSaveFile>
#include <QtEndian>

// Std
#include <algorithm>

namespace vorlane::writers {

namespace {

    constexpr quint16 kSetBkMode = 0x0102;
    constexpr quint16 kSetTextColor = 0x0209;
    constexpr quint16 kSetWindowOrg = 0x020B;
    constexpr quint16 kSetWindowExt = 0x020C;
    constexpr quint16 kSelectObject = 0x012D;
    constexpr quint16 kDeleteObject = 0x01F0;
    constexpr quint16 kCreatePen = 0x02FA;
    constexpr quint16 kCreateFont = 0x02FB;
    constexpr quint16 kCreateBrush = 0x02FC;
    constexpr quint16 kMoveTo = 0x0214;
    constexpr quint16 kLineTo = 0x0213;
    constexpr quint16 kEllipse = 0x0418;
    constexpr quint16 kRectangle = 0x041B;
    constexpr quint16 kPolygon = 0x0324;
    constexpr quint16 kPolyline = 0x0325;
    constexpr quint16 kPolyPolygon = 0x0538;
    constexpr quint16 kSaveDc = 0x001E;
    constexpr quint16 kTextOut = 0x0521;
    constexpr quint16 kStretchDib = 0x0F43;

    constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
    constexpr quint16 kMetafileVersion = 0x0300;
    constexpr quint16 kTransparent = 1;
    constexpr quint16 kPenNull = 5;
    constexpr quint16 kBrushSolid = 0;
    constexpr quint16 kBrushNull = 1;
    constexpr quint16 kWeightNormal = 400;
    constexpr quint32 kSrcCopy = 0x00CC0020;
    constexpr int kMaxFaceBytes = 31;

    void le16(QByteArray &out, int value)
    {
        char bytes[2];
        qToLittleEndian(quint16(value), bytes);
        out.append(bytes, 2);
    }

    void le32(QByteArray &out, quint32 value)
    {
        char bytes[4];
        qToLittleEndian(value, bytes);
        out.append(bytes, 4);
    }

    [[nodiscard]] quint32 colorRef(const QColor &c)
    {
        return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
    }

    // Rectangle and Ellipse take bottom, right, top, left; the right and
    // bottom edges are exclusive, like QRect's x()+width().
    [[nodiscard]] QByteArray boxParams(const QRect &r)
    {
        QByteArray p;
        le16(p, r.y() + r.height());
        le16(p, r.x() + r.width());
        le16(p, r.y());
        le16(p, r.x());
        return p;
    }

    // A bottom-up 24-bit DIB: BITMAPINFOHEADER, then rows of BGR padded to four bytes.
    [[nodiscard]] QByteArray dib24(const QImage &source)
    {
        const QImage img = source.convertToFormat(QImage::Format_RGB888);
        const int stride = (img.width() * 3 + 3) & ~3;
        QByteArray out;
        le32(out, 40);
        le32(out, quint32(img.width()));
        le32(out, quint32(img.height()));
        le16(out, 1);
        le16(out, 24);
        le32(out, 0);
        le32(out, quint32(stride * img.height()));
        le32(out, 0);
        le32(out, 0);
        le32(out, 0);
        le32(out, 0);
        for (int y = img.height() - 1; y >= 0; --y) {
            const uchar *line = img.constScanLine(y);
            QByteArray row(stride, '\0');
            for (int x = 0; x < img.width(); ++x) {
                row[3 * x] = char(line[3 * x + 2]);
                row[3 * x + 1] = char(line[3 * x + 1]);
                row[3 * x + 2] = char(line[3 * x]);
            }
            out.append(row);
        }
        return out;
    }

} // namespace

WmfWriter::WmfWriter(int width, int height, int unitsPerInch, bool placeable)
    : m_width(width)
    , m_height(height)
    , m_unitsPerInch(unitsPerInch)
    , m_placeable(placeable)
{
    QByteArray org;
    le16(org, 0);
    le16(org, 0);
    record(kSetWindowOrg, org);
    QByteArray ext;
    le16(ext, height);
    le16(ext, width);
    record(kSetWindowExt, ext);
    QByteArray mode;
    le16(mode, kTransparent);
    record(kSetBkMode, mode);
}

void WmfWriter::record(quint16 function, const QByteArray &params)
{
    QByteArray padded = params;
    if (padded.size() % 2)
        padded.append('\0');
    const quint32 words = 3 + quint32(padded.size() / 2);
    le32(m_records, words);
    le16(m_records, function);
    m_records.append(padded);
    m_maxRecordWords = std::max(m_maxRecordWords, words);
}

int WmfWriter::allocateObject()
{
    const auto free = std::find(m_objectsInUse.begin(), m_objectsInUse.end(), false);
    if (free != m_objectsInUse.end()) {
        *free = true;
        return int(free - m_objectsInUse.begin());
    }
    m_objectsInUse.push_back(true);
    return int(m_objectsInUse.size()) - 1;
}

void WmfWriter::replaceSelected(Slot slot, quint16 createFunction, const QByteArray &params)
{
    record(createFunction, params);
    const int index = allocateObject();
    QByteArray select;
    le16(select, index);
    record(kSelectObject, select);
    int &selected = m_selected[int(slot)];
    if (selected >= 0) {
        QByteArray del;
        le16(del, selected);
        record(kDeleteObject, del);
        m_objectsInUse[size_t(selected)] = false;
    }
    selected = index;
}

void WmfWriter::setPen(const QColor &color, int width, int style)
{
    QByteArray p;
    le16(p, style);
    le16(p, width);
    le16(p, 0);
    le32(p, colorRef(color));
    replaceSelected(Slot::Pen, kCreatePen, p);
}

void WmfWriter::setNullPen() { setPen(Qt::black, 0, kPenNull); }

void WmfWriter::setBrush(const QColor &color)
{
    QByteArray p;
    le16(p, kBrushSolid);
    le32(p, colorRef(color));
    le16(p, 0);
    replaceSelected(Slot::Brush, kCreateBrush, p);
}

void WmfWriter::setNullBrush()
{
    QByteArray p;
    le16(p, kBrushNull);
    le32(p, 0);
    le16(p, 0);
    replaceSelected(Slot::Brush, kCreateBrush, p);
}

void WmfWriter::setTextColor(const QColor &color)
{
    QByteArray p;
    le32(p, colorRef(color));
    record(kSetTextColor, p);
}

void WmfWriter::rectangle(const QRect &r) { record(kRectangle, boxParams(r)); }

void WmfWriter::ellipse(const QRect &r) { record(kEllipse, boxParams(r)); }

static void appendPoints(QByteArray &p, const QPolygon &points)
{
    for (const QPoint &pt : points) {
        le16(p, pt.x());
        le16(p, pt.y());
    }
}

void WmfWriter::polygon(const QPolygon &points, bool closed)
{
    QByteArray p;
    le16(p, int(points.size()));
    appendPoints(p, points);
    record(closed ? kPolygon : kPolyline, p);
}

void WmfWriter::polyPolygon(const QList<QPolygon> &polygons)
{
    QByteArray p;
    le16(p, int(polygons.size()));
    for (const QPolygon &points : polygons)
        le16(p, int(points.size()));
    for (const QPolygon &points : polygons)
        appendPoints(p, points);
    record(kPolyPolygon, p);
}

void WmfWriter::saveDc() { record(kSaveDc, {}); }

void WmfWriter::line(const QPoint &from, const QPoint &to)
{
    QByteArray move;
    le16(move, from.y());
    le16(move, from.x());
    record(kMoveTo, move);
    QByteArray draw;
    le16(draw, to.y());
    le16(draw, to.x());
    record(kLineTo, draw);
}

void WmfWriter::text(
    const QPoint &at, const QByteArray &bytes, int height, int charset, const QByteArray &face)
{
    const FontKey key { height, charset, face.left(kMaxFaceBytes) };
    if (m_selected[int(Slot::Font)] < 0 || !(key == m_font)) {
        // A negative height asks for that character height (the em), not the cell height.
        QByteArray p;
        le16(p, -height);
        le16(p, 0); // width: the font's own
        le16(p, 0); // escapement
        le16(p, 0); // orientation
        le16(p, kWeightNormal);
        p.append(char(0)); // italic
        p.append(char(0)); // underline
        p.append(char(0)); // strike-out
        p.append(char(charset));
        p.append(QByteArray(4, '\0')); // precisions, quality, pitch and family
        p.append(key.face);
        p.append('\0');
        replaceSelected(Slot::Font, kCreateFont, p);
        m_font = key;
    }
    QByteArray p;
    le16(p, int(bytes.size()));
    p.append(bytes);
    if (p.size() % 2)
        p.append('\0');
    le16(p, at.y());
    le16(p, at.x());
    record(kTextOut, p);
}

void WmfWriter::stretchDib(const QImage &img, const QRect &dest)
{
    QByteArray p;
    le32(p, kSrcCopy);
    le16(p, 0); // colours are RGB values, not palette indexes
    le16(p, img.height());
    le16(p, img.width());
    le16(p, 0); // source y
    le16(p, 0); // source x
    le16(p, dest.height());
    le16(p, dest.width());
    le16(p, dest.y());
    le16(p, dest.x());
    p.append(dib24(img));
    record(kStretchDib, p);
}

QByteArray WmfWriter::finish() const
{
    QByteArray body = m_records;
    le32(body, 3); // EOF record
    le16(body, 0);

    QByteArray out;
    if (m_placeable) {
        QByteArray placeable;
        le32(placeable, kPlaceableKey);
        le16(placeable, 0);
        le16(placeable, 0);
        le16(placeable, 0);
        le16(placeable, m_width);
        le16(placeable, m_height);
        le16(placeable, m_unitsPerInch);
        le32(placeable, 0);
        quint16 checksum = 0;
        for (int i = 0; i < placeable.size(); i += 2)
            checksum ^= qFromLittleEndian<quint16>(placeable.constData() + i);
        le16(placeable, checksum);
        out.append(placeable);
    }
    constexpr int kHeaderBytes = 18;
    le16(out, 1); // in memory
    le16(out, kHeaderBytes / 2);
    le16(out, kMetafileVersion);
    le32(out, quint32((kHeaderBytes + body.size()) / 2));
    le16(out, int(m_objectsInUse.size()));
    le32(out, m_maxRecordWords);
    le16(out, 0);
    out.append(body);
    return out;
}

bool WmfWriter::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = finish();
    return file.write(bytes) == bytes.size() && file.commit();
}

} // namespace vorlane::writers
