#include "windows/AXWindowService.h"

#include "runtime/Log.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace corvane {
namespace {

AXWindowService* sharedService = nullptr;

bool isFinite(QPointF point) {
    return std::isfinite(point.x()) && std::isfinite(point.y());
}
bool isFinite(QSizeF size) {
    return std::isfinite(size.width()) && std::isfinite(size.height());
}

// The first visible top-level window whose native number is `number`. Windows that were never
// created have no number, and asking one for it would create it: they are passed over.
QWindow* ownWindowNumbered(uint32_t number) {
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible() || !window->handle())
            continue;
        const WId id = window->winId();
        if (id > std::numeric_limits<uint32_t>::max())
            continue;
        if (static_cast<uint32_t>(id) == number)
            return window;
    }
    return nullptr;
}

QWindow* activeTopLevelWindow() {
    QWindow* window = QGuiApplication::focusWindow();
    while (window && window->parent())
        window = window->parent();
    return window;
}

QWidget* widgetOf(QWindow* window) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window)
            return widget;
    }
    return nullptr;
}

} // namespace

AXWindowService::AXWindowService(Accessibility& accessibility, Executor& queue, Scheduler& clock,
                                 int32_t ownPID)
    : m_accessibility(accessibility), m_queue(queue), m_clock(clock), m_ownPID(ownPID) {
    m_accessibility.setMessagingTimeout(Seconds(messagingTimeout));
}

AXWindowService& AXWindowService::shared() {
    assert(sharedService && "AXWindowService::setShared must run first");
    return *sharedService;
}

void AXWindowService::setShared(AXWindowService* service) {
    sharedService = service;
}

// --- Reading ---

std::optional<uint32_t> AXWindowService::numberOf(const AXElement& window) {
    const std::optional<uint32_t> number = m_accessibility.windowNumber(window);
    if (!number || *number == 0)
        return std::nullopt;
    return number;
}

std::optional<std::vector<AXElement>> AXWindowService::windowElements(int32_t pid) {
    AXRead<std::vector<AXElement>> list = m_accessibility.windows(pid);
    switch (list.status) {
    case AXStatus::ok:
        return std::move(list.value);
    case AXStatus::noValue:
    case AXStatus::wrongKind:
        // The program answered: it simply has no list of windows to give.
        return std::vector<AXElement>{};
    case AXStatus::failed:
        break;
    }
    return std::nullopt;
}

std::optional<QRectF> AXWindowService::readFrame(const AXElement& window) {
    const AXRead<QPointF> origin = m_accessibility.position(window);
    if (!origin.ok())
        return std::nullopt;
    const AXRead<QSizeF> size = m_accessibility.size(window);
    if (!size.ok())
        return std::nullopt;
    return QRectF(origin.value, size.value);
}

std::optional<AXWindowSnapshot> AXWindowService::snapshot(int32_t pid, const AXElement& window) {
    const std::optional<uint32_t> number = numberOf(window);
    if (!number)
        return std::nullopt;
    AXWindowReading read = m_accessibility.readWindow(window);
    if (!read.frame)
        return std::nullopt;

    AXWindowSnapshot made;
    made.windowID = *number;
    made.pid = pid;
    made.frame = *read.frame;
    if (read.title.ok())
        made.title = std::move(read.title.value);
    if (read.minimized.ok())
        made.isMinimized = read.minimized.value;
    if (read.subrole.ok())
        made.subrole = std::move(read.subrole.value);
    return made;
}

AXSweepResult AXWindowService::sweep(const std::vector<int32_t>& pids) {
    AXSweepResult result;
    const auto turnsAt = [&result](Instant when) {
        result.backOffTurns = std::min(result.backOffTurns.value_or(when), when);
    };
    const Instant now = m_clock.now();
    for (const int32_t pid : pids) {
        if (auto slow = m_slowUntil.find(pid); slow != m_slowUntil.end() && slow->second > now) {
            turnsAt(slow->second);
            continue;
        }

        const Instant start = m_clock.now();
        if (const std::optional<std::vector<AXElement>> elements = windowElements(pid)) {
            result.readablePIDs.insert(pid);
            for (const AXElement& window : *elements) {
                if (std::optional<AXWindowSnapshot> made = snapshot(pid, window))
                    result.windows.push_back(std::move(*made));
            }
        }
        if (noteSlowResponse(pid, start))
            turnsAt(m_clock.now());
    }
    return result;
}

bool AXWindowService::noteSlowResponse(int32_t pid, Instant start) {
    // Compared in the clock's own unit, so a read of exactly the threshold is not slow.
    if (m_clock.now() - start <= toInstant(Seconds(slowThreshold)))
        return false;
    m_slowUntil[pid] = m_clock.now() + toInstant(Seconds(slowBackoff));
    qCInfo(lcAx, "pid %d is not responding to Accessibility; skipping for 20s", pid);
    return true;
}

std::vector<AXWindowSnapshot> AXWindowService::windowSnapshots(int32_t pid) {
    std::vector<AXWindowSnapshot> result;
    const std::optional<std::vector<AXElement>> elements = windowElements(pid);
    if (!elements)
        return result;
    for (const AXElement& window : *elements) {
        if (std::optional<AXWindowSnapshot> made = snapshot(pid, window))
            result.push_back(std::move(*made));
    }
    return result;
}

std::optional<AXElement> AXWindowService::focusedOrMainWindow(int32_t pid) {
    if (AXRead<AXElement> focused = m_accessibility.focusedWindow(pid); focused.ok())
        return focused.value;
    if (AXRead<AXElement> main = m_accessibility.mainWindow(pid); main.ok())
        return main.value;
    return std::nullopt;
}

std::optional<AXFocusedWindow> AXWindowService::describe(const AXElement& window) {
    const std::optional<QRectF> frame = readFrame(window);
    if (!frame)
        return std::nullopt;
    return AXFocusedWindow{window.pid, numberOf(window), *frame};
}

std::optional<AXFocusedWindow> AXWindowService::focusedWindow(int32_t pid) {
    const std::optional<AXElement> window = focusedOrMainWindow(pid);
    return window ? describe(*window) : std::nullopt;
}

std::optional<AXFocusedWindow> AXWindowService::frontWindow() {
    const AXRead<AXElement> window = m_accessibility.frontWindow();
    return window.ok() ? describe(window.value) : std::nullopt;
}

AXWindowService::FrontPlacement
AXWindowService::placeFrontWindow(const std::function<std::optional<QRectF>(const AXFocusedWindow&)>& where) {
    const AXRead<AXElement> window = m_accessibility.frontWindow();
    if (!window.ok())
        return {};
    FrontPlacement result{describe(window.value), std::nullopt, false};
    if (!result.window || result.window->pid == m_ownPID)
        return result;
    result.frame = where(*result.window);
    if (result.frame)
        result.applied = place(window.value, window.value.pid, *result.frame);
    return result;
}

std::optional<AXElement> AXWindowService::element(int32_t pid, uint32_t windowNumber) {
    const std::optional<std::vector<AXElement>> elements = windowElements(pid);
    if (!elements)
        return std::nullopt;
    for (const AXElement& window : *elements) {
        const std::optional<uint32_t> number = numberOf(window);
        if (number && *number == windowNumber)
            return window;
    }
    return std::nullopt;
}

// --- Changing windows ---

bool AXWindowService::setFrameSync(int32_t pid, std::optional<uint32_t> windowNumber, const QRectF& frame) {
    // With a number there is deliberately no fallback: moving some other window would be wrong.
    const std::optional<AXElement> window =
        windowNumber ? element(pid, *windowNumber) : focusedOrMainWindow(pid);
    return window && place(*window, pid, frame);
}

bool AXWindowService::place(const AXElement& window, int32_t pid, const QRectF& frame) {
    if (const AXRead<bool> minimized = m_accessibility.minimized(window); minimized.ok() && minimized.value)
        m_accessibility.setMinimized(window, false);

    const bool applied = writeFrame(window, pid, frame);
    if (!applied)
        qCInfo(lcAx, "App %d refused resize (Electron/Java apps sometimes do)", pid);
    return applied;
}

bool AXWindowService::writeFrame(const AXElement& window, int32_t pid, const QRectF& frame) {
    // Some toolkits animate or veto frame writes while this switch is on.
    const AXRead<bool> enhanced = m_accessibility.enhancedUserInterface(pid);
    const bool switchedOff = enhanced.ok() && enhanced.value;
    if (switchedOff)
        m_accessibility.setEnhancedUserInterface(pid, false);

    // A frame with a non-finite number cannot be turned into a value to send: that write fails
    // without reaching the program.
    const std::optional<QSizeF> size = isFinite(frame.size()) ? std::optional(frame.size()) : std::nullopt;
    const std::optional<QPointF> origin =
        isFinite(frame.topLeft()) ? std::optional(frame.topLeft()) : std::nullopt;
    const bool applied = m_accessibility.setFrame(window, origin, size);

    if (switchedOff)
        m_accessibility.setEnhancedUserInterface(pid, true);
    return applied;
}

AXWindowService::RaiseResult AXWindowService::raise(int32_t pid, uint32_t windowNumber) {
    const std::optional<AXElement> window = element(pid, windowNumber);
    if (!window)
        return {};

    if (const AXRead<bool> minimized = m_accessibility.minimized(*window); minimized.ok() && minimized.value)
        m_accessibility.setMinimized(*window, false);
    const bool fronted = makeKeyWindow(pid, windowNumber);
    // Marked main and raised whether or not the window manager brought it to the front.
    m_accessibility.setMain(*window);
    m_accessibility.raise(*window);
    return {true, fronted};
}

bool AXWindowService::makeKeyWindow(int32_t pid, uint32_t windowNumber) {
    return m_accessibility.bringToFront(pid, windowNumber);
}

QCoro::Task<bool> AXWindowService::setFrame(int32_t pid, std::optional<uint32_t> windowNumber, QRectF frame) {
    if (pid == m_ownPID)
        co_return setOwnWindowFrame(windowNumber, frame);
    auto work = [this, pid, windowNumber, frame] { return setFrameSync(pid, windowNumber, frame); };
    co_return co_await run(work);
}

QCoro::Task<void> AXWindowService::setMinimized(bool minimized, uint32_t windowNumber, int32_t pid) {
    // This program's own windows are never minimised from here.
    if (pid == m_ownPID)
        co_return;
    auto work = [this, minimized, windowNumber, pid] {
        if (const std::optional<AXElement> window = element(pid, windowNumber))
            m_accessibility.setMinimized(*window, minimized);
    };
    co_await run(work);
}

QCoro::Task<void> AXWindowService::close(uint32_t windowNumber, int32_t pid) {
    // This program's own windows are never closed from here.
    if (pid == m_ownPID)
        co_return;
    auto work = [this, windowNumber, pid] {
        if (const std::optional<AXElement> window = element(pid, windowNumber))
            m_accessibility.close(*window);
    };
    co_await run(work);
}

bool AXWindowService::setOwnWindowFrame(std::optional<uint32_t> windowNumber, const QRectF& frame) {
    if (!isFinite(frame.topLeft()) || !isFinite(frame.size()))
        return false;

    QWindow* window = windowNumber ? ownWindowNumbered(*windowNumber) : nullptr;
    if (!window)
        window = activeTopLevelWindow();
    if (!window)
        return false;
    // Floating panels place themselves; they are never moved as a window.
    if (window->type() == Qt::Tool)
        return false;

    // The frame is the outer one, decorations included, in the one top-left space.
    const QMargins margins = window->frameMargins();
    const QPoint origin(qRound(frame.x()), qRound(frame.y()));
    const QSize inner(std::max(1, qRound(frame.width()) - margins.left() - margins.right()),
                      std::max(1, qRound(frame.height()) - margins.top() - margins.bottom()));
    if (QWidget* widget = widgetOf(window)) {
        // A top-level widget's position is that of its frame; its size is the inner one.
        widget->move(origin);
        widget->resize(inner);
    } else {
        window->setFramePosition(origin);
        window->resize(inner);
    }
    return true;
}

} // namespace corvane
