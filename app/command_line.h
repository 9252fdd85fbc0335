#pragma once

// Qt
#include <QString>

namespace vorlane {

// Removes leading and trailing spaces (not tabs); then, while the text
// begins with a double quote and is longer than one character, drops its
// first and last characters and trims spaces again.
[[nodiscard]] QString StripQuotes(const QString &text);

// The program's command line: nothing, or one path, optionally quoted,
// optionally preceded by "-A " (offer to save the view under that name at
// exit).
struct CommandLine
{
    bool empty = true;      // no text at all
    bool saveAtExit = false; // began with "-A "
    QString path;           // the path to open (quotes stripped)
};

// Reads the text that follows the program's name.
[[nodiscard]] CommandLine parseCommandLine(const QString &text);

// A path that does not begin with "/" gets currentDir and "/" in front, with
// no cleaning, so the folder rules work on it. An empty path stays empty.
[[nodiscard]] QString absoluteCommandPath(const QString &path, const QString &currentDir);

} // namespace vorlane
