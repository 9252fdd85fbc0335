#include "platform/wmf/decoder.h"

// Qt
#include <QDeadlineTimer>
#include <QtEndian>

// Std
#include <algorithm>
#include <cmath>

// Local
#include "platform/wmf/canvas.h"
#include "platform/wmf/records.h"

// libwmf
#include <libwmf/api.h>

namespace vorlane {

namespace {

    constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
    constexpr int kHeaderWords = 9;
    constexpr double kHimetricPerInch = 2540.0;
    // Metafiles without a placeable header are measured at this many units per inch.
    constexpr double kUnitsPerInchWithoutHeader = 96.0;
    // ...unless the metafile scales a window wider or taller than this many
    // units onto the viewport, which is then shown this many units across.
    constexpr double kLargestWindowUnits = 1024.0;
    constexpr int kMaxSide = 16384;
    constexpr qint64 kMaxPixels = 100'000'000;
    // Drawing stops this long after decoding began, and what was drawn by
    // then is the picture: any metafile is shown within two seconds.
    constexpr qint64 kTimeLimitMs = 1'500;

    // Input callbacks over the prepared bytes.
    struct Stream
    {
        const QByteArray *bytes = nullptr;
        long pos = 0;
    };

    int streamRead(void *context)
    {
        auto *s = static_cast<Stream *>(context);
        if (s->pos < 0 || s->pos >= s->bytes->size())
            return EOF;
        return static_cast<unsigned char>(s->bytes->at(s->pos++));
    }

    int streamSeek(void *context, long pos)
    {
        auto *s = static_cast<Stream *>(context);
        if (pos < 0 || pos > s->bytes->size())
            return -1;
        s->pos = pos;
        return 0;
    }

    long streamTell(void *context) { return static_cast<Stream *>(context)->pos; }

    // libwmf asks between records whether to go on.
    int statusCheck(void *context, float)
    {
        return static_cast<const wmf::Budget *>(context)->over() ? 1 : 0;
    }

    // libwmf's device callbacks, each forwarding to the canvas found in
    // device_data. Exceptions must not unwind through libwmf's C frames.
    template <typename Draw> void onCanvas(wmfAPI *api, Draw &&draw)
    {
        auto *canvas = static_cast<wmf::Canvas *>(api->device_data);
        if (!canvas)
            return;
        try {
            draw(*canvas);
        } catch (...) {
            api->err = wmf_E_DeviceError;
        }
    }

    using ArcKind = wmf::Canvas::ArcKind;

    // The font interface: libwmf needs a face mapper and a string measure.
    wmfFontData fontInterface { &wmf::Canvas::mapFont, &wmf::Canvas::stringWidth, nullptr };

    void installCallbacks(wmfAPI *api)
    {
        auto *f = static_cast<wmfFunctionReference *>(api->function_reference);
        // Nothing to open or close, and no data kept per DC: each call comes
        // with the DC it draws with.
        f->device_open = [](wmfAPI *) {};
        f->device_close = [](wmfAPI *) {};
        f->udata_init = [](wmfAPI *, wmfUserData_t *) {};
        f->udata_copy = [](wmfAPI *, wmfUserData_t *) {};
        f->udata_set = [](wmfAPI *, wmfUserData_t *) {};
        f->udata_free = [](wmfAPI *, wmfUserData_t *) {};
        f->device_begin = [](wmfAPI *a) { onCanvas(a, [](wmf::Canvas &c) { c.begin(); }); };
        f->device_end = [](wmfAPI *a) { onCanvas(a, [](wmf::Canvas &c) { c.end(); }); };
        f->flood_interior = [](wmfAPI *a, wmfFlood_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.flood(d, false); });
        };
        f->flood_exterior = [](wmfAPI *a, wmfFlood_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.flood(d, d->type == FLOODFILLSURFACE); });
        };
        f->draw_pixel = [](wmfAPI *a, wmfDrawPixel_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.pixel(d); });
        };
        f->draw_pie = [](wmfAPI *a, wmfDrawArc_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.arc(d, ArcKind::Pie); });
        };
        f->draw_chord = [](wmfAPI *a, wmfDrawArc_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.arc(d, ArcKind::Chord); });
        };
        f->draw_arc = [](wmfAPI *a, wmfDrawArc_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.arc(d, ArcKind::Open); });
        };
        f->draw_ellipse = [](wmfAPI *a, wmfDrawArc_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.ellipse(d); });
        };
        f->draw_line
            = [](wmfAPI *a, wmfDrawLine_t *d) { onCanvas(a, [d](wmf::Canvas &c) { c.line(d); }); };
        f->poly_line = [](wmfAPI *a, wmfPolyLine_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.polyline(d, false); });
        };
        f->draw_polygon = [](wmfAPI *a, wmfPolyLine_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.polyline(d, true); });
        };
        f->draw_polypolygon = [](wmfAPI *a, wmfPolyPoly_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.polypolygon(d); });
        };
        f->draw_rectangle = [](wmfAPI *a, wmfDrawRectangle_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.rectangle(d); });
        };
        f->rop_draw = [](wmfAPI *a, wmfROP_Draw_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.ropDraw(d); });
        };
        f->bmp_draw = [](wmfAPI *a, wmfBMP_Draw_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.bitmapDraw(d); });
        };
        f->bmp_read = [](wmfAPI *a, wmfBMP_Read_t *d) {
            d->bmp.data = nullptr;
            onCanvas(a, [d](wmf::Canvas &c) { c.bitmapRead(d); });
        };
        f->bmp_free = [](wmfAPI *a, wmfBMP *bmp) {
            onCanvas(a, [bmp](wmf::Canvas &c) { c.bitmapFree(bmp); });
        };
        f->draw_text
            = [](wmfAPI *a, wmfDrawText_t *d) { onCanvas(a, [d](wmf::Canvas &c) { c.text(d); }); };
        f->region_frame = [](wmfAPI *a, wmfPolyRectangle_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.regionFrame(d); });
        };
        f->region_paint = [](wmfAPI *a, wmfPolyRectangle_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.regionPaint(d); });
        };
        f->region_clip = [](wmfAPI *a, wmfPolyRectangle_t *d) {
            onCanvas(a, [d](wmf::Canvas &c) { c.regionClip(d); });
        };
        api->font_data = &fontInterface;
    }

    // One libwmf instance reading one prepared metafile.
    class Player
    {
    public:
        // fonts: where libwmf's fonts are noted as they are created.
        Player(const QByteArray &bytes, wmf::FontNames &fonts, const wmf::Budget &budget)
        {
            m_stream.bytes = &bytes;
            wmfAPI_Options options {};
            options.function = &installCallbacks;
            const unsigned long flags
                = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
            if (wmf_lite_create(&m_api, flags, &options) != wmf_E_None) {
                m_api = nullptr;
                return;
            }
            if (wmf_bbuf_input(m_api, &streamRead, &streamSeek, &streamTell, &m_stream)
                != wmf_E_None) {
                wmf_lite_destroy(m_api);
                m_api = nullptr;
                return;
            }
            m_api->user_data = &fonts;
            wmf_status_function(m_api, const_cast<wmf::Budget *>(&budget), &statusCheck);
        }

        Player(const Player &) = delete;
        Player &operator=(const Player &) = delete;

        ~Player()
        {
            if (m_api) {
                m_api->device_data = nullptr;
                wmf_lite_destroy(m_api);
            }
        }

        [[nodiscard]] bool ok() const { return m_api && m_api->err == wmf_E_None; }

        [[nodiscard]] std::optional<wmfD_Rect> scan()
        {
            wmfD_Rect box {};
            if (!ok() || wmf_scan(m_api, 0, &box) != wmf_E_None || !ok())
                return std::nullopt;
            return box;
        }

        // False when the metafile cannot be played; true when it was played
        // to its end or stopped by the budget.
        [[nodiscard]] bool play(wmf::Canvas &canvas)
        {
            if (!ok())
                return false;
            m_api->device_data = &canvas;
            wmfD_Rect box {};
            const wmf_error_t played = wmf_play(m_api, 0, &box);
            m_api->device_data = nullptr;
            return played == wmf_E_UserExit || (played == wmf_E_None && ok());
        }

    private:
        wmfAPI *m_api = nullptr;
        Stream m_stream;
    };

    // Pixels for a HIMETRIC length at dpi, or 0 when beyond the largest picture.
    [[nodiscard]] int pixelsFor(double himetric, double dpi)
    {
        const double pixels = std::max(1.0, std::round(himetric * dpi / kHimetricPerInch));
        return pixels <= kMaxSide ? int(pixels) : 0;
    }

} // namespace

bool looksLikeWmf(const QByteArray &head)
{
    if (head.size() < 4)
        return false;
    if (qFromLittleEndian<quint32>(head.constData()) == kPlaceableKey)
        return true;
    const auto type = qFromLittleEndian<quint16>(head.constData());
    return (type == 1 || type == 2)
        && qFromLittleEndian<quint16>(head.constData() + 2) == kHeaderWords;
}

std::optional<DecodedMetafile> decodeWmf(const QByteArray &data, double dpiX, double dpiY,
                                         const std::atomic<bool> *cancel)
{
    const wmf::Budget budget { QDeadlineTimer(kTimeLimitMs), cancel };
    if (!(std::isfinite(dpiX) && std::isfinite(dpiY) && dpiX > 0 && dpiY > 0))
        return std::nullopt;
    const std::optional<wmf::PreparedMetafile> prepared = wmf::prepareMetafile(data);
    if (!prepared)
        return std::nullopt;

    // Declared before the player: libwmf's objects point at the canvas's
    // bitmaps and at the font names until the player is gone.
    wmf::FontNames fonts;
    std::optional<wmf::Canvas> canvas;
    Player player(prepared->bytes, fonts, budget);
    const std::optional<wmfD_Rect> box = player.scan();
    if (!box)
        return std::nullopt;

    wmf::Frame frame;
    frame.setsWindowOrg = prepared->setsWindowOrg;
    frame.setsWindowExt = prepared->setsWindowExt;
    QSizeF himetric;
    const QRectF window = prepared->firstWindow.normalized();
    if (prepared->placeable) {
        frame.logical = true;
        frame.bounds = prepared->bounds;
        himetric = frame.bounds.size() * (kHimetricPerInch / prepared->unitsPerInch);
    } else if (prepared->scalesWindow && prepared->setsWindowExt && !window.isEmpty()) {
        // A window scaled onto the viewport has no size of its own: show it
        // at 96 units per inch, or smaller when that would be very large.
        frame.logical = true;
        frame.bounds = window;
        const double unitsPerInch = std::max(kUnitsPerInchWithoutHeader,
            std::max(window.width(), window.height()) * kUnitsPerInchWithoutHeader
                / kLargestWindowUnits);
        himetric = window.size() * (kHimetricPerInch / unitsPerInch);
    } else {
        frame.bounds = QRectF(QPointF(box->TL.x, box->TL.y), QPointF(box->BR.x, box->BR.y));
        if (!(frame.bounds.width() > 0 && frame.bounds.height() > 0))
            return std::nullopt;
        himetric = frame.bounds.size() * (kHimetricPerInch / kUnitsPerInchWithoutHeader);
    }
    frame.pixels = QSize(pixelsFor(himetric.width(), dpiX), pixelsFor(himetric.height(), dpiY));
    if (frame.pixels.isEmpty() || qint64(frame.pixels.width()) * frame.pixels.height() > kMaxPixels)
        return std::nullopt;

    canvas.emplace(frame, fonts, budget);
    if (!player.play(*canvas) || budget.cancelled())
        return std::nullopt;
    QImage image = canvas->takeImage();
    if (image.isNull())
        return std::nullopt;
    return DecodedMetafile { std::move(image), himetric };
}

} // namespace vorlane
