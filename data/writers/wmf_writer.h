#pragma once

// Qt
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QString>

// Std
#include <vector>

namespace vorlane::writers {

// Writes small Windows metafiles for tests and samples. Drawing calls append
// records in order; object changes (pen, brush, font) create the new object,
// select it and delete the one it replaces. Text is top-left aligned at its
// point and drawn over a transparent background.
class WmfWriter
{
public:
    // Placeable metafile with bounding box (0,0)-(width,height) in logical
    // units and the given units per inch; placeable=false writes a standard
    // metafile without the 22-byte placeable header.
    WmfWriter(int width, int height, int unitsPerInch = 1440, bool placeable = true);
    void setPen(const QColor &color, int width, int style = 0 /* PS_SOLID */);
    void setNullPen();
    void setBrush(const QColor &color);
    void setNullBrush();
    void setTextColor(const QColor &color);
    void rectangle(const QRect &r);
    void ellipse(const QRect &r);
    // closed=false draws an open line through the points (META_POLYLINE).
    void polygon(const QPolygon &points, bool closed = true);
    void polyPolygon(const QList<QPolygon> &polygons);
    void saveDc();
    void line(const QPoint &from, const QPoint &to);
    // bytes: the text in the font's charset (e.g. Shift-JIS bytes with charset 128).
    void text(const QPoint &at, const QByteArray &bytes, int height, int charset = 0,
        const QByteArray &face = "Arial");
    // Embeds img as a 24-bit DIB stretched into dest (META_STRETCHDIB).
    void stretchDib(const QImage &img, const QRect &dest);
    // The whole file: headers, records and the EOF record, with correct
    // sizes and placeable-header checksum.
    [[nodiscard]] QByteArray finish() const;
    bool save(const QString &path) const;

private:
    enum class Slot { Pen, Brush, Font };
    struct FontKey
    {
        int height = 0;
        int charset = 0;
        QByteArray face;
        bool operator==(const FontKey &) const = default;
    };

    void record(quint16 function, const QByteArray &params);
    // Takes the lowest free object index, as the player assigns them.
    [[nodiscard]] int allocateObject();
    void replaceSelected(Slot slot, quint16 createFunction, const QByteArray &params);

    int m_width;
    int m_height;
    int m_unitsPerInch;
    bool m_placeable;
    QByteArray m_records;
    quint32 m_maxRecordWords = 3;
    std::vector<bool> m_objectsInUse;
    int m_selected[3] = { -1, -1, -1 };
    FontKey m_font;
};

} // namespace vorlane::writers
