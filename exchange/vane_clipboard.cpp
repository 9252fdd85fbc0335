// The clipboard: the view out, a bitmap in.

#include "app/vane.h"

// Qt
#include <QStandardPaths>

// Local
#include "browse/paths.h"

namespace vorlane {

void VANE::CopyViewToClipboard()
{
    ClipboardService &clipboard = m_services.clipboard;
    clipboard.clear();
    // A view without pixels has nothing to offer: the clipboard stays empty
    // rather than holding a picture other programs cannot use.
    const QImage &view = Picture1->Image();
    if (!view.isNull())
        clipboard.setImage(view);
}

// Where a pasted picture is named when no picture was open before: a folder
// the user can write to, so that a later save proposes a usable place.
static QString pasteFolderWithoutPicture()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::HomeLocation)
                              : pictures;
}

void VANE::PasteFromClipboard()
{
    // Stopping the show through its own toggle reloads the current picture,
    // so the folder it came from is the one the pasted file goes beside.
    if (ssTimer.isActive())
        SlideShow_Click();
    m_BitmapList.clear();
    // The next opening of a path rescans its folder, even the same one.
    m_scandir.clear();

    // From here every failure is silent and the paste carries on.
    const QImage image = m_services.clipboard.image();
    const ScreenService &screen = m_services.screen;
    m_pic = Picture(image, QSizeF(screen.pixelsToHimetricX(image.width()),
                                  screen.pixelsToHimetricY(image.height())));
    if (!HasPicture())
        return;
    ShowNewPicture();
    const QString previousFolder = GetDirName(m_fname);
    if (previousFolder.isEmpty()) {
        // Nothing is written, but the name is there for a later save.
        m_fname = pasteFolderWithoutPicture() + QStringLiteral("/Vorlane.bmp");
        return;
    }
    m_fname = previousFolder + QStringLiteral("Vorlane.bmp");
    // Replaces a previous paste; a failed write leaves the old file whole.
    (void)m_services.pictures.savePicture(Picture1->Image(), m_fname);
}

void VANE::EditCopy_Click()
{
    // Without a picture the view is the drop prompt: the clipboard keeps
    // what it holds.
    if (HasPicture())
        CopyViewToClipboard();
}

void VANE::EditPaste_Click()
{
    PasteFromClipboard();
}

} // namespace vorlane
