#pragma once

namespace corvane {

class AppState;

// The clipboard strip panel and its "clipboard" status item.
class ClipboardPanelController {
public:
    explicit ClipboardPanelController(AppState& state) : m_state(state) {}
    void updateStatusItem() {}
    void show() {}

private:
    [[maybe_unused]] AppState& m_state;
};

} // namespace corvane
