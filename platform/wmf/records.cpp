#include "platform/wmf/records.h"

// Qt
#include <QtEndian>

// Std
#include <algorithm>
#include <cmath>
#include <vector>

// Local
#include "platform/wmf/decoder.h"

namespace vorlane::wmf {

namespace {

    constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
    constexpr int kPlaceableSize = 22;
    constexpr int kHeaderSize = 18;
    constexpr int kRecordHeaderSize = 6;

    constexpr quint16 kEof = 0x0000;
    constexpr quint16 kSetWindowOrg = 0x020B;
    constexpr quint16 kSetWindowExt = 0x020C;
    constexpr quint16 kSetMapMode = 0x0103;
    constexpr quint16 kOffsetWindowOrg = 0x020F;
    constexpr quint16 kSetViewportOrg = 0x020D;
    constexpr quint16 kSetViewportExt = 0x020E;
    constexpr quint16 kOffsetViewportOrg = 0x0211;
    constexpr quint16 kScaleWindowExt = 0x0410;
    constexpr quint16 kScaleViewportExt = 0x0412;
    constexpr quint16 kSaveDc = 0x001E;
    constexpr quint16 kRestoreDc = 0x0127;
    constexpr quint16 kExcludeClipRect = 0x0415;
    constexpr quint16 kIntersectClipRect = 0x0416;
    constexpr quint16 kSelectClipRegion = 0x012C;
    constexpr quint16 kSelectObject = 0x012D;
    constexpr quint16 kDeleteObject = 0x01F0;
    constexpr quint16 kInvertRegion = 0x012A;
    constexpr quint16 kPaintRegion = 0x012B;
    constexpr quint16 kFillRegion = 0x0228;
    constexpr quint16 kFrameRegion = 0x0429;
    constexpr quint16 kMapIsotropic = 7;
    constexpr quint16 kMapAnisotropic = 8;
    constexpr quint16 kTextOut = 0x0521;
    constexpr quint16 kExtTextOut = 0x0A32;
    constexpr quint16 kPolygon = 0x0324;
    constexpr quint16 kPolyline = 0x0325;
    constexpr quint16 kPolyPolygon = 0x0538;
    constexpr quint16 kCreateRegion = 0x06FF;
    constexpr quint16 kCreateBrushIndirect = 0x02FC;
    constexpr quint16 kCreatePatternBrush = 0x01F9;
    // libwmf skips CreatePatternBrush (a pattern from an old-style bitmap)
    // without taking an object slot, which would throw the later object
    // numbers off: a mid-grey solid brush stands in for it.
    constexpr char kGreyBrush[8] = { 0, 0, char(0x80), char(0x80), char(0x80), 0, 0, 0 };
    // The region parameter holding the number of scan bands.
    constexpr int kRegionBandCount = 5;
    constexpr int kRegionFirstBand = 10;
    // SaveDC records nested deeper than this are left out, and so is the
    // RestoreDC matching each: libwmf's cost for each grows with the depth.
    constexpr int kMaxSavedDcs = 256;

    struct Rule
    {
        quint16 function;
        quint16 params; // the parameter words libwmf reads
        bool createsObject;
    };

    // Records whose parameters libwmf reads at fixed places.
    constexpr Rule kRules[] = {
        { 0x0102, 1, false },
        { 0x0103, 1, false },
        { 0x0104, 1, false },
        { 0x0106, 1, false },
        { 0x0108, 1, false },
        { 0x012A, 1, false },
        { 0x012B, 1, false },
        { 0x012C, 1, false },
        { 0x012D, 1, false },
        { 0x012E, 1, false },
        { 0x01F0, 1, false },
        { 0x0201, 2, false },
        { 0x0209, 2, false },
        { 0x020A, 1, false },
        { 0x020B, 2, false },
        { 0x020C, 2, false },
        { 0x020D, 2, false },
        { 0x020E, 2, false },
        { 0x020F, 2, false },
        { 0x0211, 2, false },
        { 0x0213, 2, false },
        { 0x0214, 2, false },
        { 0x0220, 2, false },
        { 0x0228, 2, false },
        { 0x0410, 4, false },
        { 0x0412, 4, false },
        { 0x0415, 4, false },
        { 0x0416, 4, false },
        { 0x0418, 4, false },
        { 0x0419, 5, false },
        { 0x041B, 4, false },
        { 0x041F, 4, false },
        { 0x0429, 4, false },
        { 0x0548, 5, false },
        { 0x061C, 6, false },
        { 0x061D, 6, false },
        { 0x0817, 8, false },
        { 0x081A, 8, false },
        { 0x0830, 8, false },
        { 0x0940, 8, false },
        { 0x0B41, 10, false },
        { 0x0D33, 9, false },
        { 0x0F43, 11, false },
        { 0x0142, 2, true },
        { 0x02FA, 5, true },
        { 0x02FB, 9, true },
        { 0x02FC, 4, true },
        { 0x00F7, 0, true },
        { kCreateRegion, kRegionBandCount + 1, true },
    };

    [[nodiscard]] quint16 le16(const char *at) { return qFromLittleEndian<quint16>(at); }

    [[nodiscard]] quint32 le32(const char *at) { return qFromLittleEndian<quint32>(at); }

    // Parameter word i of a record's parameters (which hold n words).
    [[nodiscard]] quint16 param(const char *params, qsizetype i) { return le16(params + 2 * i); }

    // Whether libwmf can walk a region's scan bands: each band holds an even
    // count, then the count again after count + 2 words.
    [[nodiscard]] bool regionReadable(const char *params, qsizetype n)
    {
        if (n <= kRegionBandCount)
            return false;
        const int bands = param(params, kRegionBandCount);
        qsizetype end = kRegionFirstBand;
        for (int band = 0; band < bands; ++band) {
            const qsizetype start = end + 1;
            if (start >= n)
                return false;
            const quint16 count = param(params, start);
            end = start + count + 3;
            if ((count & 1) || end >= n || param(params, end) != count)
                return false;
        }
        return true;
    }

    // The parameter words libwmf reads from a record, or -1 for a region
    // it cannot read.
    [[nodiscard]] qsizetype paramsRead(quint16 function, const char *params, qsizetype n)
    {
        switch (function) {
        case kTextOut:
            return n < 1 ? 1 : 3 + (qsizetype(param(params, 0)) + 1) / 2;
        case kExtTextOut:
            // With any option flags set the record carries a clipping rectangle.
            return n < 4 ? 4 : (param(params, 3) ? 8 : 4) + (qsizetype(param(params, 2)) + 1) / 2;
        case kPolygon:
        case kPolyline:
            return n < 1 ? 1 : 1 + 2 * qsizetype(param(params, 0));
        case kPolyPolygon: {
            if (n < 1)
                return 1;
            const qsizetype polygons = param(params, 0);
            if (1 + polygons > n)
                return 1 + polygons;
            qsizetype points = 0;
            for (qsizetype i = 0; i < polygons; ++i)
                points += param(params, 1 + i);
            return 1 + polygons + 2 * points;
        }
        case kCreateRegion:
            return regionReadable(params, n) ? 0 : -1;
        default:
            break;
        }
        const auto rule = std::find_if(std::begin(kRules), std::end(kRules),
            [function](const Rule &r) { return r.function == function; });
        return rule == std::end(kRules) ? 0 : rule->params;
    }

    [[nodiscard]] bool createsObject(quint16 function)
    {
        return std::any_of(std::begin(kRules), std::end(kRules),
            [function](const Rule &r) { return r.function == function && r.createsObject; });
    }

    void appendRecord(
        QByteArray &out, quint16 function, const char *params, qsizetype n, qsizetype padTo)
    {
        const qsizetype words = 3 + std::max(n, padTo);
        char head[kRecordHeaderSize];
        qToLittleEndian(quint32(words), head);
        qToLittleEndian(function, head + 4);
        out.append(head, kRecordHeaderSize);
        out.append(params, 2 * n);
        if (padTo > n)
            out.append(QByteArray(2 * (padTo - n), '\0'));
    }

    // A record's parameters: the function, the words, and zero words to pad to.
    struct Kept
    {
        quint16 function;
        const char *params;
        qsizetype n;
        qsizetype padTo;
    };

    [[nodiscard]] QPointF pointParam(const char *params)
    {
        return QPointF(qint16(param(params, 1)), qint16(param(params, 0)));
    }

    // Works around gaps in libwmf's handling of DC state by rewriting records.
    //
    // libwmf keeps the viewport origin out of the state that SaveDC and
    // RestoreDC save, and applies it with the wrong sign. In metafiles that
    // move the viewport origin, each origin record becomes SetWindowOrg with
    // the window origin less the viewport origin in logical units (libwmf
    // saves the window origin).
    //
    // libwmf excludes a rectangle only from an existing clipping region, so
    // ExcludeClipRect without one would clip nothing: a clip to the whole
    // logical plane goes first. And it fails on RestoreDC without SaveDC,
    // which is dropped.
    class DcRewriter
    {
    public:
        DcRewriter(bool foldOrigins, const QPointF &windowOrigin, int objects)
            : m_foldOrigins(foldOrigins)
            , m_objects(objects)
        {
            m_state.windowOrg = windowOrigin;
        }

        // Appends the record, or what stands for it.
        void append(QByteArray &out, const Kept &r)
        {
            if (!objectsExist(r))
                return;
            const auto scale = [&](QPointF &extent) {
                // ScaleWindowExt and ScaleViewportExt: x * xNum / xDenom, likewise y.
                const double xDenom = qint16(param(r.params, 2));
                const double yDenom = qint16(param(r.params, 0));
                if (xDenom != 0 && yDenom != 0)
                    extent = QPointF(extent.x() * qint16(param(r.params, 3)) / xDenom,
                        extent.y() * qint16(param(r.params, 1)) / yDenom);
            };
            switch (r.function) {
            case kSetWindowOrg:
            case kOffsetWindowOrg:
            case kSetViewportOrg:
            case kOffsetViewportOrg:
                if (!m_foldOrigins)
                    break;
                if (r.function == kSetWindowOrg)
                    m_state.windowOrg = pointParam(r.params);
                else if (r.function == kOffsetWindowOrg)
                    m_state.windowOrg += pointParam(r.params);
                else if (r.function == kSetViewportOrg)
                    m_state.viewportOrg = pointParam(r.params);
                else
                    m_state.viewportOrg += pointParam(r.params);
                return appendOrigin(out);
            case kExcludeClipRect:
                if (!m_state.clipped) {
                    char everything[8];
                    for (int i = 0; i < 4; ++i)
                        qToLittleEndian(qint16(i < 2 ? 32767 : -32768), everything + 2 * i);
                    appendRecord(out, kIntersectClipRect, everything, 4, 0);
                }
                m_state.clipped = true;
                break;
            case kIntersectClipRect:
            case kSelectClipRegion:
                m_state.clipped = true;
                break;
            case kSetWindowExt:
                m_state.windowExt = pointParam(r.params);
                break;
            case kSetViewportExt:
                m_state.viewportExt = pointParam(r.params);
                m_state.viewportExtSet = true;
                break;
            case kScaleWindowExt:
                scale(m_state.windowExt);
                break;
            case kScaleViewportExt:
                scale(m_state.viewportExt);
                break;
            case kSetMapMode:
                m_state.scaled
                    = param(r.params, 0) == kMapIsotropic || param(r.params, 0) == kMapAnisotropic;
                break;
            case kSaveDc:
                if (std::ssize(m_saved) >= kMaxSavedDcs) {
                    ++m_savesLeftOut;
                    return;
                }
                m_saved.push_back(m_state);
                break;
            case kRestoreDc:
                if (m_savesLeftOut > 0) {
                    --m_savesLeftOut;
                    return;
                }
                // libwmf restores one level, whatever the record asks for,
                // and gives up on a restore without a save: drop that one.
                if (m_saved.empty())
                    return;
                m_state = m_saved.back();
                m_saved.pop_back();
                break;
            default:
                break;
            }
            appendRecord(out, r.function, r.params, r.n, r.padTo);
        }

        // libwmf fails on a record naming an object past the end of the
        // object table; such records are dropped.
        [[nodiscard]] bool objectsExist(const Kept &r) const
        {
            int named = 0;
            switch (r.function) {
            case kSelectObject:
            case kDeleteObject:
            case kSelectClipRegion:
            case kInvertRegion:
            case kPaintRegion:
                named = 1;
                break;
            case kFillRegion:
            case kFrameRegion:
                named = 2;
                break;
            default:
                break;
            }
            for (int i = 0; i < named; ++i) {
                if (param(r.params, i) >= m_objects)
                    return false;
            }
            return true;
        }

        void appendOrigin(QByteArray &out) const
        {
            // Viewport units are logical units unless the mapping mode scales
            // a window onto a viewport of known extent.
            QPointF unit(1, 1);
            if (m_state.scaled && m_state.viewportExtSet && m_state.viewportExt.x() != 0
                && m_state.viewportExt.y() != 0)
                unit = QPointF(m_state.windowExt.x() / m_state.viewportExt.x(),
                    m_state.windowExt.y() / m_state.viewportExt.y());
            const auto word
                = [](double v) { return qint16(std::clamp(std::lround(v), -32768L, 32767L)); };
            const QPointF origin(m_state.windowOrg.x() - m_state.viewportOrg.x() * unit.x(),
                m_state.windowOrg.y() - m_state.viewportOrg.y() * unit.y());
            char params[4];
            qToLittleEndian(word(origin.y()), params);
            qToLittleEndian(word(origin.x()), params + 2);
            appendRecord(out, kSetWindowOrg, params, 2, 0);
        }

    private:
        struct State
        {
            QPointF windowOrg;
            QPointF viewportOrg;
            QPointF windowExt { 1, 1 };
            QPointF viewportExt { 1, 1 };
            bool viewportExtSet = false;
            bool scaled = false;
            bool clipped = false;
        };
        bool m_foldOrigins;
        int m_objects;
        State m_state;
        std::vector<State> m_saved;
        qsizetype m_savesLeftOut = 0;
    };

} // namespace

std::optional<PreparedMetafile> prepareMetafile(const QByteArray &data)
{
    if (!looksLikeWmf(data))
        return std::nullopt;
    PreparedMetafile out;
    const char *bytes = data.constData();
    out.placeable = le32(bytes) == kPlaceableKey;
    const qsizetype start = out.placeable ? kPlaceableSize : 0;
    if (data.size() < start + kHeaderSize)
        return std::nullopt;
    const quint16 type = le16(bytes + start);
    if ((type != 1 && type != 2) || le16(bytes + start + 2) != kHeaderSize / 2)
        return std::nullopt;
    if (out.placeable) {
        const auto left = qint16(le16(bytes + 6));
        const auto top = qint16(le16(bytes + 8));
        const auto right = qint16(le16(bytes + 10));
        const auto bottom = qint16(le16(bytes + 12));
        out.unitsPerInch = le16(bytes + 14);
        if (out.unitsPerInch == 0 || left == right || top == bottom)
            return std::nullopt;
        out.bounds = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    }

    std::vector<Kept> kept;
    int objects = 0;
    bool movesViewport = false;
    for (qsizetype pos = start + kHeaderSize; pos + kRecordHeaderSize <= data.size();) {
        const quint32 words = le32(bytes + pos);
        const quint16 function = le16(bytes + pos + 4);
        if (words < 3 || words > quint32(data.size() - pos) / 2 || function == kEof)
            break;
        const char *params = bytes + pos + kRecordHeaderSize;
        const qsizetype n = qsizetype(words) - 3;
        pos += qsizetype(words) * 2;

        if (function == kCreatePatternBrush) {
            kept.push_back({ kCreateBrushIndirect, kGreyBrush, 4, 0 });
            ++objects;
            continue;
        }
        const qsizetype needed = paramsRead(function, params, n);
        if (needed < 0) // an unreadable region still takes its place in the object table
            kept.push_back({ function, params, 0, kRegionBandCount + 1 });
        else if (n >= needed)
            kept.push_back({ function, params, n, 0 });
        else if (createsObject(function))
            kept.push_back({ function, params, n, needed });
        else
            continue;
        objects += createsObject(function) ? 1 : 0;
        if (function == kSetWindowOrg && !out.setsWindowOrg)
            out.firstWindow.moveTopLeft(pointParam(params));
        if (function == kSetWindowExt && !out.setsWindowExt)
            out.firstWindow.setSize(QSizeF(pointParam(params).x(), pointParam(params).y()));
        out.setsWindowOrg |= function == kSetWindowOrg;
        out.setsWindowExt |= function == kSetWindowExt;
        out.scalesWindow |= function == kSetMapMode
            && (param(params, 0) == kMapIsotropic || param(params, 0) == kMapAnisotropic);
        movesViewport |= function == kSetViewportOrg || function == kOffsetViewportOrg;
    }

    // libwmf trusts the header's object table size: make it hold for the
    // records kept.
    const int tableSize = std::clamp(objects, int(le16(bytes + start + 10)), 0xFFFF);
    QByteArray records;
    DcRewriter rewriter(
        movesViewport, out.setsWindowOrg ? QPointF() : out.bounds.topLeft(), tableSize);
    if (movesViewport) {
        rewriter.appendOrigin(records);
        out.setsWindowOrg = true;
    }
    for (const Kept &r : kept)
        rewriter.append(records, r);
    appendRecord(records, kEof, nullptr, 0, 0);

    // And the file size and the largest record.
    quint32 largest = 0;
    for (qsizetype pos = 0; pos < records.size();
         pos += 2 * qsizetype(le32(records.constData() + pos)))
        largest = std::max(largest, le32(records.constData() + pos));
    out.bytes = data.left(start + kHeaderSize) + records;
    char *header = out.bytes.data() + start;
    qToLittleEndian(quint32((kHeaderSize + records.size()) / 2), header + 6);
    qToLittleEndian(quint16(tableSize), header + 10);
    qToLittleEndian(largest, header + 12);
    return out;
}

} // namespace vorlane::wmf
