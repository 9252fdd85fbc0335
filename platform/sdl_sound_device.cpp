#include "platform/sdl_sound_device.h"

// Qt
#include <QFile>
#include <QFileInfo>

// Std
#include <atomic>
#include <cstdio>
#include <type_traits>

// POSIX
#include <dlfcn.h>

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

// The sound libraries are loaded when a sound is first opened, not with the
// program: they and what they pull in (some fifty libraries) would add to
// every start, and most starts play nothing.
struct SoundLibrary
{
#define VORLANE_SOUND_FUNCTIONS(F) \
    F(snd_lib_error_set_handler) F(fluid_set_log_function) F(SDL_InitSubSystem) \
    F(SDL_QuitSubSystem) F(SDL_setenv) F(SDL_getenv) F(SDL_GetCurrentAudioDriver) \
    F(Mix_OpenAudio) F(Mix_CloseAudio) F(Mix_Quit) F(Mix_HookMusicFinished) \
    F(Mix_SetSoundFonts) F(Mix_Init) F(Mix_LoadMUS) F(Mix_GetMusicType) F(Mix_FreeMusic) \
    F(Mix_PlayMusic) F(Mix_HaltMusic)
#define VORLANE_DECLARE(name) decltype(&::name) name = nullptr;
    VORLANE_SOUND_FUNCTIONS(VORLANE_DECLARE)
#undef VORLANE_DECLARE
    bool loaded = false;
};

static const SoundLibrary &lib()
{
    static const SoundLibrary library = [] {
        SoundLibrary l;
        void *handles[4] = {};
        const char *const names[4] = { "libSDL2-2.0.so.0", "libSDL2_mixer-2.0.so.0",
                                       "libasound.so.2", "libfluidsynth.so.3" };
        for (int i = 0; i < 4; ++i) {
            handles[i] = dlopen(names[i], RTLD_NOW | RTLD_GLOBAL);
            if (!handles[i]) {
                std::fprintf(stderr, "vorlane: no sound: %s\n", dlerror());
                return l;
            }
        }
        bool all = true;
        const auto find = [&](auto &function, const char *name) {
            void *symbol = nullptr;
            for (void *handle : handles)
                if (!symbol)
                    symbol = dlsym(handle, name);
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(symbol);
            all = all && symbol;
        };
#define VORLANE_FIND(name) find(l.name, #name);
        VORLANE_SOUND_FUNCTIONS(VORLANE_FIND)
#undef VORLANE_FIND
#undef VORLANE_SOUND_FUNCTIONS
        l.loaded = all;
        return l;
    }();
    return library;
}

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
        lib().Mix_CloseAudio();
        lib().Mix_Quit();
    }
    if (m_audioTried && lib().loaded)
        lib().SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

static bool openMixer()
{
    return lib().Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) == 0;
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
    if (!lib().loaded)
        return false;
    lib().snd_lib_error_set_handler(quietAlsa);
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        lib().fluid_set_log_function(level, quietSynth, nullptr);
    if (lib().SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && openMixer()) {
        m_audioOpen = true;
    } else {
        // No device (a headless machine, a busy card): the dummy driver
        // consumes the samples at the pace of a real one.
        lib().SDL_QuitSubSystem(SDL_INIT_AUDIO);
        lib().SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        m_audioOpen = lib().SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && openMixer();
        if (m_audioOpen)
            std::fputs("no audio device: sounds run silently\n", stderr);
    }
    if (!m_audioOpen)
        return false;
    lib().Mix_HookMusicFinished([] { musicFinished = true; });
    if (!lib().SDL_getenv("SDL_SOUNDFONTS")) {
        for (const char *font : soundFonts) {
            if (QFileInfo::exists(QString::fromLatin1(font))) {
                lib().Mix_SetSoundFonts(font);
                break;
            }
        }
    }
    lib().Mix_Init(MIX_INIT_MID | MIX_INIT_MP3);
    return true;
}

QString SdlSoundDevice::driverName() const
{
    const char *name = m_audioOpen ? lib().SDL_GetCurrentAudioDriver() : nullptr;
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
    m_music = lib().Mix_LoadMUS(QFile::encodeName(m_fileName).constData());
    if (m_music && lib().Mix_GetMusicType(m_music) == MUS_MID && !midi) {
        lib().Mix_FreeMusic(m_music);
        m_music = nullptr;
    }
}

void SdlSoundDevice::play()
{
    if (!m_music)
        return;
    musicFinished = false;
    m_started = lib().Mix_PlayMusic(m_music, 0) == 0;
    m_playing.start();
}

void SdlSoundDevice::close()
{
    m_started = false;
    if (!m_music)
        return;
    lib().Mix_HaltMusic();
    lib().Mix_FreeMusic(m_music);
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
