#pragma once

#include <functional>
#include <optional>

namespace corvane {

// The volume and mute state of the sound server's default output. Every call is synchronous and
// may be made from any thread (the media keys are served off the main thread); a failure is an
// absent answer or false, never a message.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // Whether a sound server with a default output answers now.
    virtual bool isAvailable() = 0;
    // 0 to 1, the output's average over its channels.
    virtual std::optional<float> volume() = 0;
    virtual std::optional<bool> isMuted() = 0;
    virtual bool setMuted(bool muted) = 0;
    // Sets the volume clamped to 0…1 and unmutes the output when the new volume is above 0.
    virtual bool setVolume(float volume) = 0;
    // Called on the main thread when the sound server comes or goes.
    virtual void onAvailabilityChanged(std::function<void(bool available)> handler) = 0;
};

// The brightness of the machine's built-in panel. Synchronous and callable from any thread.
class Backlight {
public:
    virtual ~Backlight() = default;

    // Whether there is a panel whose brightness can be driven.
    virtual bool isAvailable() = 0;
    // 0 to 1.
    virtual std::optional<float> brightness() = 0;
    // Sets the brightness, clamped to 0…1.
    virtual bool setBrightness(float brightness) = 0;
};

} // namespace corvane
