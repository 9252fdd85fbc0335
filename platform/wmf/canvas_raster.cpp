// Raster work of the metafile canvas: bitmaps, raster operations, flood
// fills and regions.

#include "platform/wmf/canvas.h"

// Qt
#include <QtEndian>

// Std
#include <algorithm>
#include <cmath>
#include <deque>

namespace vorlane::wmf {

namespace {

    constexpr int kMaxBitmapSide = 16384;
    constexpr qint64 kMaxBitmapPixels = 100'000'000;

    [[nodiscard]] QPainter::CompositionMode bitmapComposition(U32 rop)
    {
        switch (rop) {
        case SRCAND:
            return QPainter::RasterOp_SourceAndDestination;
        case SRCPAINT:
            return QPainter::RasterOp_SourceOrDestination;
        case SRCINVERT:
            return QPainter::RasterOp_SourceXorDestination;
        case SRCERASE:
            return QPainter::RasterOp_SourceAndNotDestination;
        case NOTSRCCOPY:
            return QPainter::RasterOp_NotSource;
        case NOTSRCERASE:
            return QPainter::RasterOp_NotSourceAndNotDestination;
        case MERGEPAINT:
            return QPainter::RasterOp_NotSourceOrDestination;
        default:
            return QPainter::CompositionMode_SourceOver;
        }
    }

    // DIB bytes (header, colour table, bits) as a BMP file for QImage.
    [[nodiscard]] std::optional<Bitmap> decodeDib(const unsigned char *data, long length)
    {
        if (!data || length < 12)
            return std::nullopt;
        const QByteArray dib(reinterpret_cast<const char *>(data), length);
        const quint32 headerSize = qFromLittleEndian<quint32>(dib.constData());
        qint64 width = 0;
        qint64 height = 0;
        int bits = 0;
        quint32 compression = 0;
        quint32 colours = 0;
        int entrySize = 4;
        if (headerSize == 12) {
            width = qFromLittleEndian<quint16>(dib.constData() + 4);
            height = qFromLittleEndian<quint16>(dib.constData() + 6);
            bits = qFromLittleEndian<quint16>(dib.constData() + 10);
            entrySize = 3;
        } else if (headerSize >= 40 && headerSize <= quint32(length)) {
            width = qFromLittleEndian<qint32>(dib.constData() + 4);
            height = qFromLittleEndian<qint32>(dib.constData() + 8);
            bits = qFromLittleEndian<quint16>(dib.constData() + 14);
            compression = qFromLittleEndian<quint32>(dib.constData() + 16);
            colours = qFromLittleEndian<quint32>(dib.constData() + 32);
        } else {
            return std::nullopt;
        }
        const bool bottomUp = height > 0;
        height = std::abs(height);
        if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide
            || width * height > kMaxBitmapPixels)
            return std::nullopt;

        Bitmap out;
        out.bottomUp = bottomUp;
        // Only the depths a DIB can have, and no more colours than the depth can index.
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return std::nullopt;
        if (bits <= 8 && colours == 0)
            colours = 1u << bits;
        if (bits <= 8 && colours > (1u << bits))
            return std::nullopt;
        constexpr quint32 kBitfields = 3;
        constexpr quint32 kAlphaBitfields = 6;
        quint32 masks = 0;
        if (headerSize == 40 && compression == kBitfields)
            masks = 12;
        else if (headerSize == 40 && compression == kAlphaBitfields)
            masks = 16;
        const quint32 bitsOffset = 14 + headerSize + masks + (bits <= 8 ? colours * entrySize : 0);

        QByteArray file("BM");
        file.resize(14);
        qToLittleEndian<quint32>(quint32(14 + length), file.data() + 2);
        qToLittleEndian<quint32>(0, file.data() + 6);
        qToLittleEndian<quint32>(bitsOffset, file.data() + 10);
        file.append(dib);
        if (!out.image.loadFromData(file, "BMP"))
            return std::nullopt;
        return out;
    }

} // namespace

void Canvas::flood(const wmfFlood_t *d, bool surface)
{
    std::optional<QColor> forced;
    if (!applyDrawMode(d->dc, &forced))
        return;
    const QPoint seed = mapping(d->dc).map(d->pt).toPoint();
    if (!m_image.rect().contains(seed))
        return;
    // Antialiased edges blend colours, so a pixel counts as the border (or
    // the surface) when it is close to that colour.
    const QRgb target = toColor(d->color).rgb();
    const auto near = [target](QRgb c, int tolerance) {
        return std::abs(qRed(c) - qRed(target)) < tolerance
            && std::abs(qGreen(c) - qGreen(target)) < tolerance
            && std::abs(qBlue(c) - qBlue(target)) < tolerance;
    };
    const QImage &image = m_image;
    const auto *pixels = reinterpret_cast<const QRgb *>(image.constBits());
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    const auto fillable = [&](int x, int y) {
        const QRgb c = pixels[y * stride + x];
        return surface ? near(c, 48) : !near(c, 128);
    };
    if (!fillable(seed.x(), seed.y()))
        return;
    // Scanline fill: find the spans first, then paint them. Each span seeds
    // one point per fillable run in the rows above and below it.
    const int width = image.width();
    std::vector<uchar> done(size_t(width) * image.height(), 0);
    const auto open = [&](int x, int y) { return !done[size_t(y) * width + x] && fillable(x, y); };
    std::deque<QPoint> todo { seed };
    std::vector<QRect> spans;
    while (!todo.empty()) {
        const QPoint p = todo.front();
        todo.pop_front();
        if (!open(p.x(), p.y()))
            continue;
        int left = p.x();
        int right = p.x();
        while (left > 0 && open(left - 1, p.y()))
            --left;
        while (right + 1 < width && open(right + 1, p.y()))
            ++right;
        std::fill_n(done.begin() + qsizetype(p.y()) * width + left, right - left + 1, uchar(1));
        spans.emplace_back(left, p.y(), right - left + 1, 1);
        for (const int y : { p.y() - 1, p.y() + 1 }) {
            if (y < 0 || y >= image.height())
                continue;
            for (int x = left; x <= right; ++x) {
                if (open(x, y) && (x == left || !open(x - 1, y)))
                    todo.emplace_back(x, y);
            }
        }
    }
    QBrush b = brush(d->dc);
    if (forced || b.style() == Qt::NoBrush)
        b = QBrush(forced.value_or(toColor(d->color)));
    for (const QRect &span : spans)
        m_painter.fillRect(span, b);
}

void Canvas::ropDraw(const wmfROP_Draw_t *d)
{
    if (!m_painter.isActive() || m_budget.over())
        return;
    const Mapping m = mapping(d->dc);
    const QRectF rect = QRectF(m.map(d->TL), m.map(d->BR)).normalized();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    switch (d->ROP) {
    case BLACKNESS:
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_painter.fillRect(rect, Qt::black);
        break;
    case WHITENESS:
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_painter.fillRect(rect, Qt::white);
        break;
    case DSTINVERT:
        m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        m_painter.fillRect(rect, Qt::black);
        break;
    case PATINVERT:
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        m_painter.fillRect(rect, brush(d->dc));
        break;
    default: {
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        QPainterPath path;
        path.addRect(rect);
        const QBrush b = brush(d->dc);
        if (b.style() != Qt::NoBrush)
            fillPath(d->dc, path, b);
        break;
    }
    }
}

void Canvas::bitmapRead(wmfBMP_Read_t *d)
{
    d->bmp.data = nullptr;
    std::optional<Bitmap> bitmap = decodeDib(d->buffer, d->length);
    if (!bitmap || bitmap->image.isNull())
        return;
    m_bitmaps.push_back(std::make_unique<Bitmap>(std::move(*bitmap)));
    d->bmp.width = static_cast<U16>(m_bitmaps.back()->image.width());
    d->bmp.height = static_cast<U16>(m_bitmaps.back()->image.height());
    d->bmp.data = m_bitmaps.back().get();
}

void Canvas::bitmapFree(wmfBMP *bmp)
{
    const auto found = std::find_if(
        m_bitmaps.begin(), m_bitmaps.end(), [bmp](const auto &b) { return b.get() == bmp->data; });
    if (found != m_bitmaps.end())
        m_bitmaps.erase(found);
    bmp->data = nullptr;
}

const Bitmap *Canvas::bitmap(const wmfBMP &bmp) const
{
    const auto found = std::find_if(
        m_bitmaps.begin(), m_bitmaps.end(), [&bmp](const auto &b) { return b.get() == bmp.data; });
    return found == m_bitmaps.end() ? nullptr : found->get();
}

void Canvas::bitmapDraw(const wmfBMP_Draw_t *d)
{
    const Bitmap *drawn = bitmap(d->bmp);
    if (!drawn || !m_painter.isActive() || m_budget.over())
        return;
    const QImage &image = drawn->image;
    // The crop rectangle of a bottom-up DIB counts rows from the bottom.
    const int y = drawn->bottomUp ? image.height() - d->crop.y - d->crop.h : d->crop.y;
    const QRect source = QRect(d->crop.x, y, d->crop.w, d->crop.h).intersected(image.rect());
    if (source.isEmpty())
        return;
    const Mapping m = mapping(d->dc);
    const QSizeF size(
        d->crop.w * d->pixel_width * m.scaleX(), d->crop.h * d->pixel_height * m.scaleY());
    const QPainter::CompositionMode mode = bitmapComposition(d->type);
    m_painter.setCompositionMode(mode);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.drawImage(QRectF(m.map(d->pt), size), image, source);
}

void Canvas::regionPaint(const wmfPolyRectangle_t *d)
{
    paint(d->dc, rectsPath(d, mapping(d->dc)), true, false);
}

void Canvas::regionFrame(const wmfPolyRectangle_t *d)
{
    std::optional<QColor> forced;
    if (!applyDrawMode(d->dc, &forced))
        return;
    const Mapping m = mapping(d->dc);
    const double bx = std::max(1.0, d->width * m.scaleX());
    const double by = std::max(1.0, d->height * m.scaleY());
    const QPainterPath region = rectsPath(d, m).simplified();
    // The frame is the band just inside the region's outline.
    QPainterPath inner;
    for (unsigned int i = 0; d->TL && d->BR && i < d->count; ++i) {
        const QRectF r = QRectF(m.map(d->TL[i]), m.map(d->BR[i])).normalized();
        if (r.width() > 2 * bx && r.height() > 2 * by)
            inner.addRect(r.adjusted(bx, by, -bx, -by));
    }
    const QBrush b = forced ? QBrush(*forced) : brush(d->dc);
    if (b.style() != Qt::NoBrush)
        fillPath(d->dc, region.subtracted(inner.simplified()), b);
}

void Canvas::regionClip(const wmfPolyRectangle_t *d)
{
    if (d->count == 0) {
        m_clip.reset();
        if (m_painter.isActive())
            m_painter.setClipping(false);
        return;
    }
    m_clip = rectsPath(d, mapping(d->dc));
    if (m_painter.isActive())
        m_painter.setClipPath(*m_clip);
}

} // namespace vorlane::wmf
