#include "data/writers/gif_writer.h"

// C++
#include <vector>

// Qt
#include <QHash>
#include <QList>
#include <QSaveFile>

namespace vorlane::writers {

namespace {

    constexpr int kMaxCodes = 4096;
    constexpr int kMaxCodeBits = 12;
    constexpr int kCubeSize = 216;
    constexpr int kGreyCount = 39;

    // A picture reduced to palette indices.
    struct Indexed
    {
        QList<QRgb> palette; // opaque colours, in index order
        int transparentIndex = -1;
        std::vector<uchar> indices;
    };

    // Packs variable-width codes least significant bit first, as GIF wants.
    class BitSink
    {
    public:
        void put(int code, int bits)
        {
            m_acc |= quint32(code) << m_count;
            m_count += bits;
            while (m_count >= 8) {
                m_bytes.append(char(m_acc & 0xff));
                m_acc >>= 8;
                m_count -= 8;
            }
        }

        [[nodiscard]] QByteArray finish()
        {
            if (m_count > 0)
                m_bytes.append(char(m_acc & 0xff));
            m_acc = 0;
            m_count = 0;
            return m_bytes;
        }

    private:
        QByteArray m_bytes;
        quint32 m_acc = 0;
        int m_count = 0;
    };

    void appendLe16(QByteArray &out, int value)
    {
        out.append(char(value & 0xff));
        out.append(char((value >> 8) & 0xff));
    }

    [[nodiscard]] bool isTransparent(QRgb pixel, bool hasAlpha)
    {
        return hasAlpha && qAlpha(pixel) < 128;
    }

    // Maps every opaque colour to its own palette entry; false when there are
    // too many of them.
    [[nodiscard]] bool indexExactly(const QImage &argb, Indexed &out)
    {
        const bool hasAlpha = argb.hasAlphaChannel();
        QHash<QRgb, int> slotOf;
        bool anyTransparent = false;
        for (int y = 0; y < argb.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                if (isTransparent(line[x], hasAlpha)) {
                    anyTransparent = true;
                    continue;
                }
                const QRgb rgb = line[x] | 0xff000000u;
                if (slotOf.contains(rgb))
                    continue;
                if (out.palette.size() == 256)
                    return false;
                slotOf.insert(rgb, int(out.palette.size()));
                out.palette.append(rgb);
            }
        }
        if (anyTransparent) {
            if (out.palette.size() == 256)
                return false;
            out.transparentIndex = int(out.palette.size());
        }
        size_t i = 0;
        for (int y = 0; y < argb.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x, ++i) {
                out.indices[i] = isTransparent(line[x], hasAlpha)
                    ? uchar(out.transparentIndex)
                    : uchar(slotOf.value(line[x] | 0xff000000u));
            }
        }
        return true;
    }

    [[nodiscard]] int greyLevel(int i) { return i * 255 / (kGreyCount + 1); }

    [[nodiscard]] int squaredDistance(int r, int g, int b, int r2, int g2, int b2)
    {
        return (r - r2) * (r - r2) + (g - g2) * (g - g2) + (b - b2) * (b - b2);
    }

    // Reduces any picture to a 6x6x6 colour cube plus greys; index 255 is the
    // transparent slot.
    void indexByCube(const QImage &argb, Indexed &out)
    {
        out.palette.clear();
        for (int i = 0; i < kCubeSize; ++i)
            out.palette.append(qRgb(i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51));
        for (int i = 1; i <= kGreyCount; ++i)
            out.palette.append(qRgb(greyLevel(i), greyLevel(i), greyLevel(i)));

        const bool hasAlpha = argb.hasAlphaChannel();
        size_t i = 0;
        for (int y = 0; y < argb.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x, ++i) {
                if (isTransparent(line[x], hasAlpha)) {
                    out.transparentIndex = 255;
                    out.indices[i] = 255;
                    continue;
                }
                const int r = qRed(line[x]);
                const int g = qGreen(line[x]);
                const int b = qBlue(line[x]);
                const int cr = (r + 25) / 51;
                const int cg = (g + 25) / 51;
                const int cb = (b + 25) / 51;
                const int cube = cr * 36 + cg * 6 + cb;
                const int grey
                    = qBound(1, ((r + g + b) / 3 * (kGreyCount + 1) + 127) / 255, kGreyCount);
                const int gv = greyLevel(grey);
                const bool greyWins = squaredDistance(r, g, b, gv, gv, gv)
                    < squaredDistance(r, g, b, cr * 51, cg * 51, cb * 51);
                out.indices[i] = uchar(greyWins ? kCubeSize + grey - 1 : cube);
            }
        }
    }

    // Variable-width LZW as GIF decoders expect it: the code width grows when the
    // decoder's table reaches the next power of two, and a clear code restarts
    // the table once all 4096 codes are taken.
    [[nodiscard]] QByteArray compress(const std::vector<uchar> &indices, int minCodeSize)
    {
        const int clearCode = 1 << minCodeSize;
        const int endCode = clearCode + 1;
        // Table of (prefix code, next index) -> code; a stamp tells which
        // generation of the table an entry belongs to, so clearing is free.
        std::vector<quint32> stamp(size_t(kMaxCodes) * 256, 0);
        std::vector<quint16> codes(size_t(kMaxCodes) * 256, 0);
        quint32 generation = 1;
        int codeSize = minCodeSize + 1;
        int next = endCode + 1;
        BitSink sink;

        const auto widen = [&] {
            if (next >= (1 << codeSize) && codeSize < kMaxCodeBits)
                ++codeSize;
        };

        sink.put(clearCode, codeSize);
        int prefix = indices.front();
        for (size_t i = 1; i < indices.size(); ++i) {
            const int k = indices[i];
            const size_t key = size_t(prefix) * 256 + size_t(k);
            if (stamp[key] == generation) {
                prefix = codes[key];
                continue;
            }
            sink.put(prefix, codeSize);
            widen();
            if (next < kMaxCodes) {
                stamp[key] = generation;
                codes[key] = quint16(next++);
            } else {
                sink.put(clearCode, codeSize);
                ++generation;
                codeSize = minCodeSize + 1;
                next = endCode + 1;
            }
            prefix = k;
        }
        sink.put(prefix, codeSize);
        widen();
        sink.put(endCode, codeSize);
        return sink.finish();
    }

    void appendSubBlocks(QByteArray &out, const QByteArray &data)
    {
        for (qsizetype pos = 0; pos < data.size(); pos += 255) {
            const qsizetype n = qMin<qsizetype>(255, data.size() - pos);
            out.append(char(n));
            out.append(data.constData() + pos, n);
        }
        out.append('\0');
    }

} // namespace

QByteArray encodeGif(const QImage &image)
{
    if (image.isNull() || image.width() > 0xffff || image.height() > 0xffff)
        return {};
    const QImage argb = image.convertToFormat(
        image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);

    Indexed indexed;
    indexed.indices.resize(size_t(argb.width()) * size_t(argb.height()));
    if (!indexExactly(argb, indexed)) {
        indexed = Indexed();
        indexed.indices.resize(size_t(argb.width()) * size_t(argb.height()));
        indexByCube(argb, indexed);
    }

    const int entries = int(indexed.palette.size()) + (indexed.transparentIndex >= 0 ? 1 : 0);
    int bits = 1;
    while ((1 << bits) < entries)
        ++bits;
    const int minCodeSize = qMax(2, bits);

    QByteArray out("GIF89a");
    appendLe16(out, argb.width());
    appendLe16(out, argb.height());
    out.append(char(0x80 | ((bits - 1) << 4) | (bits - 1))); // global table, its size
    out.append('\0'); // background index
    out.append('\0'); // no aspect ratio
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < indexed.palette.size() ? indexed.palette.at(i) : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    if (indexed.transparentIndex >= 0) {
        out.append("\x21\xf9\x04\x01\x00\x00", 6); // graphic control: transparency on
        out.append(char(indexed.transparentIndex));
        out.append('\0');
    }
    out.append(char(0x2c)); // image descriptor
    appendLe16(out, 0);
    appendLe16(out, 0);
    appendLe16(out, argb.width());
    appendLe16(out, argb.height());
    out.append('\0'); // no local table, not interlaced
    out.append(char(minCodeSize));
    appendSubBlocks(out, compress(indexed.indices, minCodeSize));
    out.append(char(0x3b)); // trailer
    return out;
}

bool writeGif(const QImage &image, const QString &path)
{
    const QByteArray bytes = encodeGif(image);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace vorlane::writers
