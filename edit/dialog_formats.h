#pragma once

// Qt
#include <QString>

namespace vorlane {

// The resize dialog's number formats. Both round halves away from zero and
// write "." as decimal point whatever the locale.

// "#####": a whole number, digits only; a value that rounds to 0 gives an
// empty text (0.3 → "", 320.5 → "321").
[[nodiscard]] QString formatWhole(double value);

// "###.##": at most two decimals without trailing zeros; the point is
// always written and no zero stands before it ("50.", ".5", "66.67").
[[nodiscard]] QString formatTwoDecimals(double value);

} // namespace vorlane
