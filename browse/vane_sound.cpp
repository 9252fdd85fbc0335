// Background sound: the folder's sounds played one after another, each
// paired with the picture of the same base path.

#include "app/vane.h"

// Qt
#include <QCoreApplication>
#include <QFileInfo>

// Local
#include "browse/paths.h"

namespace vorlane {

static const QString playingCaption = QStringLiteral("■");
static const QString idleCaption = QStringLiteral("♪");
// Milliseconds between looks at whether the sound has ended.
static constexpr int statusInterval = 3000;

QString VANE::defaultTunePath()
{
    // Beside the program (a build tree), else where an installation puts it.
    const QString folder = QCoreApplication::applicationDirPath();
    const QString beside = folder + QStringLiteral("/vorlane.mid");
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = folder + QStringLiteral("/../share/vorlane/vorlane.mid");
    return QFileInfo::exists(installed) ? installed : beside;
}

void VANE::PlaySound(qint32 idx)
{
    // A negative position (never passed by the program's own callers) is
    // refused like one past the end.
    if (idx < 0 || idx >= m_SoundList.count())
        return;
    const QString path = m_SoundList.at(idx);
    m_sndidx = idx;
    PlaySoundFile(path);
    FindBmp(path);
}

void VANE::FindSound(const QString &path)
{
    if (GetDirName(path).isEmpty())
        return;
    const int i = m_SoundList.indexOfBasePath(path);
    // The sound already current keeps playing from where it is.
    if (i >= 0 && i != m_sndidx)
        PlaySound(i);
}

void VANE::PlaySoundFile(const QString &path)
{
    StopSound();
    MMControl1.setFileName(path);
    MMControl1.open();
    MMControl1.play();
    SoundNext->setText(playingCaption);
    MMControl1.setUpdateInterval(statusInterval);
}

void VANE::StopSound()
{
    MMControl1.setUpdateInterval(0);
    SoundNext->setText(idleCaption);
    MMControl1.close();
}

void VANE::NextSound()
{
    if (m_SoundList.isEmpty()) {
        PlaySoundFile(defaultTunePath());
        return;
    }
    ++m_sndidx;
    if (m_sndidx >= m_SoundList.count())
        m_sndidx = 0;
    PlaySound(m_sndidx);
}

void VANE::SoundNext_Click()
{
    if (SoundNext->text() != playingCaption)
        NextSound();
    else
        StopSound();
}

void VANE::MMControl1_StatusUpdate()
{
    // Only a sound that really played to its end moves on; one that could
    // not be opened or decoded never reads as stopped.
    if (MMControl1.mode() == SoundDevice::modeStopped)
        NextSound();
}

} // namespace vorlane
