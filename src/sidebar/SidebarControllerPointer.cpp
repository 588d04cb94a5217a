// The strip's pointer handling: following the pointer to its screen, revealing an auto-hiding
// strip at the screen edge and concealing it once the pointer has left.
#include "sidebar/SidebarController.h"

#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "platform/Platform.h"
#include "shelf/FileShelfController.h"
#include "sidebar/HoverPreviewController.h"
#include "sidebar/SidebarGeometry.h"
#include "sidebar/SidebarModel.h"
#include "sidebar/SidebarPanel.h"
#include "sidebar/StripServices.h"
#include "windows/SpacesService.h"
#include "windows/WindowService.h"

#include <QPointer>

namespace corvane {

void SidebarController::installMouseMonitors() {
    const bool needed = shouldAutoHide() || m_services.settings.sidebarDisplay() == SidebarDisplay::mouse;
    if (needed != m_mouseMonitors.empty())
        return;
    removeMouseMonitors();
    if (!needed)
        return;
    EventMonitors& monitors = *m_services.platform.eventMonitors;
    QPointer<SidebarController> self(this);
    auto handler = [self](const MonitoredEvent&) {
        if (self)
            self->handleMouseMove();
    };
    constexpr quint64 mask = EventMask::mouseMoved | EventMask::leftMouseDragged;
    if (auto handle = monitors.addGlobalMonitor(mask, handler))
        m_mouseMonitors.push_back(*handle);
    if (auto handle = monitors.addLocalMonitor(mask, handler))
        m_mouseMonitors.push_back(*handle);
}

void SidebarController::removeMouseMonitors() {
    for (EventMonitors::Handle handle : m_mouseMonitors)
        m_services.platform.eventMonitors->removeMonitor(handle);
    m_mouseMonitors.clear();
}

void SidebarController::menuTrackingEnded() {
    m_menuOpen = false;
    // The menu had the pointer: one that went off the strip meanwhile sends the strip no leave.
    // Where the pointer last was over the strip is forgotten then, or cells laid out anew under
    // that point (a window pinned from the menu) would be taken as hovered, and their card would
    // stay until the pointer came back and left again.
    if (m_model->mouse() &&
        !QRectF(m_panel->frame()).contains(m_services.platform.screens->pointerLocation())) {
        m_model->setMouse(std::nullopt);
        m_model->updateHover();
    }
    handleMouseMove();
}

bool SidebarController::isAtEdge(QPointF point) const {
    if (!m_currentScreen)
        return false;
    return SidebarGeometry::isAtEdge(point, m_currentScreen->frame, m_services.settings.sidebarEdge());
}

bool SidebarController::isShelfPopoverShown() const {
    return m_services.shelf.panels.isPopoverShown();
}

void SidebarController::handleMouseMove() {
    Scheduler& scheduler = m_services.scheduler;
    const Instant now = scheduler.now();
    if (m_lastMouseEvent && scheduler.elapsedSince(*m_lastMouseEvent) <= Seconds(mouseThrottle))
        return;
    m_lastMouseEvent = now;

    const Settings& settings = m_services.settings;
    const QPointF pointer = m_services.platform.screens->pointerLocation();
    const QRectF frame = m_panel->frame();

    if (settings.sidebarDisplay() == SidebarDisplay::mouse &&
        !frame.adjusted(-followMargin, -followMargin, followMargin, followMargin).contains(pointer)) {
        const std::optional<ScreenInfo> screen = screenUnderMouse(*m_services.platform.screens);
        if (screen && (!m_currentScreen || !isSameScreen(*screen, *m_currentScreen))) {
            m_currentScreen = screen;
            m_services.windows.rebuildVisible();
            m_services.spaces.refresh();
            jumpToPanelFrame();
        }
    }

    if (!shouldAutoHide() || !settings.sidebarEnabled() || m_peeking)
        return;

    if (!m_isRevealed) {
        if (isAtEdge(pointer)) {
            m_autoRevealed = true;
            m_hotkeyRevealed = false;
            m_mouseEnteredSinceReveal = true;
            applyVisibility(true);
        }
        return;
    }

    const bool inside = SidebarGeometry::keepZone(frame, m_preview->isVisible()).contains(pointer);
    if (inside)
        m_mouseEnteredSinceReveal = true;
    const bool stays = inside || m_menuOpen || m_model->isDragging() || isShelfPopoverShown() ||
                       (m_hotkeyRevealed && !m_mouseEnteredSinceReveal);
    if (stays) {
        m_concealTask.cancel();
        return;
    }
    if (!m_concealTask.isActive())
        runConceal();
}

QCoro::Task<void> SidebarController::runConceal() {
    const CancellationToken token = m_concealTask.renew();
    QPointer<SidebarController> self(this);
    const SleepResult slept = co_await m_services.scheduler.sleep(Seconds(concealDelay), token);
    if (!self || slept == SleepResult::cancelled || token.isCancelled())
        co_return;
    m_concealTask.cancel();
    m_autoRevealed = false;
    applyVisibility(true);
}

} // namespace corvane
