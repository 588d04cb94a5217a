#pragma once

namespace corvane {

class Settings;

// The clipboard strip panel and its "clipboard" status item.
class ClipboardPanelController {
public:
    explicit ClipboardPanelController(Settings& settings) : m_settings(settings) {}
    void updateStatusItem() {}
    void show() {}

private:
    [[maybe_unused]] Settings& m_settings;
};

} // namespace corvane
