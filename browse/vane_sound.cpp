// Background sound: the folder's sounds paired with its pictures.

#include "app/vane.h"

namespace vorlane {

// The sound device arrives with the sound subsystem; until then no sound
// plays and the pairing has nothing to pair with.
void VANE::FindSound(const QString &)
{
}

void VANE::PlaySoundFile(const QString &)
{
}

void VANE::StopSound()
{
    SoundNext->setText(QStringLiteral("♪"));
}

void VANE::SoundNext_Click()
{
}

} // namespace vorlane
