#include "snapping/SnapController.h"

#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "core/WorkArea.h"
#include "platform/Platform.h"
#include "runtime/Executor.h"
#include "runtime/Log.h"
#include "snapping/LayoutFrames.h"
#include "windows/AXWindowService.h"
#include "windows/WindowService.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace corvane {

namespace {
constexpr size_t maximumTiledWindows = 12;

QString describe(const QRectF& r) {
    return QStringLiteral("(%1, %2, %3, %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}
} // namespace

std::optional<SnapController::Target> SnapController::ownWindowTarget() const {
    QWidget* window = QApplication::activeWindow();
    // Floating panels are never placed: they belong to their feature.
    if (!window || (window->windowFlags() & Qt::Tool) == Qt::Tool)
        return std::nullopt;
    Target target;
    target.pid = m_ax.ownPID();
    target.windowID = static_cast<uint32_t>(window->winId());
    target.frame = window->frameGeometry();
    return target;
}

QCoro::Task<std::optional<SnapController::Target>> SnapController::resolveTarget() {
    AXWindowService& ax = m_ax;
    auto readFront = [&ax] { return ax.frontWindow(); };
    const std::optional<AXFocusedWindow> front = co_await ax.run(readFront);
    if (!front)
        co_return std::nullopt;
    if (front->pid == ax.ownPID())
        co_return ownWindowTarget();
    co_return Target{front->pid, front->windowID, front->frame};
}

QCoro::Task<std::optional<SnapController::Target>> SnapController::targetUnderCursor() {
    const QPointF point = m_services.platform.screens->pointerLocation();
    const int32_t ownPID = m_ax.ownPID();
    WindowService* windows = &m_services.windows;
    auto lookUp = [windows, point, ownPID] { return windows->windowAt(point, ownPID); };
    const std::optional<CGWindowRecord> record = co_await runOn(m_services.background, lookUp);
    if (!record)
        co_return std::nullopt;
    co_return Target{record->pid, record->id, record->bounds};
}

void SnapController::noteOriginalFrame(const Target& target) {
    if (target.windowID && !m_originalFrames.contains(*target.windowID))
        m_originalFrames.emplace(*target.windowID, target.frame);
}

QCoro::Task<void> SnapController::place(Target target, QRectF frame) {
    noteOriginalFrame(target);
    const std::weak_ptr<bool> alive = m_alive;
    co_await m_ax.setFrame(target.pid, target.windowID, frame);
    qCDebug(lcLayout, "Placed window %u at %s", target.windowID.value_or(0), qPrintable(describe(frame)));
    // The move may finish after the controller went (at quit).
    if (!alive.expired())
        notePlacement(target, frame);
}

void SnapController::notePlacement(const Target& target, const QRectF& asked) {
    if (!target.windowID || target.pid == m_ax.ownPID())
        return;
    Placement& placement = m_placements[*target.windowID];
    placement.asked = asked;
    placement.settled.reset();
    placement.readBack = m_services.scheduler.schedule(
        Seconds(settleDelay), [this, target, asked] { readSettledFrame(target, asked); });
}

QCoro::Task<void> SnapController::readSettledFrame(Target target, QRectF asked) {
    const std::weak_ptr<bool> alive = m_alive;
    AXWindowService& ax = m_ax;
    const int32_t pid = target.pid;
    const uint32_t windowID = *target.windowID;
    auto read = [&ax, pid, windowID]() -> std::optional<QRectF> {
        const std::optional<AXElement> window = ax.element(pid, windowID);
        return window ? ax.readFrame(*window) : std::nullopt;
    };
    const std::optional<QRectF> settled = co_await ax.run(read);
    if (alive.expired() || !settled)
        co_return;
    const auto found = m_placements.find(windowID);
    // A later placement asks its own question.
    if (found == m_placements.end() || found->second.asked != asked)
        co_return;
    found->second.settled = settled;
    qCDebug(lcLayout, "Window %u settled at %s", windowID, qPrintable(describe(*settled)));
}

SnapPlan SnapController::planSnap() const {
    SnapPlan plan;
    const Screens& screens = *m_services.platform.screens;
    plan.screens = screens.screens();
    for (const ScreenInfo& screen : plan.screens)
        plan.usableFrames.push_back(m_services.workArea.usableFrame(screen));
    plan.mainScreen = screens.mainScreen();
    if (plan.mainScreen)
        plan.mainUsableFrame = m_services.workArea.usableFrame(*plan.mainScreen);
    plan.gap = m_settings.layoutGap();
    plan.cycle = m_settings.cycleSnapSizes();
    for (const auto& [windowID, placement] : m_placements)
        plan.placements.emplace(windowID, placement);
    return plan;
}

QCoro::Task<void> SnapController::snap(SnapAction action) {
    const SnapPlan plan = planSnap();
    // The window is read, its frame worked out and written in one task on the window queue: a
    // snap waits for no other turn of the main thread before the window moves.
    AXWindowService& ax = m_ax;
    auto placeOnQueue = [&ax, plan, action] {
        return ax.placeFrontWindow([&plan, action](const AXFocusedWindow& window) {
            return plan.frameFor(action, window.windowID, window.frame);
        });
    };
    const std::weak_ptr<bool> alive = m_alive;
    const AXWindowService::FrontPlacement placed = co_await ax.run(placeOnQueue);
    if (alive.expired())
        co_return;
    if (!placed.window) {
        m_services.platform.host->beep();
        co_return;
    }
    if (placed.window->pid == ax.ownPID()) {
        // This program's own window moves through Qt, here.
        const std::optional<Target> own = ownWindowTarget();
        if (!own) {
            m_services.platform.host->beep();
            co_return;
        }
        if (const std::optional<QRectF> frame = plan.frameFor(action, own->windowID, own->frame))
            co_await place(*own, *frame);
        co_return;
    }
    if (!placed.frame)
        co_return;
    const Target target{placed.window->pid, placed.window->windowID, placed.window->frame};
    noteOriginalFrame(target);
    qCDebug(lcLayout, "Placed window %u at %s", target.windowID.value_or(0),
            qPrintable(describe(*placed.frame)));
    notePlacement(target, *placed.frame);
}

QCoro::Task<void> SnapController::restore() {
    const std::optional<Target> target = co_await resolveTarget();
    if (!target || !target->windowID) {
        m_services.platform.host->beep();
        co_return;
    }
    const auto original = m_originalFrames.find(*target->windowID);
    if (original == m_originalFrames.end()) {
        m_services.platform.host->beep();
        co_return;
    }
    const QRectF frame = original->second;
    m_originalFrames.erase(original);
    m_placements.erase(*target->windowID);
    co_await m_ax.setFrame(target->pid, target->windowID, frame);
}

QCoro::Task<void> SnapController::tileScreen(LayoutPreset preset) {
    co_await m_services.windows.refresh(true);
    const Screens& screens = *m_services.platform.screens;
    const auto pointerScreen = screenUnderMouse(screens);
    if (!pointerScreen)
        co_return;

    std::vector<WindowInfo> windows;
    for (const WindowInfo& window : m_services.windows.allWindows()) {
        if (window.isMinimized || window.isAppHidden)
            continue;
        const auto screen = screenForRect(screens, window.frame);
        if (screen && isSameScreen(*screen, *pointerScreen))
            windows.push_back(window);
    }
    std::stable_sort(windows.begin(), windows.end(), [](const WindowInfo& a, const WindowInfo& b) {
        return a.lastActivated > b.lastActivated;
    });
    const size_t count = std::min(windows.size(), maximumTiledWindows);
    if (count == 0)
        co_return;

    const QRectF area = m_services.workArea.usableFrame(*pointerScreen);
    const std::vector<QRectF> placements =
        frames(preset, static_cast<int>(count), area, m_settings.layoutGap());
    // One window after the other: each move is confirmed before the next starts.
    for (size_t i = 0; i < count && i < placements.size(); ++i) {
        const WindowInfo& window = windows[i];
        m_originalFrames.try_emplace(window.windowID, window.frame);
        co_await m_ax.setFrame(window.pid, window.windowID, placements[i]);
    }
}

} // namespace corvane
