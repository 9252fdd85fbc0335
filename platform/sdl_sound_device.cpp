#include "platform/sdl_sound_device.h"

// Qt
#include <QFile>
#include <QFileInfo>

// Std
#include <atomic>
#include <cstdio>

// SDL, and the synthesiser and sound library beneath it
#include <SDL.h>
#include <SDL_mixer.h>
#include <alsa/asoundlib.h>
#include <fluidsynth.h>

// Local
#include "platform/midi_length.h"

namespace vorlane {

// No real tune comes near this; a larger file named like one is refused
// rather than read whole.
static constexpr qint64 maxMidiBytes = 16 << 20;

// Set by the mixer when the music ends (or is halted), on its own thread:
// reading it takes no lock that the mixing thread may hold for long.
static std::atomic<bool> musicFinished { false };

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

// The sound library's and the synthesiser's own complaints (no card, a
// burst of notes past the polyphony) would flood standard error.
static void quietAlsa(const char *, int, const char *, int, const char *, ...) { }
static void quietSynth(int, const char *, void *) { }

bool SdlSoundDevice::openAudio()
{
    if (m_audioTried)
        return m_audioOpen;
    m_audioTried = true;
    snd_lib_error_set_handler(quietAlsa);
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, quietSynth, nullptr);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && openMixer()) {
        m_audioOpen = true;
    } else {
        // No device (a headless machine, a busy card): the dummy driver
        // consumes the samples at the pace of a real one.
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        m_audioOpen = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && openMixer();
        if (m_audioOpen)
            std::fputs("no audio device: sounds run silently\n", stderr);
    }
    if (!m_audioOpen)
        return false;
    Mix_HookMusicFinished([] { musicFinished = true; });
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
static bool isMidi(const QByteArray &head)
{
    return head.startsWith("MThd") || (head.startsWith("RIFF") && head.mid(8, 4) == "RMID");
}

void SdlSoundDevice::open()
{
    close();
    m_length.reset();
    // Sounds come from regular files only: the player would wait for ever
    // on a pipe, or read a device without end.
    const QFileInfo info(m_fileName);
    QFile file(m_fileName);
    if (m_fileName.isEmpty() || !info.isFile() || !file.open(QIODevice::ReadOnly) || !openAudio())
        return;
    const bool midi = isMidi(file.peek(12));
    if (midi) {
        // The synthesiser plays on for seconds after the last note, and the
        // end of the track may come later still: the tune ends a second
        // after its last note.
        if (info.size() > maxMidiBytes)
            return;
        m_length = midiLength(file.readAll());
        if (!m_length)
            return;
    }
    file.close();
    m_music = Mix_LoadMUS(QFile::encodeName(m_fileName).constData());
    if (m_music && Mix_GetMusicType(m_music) == MUS_MID && !midi) {
        Mix_FreeMusic(m_music);
        m_music = nullptr;
    }
}

void SdlSoundDevice::play()
{
    if (!m_music)
        return;
    musicFinished = false;
    m_started = Mix_PlayMusic(m_music, 0) == 0;
    m_playing.start();
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
    const bool pastLastNote = m_length && m_playing.elapsed() > (*m_length + 1) * 1000;
    return musicFinished || pastLastNote ? modeStopped : modePlaying;
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
