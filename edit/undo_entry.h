#pragma once

// Qt
#include <QString>

// Std
#include <optional>

namespace vorlane {

// One saved state of the undo list: the zoom (percent) and the crop
// rectangle (twips of the picture at its natural size).
struct UndoEntry
{
    float size = 100;
    qint32 x = 0;
    qint32 y = 0;
    qint32 w = 0;
    qint32 h = 0;
    friend bool operator==(const UndoEntry &, const UndoEntry &) = default;
};

// "zoom,x,y,w,h": the zoom in its shortest form of at most 7 significant
// digits, the others as integers, "." as decimal point in every locale
// ("100,0,0,9600,7200", "66.66666,15,30,900,600").
[[nodiscard]] QString formatUndoEntry(const UndoEntry &entry);

// Reads an entry back. Exactly five comma-separated fields are required,
// each a number in the form formatUndoEntry writes; a zoom that is not a
// finite number above 0 (also once written with seven digits), or a crop
// width or height below 1, makes the entry unusable (nullopt), since showing
// it would divide by zero.
[[nodiscard]] std::optional<UndoEntry> parseUndoEntry(QStringView text);

} // namespace vorlane
