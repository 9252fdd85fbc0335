// The side windows: memo, file list, about and options, thumbnails.

#include "app/vane.h"

// Local
#include "app/numbers.h"
#include "app/settings_keys.h"
#include "browse/thumbnail_map.h"
#include "exchange/about_window.h"
#include "exchange/frm_list.h"
#include "exchange/memo_window.h"

namespace vorlane {

frmShowComment &VANE::memoWindow()
{
    if (!m_memo) {
        // A window of its own, not a child of the main window: when the
        // user keeps unsaved text at exit, it stays open after the main
        // window has gone, and the program ends once it is closed.
        m_memo = std::make_unique<frmShowComment>(m_services.dialogs, m_services.screen);
        m_memo->m_ComFile = GetMemoFile();
        m_memo->Form_Load();
    }
    return *m_memo;
}

void VANE::Memo_Click()
{
    frmShowComment &memo = memoWindow();
    const QString memoFile = GetMemoFile();
    if (!memo.isLoaded()) {
        memo.m_ComFile = memoFile;
        memo.Form_Load();
    } else if (memo.m_ComFile != memoFile) {
        // The window shows another file's memo (after a paste, say): moving
        // on saves that one where it belongs instead of into this picture's.
        memo.UpdateFile(memoFile);
    }
    memo.show();
    memo.raise();
    memo.activateWindow();
}

void VANE::info_Click()
{
    {
        frmAbout about(m_services.settings, m_services.shell, this);
        about.exec();
    }
    m_trimcopy = readNumber(m_services.settings.getSetting(settings::appTitle, settings::setting,
                     settings::trimCopy, QStringLiteral("0")))
        == 1.0;
}

frmCell &VANE::cellWindow()
{
    if (!m_cell)
        m_cell = new frmCell(m_services.pictures, m_services.screen, this);
    return *m_cell;
}

void VANE::closeSideWindows()
{
    if (m_cell)
        m_cell->close();
    if (m_listWindow)
        m_listWindow->close();
}

void VANE::closeMemoWindow()
{
    if (m_memo)
        m_memo->close();
}

} // namespace vorlane
