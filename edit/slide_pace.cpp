#include "edit/slide_pace.h"

// Qt
#include <QtGlobal>

// Local
#include "edit/key_codes.h"

namespace vorlane {

int slideSeconds(int keyCode)
{
    if (keyCode >= vk::Numpad0 && keyCode <= vk::Numpad0 + 9)
        return keyCode - vk::Numpad0 + 10;
    if (keyCode >= vk::Digit0 && keyCode <= vk::Digit0 + 9) {
        const int n = keyCode - vk::Digit0;
        return n == 0 ? 10 : n;
    }
    return 0;
}

int secondsSince(QTime from, QTime to)
{
    int seconds = from.secsTo(to);
    if (seconds < 0)
        seconds += 24 * 60 * 60;
    return seconds;
}

int retimedInterval(int elapsedSeconds)
{
    return qMax(elapsedSeconds * 1000, 100);
}

} // namespace vorlane
