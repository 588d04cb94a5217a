// The timing of the hover card: shown after the hover delay on a resting pointer, swapped at once
// between cells while it shows, hidden shortly after the pointer leaves the cells.
#include "sidebar/SidebarController.h"

#include "core/PanelMotion.h"
#include "core/Settings.h"
#include "platform/Platform.h"
#include "sidebar/HoverPreviewController.h"
#include "sidebar/SidebarModel.h"
#include "sidebar/StripServices.h"
#include "windows/ThumbnailService.h"
#include "windows/WindowService.h"

#include <QPointer>

namespace corvane {

void SidebarController::hoverChanged(std::optional<uint32_t> id) {
    m_hoverTask.cancel();
    std::optional<WindowInfo> window;
    if (m_services.settings.hoverPreview() && id) {
        for (const WindowInfo& listed : m_services.windows.windows())
            if (listed.windowID == *id) {
                window = listed;
                break;
            }
    }
    if (!window) {
        runHoverHide();
        return;
    }
    if (m_preview->isVisible()) {
        showPreview(*window);
        return;
    }
    runHoverShow(*window, *id);
}

QCoro::Task<void> SidebarController::runHoverHide() {
    const CancellationToken token = m_hoverTask.renew();
    QPointer<SidebarController> self(this);
    const SleepResult slept = co_await m_services.scheduler.sleep(Seconds(hoverHideDelay), token);
    if (!self || slept == SleepResult::cancelled || token.isCancelled())
        co_return;
    m_preview->hide();
    m_services.thumbnails.clearHover();
}

void SidebarController::hidePreviewNow() {
    m_hoverTask.cancel();
    if (!m_preview->isVisible())
        return;
    m_preview->hide();
    m_services.thumbnails.clearHover();
}

QCoro::Task<void> SidebarController::runHoverShow(WindowInfo window, uint32_t id) {
    const CancellationToken token = m_hoverTask.renew();
    QPointer<SidebarController> self(this);
    const Seconds delay = sanitizedDelay(Seconds(m_services.settings.hoverDelay()));
    const SleepResult slept = co_await m_services.scheduler.sleep(delay, token);
    if (!self || slept == SleepResult::cancelled || token.isCancelled())
        co_return;
    if (m_model->hoveredID() == id)
        showPreview(window);
}

void SidebarController::showPreview(const WindowInfo& window) {
    const auto& frames = m_model->cellFrames();
    const auto cell = frames.find(window.windowID);
    if (cell == frames.end())
        return;
    std::optional<ScreenInfo> screen = m_currentScreen;
    if (!screen)
        screen = m_services.platform.screens->mainScreen();
    if (!screen)
        return;
    const QRectF strip = panelTargetFrame();
    const QRectF anchor = cell->second.translated(strip.topLeft());
    m_preview->show(window, m_services.settings.sidebarEdge(), *screen, anchor, strip);
    m_services.thumbnails.setHovered(window);
}

} // namespace corvane
