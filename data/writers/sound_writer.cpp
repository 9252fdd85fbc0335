#include "data/writers/sound_writer.h"

// Qt
#include <QFile>

// Std
#include <algorithm>
#include <initializer_list>

namespace vorlane::writers {

namespace {

void putBig(QByteArray &out, quint32 value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xff));
}

void putLittle(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

// MIDI's variable-length quantity: seven bits a byte, most significant
// first, the high bit set on all but the last.
void putVarLen(QByteArray &out, quint32 value)
{
    QByteArray bytes(1, char(value & 0x7f));
    while (value >>= 7)
        bytes.prepend(char(0x80 | (value & 0x7f)));
    out.append(bytes);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v & 0xff));
    return out;
}

struct Event
{
    int tick;
    int order; // note-offs before note-ons at the same tick
    QByteArray bytes;
};

bool writeFile(const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

QByteArray encodeMidi(const MidiSong &song)
{
    std::vector<Event> events;
    for (int channel = 0; channel < int(song.programs.size()) && channel < 16; ++channel) {
        if (song.programs[size_t(channel)] >= 0)
            events.push_back({ 0, 0, bytes({ 0xc0 | channel, song.programs[size_t(channel)] }) });
    }
    for (const MidiNote &n : song.notes) {
        const int channel = n.channel & 0x0f;
        const int key = n.key & 0x7f;
        events.push_back({ n.start, 2, bytes({ 0x90 | channel, key, std::clamp(n.velocity, 1, 127) }) });
        events.push_back({ n.start + std::max(1, n.length), 1, bytes({ 0x80 | channel, key, 0 }) });
    }
    std::stable_sort(events.begin(), events.end(), [](const Event &a, const Event &b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    QByteArray track;
    // The tempo, then every event after its delta time.
    track.append("\x00\xff\x51\x03", 4);
    putBig(track, quint32(song.microsecondsPerQuarter), 3);
    int now = 0;
    for (const Event &e : events) {
        putVarLen(track, quint32(e.tick - now));
        now = e.tick;
        track.append(e.bytes);
    }
    track.append("\x00\xff\x2f\x00", 4);

    QByteArray out("MThd");
    putBig(out, 6, 4);
    putBig(out, 0, 2); // format 0
    putBig(out, 1, 2); // one track
    putBig(out, quint32(song.ticksPerQuarter), 2);
    out.append("MTrk");
    putBig(out, quint32(track.size()), 4);
    out.append(track);
    return out;
}

bool writeMidi(const MidiSong &song, const QString &path)
{
    return writeFile(encodeMidi(song), path);
}

QByteArray encodeWav(const std::vector<qint16> &samples, int sampleRate, int channels)
{
    const quint32 dataBytes = quint32(samples.size() * 2);
    QByteArray out("RIFF");
    putLittle(out, 36 + dataBytes, 4);
    out.append("WAVEfmt ");
    putLittle(out, 16, 4);
    putLittle(out, 1, 2); // PCM
    putLittle(out, quint32(channels), 2);
    putLittle(out, quint32(sampleRate), 4);
    putLittle(out, quint32(sampleRate * channels * 2), 4);
    putLittle(out, quint32(channels * 2), 2);
    putLittle(out, 16, 2);
    out.append("data");
    putLittle(out, dataBytes, 4);
    for (qint16 s : samples)
        putLittle(out, quint16(s), 2);
    return out;
}

bool writeWav(const std::vector<qint16> &samples, int sampleRate, const QString &path,
              int channels)
{
    return writeFile(encodeWav(samples, sampleRate, channels), path);
}

} // namespace vorlane::writers
