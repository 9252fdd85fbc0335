#pragma once

// Qt
#include <QByteArray>
#include <QString>

// Std
#include <vector>

namespace vorlane::writers {

// One note of a Standard MIDI File; times in ticks from the start.
struct MidiNote
{
    int start = 0;
    int length = 0;
    int channel = 0; // 0..15
    int key = 60; // 60 is middle C
    int velocity = 80; // 1..127
};

// A one-track (format 0) Standard MIDI File: the tempo in microseconds per
// quarter note, a General MIDI program for each channel that has one
// (programs[c] for channel c, -1 for none), and the notes in any order.
struct MidiSong
{
    int ticksPerQuarter = 480;
    int microsecondsPerQuarter = 500000;
    std::vector<int> programs;
    std::vector<MidiNote> notes;
};

[[nodiscard]] QByteArray encodeMidi(const MidiSong &song);
bool writeMidi(const MidiSong &song, const QString &path);

// A 16-bit PCM WAV file of interleaved samples.
[[nodiscard]] QByteArray encodeWav(const std::vector<qint16> &samples, int sampleRate,
                                   int channels = 1);
bool writeWav(const std::vector<qint16> &samples, int sampleRate, const QString &path,
              int channels = 1);

} // namespace vorlane::writers
