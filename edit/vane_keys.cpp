// The keyboard: every key press of the main window ends here.

#include "app/vane.h"

// Qt
#include <QKeyEvent>

// Local
#include "edit/key_codes.h"

namespace vorlane {

void VANE::Picture1_KeyDown(int keyCode, int)
{
    if (ssTimer.isActive())
        return;
    switch (keyCode) {
    case vk::Space:
        NextBitmap_Click();
        m_slidetime = nowToSecond();
        break;
    case vk::Back:
        BeforeBitmap_Click();
        m_slidetime = nowToSecond();
        break;
    default:
        break;
    }
}

void VANE::surfaceKeyPressed(QKeyEvent *event)
{
    const int code = virtualKeyCode(event->key(), event->modifiers(), event->nativeScanCode());
    if (code == 0) {
        event->ignore();
        return;
    }
    m_trace.markInput();
    Picture1_KeyDown(code, shiftBits(event->modifiers()));
}

void VANE::keyPressEvent(QKeyEvent *event)
{
    // Form_KeyDown: keys that reach the window go to the same handler.
    surfaceKeyPressed(event);
    if (!event->isAccepted())
        QMainWindow::keyPressEvent(event);
}

} // namespace vorlane
