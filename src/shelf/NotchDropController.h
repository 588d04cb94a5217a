#pragma once

namespace corvane {

class Settings;

// The drop shelf that opens under a camera notch while files are dragged. No screen here has a
// notch, so it never installs its monitors.
class NotchDropController {
public:
    explicit NotchDropController(Settings& settings) : m_settings(settings) {}
    void start() { ++m_startCount; }
    int startCount() const { return m_startCount; }

private:
    [[maybe_unused]] Settings& m_settings;
    int m_startCount = 0;
};

} // namespace corvane
