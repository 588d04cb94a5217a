#pragma once

#include "runtime/Scheduler.h"
#include "windows/AXWindowSnapshot.h"
#include "windows/CGWindowRecord.h"
#include "windows/WindowInfo.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QPointF>
#include <QSet>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

namespace corvane {

class AXWindowService;
class Executor;
class RunningApplications;
class Settings;
class WindowList;

// The model of other programs' windows. A refresh reads the window manager's on-screen list off
// the main thread, sweeps the programs' own window reads when due, and merges both into
// `allWindows`; `windows()` is that list filtered to the sidebar's scope, pinned windows first.
// Everything here runs on the main thread.
class WindowService : public QObject {
    Q_OBJECT
public:
    // What the desktop knows of one program, read once per pid.
    struct AppEntry {
        std::optional<QString> bundleID;
        QString name;
        bool regular = false;
        bool operator==(const AppEntry&) const = default;
    };

    WindowService(Settings& settings, AXWindowService& ax, WindowList& windowList,
                  RunningApplications& runningApplications, Scheduler& scheduler, Executor& background,
                  int32_t ownPID);
    ~WindowService() override;

    // --- Refresh and merge ---
    // One pass over the window list. `force` sweeps whatever the throttle says. A request made
    // while a pass runs is folded into one further pass, which returns at once here.
    QCoro::Task<void> refresh(bool force = false);
    // The window manager's on-screen windows, front to back. Any thread; touches no state.
    std::vector<CGWindowRecord> onScreenRecords() const;
    AppEntry appInfo(int32_t pid);

    // --- Ordering, pins, lookups ---
    const std::vector<WindowInfo>& windows() const { return m_windows; }
    const std::vector<WindowInfo>& allWindows() const { return m_allWindows; }
    const std::vector<uint32_t>& pinned() const { return m_pinned; }
    void rebuildVisible();
    void togglePin(uint32_t windowID);
    void movePinned(uint32_t windowID, uint32_t beforeID);
    std::optional<WindowInfo> window(uint32_t windowID) const;
    // The topmost window under `point` not owned by `skipPID`, read afresh. Any thread.
    std::optional<CGWindowRecord> windowAt(const QPointF& point, int32_t skipPID) const;

    // Installed by the strip: whether a window frame is on the strip's display.
    std::function<bool(const QRectF&)> displayFilter;

    // --- Triggers ---
    // Follows programs starting, quitting, being activated or hidden, and desktop switches.
    void installAppObservers();
    // On: a refresh every second (and one forced refresh now); off: stops it.
    void startWindowTimer(bool on);

    // The moment the window counts as last activated; the application state stamps it when it
    // focuses a window, and the next refresh carries it into `lastActivated`.
    // Records that the window was just brought forward. The listed record takes the date at once,
    // so a rebuild moves it to the head of the recent order without waiting for a refresh.
    void setActivation(uint32_t windowID, const QDateTime& when);

    static constexpr double minimumWindowSide = 120.0;
    static constexpr double sweepInterval = 4.0;
    static const QSet<QString>& ignoredOwnerNames();

    // Test aids.
    bool isObserving() const { return !m_observers.empty(); }
    int refreshCount() const { return m_refreshCount; }
    int sweepCount() const { return m_sweepCount; }
    bool isTimerRunning() const { return m_timer.isValid(); }

Q_SIGNALS:
    void windowsChanged();
    void pinnedChanged();
    // A program quit; its per-pid caches can go.
    void applicationTerminated(int32_t pid);

private:
    void setWindows(std::vector<WindowInfo> list);
    void setPinned(std::vector<uint32_t> list, bool notifyUnchanged = false);
    bool isExcluded(int32_t pid, const QStringList& excluded);
    bool sweepIsDue(bool force, const std::vector<CGWindowRecord>& kept);
    bool sweepIsDueByTime() const;
    // Whether a pass could come out otherwise than the last one while the window list tells of
    // no change.
    bool readsOtherThanLastPass() const;
    std::vector<int32_t> sweepPIDs(const std::vector<CGWindowRecord>& kept, const QStringList& excluded);
    void storeSweep(const AXSweepResult& result);
    void merge(const std::vector<CGWindowRecord>& kept, const QStringList& excluded, const QDateTime& now);
    void finishRefresh();
    void handleAppNotification(std::optional<int32_t> terminatedPID);
    void timerTick();

    Settings& m_settings;
    AXWindowService& m_ax;
    WindowList& m_windowList;
    RunningApplications& m_running;
    Scheduler& m_scheduler;
    Executor& m_background;
    int32_t m_ownPID;

    std::vector<WindowInfo> m_windows;
    std::vector<WindowInfo> m_allWindows;
    std::vector<uint32_t> m_pinned;
    TimerHandle m_timer;
    std::unordered_map<uint32_t, QDateTime> m_activation;
    std::unordered_map<uint32_t, QDateTime> m_firstSeen;
    std::map<uint32_t, AXWindowSnapshot> m_axWindows;
    std::set<int32_t> m_axReadable;
    std::optional<Instant> m_lastSweep;     // continuous clock, for the throttle
    std::optional<QDateTime> m_lastSweepAt; // wall clock, compared with first-seen stamps
    std::optional<uint32_t> m_lastTop;
    std::set<uint32_t> m_lastOnScreen;
    // The window list's change count when it was last read; none where it cannot tell.
    std::optional<uint64_t> m_listedAt;
    // What else the last pass read: the excluded programs, and when a back-off of a slow program
    // makes the next sweep read another set of programs.
    QStringList m_passExcluded;
    std::optional<Instant> m_backOffTurns;
    bool m_isRefreshing = false;
    bool m_pendingRefresh = false;
    bool m_pendingForceSweep = false;
    std::vector<QMetaObject::Connection> m_observers;
    std::unordered_map<int32_t, AppEntry> m_apps;

    int m_refreshCount = 0;
    int m_sweepCount = 0;
};

} // namespace corvane
