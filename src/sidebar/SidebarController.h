#pragma once

#include "platform/Screens.h"
#include "runtime/Cancellation.h"
#include "sidebar/HoverPreviewController.h"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace corvane {

class AppState;

// The strip of window thumbnails at a screen edge. It owns its panel, picks its screen and
// applies the sidebar preferences.
class SidebarController {
public:
    explicit SidebarController(AppState& state) : m_state(state) {}

    void start();
    void reload();
    // Reveals or conceals an auto-hiding strip; otherwise switches the strip on or off.
    void toggle();
    // Room that snapped windows leave for the strip, in points.
    double reservedWidth() const;

    QWidget* panel() const { return m_panel; }
    HoverPreviewController& preview() { return m_preview; }
    std::optional<ScreenInfo> currentScreen() const { return m_currentScreen; }
    // A pending hover; cancelled when a window is focused.
    TaskSlot& hoverTask() { return m_hoverTask; }
    bool isStarted() const { return m_started; }
    int reloadCount() const { return m_reloadCount; }

private:
    AppState& m_state;
    QPointer<QWidget> m_panel;
    HoverPreviewController m_preview;
    std::optional<ScreenInfo> m_currentScreen;
    TaskSlot m_hoverTask;
    bool m_started = false;
    int m_reloadCount = 0;
};

} // namespace corvane
