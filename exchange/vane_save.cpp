// Saving the view as a BMP file.

#include "app/vane.h"

// Local
#include "exchange/save_name.h"

namespace vorlane {

void VANE::SavePic()
{
    // The drop prompt shown without a picture is not one to save.
    if (!HasPicture())
        return;
    // The view is written as the fitting draws it now.
    FormResize();
    CDlg.Filter = QStringLiteral("BMPファイル (*.bmp)|*.bmp");
    CDlg.DefaultExt = QStringLiteral("*.bmp");
    // Added to the flags the shared dialog already holds.
    CDlg.Flags |= CommonDialog::cdlOFNOverwritePrompt | CommonDialog::cdlOFNPathMustExist;
    CDlg.FileName = defaultSaveName(m_fname);
    // The view is written while the dialog is still open, so that a file
    // that cannot be written keeps the user there to choose another place.
    // The content is BMP whatever extension was typed; a cancel writes
    // nothing; the current file stays what it was.
    const QImage view = Picture1->Image();
    CDlg.ShowSave([&](const QString &path) { return m_services.pictures.savePicture(view, path); });
}

void VANE::save_Click()
{
    SavePic();
}

} // namespace vorlane
