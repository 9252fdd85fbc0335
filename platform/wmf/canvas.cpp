#include "platform/wmf/canvas.h"

// Std
#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorlane::wmf {

namespace {

    // libwmf's mapping-mode numbers for the two modes whose scale comes from
    // the window and viewport extents (the others have a fixed unit).
    constexpr U16 kMapIsotropic = 7;
    constexpr U16 kMapAnisotropic = 8;

    // Qt's antialiased fill of a path with many crossing edges costs
    // seconds per thousand points, and a wide pen's outline of a long path
    // grows with the square of its crossings. Paths with more elements than
    // this are drawn with hard edges, and stroked a piece of this many
    // elements at a time, the time limit checked between pieces.
    constexpr int kDenseElements = 512;
    constexpr int kBandRows = 32;

    [[nodiscard]] Qt::BrushStyle hatchStyle(U16 hatch)
    {
        switch (hatch) {
        case HS_HORIZONTAL:
            return Qt::HorPattern;
        case HS_VERTICAL:
            return Qt::VerPattern;
        case HS_FDIAGONAL:
            return Qt::FDiagPattern;
        case HS_BDIAGONAL:
            return Qt::BDiagPattern;
        case HS_CROSS:
            return Qt::CrossPattern;
        default:
            return Qt::DiagCrossPattern;
        }
    }

    // The Qt angle (degrees, counter-clockwise) of a point on the ellipse in
    // rect, from the direction v out of its centre.
    [[nodiscard]] double ellipseAngle(const QRectF &rect, const QPointF &v)
    {
        const double rx = rect.width() / 2;
        const double ry = rect.height() / 2;
        return std::atan2(-v.y() / ry, v.x() / rx) * 180.0 / std::numbers::pi;
    }

} // namespace

double Canvas::Mapping::scaleX() const { return std::abs(ax); }

double Canvas::Mapping::scaleY() const { return std::abs(ay); }

Canvas::Canvas(const Frame &frame, const FontNames &fonts, const Budget &budget)
    : m_frame(frame)
    , m_fonts(fonts)
    , m_budget(budget)
    , m_image(frame.pixels, QImage::Format_RGB32)
{
    m_image.fill(Qt::white);
}

Canvas::~Canvas() { end(); }

QImage Canvas::takeImage()
{
    end();
    return std::move(m_image);
}

void Canvas::begin()
{
    if (m_image.isNull() || m_painter.isActive())
        return;
    m_painter.begin(&m_image);
    m_painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    if (m_clip)
        m_painter.setClipPath(*m_clip);
}

void Canvas::end()
{
    if (m_painter.isActive())
        m_painter.end();
}

Canvas::Mapping Canvas::mapping(const wmfDC *dc) const
{
    Mapping m;
    const double width = m_frame.pixels.width();
    const double height = m_frame.pixels.height();
    const QRectF &b = m_frame.bounds;
    if (!m_frame.logical || !dc) {
        m.ax = width / b.width();
        m.bx = -b.left() * m.ax;
        m.ay = height / b.height();
        m.by = -b.top() * m.ay;
        return m;
    }
    // libwmf's device point is (logical - window origin) * pixel size, the
    // pixel size signed like the window extent. Undo that, then map the
    // window (or the header's rectangle) onto the picture.
    double pw = dc->pixel_width;
    double ph = dc->pixel_height;
    if (dc->map_mode != kMapIsotropic && dc->map_mode != kMapAnisotropic) {
        pw = dc->Window.width < 0 ? -std::abs(pw) : std::abs(pw);
        ph = dc->Window.height < 0 ? -std::abs(ph) : std::abs(ph);
    }
    if (!std::isfinite(pw) || pw == 0)
        pw = 1;
    if (!std::isfinite(ph) || ph == 0)
        ph = 1;
    const bool ownExtent = m_frame.setsWindowExt && dc->Window.width != 0 && dc->Window.height != 0;
    const double originX = m_frame.setsWindowOrg ? dc->Window.Ox : b.left();
    const double originY = m_frame.setsWindowOrg ? dc->Window.Oy : b.top();
    const double extentX = ownExtent ? dc->Window.width : b.width();
    const double extentY = ownExtent ? dc->Window.height : b.height();
    m.ax = width / (extentX * pw);
    m.bx = (dc->Window.Ox - originX) * width / extentX;
    m.ay = height / (extentY * ph);
    m.by = (dc->Window.Oy - originY) * height / extentY;
    return m;
}

QPen Canvas::pen(const wmfDC *dc, const Mapping &m) const
{
    const wmfPen *p = dc ? dc->pen : nullptr;
    if (!p || (p->lopnStyle & PS_STYLE_MASK) == PS_NULL)
        return Qt::NoPen;
    // Pens of a pixel or less are drawn a pixel wide; only those are dashed.
    // No pen is wider than the picture.
    const double width = std::clamp(p->width * (m.scaleX() + m.scaleY()) / 2, 1.0,
        double(std::max(m_image.width(), m_image.height())));
    QPen pen(toColor(p->lopnColor), width);
    if (width < 1.5) {
        switch (p->lopnStyle & PS_STYLE_MASK) {
        case PS_DASH:
            pen.setStyle(Qt::DashLine);
            break;
        case PS_DOT:
        case PS_ALTERNATE:
            pen.setStyle(Qt::DotLine);
            break;
        case PS_DASHDOT:
            pen.setStyle(Qt::DashDotLine);
            break;
        case PS_DASHDOTDOT:
            pen.setStyle(Qt::DashDotDotLine);
            break;
        default:
            break;
        }
    }
    switch (p->lopnStyle & PS_ENDCAP_MASK) {
    case PS_ENDCAP_SQUARE:
        pen.setCapStyle(Qt::SquareCap);
        break;
    case PS_ENDCAP_FLAT:
        pen.setCapStyle(Qt::FlatCap);
        break;
    default:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (p->lopnStyle & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    case PS_JOIN_MITER:
        pen.setJoinStyle(Qt::MiterJoin);
        break;
    default:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    }
    return pen;
}

QBrush Canvas::brush(const wmfDC *dc) const
{
    const wmfBrush *b = dc ? dc->brush : nullptr;
    if (!b)
        return Qt::NoBrush;
    switch (b->lbStyle) {
    case BS_NULL:
        return Qt::NoBrush;
    case BS_HATCHED:
        return QBrush(toColor(b->lbColor), hatchStyle(b->lbHatch));
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
    case BS_DIBPATTERN8X8:
    case BS_PATTERN8X8:
        if (const Bitmap *pattern = bitmap(b->bmp))
            return QBrush(pattern->image);
        return toColor(b->lbColor);
    default:
        return toColor(b->lbColor);
    }
}

bool Canvas::applyDrawMode(const wmfDC *dc, std::optional<QColor> *forced)
{
    if (!m_painter.isActive() || m_budget.over())
        return false;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (dc ? dc->ROPmode : R2_COPYPEN) {
    case R2_NOP:
        return false;
    case R2_BLACK:
        *forced = QColor(Qt::black);
        break;
    case R2_WHITE:
        *forced = QColor(Qt::white);
        break;
    case R2_NOT:
        mode = QPainter::RasterOp_NotDestination;
        break;
    case R2_XORPEN:
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case R2_MASKPEN:
        mode = QPainter::RasterOp_SourceAndDestination;
        break;
    case R2_MERGEPEN:
        mode = QPainter::RasterOp_SourceOrDestination;
        break;
    case R2_NOTCOPYPEN:
        mode = QPainter::RasterOp_NotSource;
        break;
    default:
        break;
    }
    m_painter.setCompositionMode(mode);
    // Raster operations on antialiased edges would leave fringes.
    m_painter.setRenderHint(QPainter::Antialiasing, mode == QPainter::CompositionMode_SourceOver);
    return true;
}

void Canvas::fillPath(const wmfDC *dc, const QPainterPath &path, const QBrush &brush)
{
    // A hatched brush over an opaque background first fills with the background colour.
    if (dc && brush.style() >= Qt::HorPattern && brush.style() <= Qt::DiagCrossPattern
        && dc->bgmode == OPAQUE)
        m_painter.fillPath(path, toColor(dc->bgcolor));
    if (brush.style() == Qt::TexturePattern)
        m_painter.setBrushOrigin(0, 0);
    if (path.elementCount() <= kDenseElements) {
        m_painter.fillPath(path, brush);
        return;
    }
    // A dense path is filled a band of rows at a time, the time limit
    // checked between bands.
    const QRect area = path.controlPointRect().toAlignedRect().intersected(m_image.rect());
    for (int top = area.top(); top <= area.bottom() && !m_budget.over(); top += kBandRows) {
        m_painter.save();
        m_painter.setClipRect(QRect(area.left(), top, area.width(), kBandRows), Qt::IntersectClip);
        m_painter.fillPath(path, brush);
        m_painter.restore();
    }
}

void Canvas::paint(const wmfDC *dc, const QPainterPath &path, bool fill, bool stroke)
{
    std::optional<QColor> forced;
    if (!applyDrawMode(dc, &forced))
        return;
    const Mapping m = mapping(dc);
    // Antialiasing a path reaching far beyond the picture costs seconds; such
    // shapes (usually from damaged files) are drawn with hard edges.
    const QRectF around
        = QRectF(m_image.rect())
              .adjusted(-m_image.width(), -m_image.height(), m_image.width(), m_image.height());
    if (path.elementCount() > kDenseElements || !around.contains(path.controlPointRect()))
        m_painter.setRenderHint(QPainter::Antialiasing, false);
    if (fill) {
        QBrush b = brush(dc);
        if (forced && b.style() != Qt::NoBrush)
            b = QBrush(*forced);
        if (b.style() != Qt::NoBrush)
            fillPath(dc, path, b);
    }
    if (stroke) {
        QPen p = pen(dc, m);
        if (p.style() != Qt::NoPen) {
            if (forced)
                p.setColor(*forced);
            strokeInPieces(path, p);
        }
    }
}

void Canvas::strokeInPieces(const QPainterPath &path, const QPen &pen)
{
    if (path.elementCount() <= kDenseElements) {
        m_painter.strokePath(path, pen);
        return;
    }
    QPainterPath piece;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            piece.moveTo(e);
        } else if (e.isLineTo()) {
            piece.lineTo(e);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            piece.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
        }
        if (piece.elementCount() >= kDenseElements || i + 1 >= path.elementCount()) {
            if (m_budget.over())
                return;
            m_painter.strokePath(piece, pen);
            // The next piece starts where this one ended, so the line is unbroken.
            piece = QPainterPath(piece.currentPosition());
        }
    }
}

void Canvas::pixel(const wmfDrawPixel_t *d)
{
    std::optional<QColor> forced;
    if (!applyDrawMode(d->dc, &forced))
        return;
    const Mapping m = mapping(d->dc);
    const QSizeF size(
        std::max(1.0, d->pixel_width * m.scaleX()), std::max(1.0, d->pixel_height * m.scaleY()));
    m_painter.fillRect(QRectF(m.map(d->pt), size), forced.value_or(toColor(d->color)));
}

void Canvas::arc(const wmfDrawArc_t *d, ArcKind kind)
{
    const Mapping m = mapping(d->dc);
    const QRectF rect = QRectF(m.map(d->TL), m.map(d->BR)).normalized();
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    // libwmf gives the radial points relative to the ellipse's centre, and
    // names the record's start point "end" and its end point "start". The
    // arc runs counter-clockwise on the picture from the start point.
    const wmfD_Coord centre { (d->TL.x + d->BR.x) / 2, (d->TL.y + d->BR.y) / 2 };
    const wmfD_Coord start { centre.x + d->end.x, centre.y + d->end.y };
    const wmfD_Coord end { centre.x + d->start.x, centre.y + d->start.y };
    const double from = ellipseAngle(rect, m.map(start) - rect.center());
    double span = ellipseAngle(rect, m.map(end) - rect.center()) - from;
    while (span <= 0)
        span += 360;

    QPainterPath path;
    if (kind == ArcKind::Pie)
        path.moveTo(rect.center());
    else
        path.arcMoveTo(rect, from);
    path.arcTo(rect, from, span);
    if (kind != ArcKind::Open)
        path.closeSubpath();
    paint(d->dc, path, kind != ArcKind::Open, true);
}

void Canvas::ellipse(const wmfDrawArc_t *d)
{
    const Mapping m = mapping(d->dc);
    QPainterPath path;
    path.addEllipse(QRectF(m.map(d->TL), m.map(d->BR)).normalized());
    paint(d->dc, path, true, true);
}

void Canvas::line(const wmfDrawLine_t *d)
{
    const Mapping m = mapping(d->dc);
    QPainterPath path(m.map(d->from));
    path.lineTo(m.map(d->to));
    paint(d->dc, path, false, true);
}

void Canvas::polyline(const wmfPolyLine_t *d, bool closed)
{
    if (!d->pt || d->count < 2)
        return;
    const Mapping m = mapping(d->dc);
    QPainterPath path(m.map(d->pt[0]));
    for (U16 i = 1; i < d->count; ++i)
        path.lineTo(m.map(d->pt[i]));
    if (closed) {
        path.closeSubpath();
        path.setFillRule(
            d->dc && d->dc->polyfillmode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    }
    paint(d->dc, path, closed, true);
}

void Canvas::polypolygon(const wmfPolyPoly_t *d)
{
    if (!d->pt || !d->count)
        return;
    const Mapping m = mapping(d->dc);
    QPainterPath path;
    path.setFillRule(d->dc && d->dc->polyfillmode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    for (U16 i = 0; i < d->npoly; ++i) {
        if (!d->pt[i] || d->count[i] < 2)
            continue;
        path.moveTo(m.map(d->pt[i][0]));
        for (U16 j = 1; j < d->count[i]; ++j)
            path.lineTo(m.map(d->pt[i][j]));
        path.closeSubpath();
    }
    paint(d->dc, path, true, true);
}

void Canvas::rectangle(const wmfDrawRectangle_t *d)
{
    const Mapping m = mapping(d->dc);
    const QRectF rect = QRectF(m.map(d->TL), m.map(d->BR)).normalized();
    // width and height are the axes of the corner ellipses of a rounded rectangle.
    const double rx = d->width * m.scaleX() / 2;
    const double ry = d->height * m.scaleY() / 2;
    QPainterPath path;
    if (rx > 0 && ry > 0)
        path.addRoundedRect(rect, rx, ry);
    else
        path.addRect(rect);
    paint(d->dc, path, true, true);
}

QPainterPath Canvas::rectsPath(const wmfPolyRectangle_t *d, const Mapping &m) const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (unsigned int i = 0; d->TL && d->BR && i < d->count; ++i)
        path.addRect(QRectF(m.map(d->TL[i]), m.map(d->BR[i])).normalized());
    return path;
}

} // namespace vorlane::wmf
