#pragma once

#include "platform/SoundOutput.h"

#include <algorithm>

namespace corvane {

// A default output and a panel in memory. A test switches them off, makes them refuse writes
// and reads what was set.
class FakeSoundOutput final : public SoundOutput {
public:
    bool available = true;
    bool settable = true;
    float level = 0.5f;
    bool muted = false;

    bool isAvailable() override { return available; }
    std::optional<float> volume() override { return available ? std::optional<float>(level) : std::nullopt; }
    std::optional<bool> isMuted() override { return available ? std::optional<bool>(muted) : std::nullopt; }
    bool setMuted(bool value) override {
        if (!available)
            return false;
        muted = value;
        return true;
    }
    bool setVolume(float value) override {
        if (!available || !settable)
            return false;
        level = std::clamp(value, 0.0f, 1.0f);
        if (level > 0)
            muted = false;
        return true;
    }
    void onAvailabilityChanged(std::function<void(bool)> handler) override { m_handler = std::move(handler); }

    // The sound server comes or goes.
    void setAvailable(bool value) {
        available = value;
        if (m_handler)
            m_handler(value);
    }

private:
    std::function<void(bool)> m_handler;
};

class FakeBacklight final : public Backlight {
public:
    bool available = true;
    float level = 0.5f;

    bool isAvailable() override { return available; }
    std::optional<float> brightness() override {
        return available ? std::optional<float>(level) : std::nullopt;
    }
    bool setBrightness(float value) override {
        if (!available)
            return false;
        level = std::clamp(value, 0.0f, 1.0f);
        return true;
    }
};

} // namespace corvane
