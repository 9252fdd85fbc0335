#pragma once

// Qt
#include <QString>

namespace vorlane {

// The leading decimal number of text: optional leading blanks, an optional
// sign, digits, optionally "." and digits; no exponent. Text that does not
// begin with a number reads as 0. Independent of the user's locale.
[[nodiscard]] double readNumber(QStringView text);

// Rounds to the nearest integer, halves to even, and keeps the result
// within the 32-bit range (NaN reads as 0).
[[nodiscard]] qint32 toInt32(double value);

// Truncates down to a whole number, within the 32-bit range.
[[nodiscard]] qint32 floorToInt32(double value);

// A single-precision number as text: shortest form with at most 7
// significant digits, no trailing zeros, "." as decimal point ("100",
// "66.66666", "-900").
[[nodiscard]] QString formatSingle(float value);

} // namespace vorlane
