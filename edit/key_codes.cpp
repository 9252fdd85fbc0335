#include "edit/key_codes.h"

namespace vorlane {

// X keycodes of the main keyboard's digit row (evdev codes + 8): 1 to 9,
// then 0. The same on every PC keyboard layout.
static int digitFromScanCode(quint32 code)
{
    if (code >= 10 && code <= 18)
        return int(code) - 9;
    if (code == 19)
        return 0;
    return -1;
}

int virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return (keypad ? vk::Numpad0 : vk::Digit0) + (qtKey - Qt::Key_0);
    if (!keypad) {
        const int digit = digitFromScanCode(nativeScanCode);
        if (digit >= 0)
            return vk::Digit0 + digit;
    }
    switch (qtKey) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Space:
        return vk::Space;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_X:
        return vk::X;
    case Qt::Key_F11:
        return vk::F11;
    case Qt::Key_F12:
        return vk::F12;
    default:
        return 0;
    }
}

WheelTurn turnWheel(int left, int delta)
{
    if (delta != 0 && (left < 0) != (delta < 0))
        left = 0;
    const qint64 travel = qint64(left) + delta;
    return { int(travel / 120), int(travel % 120) };
}

} // namespace vorlane
