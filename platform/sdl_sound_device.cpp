#include "platform/sdl_sound_device.h"

// Qt
#include <QFile>
#include <QFileInfo>

// SDL
#include <SDL.h>
#include <SDL_mixer.h>

namespace vorlane {

// Debian's General MIDI soundfonts; its SDL2_mixer looks only for the sf3
// one, which the small timgm6mb package does not bring.
static const char *const soundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

SdlSoundDevice::SdlSoundDevice()
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_handler)
            m_handler();
    });
}

SdlSoundDevice::~SdlSoundDevice()
{
    close();
    if (m_audioOpen) {
        Mix_CloseAudio();
        Mix_Quit();
    }
    if (m_audioTried)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

static bool openMixer()
{
    return Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) == 0;
}

bool SdlSoundDevice::openAudio()
{
    if (m_audioTried)
        return m_audioOpen;
    m_audioTried = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && openMixer()) {
        m_audioOpen = true;
    } else {
        // No device (a headless machine, a busy card): the dummy driver
        // consumes the samples at the pace of a real one.
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        m_audioOpen = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && openMixer();
    }
    if (!m_audioOpen)
        return false;
    if (!SDL_getenv("SDL_SOUNDFONTS")) {
        for (const char *font : soundFonts) {
            if (QFileInfo::exists(QString::fromLatin1(font))) {
                Mix_SetSoundFonts(font);
                break;
            }
        }
    }
    Mix_Init(MIX_INIT_MID | MIX_INIT_MP3);
    return true;
}

QString SdlSoundDevice::driverName() const
{
    const char *name = m_audioOpen ? SDL_GetCurrentAudioDriver() : nullptr;
    return name ? QString::fromLatin1(name) : QString();
}

// The MIDI player accepts any file named .mid and fails only once it
// plays, which would read as a sound that ended at once: a MIDI file must
// carry its header ("MThd", or a RIFF "RMID" wrapper).
static bool plausibleMidi(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.startsWith("MThd") || (head.startsWith("RIFF") && head.mid(8, 4) == "RMID");
}

void SdlSoundDevice::open()
{
    close();
    if (m_fileName.isEmpty() || !openAudio())
        return;
    m_music = Mix_LoadMUS(QFile::encodeName(m_fileName).constData());
    if (m_music && Mix_GetMusicType(m_music) == MUS_MID && !plausibleMidi(m_fileName)) {
        Mix_FreeMusic(m_music);
        m_music = nullptr;
    }
}

void SdlSoundDevice::play()
{
    if (m_music)
        m_started = Mix_PlayMusic(m_music, 0) == 0;
}

void SdlSoundDevice::close()
{
    m_started = false;
    if (!m_music)
        return;
    Mix_HaltMusic();
    Mix_FreeMusic(m_music);
    m_music = nullptr;
}

int SdlSoundDevice::mode() const
{
    if (!m_started)
        return modeNotReady;
    return Mix_PlayingMusic() ? modePlaying : modeStopped;
}

void SdlSoundDevice::setUpdateInterval(int ms)
{
    if (ms <= 0) {
        m_timer.stop();
        return;
    }
    m_timer.start(ms);
}

int SdlSoundDevice::updateInterval() const
{
    return m_timer.isActive() ? m_timer.interval() : 0;
}

void SdlSoundDevice::setStatusHandler(std::function<void()> handler)
{
    m_handler = std::move(handler);
}

} // namespace vorlane
