#include "sidebar/SidebarController.h"

#include "core/FloatingPanel.h"
#include "core/PanelBackground.h"
#include "core/PanelMotion.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "core/TrackingHostingView.h"
#include "core/WorkArea.h"
#include "platform/PanelWindowing.h"
#include "platform/Platform.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfRowsView.h"
#include "sidebar/HoverPreviewController.h"
#include "sidebar/HoverPreviewModel.h"
#include "sidebar/MenuTracking.h"
#include "sidebar/PinnedFirst.h"
#include "sidebar/SidebarGeometry.h"
#include "sidebar/SidebarMetrics.h"
#include "sidebar/SidebarModel.h"
#include "sidebar/SidebarPanel.h"
#include "sidebar/SidebarView.h"
#include "sidebar/StripServices.h"
#include "windows/SpacesService.h"
#include "windows/ThumbnailService.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"

#include <QAbstractAnimation>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace corvane {

namespace {
const Seconds revealDuration(0.18);
const Seconds concealDuration(0.18);
const Seconds relayoutDuration(0.2);
// Few enough paints for a list that keeps changing.
const Seconds paintAheadDelay(0.15);
} // namespace

SidebarController::SidebarController(const StripServices& services)
    : m_services(services), m_model(std::make_unique<SidebarModel>()),
      m_panel(std::make_unique<SidebarPanel>(*services.platform.panelWindowing)),
      m_motion(std::make_unique<PanelMotion>(*m_panel, services.animator)),
      m_preview(std::make_unique<HoverPreviewController>(*services.platform.panelWindowing, services.animator,
                                                         services.settings, services.thumbnails,
                                                         services.icons)) {
    QPointer<SidebarController> self(this);
    // Snapped windows leave the strip its room on its screen.
    m_services.workArea.setReservation([self] {
        return self ? WorkArea::Reservation{self->reservedWidth(), self->m_currentScreen}
                    : WorkArea::Reservation{};
    });
    m_model->onHoverChange = [self](std::optional<uint32_t> id) {
        if (self)
            self->hoverChanged(id);
    };
    connect(services.platform.panelWindowing.get(), &PanelWindowing::compositingChanged, this, [self] {
        if (!self || !self->m_started)
            return;
        if (self->m_isRevealed)
            self->matchCompositing();
        else
            self->paintAheadSoon();
    });
}

SidebarController::~SidebarController() {
    m_services.workArea.setReservation(nullptr);
    if (m_started)
        m_services.platform.windowList->watchActiveWindow({});
    removeMouseMonitors();
    for (const QMetaObject::Connection& connection : m_observers)
        disconnect(connection);
    // The motion looks at the panel; it goes first.
    m_motion.reset();
}

SidebarPanel* SidebarController::panel() const {
    return m_panel.get();
}

QRect SidebarController::panelTargetFrame() const {
    return m_motion->target();
}

void SidebarController::start() {
    if (m_started)
        return;
    m_started = true;

    installHostView();
    m_currentScreen = targetScreen();

    QPointer<SidebarController> self(this);
    m_services.windows.displayFilter = [self](const QRectF& frame) {
        return !self || self->isOnSidebarDisplay(frame);
    };

    m_observers.push_back(connect(m_services.platform.screens.get(), &Screens::screensChanged, this,
                                  &SidebarController::screenParametersChanged));
    m_menuTracking = std::make_unique<MenuTracking>(
        [self] {
            if (self)
                self->m_menuOpen = true;
        },
        [self] {
            if (self)
                self->menuTrackingEnded();
        });

    trackData();
    installMouseMonitors();
    applyVisibility(true);
    if (!m_isRevealed)
        paintAheadSoon();
}

void SidebarController::reload() {
    ++m_reloadCount;
    const Settings& settings = m_services.settings;
    if (!m_style || *m_style != settings.panelStyle()) {
        installHostView();
        m_preview->setStyle(std::nullopt);
    }
    m_currentScreen = targetScreen();
    if (!shouldAutoHide())
        m_autoRevealed = false;
    m_services.spaces.refresh();
    installMouseMonitors();
    m_services.thumbnails.restartRefreshTimer();
    applyVisibility(true);
    relayout(true);
}

void SidebarController::toggle() {
    Settings& settings = m_services.settings;
    if (shouldAutoHide() && settings.sidebarEnabled()) {
        const bool reveal = !m_isRevealed;
        if (reveal)
            m_mouseEnteredSinceReveal = false;
        m_autoRevealed = reveal;
        m_hotkeyRevealed = reveal;
        applyVisibility(true);
        return;
    }
    settings.setSidebarEnabled(!settings.sidebarEnabled());
}

double SidebarController::reservedWidth() const {
    const Settings& settings = m_services.settings;
    if (!settings.sidebarEnabled() || settings.autoHide())
        return 0;
    // The panel and its distance from the screen's edge.
    return SidebarMetrics::thumbWidthFor(settings.thumbnailSize()) + 2 * SidebarMetrics::sideInset +
           SidebarGeometry::edgeInset;
}

void SidebarController::installHostView() {
    const PanelStyle style = m_services.settings.panelStyle();
    m_style = style;
    auto* view = new SidebarView(m_services, *m_model);
    QPointer<SidebarController> owner(this);
    view->setGreatestHeight([owner] { return owner ? owner->greatestHeight() : 0.0; });
    view->setShelfRows(new ShelfRowsView(m_services.shelf,
                                         SidebarMetrics::thumbWidthFor(m_services.settings.thumbnailSize())));
    QPointer<SidebarController> self(this);
    connect(view, &SidebarView::contentChanged, this, [self] {
        if (!self)
            return;
        self->m_panel->dropPaintedAhead();
        if (!self->m_isRevealed)
            self->paintAheadSoon();
    });
    auto* host = new TrackingHostingView(view);
    host->onMouse = [self](std::optional<QPointF> point) {
        // A menu of the strip takes the pointer as it opens, and the strip hears a leave: the
        // hover stays as it was while the menu is open (its closing looks at the pointer again).
        if (!self || (!point && self->m_menuOpen))
            return;
        if (point)
            self->m_mouseEnteredSinceReveal = true;
        self->m_model->setMouse(point);
        self->m_model->updateHover();
    };
    m_panel->setContentView(makePanelBackground(style, host, cornerRadius));
}

std::optional<ScreenInfo> SidebarController::targetScreen() const {
    const Screens& screens = *m_services.platform.screens;
    const Settings& settings = m_services.settings;
    switch (settings.sidebarDisplay()) {
    case SidebarDisplay::mouse:
        return screenUnderMouse(screens);
    case SidebarDisplay::specific: {
        const QString id = settings.specificDisplayID();
        if (auto screen = screenWithIdentifier(screens, id.isEmpty() ? std::nullopt : std::optional(id)))
            return screen;
        const std::vector<ScreenInfo> list = screens.screens();
        if (list.empty())
            return std::nullopt;
        return list.front();
    }
    case SidebarDisplay::main:
        break;
    }
    const std::vector<ScreenInfo> list = screens.screens();
    if (!list.empty())
        return list.front();
    return screens.mainScreen();
}

SidebarMetrics SidebarController::makeMetrics() const {
    SidebarMetrics metrics = SidebarMetrics::current(m_services);
    metrics.greatestHeight = greatestHeight();
    return metrics;
}

double SidebarController::greatestHeight() const {
    std::optional<ScreenInfo> screen = m_currentScreen;
    if (!screen)
        screen = m_services.platform.screens->mainScreen();
    return screen ? SidebarGeometry::maximumHeightShare * topLeftVisibleFrame(*screen).height() : 0;
}

std::vector<WindowInfo> SidebarController::visibleWindows() const {
    return shownWindows(m_services.windows.windows(), m_services.settings);
}

QRect SidebarController::panelFrame() const {
    std::optional<ScreenInfo> screen = m_currentScreen;
    if (!screen)
        screen = m_services.platform.screens->mainScreen();
    if (!screen)
        return m_motion->target();
    const SidebarMetrics metrics = makeMetrics();
    const int windowCount = static_cast<int>(visibleWindows().size());
    const int workspaceCount = static_cast<int>(m_services.workspaces.workspaces().size());
    return SidebarGeometry::stripFrame(topLeftVisibleFrame(*screen), metrics.panelWidth(),
                                       metrics.panelHeight(windowCount, workspaceCount),
                                       m_services.settings.sidebarEdge());
}

bool SidebarController::currentSpaceIsFullscreen() const {
    const SpacesService& spaces = m_services.spaces;
    const std::optional<uint64_t> current = spaces.currentID();
    if (!current)
        return false;
    for (const SpaceInfo& space : spaces.spaces())
        if (space.id == *current)
            return space.isFullscreen;
    return false;
}

bool SidebarController::activeWindowIsFullscreen() const {
    // Only a full-screen window on the strip's own screen covers it.
    const std::optional<QRectF> frame = m_services.platform.windowList->activeFullscreenFrame();
    return frame && isOnSidebarDisplay(*frame);
}

bool SidebarController::overFullscreenApp() const {
    return currentSpaceIsFullscreen() || m_activeFullscreen;
}

bool SidebarController::shouldAutoHide() const {
    const Settings& settings = m_services.settings;
    if (settings.autoHide())
        return true;
    return settings.autoHideInFullscreen() && overFullscreenApp();
}

bool SidebarController::shouldShow() const {
    if (m_peeking)
        return true;
    if (!m_services.settings.sidebarEnabled())
        return false;
    if (!shouldAutoHide())
        return true;
    return m_autoRevealed;
}

void SidebarController::applyVisibility(bool animated) {
    const bool show = shouldShow();
    const Settings& settings = m_services.settings;
    m_services.windows.startWindowTimer(show);
    // A strip about to show starts its thumbnails once it is on screen (reveal).
    if (!show || m_isRevealed)
        m_services.thumbnails.setActive(show && !settings.stripIconsOnly());
    if (!show) {
        m_services.spaces.startSpacesTimer(false);
        if (m_isRevealed)
            conceal(animated);
        return;
    }
    m_services.spaces.startSpacesTimer(settings.showSpaces());
    if (!m_isRevealed)
        reveal(animated);
}

QCoro::Task<void> SidebarController::refreshWindowList() {
    co_await m_services.windows.refresh(true);
}

void SidebarController::reveal(bool animated) {
    m_isRevealed = true;
    m_currentScreen = targetScreen();
    refreshWindowList();
    matchCompositing();

    // Captures are work for the X server, which the window manager needs for taking the strip in
    // while it maps: they start once the strip is on screen.
    QPointer<SidebarController> self(this);
    const auto startThumbnails = [self] {
        if (!self || !self->m_isRevealed)
            return;
        ThumbnailService& thumbnails = self->m_services.thumbnails;
        thumbnails.setActive(!self->m_services.settings.stripIconsOnly());
        thumbnails.setVisible(self->visibleWindows());
        thumbnails.refreshTick(0.5);
    };
    const QRect target = panelFrame();
    if (animated) {
        m_motion->jump(SidebarGeometry::hiddenFrame(target, m_services.settings.sidebarEdge()));
        m_panel->setAlphaValue(0);
        m_panel->showPaintedAhead(startThumbnails);
        m_panel->raise();
        m_motion->run(target, 1.0, revealDuration, PanelMotion::easeOut());
    } else {
        m_motion->jump(target);
        m_panel->setAlphaValue(1);
        m_panel->showPaintedAhead(startThumbnails);
        m_panel->raise();
        // Ends any fade still under way.
        m_motion->run(target, 1.0, Seconds(0), PanelMotion::standard());
    }
}

void SidebarController::conceal(bool animated) {
    m_isRevealed = false;
    m_hoverTask.cancel();
    m_preview->hide();
    m_services.thumbnails.clearHover();
    m_model->setHoveredID(std::nullopt);

    if (!animated) {
        m_motion->jump(m_motion->target());
        m_panel->hide();
        paintAheadSoon();
        return;
    }
    const QRect hidden = SidebarGeometry::hiddenFrame(m_motion->target(), m_services.settings.sidebarEdge());
    m_motion->run(hidden, 0.0, concealDuration, PanelMotion::easeIn(), [this] {
        // A reveal that overtook the conceal keeps the strip up.
        if (m_isRevealed)
            return;
        m_panel->hide();
        paintAheadSoon();
    });
}

void SidebarController::paintAheadSoon() {
    QPointer<SidebarController> self(this);
    // Each change puts it off again.
    m_paintAhead = m_services.scheduler.schedule(paintAheadDelay, [self] {
        if (self)
            self->paintAhead();
    });
}

void SidebarController::paintAhead() {
    m_paintAhead.invalidate();
    if (m_isRevealed || m_panel->isShowing())
        return;
    // A motion begun while the strip still showed (a cell sliding to its new place) may run on
    // after the hiding: the picture waits for it to end. Motions belong to what they move.
    if (!m_panel->findChildren<QAbstractAnimation*>().isEmpty()) {
        paintAheadSoon();
        return;
    }
    matchCompositing();
    // Where and as the animated reveal first shows it: its frame slid out, fully faded.
    m_motion->jump(SidebarGeometry::hiddenFrame(panelFrame(), m_services.settings.sidebarEdge()));
    m_panel->setAlphaValue(0);
    m_panel->paintWhileHidden();
}

void SidebarController::matchCompositing() {
    const bool shown = m_panel->isShowing();
    // A strip sliding away is made anew once it has gone.
    if (!m_panel->isSurfaceOutdated() || (shown && !m_isRevealed))
        return;
    const QRect target = m_motion->target();
    const double alpha = m_panel->alphaValue();
    // The motion looks at the panel; it goes first.
    m_motion.reset();
    auto panel = std::make_unique<SidebarPanel>(*m_services.platform.panelWindowing);
    panel->setContentView(m_panel->contentView());
    const std::unique_ptr<SidebarPanel> old = std::exchange(m_panel, std::move(panel));
    m_motion = std::make_unique<PanelMotion>(*m_panel, m_services.animator);
    m_motion->jump(target);
    if (shown) {
        m_panel->setAlphaValue(alpha);
        m_panel->show();
        m_panel->raise();
    }
}

void SidebarController::relayout(bool animated) {
    if (!m_isRevealed)
        return;
    const QRect target = panelFrame();
    if (target == m_motion->target())
        return;
    if (animated)
        m_motion->run(target, m_panel->alphaValue(), relayoutDuration, PanelMotion::easeInEaseOut());
    else
        m_motion->jump(target);
}

void SidebarController::jumpToPanelFrame() {
    if (!m_isRevealed)
        return;
    const QRect target = panelFrame();
    if (target != m_motion->target())
        m_motion->jump(target);
}

void SidebarController::screenParametersChanged() {
    m_currentScreen = targetScreen();
    jumpToPanelFrame();
}

void SidebarController::trackData() {
    // A burst of changes makes one update, on the next turn.
    auto changed = [this] {
        if (m_dataUpdate.isValid())
            return;
        QPointer<SidebarController> self(this);
        m_dataUpdate = m_services.scheduler.schedule(Seconds(0), [self] {
            if (self)
                self->dataChanged();
        });
    };
    WindowService* windows = &m_services.windows;
    SpacesService* spaces = &m_services.spaces;
    m_observers.push_back(connect(windows, &WindowService::windowsChanged, this, changed));
    m_observers.push_back(
        connect(&m_services.workspaces, &WorkspaceManager::workspacesChanged, this, changed));
    m_observers.push_back(connect(spaces, &SpacesService::spacesChanged, this, changed));
    m_observers.push_back(connect(spaces, &SpacesService::currentIDChanged, this, changed));
    // The shelf rows count towards the strip's height.
    m_observers.push_back(connect(&m_services.shelf.files, &FileShelf::foldersChanged, this, changed));
    m_observers.push_back(connect(&m_services.shelf.files, &FileShelf::trayChanged, this, changed));
    // Desktops are never full-screen here; a full-screen program is the active window with the
    // window manager's full-screen state, which comes and goes without the window list noticing.
    // The list itself is read again too, whether the strip shows or not: the switcher opens on
    // its order of recent use, which another window of the same program coming to the front, or
    // the window manager restacking after it named the active window, leaves unannounced.
    m_services.platform.windowList->watchActiveWindow([this, changed] {
        changed();
        m_services.windows.refresh(false);
    });
}

void SidebarController::dataChanged() {
    m_dataUpdate.invalidate();
    m_activeFullscreen = activeWindowIsFullscreen();
    const bool fullscreen = overFullscreenApp();
    if (fullscreen != m_wasFullscreen) {
        m_wasFullscreen = fullscreen;
        fullscreenChanged();
    }
    const std::vector<WindowInfo> shown = visibleWindows();
    m_services.thumbnails.setVisible(shown);
    // The preview of a window whose cell went would stand beside nothing.
    if (const std::optional<WindowInfo>& previewed = m_preview->model().window();
        previewed && m_preview->isVisible()) {
        const bool stays = std::any_of(shown.begin(), shown.end(), [&](const WindowInfo& window) {
            return window.windowID == previewed->windowID;
        });
        if (!stays)
            hidePreviewNow();
    }
    relayout(true);
}

void SidebarController::fullscreenChanged() {
    installMouseMonitors();
    if (shouldAutoHide() && !m_services.settings.autoHide()) {
        // Hidden for the full-screen desktop alone: an earlier reveal does not carry over.
        m_autoRevealed = false;
        m_hotkeyRevealed = false;
    }
    applyVisibility(true);
    jumpToPanelFrame();
}

bool SidebarController::isOnSidebarDisplay(const QRectF& frame) const {
    if (!m_currentScreen)
        return true;
    const std::optional<ScreenInfo> screen = screenForRectNearPointer(*m_services.platform.screens, frame);
    return screen && isSameScreen(*screen, *m_currentScreen);
}

} // namespace corvane
