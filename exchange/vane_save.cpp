// Saving the view as a BMP file.

#include "app/vane.h"

// Local
#include "exchange/save_name.h"

namespace vorlane {

void VANE::SavePic()
{
    // The view is written as the fitting draws it now.
    FormResize();
    CDlg.Filter = QStringLiteral("BMPファイル (*.bmp)|*.bmp");
    CDlg.DefaultExt = QStringLiteral("*.bmp");
    // Added to the flags the shared dialog already holds.
    CDlg.Flags |= CommonDialog::cdlOFNOverwritePrompt | CommonDialog::cdlOFNPathMustExist;
    CDlg.FileName = defaultSaveName(m_fname);
    CDlg.ShowSave();
    // A cancel leaves no chosen name and writes nothing. The content is BMP
    // whatever extension was typed; the current file stays what it was.
    if (!CDlg.FileTitle().isEmpty())
        (void)m_services.pictures.savePicture(Picture1->Image(), CDlg.FileName);
}

void VANE::save_Click()
{
    SavePic();
}

} // namespace vorlane
