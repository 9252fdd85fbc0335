// Opening a path (picture, sound or folder) and scanning its folder.

#include "app/vane.h"

// Local
#include "browse/paths.h"

namespace vorlane {

void VANE::OpenPath(const QString &path)
{
    // A sound plays and brings up its picture.
    if (IsSoundFile(path)) {
        PlaySoundFile(path);
        ScanSoundFolder(GetDirName(path), path);
        FindBmp(path);
        return;
    }
    // A folder shows its first picture in sorted order.
    QString current = path;
    FolderService &folders = m_services.folders;
    if (folders.isFolder(path)) {
        const QString folder = path + u'/';
        QString firstPicture;
        folders.forEachFile(folder, [&firstPicture](const QString &name) {
            if (!IsBitmapFile(name))
                return true;
            firstPicture = name;
            return false;
        });
        if (!firstPicture.isEmpty()) {
            const QString found = folder + firstPicture;
            ScanFolder(GetDirName(found), found);
            if (m_BitmapList.isEmpty())
                return;
            m_bmpidx = 0;
            LoadPictureFile(m_BitmapList.at(0));
            prefetchNeighbours();
            return;
        }
    }
    // A picture loads, then its folder is scanned and its sound found.
    if (IsBitmapFile(current)) {
        LoadPictureFile(current);
        ScanFolder(GetDirName(current), current);
        LoadTrace::stage("listed");
        FindSound(current);
        prefetchNeighbours();
        LoadTrace::stage("neighbours");
    }
}

void VANE::ScanFolder(const QString &folder, const QString &file)
{
    // Right after a sound of this folder the lists stay as they are (a full
    // scan would restart the sounds), but the picture opened becomes the
    // current one, so that the next step moves on from it.
    if (folder == m_scandir) {
        if (const int picture = m_BitmapList.indexOf(file); picture >= 0)
            m_bmpidx = picture;
        return;
    }
    m_scandir.clear();
    m_BitmapList.clear();
    m_SoundList.clear();
    QString firstSound;
    std::vector<QString> pictures;
    std::vector<QString> sounds;
    m_services.folders.forEachFile(folder, [&](const QString &name) {
        if (IsBitmapFile(name)) {
            pictures.push_back(folder + name);
        } else if (IsSoundFile(name)) {
            sounds.push_back(folder + name);
            // The folder's first sound starts at once.
            if (firstSound.isEmpty()) {
                firstSound = sounds.back();
                PlaySoundFile(firstSound);
            }
        }
        return true;
    });
    // Sorting once at the end gives the order of sorted insertion.
    m_BitmapList.assign(std::move(pictures));
    m_SoundList.assign(std::move(sounds));
    const int picture = m_BitmapList.indexOf(file);
    if (picture >= 0)
        m_bmpidx = picture;
    if (!firstSound.isEmpty()) {
        const int sound = m_SoundList.indexOf(firstSound);
        if (sound >= 0)
            m_sndidx = sound;
    }
}

void VANE::ScanSoundFolder(const QString &folder, const QString &file)
{
    if (folder == m_scandir)
        return;
    m_scandir = folder;
    m_SoundList.clear();
    std::vector<QString> sounds;
    m_services.folders.forEachFile(folder, [&](const QString &name) {
        if (IsSoundFile(name))
            sounds.push_back(folder + name);
        return true;
    });
    m_SoundList.assign(std::move(sounds));
    const int sound = m_SoundList.indexOf(file);
    if (sound >= 0)
        m_sndidx = sound;
}

void VANE::FileOpen_Click()
{
    CDlg.Filter = QStringLiteral("ファイル (*.*)|*.*");
    CDlg.DefaultExt = QStringLiteral("*.*");
    CDlg.Flags |= CommonDialog::cdlOFNPathMustExist | CommonDialog::cdlOFNOverwritePrompt;
    // With no name held yet, the dialog opens in the current picture's folder.
    CDlg.InitDir = GetDirName(m_fname);
    if (!CDlg.ShowOpen())
        return;
    OpenPath(CDlg.FileName);
}

} // namespace vorlane
