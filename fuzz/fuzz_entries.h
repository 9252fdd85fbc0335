#pragma once

// What each fuzz target does with one input. Shared by the libFuzzer
// programs and by the ordinary test that replays the inputs that once
// crashed or hung (tests/data/fuzz/<target>/).

// Qt
#include <QByteArray>
#include <QString>

namespace vorlane::fuzz {

// Renders bytes as a metafile at 96 dpi.
void metafile(const QByteArray &bytes);
// Writes bytes to a file and loads it as the viewer does (kind by content,
// size limits, Qt's readers, the metafile renderer).
void pictureLoad(const QByteArray &bytes);
// Reads bytes (UTF-8) as the text after the program's name.
void commandLine(const QByteArray &bytes);
// Reads bytes (UTF-8) as a stored number, and checks that formatting a
// number and reading it back gives the same number.
void numbers(const QByteArray &bytes);
// Reads bytes (UTF-8) as a stored undo entry; one that reads back is
// written and read again, and must come back the same.
void undoEntry(const QByteArray &bytes);
// Reads bytes as a memo file, and as typed text (UTF-8) without CRs; each
// text written and read again must come back with one more line end (the
// CR LF a write appends) and nothing else changed.
void memo(const QByteArray &bytes);

// The targets by name, as named by the folders of replayed inputs.
using Entry = void (*)(const QByteArray &);
[[nodiscard]] Entry entryNamed(const QString &name);

} // namespace vorlane::fuzz
