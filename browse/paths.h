#pragma once

// Qt
#include <QString>

// Std
#include <optional>

// Path rules. They work on path strings only, never touch the file system
// and never normalise: "/" separates folders, nothing is case-folded.
namespace vorlane {

// A picture by its last three characters (the whole name when shorter),
// lower-cased: bmp, gif, jpg, peg (for .jpeg), ico, wmf.
[[nodiscard]] bool IsBitmapFile(const QString &name);
// A sound by its last three characters: mid, wav, mp3.
[[nodiscard]] bool IsSoundFile(const QString &name);

// The part after the last "/"; nullopt for an empty path. A path without
// "/" loses its first character (the scan stops at position 1).
[[nodiscard]] std::optional<QString> GetFileName(const QString &path);
// The part up to and including the last "/"; "" for an empty path, never
// empty otherwise.
[[nodiscard]] QString GetDirName(const QString &path);

// The path cut just after the dot that starts its extension (the first dot
// among the last four characters), keeping the dot; the path less its last
// four characters plus the dot's position. nullopt for a path of fewer
// than four characters without a dot among them.
[[nodiscard]] std::optional<QString> basePath(const QString &path);

// The memo file of a picture path: its base path followed by "txt"; "" for
// an empty path, nullopt when the path has no base path.
[[nodiscard]] std::optional<QString> memoFileFor(const QString &path);

} // namespace vorlane
