#include "snapping/RadialSnapController.h"

#include "core/Animator.h"
#include "core/Colors.h"
#include "core/FloatingPanel.h"
#include "core/PanelBackground.h"
#include "core/PermissionManager.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "core/WorkArea.h"
#include "platform/Platform.h"
#include "runtime/Log.h"
#include "snapping/RadialDirection.h"
#include "snapping/RadialRingView.h"
#include "snapping/SnapController.h"
#include "snapping/SnapPreviewView.h"
#include "snapping/TargetCapture.h"

#include <QGuiApplication>
#include <QPalette>

#include <cmath>

namespace corvane {

namespace {
// The ring floats at the level of pop-up menus, above the preview.
constexpr int ringLevel = 101;
constexpr int previewLevel = 5;
constexpr qint64 escapeKeyCode = 53;

const Seconds ringFadeOut{0.12};
const Seconds previewFadeOut{0.12};
const Seconds previewGrow{0.18};
const Seconds previewMove{0.16};

// The key whose flags-changed events move the trigger, and the flag that says it is down. The fn
// trigger has no key of its own to check: only its flag counts.
struct TriggerKey {
    std::optional<qint64> keyCode;
    quint64 flag = 0;
};

TriggerKey triggerKey(RadialTrigger trigger) {
    switch (trigger) {
    case RadialTrigger::fn:
        return {std::nullopt, EventModifier::function};
    case RadialTrigger::rightOption:
        return {61, EventModifier::option};
    case RadialTrigger::rightCommand:
        return {54, EventModifier::command};
    case RadialTrigger::rightControl:
        return {62, EventModifier::control};
    }
    return {std::nullopt, EventModifier::function};
}

QRect roundedRect(const QRectF& rect) {
    return QRect(static_cast<int>(std::lround(rect.x())), static_cast<int>(std::lround(rect.y())),
                 static_cast<int>(std::lround(rect.width())), static_cast<int>(std::lround(rect.height())));
}
} // namespace

RadialSnapController::RadialSnapController(Services services) : m_services(services) {}

RadialSnapController::~RadialSnapController() {
    stop();
}

std::optional<QPointF> RadialSnapController::origin() const {
    if (m_phase == Phase::idle)
        return std::nullopt;
    return m_origin;
}

void RadialSnapController::keepMonitor(std::vector<EventMonitors::Handle>& list,
                                       std::optional<EventMonitors::Handle> handle) {
    if (handle)
        list.push_back(*handle);
}

void RadialSnapController::start() {
    ++m_startCount;
    stop();
    const Settings& settings = m_services.settings;
    EventMonitors* monitors = m_services.platform.eventMonitors.get();
    if (!monitors || !settings.radialEnabled() || !PermissionManager::cachedAccessibility())
        return;

    QPointer<RadialSnapController> self(this);
    auto flagsChanged = [self](const MonitoredEvent& event) {
        if (self)
            self->handleFlagsChanged(event);
    };
    auto keyDown = [self](const MonitoredEvent& event) {
        if (self)
            self->handleKeyDown(event);
    };
    keepMonitor(m_monitors, monitors->addGlobalMonitor(EventMask::flagsChanged, flagsChanged));
    const bool watchesOthers = !m_monitors.empty();
    keepMonitor(m_monitors, monitors->addLocalMonitor(EventMask::flagsChanged, flagsChanged));
    keepMonitor(m_monitors, monitors->addGlobalMonitor(EventMask::keyDown, keyDown));
    keepMonitor(m_monitors, monitors->addLocalMonitor(EventMask::keyDown, keyDown));

    const RadialTrigger trigger = settings.radialTrigger();
    // The key standing for fn would otherwise reach the program with the focus too.
    if (trigger == RadialTrigger::fn && watchesOthers) {
        monitors->setFunctionKeyReserved(true);
        m_reservesFunctionKey = true;
    }
    qCInfo(lcRadial, "Snap wheel armed with trigger %s", qPrintable(rawValue(trigger)));
}

void RadialSnapController::stop() {
    if (EventMonitors* monitors = m_services.platform.eventMonitors.get()) {
        for (EventMonitors::Handle handle : m_monitors)
            monitors->removeMonitor(handle);
        if (m_reservesFunctionKey)
            monitors->setFunctionKeyReserved(false);
    }
    m_monitors.clear();
    m_reservesFunctionKey = false;
    reset();
}

void RadialSnapController::reset() {
    m_armTask.cancel();
    if (m_phase == Phase::active) {
        hideRing();
        hidePreview();
    }
    m_phase = Phase::idle;
    removeMouseMonitors();
    // A capture still running finishes on its own; nobody reads its answer any more.
    m_targetTask.reset();
    m_lastScreen.reset();
}

void RadialSnapController::installMouseMonitors() {
    if (!m_mouseMonitors.empty())
        return;
    EventMonitors* monitors = m_services.platform.eventMonitors.get();
    if (!monitors)
        return;
    QPointer<RadialSnapController> self(this);
    keepMonitor(m_mouseMonitors,
                monitors->addGlobalMonitor(EventMask::pointerMoved, [self](const MonitoredEvent& e) {
                    if (self)
                        self->handleMouseMoved(e);
                }));
    keepMonitor(m_mouseMonitors,
                monitors->addLocalMonitor(EventMask::pointerMoved, [self](const MonitoredEvent& e) {
                    if (self)
                        self->handleLocalMouseMoved(e);
                }));
}

void RadialSnapController::removeMouseMonitors() {
    if (EventMonitors* monitors = m_services.platform.eventMonitors.get())
        for (EventMonitors::Handle handle : m_mouseMonitors)
            monitors->removeMonitor(handle);
    m_mouseMonitors.clear();
}

void RadialSnapController::handleFlagsChanged(const MonitoredEvent& event) {
    const TriggerKey trigger = triggerKey(m_services.settings.radialTrigger());
    // The right-hand key is told from the left-hand one by the key of the event; the flag stays
    // set while either is held.
    if (trigger.keyCode && event.keyCode != trigger.keyCode)
        return;
    const bool down = (event.modifierFlags & trigger.flag) != 0;
    switch (m_phase) {
    case Phase::idle:
        if (!down)
            return;
        m_origin = m_services.platform.screens->pointerLocation();
        m_phase = Phase::armed;
        installMouseMonitors();
        waitHoldDelay(m_origin, m_armTask.renew());
        return;
    case Phase::armed:
        if (!down)
            reset(); // a tap shows nothing
        return;
    case Phase::active:
        if (!down)
            commit();
        return;
    }
}

void RadialSnapController::handleKeyDown(const MonitoredEvent& event) {
    if (m_phase == Phase::armed)
        reset();
    else if (m_phase == Phase::active && event.keyCode == escapeKeyCode)
        reset();
}

void RadialSnapController::handleMouseMoved(const MonitoredEvent&) {
    switch (m_phase) {
    case Phase::armed: {
        const QPointF offset = m_services.platform.screens->pointerLocation() - m_origin;
        if (std::hypot(offset.x(), offset.y()) > movementThreshold)
            showRing(m_origin);
        return;
    }
    case Phase::active:
        updateSelection(false, m_origin);
        return;
    case Phase::idle:
        return;
    }
}

void RadialSnapController::handleLocalMouseMoved(const MonitoredEvent& event) {
    handleMouseMoved(event);
}

QCoro::Task<void> RadialSnapController::waitHoldDelay(QPointF origin, CancellationToken token) {
    QPointer<RadialSnapController> self(this);
    const Seconds delay = sanitizedDelay(Seconds(m_services.settings.radialHoldDelay()));
    const SleepResult slept = co_await m_services.scheduler.sleep(delay, token);
    if (slept == SleepResult::cancelled || token.isCancelled())
        co_return;
    if (!self || self->m_phase != Phase::armed)
        co_return;
    self->showRing(origin);
}

QColor RadialSnapController::accentColor() const {
    if (m_services.settings.radialAccent() == AccentChoice::lumenForge)
        return brandColor();
    return QGuiApplication::palette().color(QPalette::Highlight);
}

// The desktop gives no haptic feedback: the ticks that mark the ring and each new sector are felt
// nowhere here.
void RadialSnapController::performHapticFeedback() const {}

FloatingPanel& RadialSnapController::ensureRingPanel() {
    if (!m_ringPanel) {
        m_ringPanel = std::make_unique<FloatingPanel>(*m_services.platform.panelWindowing,
                                                      QRect(0, 0, 100, 100), ringLevel, true);
        m_ringPanel->setContentView(new RadialRingView(m_model, m_services.scheduler));
        m_ringPanel->setOutline(&RadialRingView::bandOutline);
        // The ring draws its own shadow, inside its square, growing and fading with it.
        m_ringPanel->setHasShadow(false);
    }
    return *m_ringPanel;
}

FloatingPanel& RadialSnapController::ensurePreviewPanel() {
    if (!m_previewPanel) {
        m_previewPanel = std::make_unique<FloatingPanel>(*m_services.platform.panelWindowing,
                                                         QRect(0, 0, 100, 100), previewLevel, true);
        m_previewPanel->setOutline(&SnapPreviewView::edgeOutline);
    }
    return *m_previewPanel;
}

void RadialSnapController::showRing(QPointF origin) {
    m_armTask.cancel();
    m_phase = Phase::active;
    m_origin = origin;

    const Settings& settings = m_services.settings;
    m_targetTask = std::make_shared<TargetCapture>();
    captureTarget(m_services.snap, settings.radialTarget(), m_targetTask);

    m_model.setAccent(accentColor());
    m_model.setCenterHasAction(settings.radialCenterAction() != RadialCenterAction::none);
    // Every gesture starts at the centre, so that its first sector gets its own angle at once.
    m_model.assignDirection(RadialDirection::center);
    m_model.setAppeared(false);

    FloatingPanel& ring = ensureRingPanel();
    const int half = RadialRingView::side / 2;
    ring.setFrame(QRect(static_cast<int>(std::lround(origin.x())) - half,
                        static_cast<int>(std::lround(origin.y())) - half, RadialRingView::side,
                        RadialRingView::side));
    // A fade-out of the last gesture may still be running: end it, or it would take the ring away.
    m_services.animator.fade(ring, 1.0, Seconds(0));
    ring.setAlphaValue(1.0);
    m_ringVisible = true;
    ring.show();
    ring.raise();

    // After this event, so that the ring grows in from its collapsed state.
    QPointer<RadialSnapController> self(this);
    m_appearance = m_services.scheduler.schedule(Seconds(0), [self] {
        if (self)
            self->m_model.setAppeared(true);
    });
    if (settings.radialHaptics())
        performHapticFeedback();
    updateSelection(true, origin);
}

void RadialSnapController::updateSelection(bool force, QPointF origin) {
    const Screens& screens = *m_services.platform.screens;
    const QPointF offset = screens.pointerLocation() - origin;
    const RadialDirection direction = fromVector(offset.x(), offset.y(), deadZone);
    const std::optional<ScreenInfo> screen = screenUnderMouse(screens);
    if (!force && direction == m_model.direction() && screen && m_lastScreen &&
        isSameScreen(*screen, *m_lastScreen))
        return;
    // A change of screen alone gives no tick.
    if (direction != m_model.direction() && m_services.settings.radialHaptics())
        performHapticFeedback();
    m_model.setDirection(direction);
    m_lastScreen = screen;
    updatePreview();
}

std::optional<SnapAction> RadialSnapController::resolveAction() const {
    if (m_model.direction() != RadialDirection::center)
        return snapAction(m_model.direction());
    switch (m_services.settings.radialCenterAction()) {
    case RadialCenterAction::maximize:
        return SnapAction::maximize;
    case RadialCenterAction::almostMaximize:
        return SnapAction::almostMaximize;
    case RadialCenterAction::center:
        return SnapAction::center;
    case RadialCenterAction::none:
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QRectF> RadialSnapController::previewFrame(std::optional<QRectF> current) const {
    const std::optional<SnapAction> action = resolveAction();
    if (!action)
        return std::nullopt;
    std::optional<ScreenInfo> screen = m_lastScreen;
    if (!screen)
        screen = screenUnderMouse(*m_services.platform.screens);
    if (!screen)
        return std::nullopt;
    const QRectF area = m_services.workArea.usableFrame(*screen);
    return frame(*action, area, m_services.settings.layoutGap(), current);
}

void RadialSnapController::updatePreview() {
    // With previews off, one already shown stays until the gesture ends.
    if (!m_services.settings.radialShowPreview())
        return;
    refreshPreview(m_targetTask);
}

QCoro::Task<void> RadialSnapController::refreshPreview(std::shared_ptr<TargetCapture> capture) {
    QPointer<RadialSnapController> self(this);
    TargetCapture::Result target;
    if (capture) {
        auto captured = TargetCapture::result(capture);
        target = co_await captured;
    }
    // Each refresh reads the selection as it is when it runs; one from an earlier gesture ends here.
    if (!self || self->m_phase != Phase::active || self->m_targetTask != capture)
        co_return;
    const std::optional<QRectF> current = target ? std::optional<QRectF>(target->frame) : std::nullopt;
    if (const std::optional<QRectF> frame = self->previewFrame(current))
        self->showPreview(*frame, current);
    else
        self->hidePreview();
}

void RadialSnapController::showPreview(const QRectF& rect, std::optional<QRectF> current) {
    const Settings& settings = m_services.settings;
    FloatingPanel& panel = ensurePreviewPanel();
    const std::pair<PanelStyle, AccentChoice> style{settings.panelStyle(), settings.radialAccent()};
    if (m_previewStyle != style) {
        m_previewStyle = style;
        // The preview never takes the dark background: it must read over any window.
        const PanelStyle background = style.first == PanelStyle::dark ? PanelStyle::frosted : style.first;
        panel.setContentView(makePanelBackground(background, new SnapPreviewView(accentColor()),
                                                 SnapPreviewView::cornerRadius));
    }

    const QRect target = roundedRect(rect);
    if (m_previewVisible) {
        movePreview(target, previewMove);
        return;
    }
    // The preview grows out of the window's present frame, or out of its own middle.
    const QRectF start = current ? *current
                                 : rect.adjusted(rect.width() * 0.1, rect.height() * 0.1, -rect.width() * 0.1,
                                                 -rect.height() * 0.1);
    m_services.animator.stopMove(panel);
    panel.setFrame(roundedRect(start));
    panel.setAlphaValue(0);
    panel.show();
    panel.raise();
    // The ring stays above the preview.
    if (m_ringPanel)
        m_ringPanel->raise();
    movePreview(target, previewGrow);
    m_services.animator.fade(panel, 1.0, previewGrow);
    m_previewVisible = true;
}

void RadialSnapController::movePreview(const QRect& frame, Seconds duration) {
    m_previewTarget = frame;
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.2, 0.9), QPointF(0.3, 1.0), QPointF(1.0, 1.0));
    m_services.animator.move(*m_previewPanel, frame, duration, curve);
}

void RadialSnapController::hidePreview() {
    if (!m_previewVisible)
        return;
    m_previewVisible = false;
    if (!m_previewPanel)
        return;
    QPointer<RadialSnapController> self(this);
    QPointer<FloatingPanel> panel(m_previewPanel.get());
    m_services.animator.fade(*m_previewPanel, 0.0, previewFadeOut, [self, panel] {
        // A preview shown again during the fade stays up.
        if (self && panel && !self->m_previewVisible)
            panel->hide();
    });
}

void RadialSnapController::hideRing() {
    m_model.setAppeared(false);
    m_appearance.invalidate();
    m_ringVisible = false;
    if (!m_ringPanel)
        return;
    QPointer<RadialSnapController> self(this);
    QPointer<FloatingPanel> panel(m_ringPanel.get());
    m_services.animator.fade(*m_ringPanel, 0.0, ringFadeOut, [self, panel] {
        // A gesture begun during the fade has shown the ring again: it stays.
        if (self && panel && !self->m_ringVisible)
            panel->hide();
    });
}

void RadialSnapController::commit() {
    const std::optional<SnapAction> action = resolveAction();
    std::shared_ptr<TargetCapture> capture = m_targetTask;
    std::optional<ScreenInfo> screen = m_lastScreen;
    if (!screen)
        screen = screenUnderMouse(*m_services.platform.screens);

    m_phase = Phase::idle;
    removeMouseMonitors();
    hideRing();
    hidePreview();
    m_targetTask.reset();
    m_lastScreen.reset();

    if (!action)
        return;
    place(*action, std::move(capture), std::move(screen));
}

QCoro::Task<void> RadialSnapController::place(SnapAction action, std::shared_ptr<TargetCapture> capture,
                                              std::optional<ScreenInfo> screen) {
    QPointer<RadialSnapController> self(this);
    if (!capture)
        co_return;
    // The capture may still be running: the window is placed once it is known.
    auto captured = TargetCapture::result(capture);
    const TargetCapture::Result target = co_await captured;
    if (!self || !target || !screen)
        co_return;
    const Services& services = self->m_services;
    const QRectF area = services.workArea.usableFrame(*screen);
    const QRectF placed = frame(action, area, services.settings.layoutGap(), target->frame);
    co_await services.snap.place(*target, placed);
}

QCoro::Task<void> RadialSnapController::captureTarget(SnapController& snap, RadialTarget which,
                                                      std::shared_ptr<TargetCapture> capture) {
    TargetCapture::Result target;
    if (which == RadialTarget::underCursor)
        target = co_await snap.targetUnderCursor();
    else
        target = co_await snap.resolveTarget();
    capture->finish(std::move(target));
}

} // namespace corvane
