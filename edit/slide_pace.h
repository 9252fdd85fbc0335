#pragma once

// Qt
#include <QTime>

namespace vorlane {

// The slide-show interval in seconds a key sets: 1 to 9 for the main
// keyboard's digits, 10 for its 0, 10 to 19 for the keypad's 0 to 9; 0 for
// any other key. keyCode is the program's virtual-key code.
[[nodiscard]] int slideSeconds(int keyCode);

// Whole seconds from one time of day to a later one; across midnight the
// day is added, so the result is never negative.
[[nodiscard]] int secondsSince(QTime from, QTime to);

// The interval Space sets during a show, elapsedSeconds after the last
// step: that time, but at least 100 ms.
[[nodiscard]] int retimedInterval(int elapsedSeconds);

} // namespace vorlane
