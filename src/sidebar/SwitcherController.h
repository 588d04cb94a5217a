#pragma once

#include <vector>

namespace corvane {

class AppState;

// The window switcher drawn through the strip.
class SwitcherController {
public:
    explicit SwitcherController(AppState& state) : m_state(state) {}
    bool isActive() const { return m_active; }
    // Opens the switcher, or moves its selection to the next window.
    void advance() {}

private:
    [[maybe_unused]] AppState& m_state;
    bool m_active = false;
    int m_index = 0;
};

} // namespace corvane
