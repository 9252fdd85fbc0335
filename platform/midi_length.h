#pragma once

// Qt
#include <QByteArray>

// Std
#include <optional>

namespace vorlane {

// Seconds from the start of a Standard MIDI File (or one wrapped in a RIFF
// "RMID" file) to its last note or controller event, through its tempo
// changes; meta events such as a late end of track do not count. Empty when
// the bytes are no MIDI file the length can be read from, or when a track
// holds more than 4096 note or controller events at one instant (no tune
// does; a synthesiser would spend seconds on them).
[[nodiscard]] std::optional<double> midiLength(const QByteArray &file);

} // namespace vorlane
