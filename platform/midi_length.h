#pragma once

// Qt
#include <QByteArray>

// Std
#include <optional>

namespace vorlane {

// Seconds from the start of a Standard MIDI File (or one wrapped in a RIFF
// "RMID" file) to its last note or controller event, through its tempo
// changes; meta events such as a late end of track do not count. Empty when
// the bytes are no MIDI file the length can be read from.
[[nodiscard]] std::optional<double> midiLength(const QByteArray &file);

} // namespace vorlane
