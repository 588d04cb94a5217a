#pragma once

namespace corvane {

class AppState;

// The snap wheel shown while the trigger key is held.
class RadialSnapController {
public:
    explicit RadialSnapController(AppState& state) : m_state(state) {}
    // Arms or disarms the wheel for the preferences and the current trust.
    void start() { ++m_startCount; }
    int startCount() const { return m_startCount; }

private:
    [[maybe_unused]] AppState& m_state;
    int m_startCount = 0;
};

} // namespace corvane
