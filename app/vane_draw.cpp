// Drawing the view, the background colour and the double-click gestures.

#include "app/vane.h"

// Qt
#include <QMouseEvent>

namespace vorlane {

static const QString dropPrompt = QStringLiteral("ここに画像をドロップしてください");

void VANE::RedrawView()
{
    m_trace.beginDraw();
    m_trimming = false;
    Picture1->setMousePointer(Qt::ArrowCursor);
    Picture1->setAutoRedraw(true);
    Picture1->Cls();
    const double w = Picture1->Width();
    const double h = Picture1->Height();
    if (HasPicture()) {
        loadPixelsForView();
        // The crop rectangle stretched over the whole surface.
        Picture1->PaintPicture(*m_pic, QRectF(0, 0, w, h),
                               QRectF(m_trimx, m_trimy, m_trimw, m_trimh));
    } else {
        Picture1->CurrentX = (w - Picture1->TextWidth(dropPrompt)) / 2;
        Picture1->CurrentY = (h - Picture1->TextHeight(dropPrompt)) / 2;
        Picture1->Print(dropPrompt);
    }
}

QColor VANE::backgroundColor() const
{
    return m_form->palette().color(QPalette::Window);
}

void VANE::BackColor_Click()
{
    CDlg.Color = backgroundColor();
    CDlg.Flags |= CommonDialog::cdlCCRGBInit;
    CDlg.ShowColor();
    const QColor chosen = CDlg.Color;
    QPalette palette = m_form->palette();
    palette.setColor(QPalette::Window, chosen);
    m_form->setPalette(palette);
    Picture1->setBackColor(chosen);
    RedrawView();
}

void VANE::Form_DblClick()
{
    showResizeBox();
    FormResize();
}

void VANE::Picture1_DblClick()
{
    // Not while cropping: the first click of the pair was pressed armed, and
    // its release has already ended crop mode.
    if (HasPicture() && !m_trimming && !m_pressArmed) {
        showResizeBox();
        FormResize();
    }
}

bool VANE::eventFilter(QObject *watched, QEvent *event)
{
    // The client area around the surface: its double-click opens the
    // resize dialog, its other mouse events go to the crop handling.
    if (watched == m_form && event->type() == QEvent::MouseButtonDblClick
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Form_DblClick();
        return true;
    }
    if (watched == m_form && formMouseEvent(event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

} // namespace vorlane
