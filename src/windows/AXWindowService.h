#pragma once

#include "platform/Accessibility.h"
#include "runtime/Executor.h"
#include "runtime/Scheduler.h"
#include "windows/AXWindowSnapshot.h"

#include <QCoro/QCoroTask>

#include <functional>
#include <map>

namespace corvane {

// The one component that talks to other programs' windows. Every request runs on its own
// serial queue, so a slow or hung program blocks that queue and never the main thread. Programs
// that answer slowly are left out of sweeps for a while.
class AXWindowService {
public:
    // `queue` runs the window requests one at a time; `clock` gives "now" on that queue.
    AXWindowService(Accessibility& accessibility, Executor& queue, Scheduler& clock, int32_t ownPID);

    static AXWindowService& shared();
    static void setShared(AXWindowService* service);

    // Runs `fn` on the queue and resumes the caller on the main thread with its value.
    template <typename F> auto run(F&& fn) { return runOn(m_queue, std::forward<F>(fn)); }

    // --- On the queue only (inside `run`). ---
    AXSweepResult sweep(const std::vector<int32_t>& pids);
    std::vector<AXWindowSnapshot> windowSnapshots(int32_t pid);
    std::optional<AXFocusedWindow> focusedWindow(int32_t pid);
    // The front program's focused window, with its frame.
    std::optional<AXFocusedWindow> frontWindow();
    // What placing the front window came to: the window as it was read (none when there was
    // none to read) and, where it was placed, whether the program took the frame.
    struct FrontPlacement {
        std::optional<AXFocusedWindow> window;
        std::optional<QRectF> frame;
        bool applied = false;
    };
    // Reads the front window and writes the frame `where` gives for it, in one go. This program's
    // own windows are only read: they are moved on the main thread.
    FrontPlacement
    placeFrontWindow(const std::function<std::optional<QRectF>(const AXFocusedWindow&)>& where);
    std::optional<AXElement> element(int32_t pid, uint32_t windowNumber);
    // Starts the program's back-off when its answer took too long; whether it did.
    bool noteSlowResponse(int32_t pid, Instant start);
    std::optional<std::vector<AXElement>> windowElements(int32_t pid);
    std::optional<QRectF> readFrame(const AXElement& window);
    bool setFrameSync(int32_t pid, std::optional<uint32_t> windowNumber, const QRectF& frame);
    bool writeFrame(const AXElement& window, int32_t pid, const QRectF& frame);
    struct RaiseResult {
        bool found = false;
        bool fronted = false;
    };
    RaiseResult raise(int32_t pid, uint32_t windowNumber);
    bool makeKeyWindow(int32_t pid, uint32_t windowNumber);

    // --- From any main-thread task. ---
    QCoro::Task<bool> setFrame(int32_t pid, std::optional<uint32_t> windowNumber, QRectF frame);
    QCoro::Task<void> setMinimized(bool minimized, uint32_t windowNumber, int32_t pid);
    QCoro::Task<void> close(uint32_t windowNumber, int32_t pid);
    // Moves one of this program's own windows (never a floating panel).
    bool setOwnWindowFrame(std::optional<uint32_t> windowNumber, const QRectF& frame);

    int32_t ownPID() const { return m_ownPID; }
    static constexpr double messagingTimeout = 0.5;
    static constexpr double slowThreshold = 0.45;
    static constexpr double slowBackoff = 20.0;

private:
    // The snapshot of one window element, or none when it has no number or no readable frame.
    std::optional<AXWindowSnapshot> snapshot(int32_t pid, const AXElement& window);
    // The window number, with 0 counted as none.
    std::optional<uint32_t> numberOf(const AXElement& window);
    std::optional<AXElement> focusedOrMainWindow(int32_t pid);
    std::optional<AXFocusedWindow> describe(const AXElement& window);
    // Shows the window if minimised, then writes its frame.
    bool place(const AXElement& window, int32_t pid, const QRectF& frame);

    Accessibility& m_accessibility;
    Executor& m_queue;
    Scheduler& m_clock;
    int32_t m_ownPID;
    std::map<int32_t, Instant> m_slowUntil; // queue only
};

} // namespace corvane
