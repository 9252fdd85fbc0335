// Writes the sounds shipped with the viewer: the default tune, played when a
// folder has no sounds of its own, and short samples paired with some of the
// sample pictures.
// Usage: vorlane_make_sounds DATADIR       (DATADIR/vorlane.mid and samples)
//        vorlane_make_sounds --chime FILE  (the night chime as a WAV file,
//                                           which make_night_mp3.sh encodes)

// C++
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

// Qt
#include <QString>

// Local
#include "data/writers/sound_writer.h"

using namespace vorlane::writers;

namespace {

constexpr int kTicks = 480; // per quarter note

// General MIDI programs.
constexpr int kMusicBox = 10;
constexpr int kPiano = 0;
constexpr int kBass = 32;
constexpr int kStrings = 48;
constexpr int kFlute = 73;

struct Step
{
    int key; // 0 for a rest
    double beats;
};

// Lays a line of notes end to end on a channel from tick 0.
void addLine(MidiSong &song, int channel, const std::vector<Step> &line, int velocity)
{
    int tick = 0;
    for (const Step &s : line) {
        const int length = int(s.beats * kTicks);
        if (s.key > 0)
            song.notes.push_back({ tick, length - kTicks / 16, channel, s.key, velocity });
        tick += length;
    }
}

// "Vorlane": eight bars in D major at 100 beats a minute, a music-box tune
// over broken piano chords and a plucked bass, about twenty seconds.
MidiSong defaultTune()
{
    MidiSong song;
    song.ticksPerQuarter = kTicks;
    song.microsecondsPerQuarter = 600000;
    song.programs = { kMusicBox, kPiano, kBass };

    addLine(song, 0,
            { { 74, 1 }, { 78, 1 }, { 81, 2 },                 // D F# A
              { 79, 1 }, { 78, 0.5 }, { 76, 0.5 }, { 74, 2 },  // G F# E D
              { 71, 1 }, { 74, 1 }, { 79, 1 }, { 78, 1 },      // B D G F#
              { 76, 3 }, { 0, 1 },                             // E
              { 78, 1 }, { 81, 1 }, { 86, 2 },                 // F# A D
              { 85, 1 }, { 83, 0.5 }, { 81, 0.5 }, { 79, 2 },  // C# B A G
              { 78, 1 }, { 76, 1 }, { 69, 1 }, { 73, 1 },      // F# E A C#
              { 74, 4 } },                                     // D
            96);

    // One chord every half bar: root, third and fifth.
    struct Chord
    {
        int bass;
        int tones[3];
    };
    const Chord D { 38, { 62, 66, 69 } };
    const Chord G { 43, { 55, 59, 62 } };
    const Chord A { 45, { 57, 61, 64 } };
    const Chord halves[] = { D, D, G, D, G, D, A, A, D, D, A, G, D, A, D, D };
    int tick = 0;
    int half = 0;
    for (const Chord &c : halves) {
        const bool last = ++half == int(std::size(halves)) - 1;
        song.notes.push_back({ tick, 2 * kTicks - 20, 2, c.bass, 90 });
        if (last) {
            // The closing chord rings for the whole last bar.
            for (int key : c.tones)
                song.notes.push_back({ tick, 4 * kTicks, 1, key, 60 });
            break;
        }
        const int broken[] = { c.tones[0], c.tones[1], c.tones[2], c.tones[1] };
        for (int i = 0; i < 4; ++i)
            song.notes.push_back({ tick + i * kTicks / 2, kTicks / 2, 1, broken[i], 56 });
        tick += 2 * kTicks;
    }
    return song;
}

// Sunrise: a rising C major arpeggio on the flute over a swelling string
// chord, about four seconds.
MidiSong sunrise()
{
    MidiSong song;
    song.ticksPerQuarter = kTicks;
    song.microsecondsPerQuarter = 666667; // 90 beats a minute
    song.programs = { kFlute, kStrings };
    addLine(song, 0,
            { { 60, 0.5 }, { 64, 0.5 }, { 67, 0.5 }, { 72, 0.5 }, { 76, 0.5 }, { 79, 0.5 },
              { 84, 2.5 } },
            64);
    for (int key : { 48, 55, 64 })
        song.notes.push_back({ 0, 11 * kTicks / 2, 1, key, 40 });
    return song;
}

// A small fixed noise source, so every run writes the same samples.
class Noise
{
public:
    double next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return double(m_state >> 8) / double(1u << 24) * 2.0 - 1.0;
    }

private:
    quint32 m_state = 20261207u;
};

// A struck bell: a few inharmonic partials, each dying away.
double bell(double t, double pitch)
{
    if (t < 0)
        return 0;
    static const double partials[][3] = {
        { 1.0, 1.0, 1.2 }, { 2.0, 0.6, 2.0 }, { 2.76, 0.4, 3.0 }, { 5.4, 0.2, 5.0 },
    };
    double sum = 0;
    for (const auto &p : partials)
        sum += p[1] * std::exp(-p[2] * t) * std::sin(2 * M_PI * pitch * p[0] * t);
    return sum / 2.2;
}

qint16 toSample(double value)
{
    return qint16(std::lround(std::clamp(value, -1.0, 1.0) * 32000));
}

// Harbour: waves washing in (filtered noise swelling and ebbing) and a
// ship's bell struck twice, two and a half seconds.
std::vector<qint16> harbour(int rate)
{
    Noise noise;
    std::vector<qint16> out;
    const int count = rate * 5 / 2;
    double low = 0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        low += (noise.next() - low) * 0.05;
        const double swell = 0.5 - 0.5 * std::cos(2 * M_PI * t / 2.5);
        const double fade = std::min(1.0, (count - i) / (0.05 * rate));
        out.push_back(toSample((1.6 * low * swell + 0.5 * bell(t - 0.3, 587.0)
                                + 0.5 * bell(t - 0.9, 587.0)) * fade));
    }
    return out;
}

// Night: five soft chimes of a pentatonic scale falling, three seconds.
std::vector<qint16> chime(int rate)
{
    const double pitches[] = { 1318.5, 1108.7, 987.8, 830.6, 659.3 };
    std::vector<qint16> out;
    const int count = rate * 3;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        double sum = 0;
        for (int n = 0; n < 5; ++n) {
            const double start = 0.1 + 0.4 * n;
            if (t >= start)
                sum += 0.35 * std::exp(-2.5 * (t - start))
                    * std::sin(2 * M_PI * pitches[n] * (t - start));
        }
        out.push_back(toSample(sum));
    }
    return out;
}

bool report(bool ok, const QString &path)
{
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "cannot write",
                 qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && QString::fromLocal8Bit(argv[1]) == QLatin1String("--chime")) {
        const QString path = QString::fromLocal8Bit(argv[2]);
        return report(writeWav(chime(22050), 22050, path), path) ? 0 : 1;
    }
    if (argc != 2) {
        std::fputs("usage: vorlane_make_sounds DATADIR | --chime FILE.wav\n", stderr);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = report(writeMidi(defaultTune(), dir + "/vorlane.mid"), dir + "/vorlane.mid");
    ok &= report(writeMidi(sunrise(), dir + "/samples/01-sunrise.mid"),
                 dir + "/samples/01-sunrise.mid");
    ok &= report(writeWav(harbour(22050), 22050, dir + "/samples/02-harbour.wav"),
                 dir + "/samples/02-harbour.wav");
    return ok ? 0 : 1;
}
