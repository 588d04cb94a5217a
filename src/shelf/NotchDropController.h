#pragma once

namespace corvane {

class AppState;

// The drop shelf that opens under a camera notch while files are dragged. No screen here has a
// notch, so it never installs its monitors.
class NotchDropController {
public:
    explicit NotchDropController(AppState& state) : m_state(state) {}
    void start() { ++m_startCount; }
    int startCount() const { return m_startCount; }

private:
    [[maybe_unused]] AppState& m_state;
    int m_startCount = 0;
};

} // namespace corvane
