// The file list window's command on the main window.

#include "app/vane.h"

// Local
#include "exchange/frm_list.h"

namespace vorlane {

void VANE::ListView_Click()
{
    // Picking rows while the show steps on its own would fight it.
    if (ssTimer.isActive())
        SlideShow_Click();
    // An open window comes to the front as it is, rows unchanged (back from
    // the task bar if minimised); one that is closing (deleted once control
    // returns to the event loop) is replaced by a fresh one.
    if (m_listWindow && m_listWindow->isVisible()) {
        m_listWindow->setWindowState(m_listWindow->windowState() & ~Qt::WindowMinimized);
        m_listWindow->raise();
        m_listWindow->activateWindow();
        return;
    }
    m_listWindow = new frmList(*this);
    m_listWindow->Form_Load();
    m_listWindow->show();
}

frmList *VANE::listWindow() const
{
    return m_listWindow && m_listWindow->isVisible() ? m_listWindow.data() : nullptr;
}

} // namespace vorlane
