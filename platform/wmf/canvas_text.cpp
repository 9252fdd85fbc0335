// Text records of a metafile: decoding the bytes in the font's character set
// and drawing them with a matching QFont.

#include "platform/wmf/canvas.h"

// Qt
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QStringDecoder>

// Std
#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace vorlane::wmf {

namespace {

    constexpr U8 kSymbolCharset = 2;
    constexpr U8 kShiftJisCharset = 128;
    constexpr U8 kHangulCharset = 129;
    constexpr U8 kGb2312Charset = 134;
    constexpr U8 kBig5Charset = 136;
    // Text is measured at this many pixels to the em, then scaled.
    constexpr double kMeasureEm = 100.0;
    constexpr double kMaxEm = 8192.0;
    constexpr double kGiantEm = 1024.0;

    // The code page of a Windows character set.
    [[nodiscard]] const char *codePage(U8 charset)
    {
        switch (charset) {
        case kShiftJisCharset:
            return "Shift_JIS";
        case kHangulCharset:
            return "windows-949";
        case kGb2312Charset:
            return "GBK";
        case kBig5Charset:
            return "Big5";
        case 161:
            return "windows-1253";
        case 162:
            return "windows-1254";
        case 163:
            return "windows-1258";
        case 177:
            return "windows-1255";
        case 178:
            return "windows-1256";
        case 186:
            return "windows-1257";
        case 204:
            return "windows-1251";
        case 222:
            return "windows-874";
        case 238:
            return "windows-1250";
        default:
            return "windows-1252";
        }
    }

    [[nodiscard]] bool isDoubleByte(U8 charset)
    {
        return charset == kShiftJisCharset || charset == kHangulCharset || charset == kGb2312Charset
            || charset == kBig5Charset;
    }

    [[nodiscard]] bool isLeadByte(U8 charset, unsigned char byte)
    {
        if (charset == kShiftJisCharset)
            return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        return isDoubleByte(charset) && byte >= 0x81 && byte <= 0xFE;
    }

    [[nodiscard]] QString decodeBytes(const QByteArray &bytes, U8 charset)
    {
        QStringDecoder decoder(codePage(charset));
        if (!decoder.isValid())
            return QString::fromLatin1(bytes);
        return decoder.decode(bytes);
    }

    // The font's face name, when the font is what libwmf created.
    [[nodiscard]] QString faceName(const FontNames *names, const wmfFont *font)
    {
        const bool known
            = names && font->lfFaceName && names->byFont.value(font) == font->lfFaceName;
        return known ? decodeBytes(QByteArray(font->lfFaceName), font->lfCharSet).trimmed()
                     : QString();
    }

    // Text in the font's character set. Symbol fonts keep their bytes:
    // Qt draws Latin-1 text in a symbol-encoded font by the font's own codes.
    [[nodiscard]] QString decodeText(const QByteArray &bytes, const wmfFont *font)
    {
        return font->lfCharSet == kSymbolCharset ? QString::fromLatin1(bytes)
                                                 : decodeBytes(bytes, font->lfCharSet);
    }

    // QFont needs a QGuiApplication; without one, text is measured roughly and not drawn.
    [[nodiscard]] bool fontsAvailable()
    {
        return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
    }

    [[nodiscard]] QFont makeFont(const FontNames *names, const wmfFont *font, double em)
    {
        QFont f;
        const QString face = faceName(names, font);
        if (!face.isEmpty())
            f.setFamily(face);
        f.setPixelSize(std::max(1, int(std::lround(std::min(em, kMaxEm)))));
        if (font->lfWeight > 0)
            f.setWeight(QFont::Weight(std::clamp(int(font->lfWeight), 1, 1000)));
        f.setItalic(font->lfItalic != 0);
        f.setUnderline(font->lfUnderline != 0);
        f.setStrikeOut(font->lfStrikeOut != 0);
        return f;
    }

    // libwmf's width-to-height ratio of a font (equal width and height when
    // the metafile leaves the width to the font).
    [[nodiscard]] double declaredRatio(const wmfFont *font)
    {
        return font->lfHeight ? double(font->lfWidth) / font->lfHeight : 1.0;
    }

    // The horizontal stretch for a font given an average character width:
    // none when the metafile leaves the width to the font.
    [[nodiscard]] double fontStretch(const wmfFont *font, const QFontMetricsF &measured)
    {
        if (font->lfWidth == font->lfHeight || font->lfHeight == 0)
            return 1.0;
        const double natural = measured.averageCharWidth() / kMeasureEm;
        if (natural <= 0)
            return 1.0;
        return std::clamp(declaredRatio(font) / natural, 0.2, 5.0);
    }

    [[nodiscard]] QColor background(const wmfDC *dc) { return toColor(dc->bgcolor); }

} // namespace

void Canvas::mapFont(wmfAPI *api, wmfFont *font)
{
    if (auto *names = static_cast<FontNames *>(api->user_data))
        names->byFont.insert(font, font->lfFaceName);
}

float Canvas::stringWidth(wmfAPI *api, wmfFont *font, char *str)
{
    const auto *names = static_cast<const FontNames *>(api->user_data);
    if (!font || !str)
        return 0;
    const QString text = decodeText(QByteArray(str), font);
    if (!fontsAvailable())
        return 0.5f * float(text.size());
    try {
        const QFontMetricsF metrics(makeFont(names, font, kMeasureEm));
        const double ratio = declaredRatio(font);
        // libwmf multiplies this by the em and by the declared ratio; what
        // is drawn is the natural width times the font's stretch.
        const double width = metrics.horizontalAdvance(text) / kMeasureEm
            * fontStretch(font, metrics) / (ratio > 0 ? ratio : 1.0);
        return std::isfinite(width) ? float(width) : 0.0f;
    } catch (...) {
        return 0;
    }
}

void Canvas::text(const wmfDrawText_t *d)
{
    const wmfDC *dc = d->dc;
    const wmfFont *font = dc ? dc->font : nullptr;
    if (!font || !d->str || !m_painter.isActive() || !fontsAvailable())
        return;
    QByteArray bytes(d->str);
    wmfD_Coord at = d->pt;
    double ratio = d->font_ratio;

    // With per-character advances libwmf draws one byte at a time, which
    // splits double-byte characters: hold a lead byte back for its trail byte.
    const std::optional<PendingLead> pending = std::exchange(m_pendingLead, std::nullopt);
    if (isDoubleByte(font->lfCharSet) && bytes.size() == 1) {
        if (pending && pending->font == font) {
            bytes.prepend(pending->byte);
            at = pending->pt;
            ratio = declaredRatio(font);
        } else if (isLeadByte(font->lfCharSet, uchar(bytes.at(0)))) {
            m_pendingLead = PendingLead { bytes.at(0), d->pt, font };
            return;
        }
    }
    const QString text = decodeText(bytes, font);
    if (text.isEmpty())
        return;

    std::optional<QColor> forced;
    const Mapping m = mapping(dc);
    // Letters more than twice the picture's size show nothing useful and are slow to draw.
    const double em
        = std::min(d->font_height * m.scaleY(), 2.0 * std::max(m_image.width(), m_image.height()));
    if (!(em >= 0.5) || !applyDrawMode(dc, &forced))
        return;
    // Giant letters are drawn without antialiasing, which costs seconds at
    // that size and is not missed there.
    const bool giant = em > kGiantEm;
    m_painter.setRenderHint(QPainter::Antialiasing, !giant);
    m_painter.setRenderHint(QPainter::TextAntialiasing, !giant);
    const QFont qfont = makeFont(&m_fonts, font, em);
    const QFontMetricsF metrics(qfont);
    const double declared = declaredRatio(font);
    const double stretch
        = std::clamp(fontStretch(font, QFontMetricsF(makeFont(&m_fonts, font, kMeasureEm)))
                * (declared > 0 ? ratio / declared : 1.0),
            0.05, 20.0);

    // libwmf puts the baseline a whole font height below a top-aligned
    // reference point and treats bottom alignment as baseline alignment; use
    // the font's real ascent and descent instead.
    const double angle = -font->lfEscapement / 10.0;
    const double radians = angle * std::numbers::pi / 180.0;
    const QPointF down(-std::sin(radians), std::cos(radians));
    QPointF baseline = m.map(at);
    const U16 vertical = dc->textalign & TA_BASELINE;
    if (vertical == 0) {
        const QPointF shift(m.ax * d->font_height * down.x(), m.ay * d->font_height * down.y());
        baseline += metrics.ascent() * down - shift;
    } else if (vertical == TA_BOTTOM) {
        baseline -= metrics.descent() * down;
    }
    // libwmf's test for centred text also matches right-aligned text, so it
    // moves that back by half its width only: move it the other half.
    if ((dc->textalign & TA_CENTER) == TA_RIGHT) {
        const QPointF along(std::cos(radians), std::sin(radians));
        baseline -= 0.5 * stretch * metrics.horizontalAdvance(text) * along;
    }

    m_painter.save();
    if (d->flags & (ETO_OPAQUE | ETO_CLIPPED)) {
        const QRectF box = QRectF(m.map(d->TL), m.map(d->BR)).normalized();
        if (!box.isEmpty()) {
            if (d->flags & ETO_OPAQUE)
                m_painter.fillRect(box, background(dc));
            if (d->flags & ETO_CLIPPED)
                m_painter.setClipRect(box, Qt::IntersectClip);
        }
    }
    m_painter.translate(baseline);
    m_painter.rotate(angle);
    m_painter.scale(stretch, 1.0);
    if (dc->bgmode == OPAQUE)
        m_painter.fillRect(QRectF(0, -metrics.ascent(), metrics.horizontalAdvance(text),
                               metrics.ascent() + metrics.descent()),
            background(dc));
    m_painter.setFont(qfont);
    m_painter.setPen(forced.value_or(toColor(dc->textcolor)));
    m_painter.drawText(QPointF(0, 0), text);
    m_painter.restore();
}

} // namespace vorlane::wmf
