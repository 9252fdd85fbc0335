#pragma once

// The drawing side of the metafile decoder: libwmf plays the records and
// calls back into a Canvas, which paints them with QPainter. Private to
// decoder.cpp and the canvas*.cpp files beside it.

// Qt
#include <QByteArray>
#include <QDeadlineTimer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSize>

// Std
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

// libwmf (last: its headers define short unprefixed macros such as U16 and OPAQUE)
#include <libwmf/ipa.h>
#include <libwmf/defs.h>

namespace vorlane::wmf {

[[nodiscard]] inline QColor toColor(const wmfRGB &c) { return QColor(c.r, c.g, c.b); }

// Where the metafile's coordinates land on the picture.
struct Frame
{
    // With logical set: a rectangle in logical units (a placeable header's,
    // or the window of a metafile without one), mapped onto the whole picture
    // unless the metafile sets its own window. Otherwise: the extent of the
    // drawing in libwmf's device units.
    QRectF bounds;
    bool logical = false;
    // Whether any record sets the window origin / extent. Such a window
    // stands in for the header's rectangle, as when Windows plays a
    // placeable metafile into a viewport.
    bool setsWindowOrg = false;
    bool setsWindowExt = false;
    QSize pixels;
};

// The face names of the fonts libwmf has created, by font. libwmf's DC can go
// on pointing at a deleted font's slot after another kind of object has taken
// it; a font whose name is not the one it was created with is such a leftover,
// and its name is not read. Lives in wmfAPI::user_data.
struct FontNames
{
    QHash<const wmfFont *, const char *> byFont;
};

// A bitmap decoded from a metafile's DIB, handed to libwmf as wmfBMP::data.
struct Bitmap
{
    QImage image;
    bool bottomUp = true;
};

// When drawing stops: at a deadline, or once a flag set from another thread
// says the picture is no longer wanted. What was drawn by then is kept.
struct Budget
{
    QDeadlineTimer deadline = QDeadlineTimer::Forever;
    const std::atomic<bool> *cancel = nullptr; // nullptr: never cancelled

    [[nodiscard]] bool cancelled() const
    {
        return cancel && cancel->load(std::memory_order_relaxed);
    }
    [[nodiscard]] bool over() const { return deadline.hasExpired() || cancelled(); }
};

class Canvas
{
public:
    Canvas(const Frame &frame, const FontNames &fonts, const Budget &budget = {});
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;
    ~Canvas();

    [[nodiscard]] QImage takeImage();

    void begin();
    void end();

    void pixel(const wmfDrawPixel_t *d);
    void flood(const wmfFlood_t *d, bool surface);
    enum class ArcKind { Open, Pie, Chord };
    void arc(const wmfDrawArc_t *d, ArcKind kind);
    void ellipse(const wmfDrawArc_t *d);
    void line(const wmfDrawLine_t *d);
    void polyline(const wmfPolyLine_t *d, bool closed);
    void polypolygon(const wmfPolyPoly_t *d);
    void rectangle(const wmfDrawRectangle_t *d);
    void ropDraw(const wmfROP_Draw_t *d);
    void bitmapDraw(const wmfBMP_Draw_t *d);
    void bitmapRead(wmfBMP_Read_t *d);
    void bitmapFree(wmfBMP *bmp);
    void text(const wmfDrawText_t *d);
    void regionFrame(const wmfPolyRectangle_t *d);
    void regionPaint(const wmfPolyRectangle_t *d);
    void regionClip(const wmfPolyRectangle_t *d);

    // libwmf's font interface: the width of str in ems, as drawn.
    [[nodiscard]] static float stringWidth(wmfAPI *api, wmfFont *font, char *str);
    // libwmf's font interface: a new font. Its face is chosen when text is
    // drawn; here its name is noted in the API's FontNames.
    static void mapFont(wmfAPI *api, wmfFont *font);

private:
    // Device coordinates (as libwmf hands them over) to picture pixels:
    // x' = ax * x + bx, y' = ay * y + by.
    struct Mapping
    {
        double ax = 1, bx = 0, ay = 1, by = 0;
        [[nodiscard]] QPointF map(const wmfD_Coord &d) const
        {
            return { ax * d.x + bx, ay * d.y + by };
        }
        [[nodiscard]] double scaleX() const;
        [[nodiscard]] double scaleY() const;
    };
    [[nodiscard]] Mapping mapping(const wmfDC *dc) const;

    [[nodiscard]] QPen pen(const wmfDC *dc, const Mapping &m) const;
    [[nodiscard]] QBrush brush(const wmfDC *dc) const;
    // The bitmap behind a brush or a draw call, when it is one of ours.
    [[nodiscard]] const Bitmap *bitmap(const wmfBMP &bmp) const;
    // Sets the composition for the DC's drawing mode; false when nothing is to be drawn.
    bool applyDrawMode(const wmfDC *dc, std::optional<QColor> *forced);
    void paint(const wmfDC *dc, const QPainterPath &path, bool fill, bool stroke);
    void fillPath(const wmfDC *dc, const QPainterPath &path, const QBrush &brush);
    void strokeInPieces(const QPainterPath &path, const QPen &pen);
    [[nodiscard]] QPainterPath rectsPath(const wmfPolyRectangle_t *d, const Mapping &m) const;

    // A double-byte character split by libwmf into two one-byte calls.
    struct PendingLead
    {
        char byte = 0;
        wmfD_Coord pt {};
        const wmfFont *font = nullptr;
    };

    Frame m_frame;
    const FontNames &m_fonts;
    Budget m_budget;
    QImage m_image;
    QPainter m_painter;
    std::optional<QPainterPath> m_clip;
    std::vector<std::unique_ptr<Bitmap>> m_bitmaps;
    std::optional<PendingLead> m_pendingLead;
};

} // namespace vorlane::wmf
