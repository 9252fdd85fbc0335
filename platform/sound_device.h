#pragma once

// Qt
#include <QString>

// Std
#include <functional>

namespace vorlane {

// The media player the background sound works through: one sound file at a
// time, opened, played in the background and closed, with a periodic status
// notification on the user-interface thread.
class SoundDevice
{
public:
    virtual ~SoundDevice() = default;

    // Modes read by mode().
    static constexpr int modeNotReady = 524; // nothing open, or it could not be decoded
    static constexpr int modeStopped = 525; // a sound that really started has played to its end
    static constexpr int modePlaying = 526;

    // The full path the next open() uses.
    virtual void setFileName(const QString &path) = 0;
    [[nodiscard]] virtual QString fileName() const = 0;
    // Opens the file set last, choosing a decoder by the file's content.
    // Failures are silent: the mode then never reads modeStopped.
    virtual void open() = 0;
    // Starts the open sound and returns at once.
    virtual void play() = 0;
    // Stops playback and releases the sound; harmless when nothing is open.
    virtual void close() = 0;
    [[nodiscard]] virtual int mode() const = 0;

    // Milliseconds between status notifications; 0 switches them off.
    virtual void setUpdateInterval(int ms) = 0;
    [[nodiscard]] virtual int updateInterval() const = 0;
    // What runs at each status notification.
    virtual void setStatusHandler(std::function<void()> handler) = 0;
};

} // namespace vorlane
