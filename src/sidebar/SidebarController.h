#pragma once

#include "core/SettingsEnums.h"
#include "platform/EventMonitors.h"
#include "platform/Screens.h"
#include "runtime/Cancellation.h"
#include "runtime/Scheduler.h"
#include "runtime/Time.h"
#include "sidebar/HoverPreviewController.h"
#include "sidebar/SidebarPanel.h"
#include "sidebar/StripServices.h"
#include "windows/WindowInfo.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QRect>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

class MenuTracking;
class PanelMotion;
class SidebarModel;
struct SidebarMetrics;

// The strip of window thumbnails at a screen edge. It owns the strip's panel and the hover card,
// picks the screen and the size, shows and hides the strip (always shown, or auto-hidden and
// revealed at the screen edge, by the hotkey, or while the window switcher runs), and keeps the
// window list, thumbnail and desktop refreshing running exactly while the strip shows.
class SidebarController : public QObject {
    Q_OBJECT
public:
    explicit SidebarController(const StripServices& services);
    ~SidebarController() override;

    // Installs the content, picks the screen, starts observing and shows or hides the strip. Once.
    void start();
    // Re-applies the sidebar preferences.
    void reload();
    // Reveals or conceals an auto-hiding strip; otherwise switches the strip on or off.
    void toggle();
    // Room that snapped windows leave for the strip at its edge, in points: none while the strip
    // is off or auto-hides.
    double reservedWidth() const;
    // Shows or hides the strip as the preferences and reveal flags say; only a change acts.
    void applyVisibility(bool animated);

    SidebarPanel* panel() const;
    HoverPreviewController& preview() { return *m_preview; }
    SidebarModel& model() { return *m_model; }
    std::optional<ScreenInfo> currentScreen() const { return m_currentScreen; }
    // A pending hover; cancelled when a window is focused.
    TaskSlot& hoverTask() { return m_hoverTask; }

    // The window switcher shows the strip whatever else says while it runs; it calls
    // applyVisibility after changing this.
    bool isPeeking() const { return m_peeking; }
    void setPeeking(bool peeking) { m_peeking = peeking; }

    // The windows the strip shows: pinned first, up to the preference's count.
    std::vector<WindowInfo> visibleWindows() const;
    // The strip's frame on its screen for the present windows and preferences.
    QRect panelFrame() const;
    bool shouldAutoHide() const;
    bool shouldShow() const;
    bool isAtEdge(QPointF point) const;
    // One pointer movement anywhere: follows the pointer to its screen, reveals at the edge,
    // conceals once the pointer has left.
    void handleMouseMove();

    // State, for the application core and tests.
    bool isStarted() const { return m_started; }
    int reloadCount() const { return m_reloadCount; }
    bool isRevealed() const { return m_isRevealed; }
    // The strip stands over a full-screen program: a full-screen desktop, or the active window
    // as last read.
    bool overFullscreenApp() const;
    bool isAutoRevealed() const { return m_autoRevealed; }
    bool isHotkeyRevealed() const { return m_hotkeyRevealed; }
    bool isMenuOpen() const { return m_menuOpen; }
    bool hasMouseMonitors() const { return !m_mouseMonitors.empty(); }
    bool isConcealPending() const { return m_concealTask.isActive(); }
    // Where the panel stands, or is moving to.
    QRect panelTargetFrame() const;

    static constexpr double cornerRadius = 14;
    static constexpr double followMargin = 20;
    static constexpr double mouseThrottle = 1.0 / 30;
    static constexpr double concealDelay = 0.6;
    static constexpr double hoverHideDelay = 0.09;

private:
    void installHostView();
    std::optional<ScreenInfo> targetScreen() const;
    SidebarMetrics makeMetrics() const;
    // The tallest the strip may be on its current screen.
    double greatestHeight() const;
    bool currentSpaceIsFullscreen() const;
    // The active window, on the strip's screen, is shown full-screen (read afresh).
    bool activeWindowIsFullscreen() const;
    void reveal(bool animated);
    void conceal(bool animated);
    // The hidden strip is painted as an animated reveal first shows it, once what it shows has
    // stayed the same a moment; a reveal (the switcher's above all) then only maps its window.
    void paintAheadSoon();
    void paintAhead();
    // A hidden strip made before a compositing manager started or stopped is made anew, its
    // content moved over, so that it has an alpha channel exactly where one shows.
    void matchCompositing();
    void relayout(bool animated);
    void jumpToPanelFrame();
    void installMouseMonitors();
    void removeMouseMonitors();
    void menuTrackingEnded();
    void screenParametersChanged();
    void trackData();
    void dataChanged();
    void fullscreenChanged();
    bool isOnSidebarDisplay(const QRectF& frame) const;
    bool isShelfPopoverShown() const;
    void hoverChanged(std::optional<uint32_t> id);
    // Hides the hover card at once (a menu opened) and ends the hover.
    void hidePreviewNow();
    void showPreview(const WindowInfo& window);

    QCoro::Task<void> runConceal();
    QCoro::Task<void> runHoverHide();
    QCoro::Task<void> runHoverShow(WindowInfo window, uint32_t id);
    QCoro::Task<void> refreshWindowList();

    StripServices m_services;
    std::unique_ptr<SidebarModel> m_model;
    std::unique_ptr<SidebarPanel> m_panel;
    std::unique_ptr<PanelMotion> m_motion;
    std::unique_ptr<HoverPreviewController> m_preview;
    std::optional<PanelStyle> m_style;
    bool m_isRevealed = false;
    bool m_autoRevealed = false;
    bool m_hotkeyRevealed = false;
    bool m_mouseEnteredSinceReveal = false;
    bool m_peeking = false;
    bool m_wasFullscreen = false;
    bool m_activeFullscreen = false;
    bool m_menuOpen = false;
    std::optional<ScreenInfo> m_currentScreen;
    std::vector<EventMonitors::Handle> m_mouseMonitors;
    TaskSlot m_concealTask;
    TaskSlot m_hoverTask;
    std::optional<Instant> m_lastMouseEvent; // none: the distant past
    std::vector<QMetaObject::Connection> m_observers;
    std::unique_ptr<MenuTracking> m_menuTracking;
    TimerHandle m_dataUpdate;
    TimerHandle m_paintAhead;
    bool m_started = false;
    int m_reloadCount = 0;
};

} // namespace corvane
