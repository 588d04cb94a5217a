#pragma once

#include "runtime/Time.h"
#include "system/NotchModel.h"

#include <optional>

namespace corvane {

class Settings;

// The heads-up display for volume and brightness keys.
class NotchController {
public:
    struct ShownHUD {
        NotchModel::Kind kind;
        bool muted;
        float level;
        Seconds duration;
    };

    explicit NotchController(Settings& settings) : m_settings(settings) {}

    void start() { m_started = true; }
    void installTap() { m_tapInstalled = true; }
    void removeTap() { m_tapInstalled = false; }
    void loadStepSettings() {}
    void showHUD(NotchModel::Kind kind, bool muted, float level, Seconds duration) {
        m_lastHUD = ShownHUD{kind, muted, level, duration};
    }

    bool isStarted() const { return m_started; }
    bool isTapInstalled() const { return m_tapInstalled; }
    const std::optional<ShownHUD>& lastHUD() const { return m_lastHUD; }

private:
    [[maybe_unused]] Settings& m_settings;
    bool m_started = false;
    bool m_tapInstalled = false;
    std::optional<ShownHUD> m_lastHUD;
};

} // namespace corvane
