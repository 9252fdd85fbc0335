// The length of a MIDI file, read from its events.

#include "platform/midi_length.h"

// Qt
#include <QtEndian>

// Std
#include <algorithm>
#include <map>

namespace vorlane {

namespace {

constexpr int maxEventsAtOnce = 4096;

// Reads a track's bytes with bounds checks: a read past the end yields 0
// and marks the reader as finished.
struct Reader
{
    const uchar *at;
    const uchar *end;
    bool ok = true;

    [[nodiscard]] bool more() const { return ok && at < end; }
    uchar byte()
    {
        if (at >= end) {
            ok = false;
            return 0;
        }
        return *at++;
    }
    // A variable-length quantity: seven bits a byte, at most four bytes.
    quint32 number()
    {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            const uchar b = byte();
            value = (value << 7) | (b & 0x7f);
            if (!(b & 0x80))
                return value;
        }
        ok = false;
        return value;
    }
    void skip(quint32 count)
    {
        if (count > quint32(end - at)) {
            ok = false;
            at = end;
        } else {
            at += count;
        }
    }
};

// The Standard MIDI File inside a RIFF "RMID" wrapper, or the bytes as
// they are.
QByteArray unwrapped(const QByteArray &file)
{
    if (!file.startsWith("RIFF") || file.mid(8, 4) != "RMID")
        return file;
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const quint32 size = qFromLittleEndian<quint32>(file.constData() + at + 4);
        if (file.mid(at, 4) == "data")
            return file.mid(at + 8, size);
        at += 8 + qsizetype(size) + (size & 1);
    }
    return {};
}

} // namespace

std::optional<double> midiLength(const QByteArray &file)
{
    const QByteArray smf = unwrapped(file);
    if (!smf.startsWith("MThd") || smf.size() < 14)
        return std::nullopt;
    const auto *data = reinterpret_cast<const uchar *>(smf.constData());
    const qint16 division = qFromBigEndian<qint16>(data + 12);
    if (division == 0)
        return std::nullopt;
    // Ticks of the last channel event over all tracks, and the tempo map
    // (microseconds per quarter note from a tick on).
    quint64 lastTick = 0;
    std::map<quint64, quint32> tempos { { 0, 500000 } };
    qsizetype at = 8 + qFromBigEndian<quint32>(data + 4);
    while (at >= 8 && at + 8 <= smf.size()) {
        const quint32 size = qFromBigEndian<quint32>(data + at + 4);
        const qsizetype start = at + 8;
        const qsizetype stop = std::min<qsizetype>(smf.size(), start + qsizetype(size));
        const bool track = smf.mid(at, 4) == "MTrk";
        at = start + qsizetype(size);
        if (!track)
            continue;
        Reader r { data + start, data + stop };
        quint64 tick = 0;
        uchar status = 0;
        int atOnce = 0; // channel events in a row at the same tick
        while (r.more()) {
            const quint32 delta = r.number();
            tick += delta;
            atOnce = delta ? 0 : atOnce;
            uchar b = r.byte();
            if (b == 0xff) {
                const uchar type = r.byte();
                const quint32 length = r.number();
                if (type == 0x51 && length == 3 && r.end - r.at >= 3)
                    tempos[tick] = (quint32(r.at[0]) << 16) | (r.at[1] << 8) | r.at[2];
                r.skip(length);
                continue;
            }
            if (b == 0xf0 || b == 0xf7) {
                r.skip(r.number());
                continue;
            }
            // Running status: a data byte repeats the last status.
            if (b & 0x80)
                status = b, b = r.byte();
            if (!(status & 0x80))
                break;
            const int kind = status & 0xf0;
            if (kind != 0xc0 && kind != 0xd0)
                r.byte();
            if (r.ok)
                lastTick = std::max(lastTick, tick);
            // Thousands of notes at one instant are no tune: the synthesiser
            // would spend seconds on them while holding the mixer.
            if (++atOnce > maxEventsAtOnce)
                return std::nullopt;
        }
    }
    if (division < 0) {
        // Frames a second (as a negative number) and ticks a frame.
        const double ticksPerSecond = double(-(division >> 8)) * (division & 0xff);
        return ticksPerSecond > 0 ? std::optional(lastTick / ticksPerSecond) : std::nullopt;
    }
    double micros = 0;
    for (auto it = tempos.begin(); it != tempos.end() && it->first < lastTick; ++it) {
        const auto next = std::next(it);
        const quint64 until = next == tempos.end() ? lastTick : std::min(next->first, lastTick);
        micros += double(until - it->first) * it->second / division;
    }
    return micros / 1e6;
}

} // namespace vorlane
