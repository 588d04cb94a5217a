#pragma once

#include <vector>

namespace corvane {

class Settings;

// The window switcher drawn through the strip.
class SwitcherController {
public:
    explicit SwitcherController(Settings& settings) : m_settings(settings) {}
    bool isActive() const { return m_active; }
    // Opens the switcher, or moves its selection to the next window.
    void advance() {}

private:
    [[maybe_unused]] Settings& m_settings;
    bool m_active = false;
    int m_index = 0;
};

} // namespace corvane
