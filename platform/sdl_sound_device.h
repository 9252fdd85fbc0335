#pragma once

// Qt
#include <QElapsedTimer>
#include <QTimer>

// Std
#include <optional>

// Local
#include "platform/sound_device.h"

struct _Mix_Music;

namespace vorlane {

// The sound device on SDL2_mixer: MIDI through FluidSynth and a General
// MIDI soundfont, WAV and MP3 through the mixer's own decoders. Only SDL's
// audio subsystem is started, on the first open; when no audio device can
// be opened, SDL's "dummy" driver takes its place, so sounds run their
// course silently (said once on standard error). Only regular files are
// played; a MIDI file ends a second after its last note, and one larger
// than any real tune (16 MiB) is refused. Whether the sound has ended is
// learnt without waiting for the mixing thread.
class SdlSoundDevice : public SoundDevice
{
public:
    SdlSoundDevice();
    ~SdlSoundDevice() override;
    SdlSoundDevice(const SdlSoundDevice &) = delete;
    SdlSoundDevice &operator=(const SdlSoundDevice &) = delete;

    void setFileName(const QString &path) override { m_fileName = path; }
    [[nodiscard]] QString fileName() const override { return m_fileName; }
    void open() override;
    void play() override;
    void close() override;
    [[nodiscard]] int mode() const override;
    void setUpdateInterval(int ms) override;
    [[nodiscard]] int updateInterval() const override;
    void setStatusHandler(std::function<void()> handler) override;

    // The SDL audio driver in use ("dummy" when no device could be opened);
    // empty before the first open.
    [[nodiscard]] QString driverName() const;

private:
    bool openAudio();

    QString m_fileName;
    _Mix_Music *m_music = nullptr;
    bool m_started = false;
    // A MIDI file's length in seconds, and the time since it started.
    std::optional<double> m_length;
    QElapsedTimer m_playing;
    bool m_audioOpen = false;
    bool m_audioTried = false;
    QTimer m_timer;
    std::function<void()> m_handler;
};

} // namespace vorlane
