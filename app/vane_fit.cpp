// Fitting the window around the picture surface, zoom steps and folding.

#include "app/vane.h"

// Qt
#include <QResizeEvent>

// Std
#include <utility>

// Local
#include "app/fitting.h"

namespace vorlane {

void VANE::FormResize()
{
    m_trace.beginFit();
    // A fitted window is never folded.
    Bar->setText(QStringLiteral("▲"));
    m_folded = false;
    // Lower the zoom until the surface fits the work area.
    const QSizeF work = m_services.screen.workArea();
    m_size = fitZoom(m_size, m_trimw, m_trimh, work);
    // The surface shows the crop at the zoom.
    Picture1->Resize(double(m_size) * m_trimw / 100, double(m_size) * m_trimh / 100);
    if (isMinimized() || isMaximized() || isFullScreen()) {
        // The window keeps its state and size; only the surface moves.
        CenterSurface();
    } else {
        // Size and place the window from the surface size as read back (whole
        // pixels), in one move.
        const WindowRect r = placeWindow(Picture1->Width(), Picture1->Height(), windowLeft(),
                                         windowTop(), work);
        setWindowRect(r.left, r.top, r.width, r.height);
        // Qt delivers the resize notification later: centre now.
        CenterSurface();
    }
    m_trace.endFit();
    // Draw the picture (or the drop prompt) at the new size.
    RedrawView();
    // With the crop-copy setting on, every fitted view goes to the clipboard.
    if (m_trimcopy)
        CopyViewToClipboard();
}

void VANE::CenterSurface()
{
    const SurfacePos pos
        = centerSurface(windowWidth(), windowHeight(), Picture1->Width(), Picture1->Height());
    Picture1->Move(pos.left, pos.top);
}

void VANE::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // Form_Resize: the surface stays centred however the window is sized.
    CenterSurface();
}

void VANE::FoldWindow(bool folded)
{
    if (!folded) {
        FormResize();
        return;
    }
    // Down to the title and menu bars, in place.
    setWindowRect(windowLeft(), windowTop(), layout::foldedWidth, layout::foldedHeight);
    Bar->setText(QStringLiteral("▼"));
}

void VANE::Bar_Click()
{
    // A full-screen window has no frame to fold: it becomes the window again.
    if (m_beforeFullScreen) {
        leaveFullScreen();
        return;
    }
    m_folded = !m_folded;
    FoldWindow(m_folded);
}

void VANE::toggleFullScreen()
{
    if (m_beforeFullScreen) {
        leaveFullScreen();
        return;
    }
    m_beforeFullScreen = WindowBefore{ frameGeometry(), isMaximized(), m_folded };
    // The resize notification centres the surface; the zoom stays fitted to
    // the work area, as in a maximised window.
    showFullScreen();
}

void VANE::leaveFullScreen()
{
    if (!m_beforeFullScreen)
        return;
    const WindowBefore before = *std::exchange(m_beforeFullScreen, std::nullopt);
    // The window manager gives the window back where and as large as it was;
    // as after a maximised window, the next fitting fits it to the view.
    if (before.maximised)
        showMaximized();
    else
        showNormal();
    // A fitting meanwhile unfolded the caption, not the window.
    if (before.folded) {
        m_folded = true;
        Bar->setText(QStringLiteral("▼"));
    }
}

void VANE::big_Click()
{
    if (m_size <= 390) {
        SetUndoList();
        m_size += 10;
        FormResize();
    }
}

void VANE::mini_Click()
{
    if (m_size > 10) {
        SetUndoList();
        m_size -= 10;
        FormResize();
    }
}

void VANE::original_Click()
{
    m_trimx = 0;
    m_trimy = 0;
    m_trimw = m_orgx;
    m_trimh = m_orgy;
    m_size = 100;
    FormResize();
}

QSize VANE::fitBox() const
{
    const ScreenService &screen = m_services.screen;
    return fitBoxPixels(screen.workArea(), screen.twipsPerPixelX(), screen.twipsPerPixelY());
}

void VANE::TwipsToPixels(float &x, float &y) const
{
    x = float(m_services.screen.twipsToPixelsX(x));
    y = float(m_services.screen.twipsToPixelsY(y));
}

void VANE::PixelsToTwips(float &x, float &y) const
{
    x = float(m_services.screen.pixelsToTwipsX(x));
    y = float(m_services.screen.pixelsToTwipsY(y));
}

} // namespace vorlane
