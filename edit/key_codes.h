#pragma once

// Qt
#include <QtGlobal>
#include <qnamespace.h>

namespace vorlane {

// The program's virtual-key codes.
namespace vk {
constexpr int Back = 8;
constexpr int Space = 32;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Digit0 = 48; // to 57 for 9, main keyboard
constexpr int X = 88;
constexpr int Numpad0 = 96; // to 105 for 9
constexpr int F11 = 122;
constexpr int F12 = 123;
} // namespace vk

// Translates a key press to a virtual-key code; 0 for keys the program does
// not use. qtKey is QKeyEvent::key(), nativeScanCode its X keycode (0 when
// unknown): with Shift held the digit row keeps its digit, found by the
// key's position when the layout gives a symbol.
[[nodiscard]] int virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers,
                                 quint32 nativeScanCode);

// The mouse wheel's travel in whole notches of 120 units (QWheelEvent's
// angleDelta), positive away from the user: notches to act on, and the
// travel left over for the next event. Fine-grained wheels and touchpads send
// a notch as many small deltas; a turn back drops what was left over.
struct WheelTurn
{
    int notches;
    int left;
};
[[nodiscard]] WheelTurn turnWheel(int left, int delta);

} // namespace vorlane
