#pragma once

#include "platform/Desktops.h"
#include "platform/Screens.h"
#include "runtime/Scheduler.h"
#include "windows/SpaceInfo.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace corvane {

class Executor;
class RunningApplications;

// The desktops of the strip's display and which one is shown; switching between them by a click
// on a desktop chip. The list is read off the main thread and published here; it is re-read when
// the shown desktop changes, while the strip asks for it every half second, and before every
// switch. Everything here runs on the main thread.
class SpacesService : public QObject {
    Q_OBJECT
public:
    using ScreenProvider = std::function<std::optional<ScreenInfo>()>;

    // One read of the desktops: the list and the id of the shown one.
    struct Reading {
        std::vector<SpaceInfo> spaces;
        std::optional<uint64_t> currentID;
        bool operator==(const Reading&) const = default;
    };

    // Lists the desktops of the main screen until a screen provider is set.
    SpacesService(Desktops& desktops, Screens& screens, RunningApplications& runningApplications,
                  Scheduler& scheduler, Executor& background);
    ~SpacesService() override;

    // --- Published state; each signal fires only when its value really changed. ---
    const std::vector<SpaceInfo>& spaces() const { return m_spaces; }
    std::optional<uint64_t> currentID() const { return m_currentID; }

    // --- Listing ---
    // The screen whose desktops are listed; replaces the previous provider.
    void setScreenProvider(ScreenProvider provider) { m_screenProvider = std::move(provider); }
    const ScreenProvider& screenProvider() const { return m_screenProvider; }
    // Follows changes of the shown desktop from now on, and reads the list once. Only the first
    // call does anything.
    void start();
    bool isStarted() const { return static_cast<bool>(m_observer); }
    // Reads the desktops again. Dropped, not queued, while a read is under way.
    void refresh();
    // On: a refresh now and every half second after; off: stops that.
    void startSpacesTimer(bool run);

    // The desktops of a display; none when they cannot be read. Any thread.
    static std::optional<Reading> readManagedSpaces(Desktops& desktops,
                                                    const std::optional<QString>& displayIdentifier);
    // None for a count no window manager would keep: such a list is taken as unreadable.
    static std::optional<Reading> parseDesktopState(const DesktopState& state);

    // --- Switching ---
    // A click on a desktop chip: switches to it; a second click on the same chip within the
    // double-click interval opens the overview of all desktops instead, where there is one.
    void handleSpaceClick(uint64_t id, int index);
    // Shows the desktop at `index` (from 1). Skipped while a switch is under way, when the shown
    // desktop is not known or is the target already.
    void switchToSpace(uint64_t id, int index);

    // The desktop's own shortcuts to desktop n; false wherever they cannot be read.
    bool isDesktopShortcutEnabled(int number);
    // Whether the shortcuts to every listed desktop are on (at least desktops 1 and 2, at most 9).
    bool desktopShortcutsEnabled();
    // Turns the shortcuts to desktops 1 to 9 on. The reason it could not be done, or none.
    std::optional<QString> enableDesktopShortcuts();

    static constexpr double pollInterval = 0.5;
    static constexpr double pollTolerance = 0.1;
    // A double click soon after a switch waits until the switch has been under way this long
    // before opening the overview.
    static constexpr double overviewSettleDelay = 0.45;
    // More desktops than this are taken as a garbled count.
    static constexpr uint32_t maximumDesktops = 1024;

    // Test aids.
    bool isRefreshing() const { return m_refreshing; }
    bool isSwitching() const { return m_switching; }
    bool isTimerRunning() const { return m_timer.isValid(); }
    std::optional<Instant> lastSwitch() const { return m_lastSwitch; }

Q_SIGNALS:
    void spacesChanged();
    void currentIDChanged();

private:
    struct Click {
        uint64_t id = 0;
        Instant time{};
    };

    QCoro::Task<void> runRefresh(std::optional<QString> displayIdentifier);
    void apply(const std::optional<Reading>& reading);
    void setSpaces(std::vector<SpaceInfo> spaces);
    void setCurrentID(std::optional<uint64_t> id);
    QCoro::Task<void> openOverview(Seconds delay);
    QCoro::Task<void> requestDesktop(int index);

    Desktops& m_desktops;
    RunningApplications& m_running;
    Scheduler& m_scheduler;
    Executor& m_background;

    std::vector<SpaceInfo> m_spaces;
    std::optional<uint64_t> m_currentID;
    ScreenProvider m_screenProvider;
    QMetaObject::Connection m_observer;
    bool m_switching = false;
    TimerHandle m_timer;
    std::optional<Click> m_lastClick;
    std::optional<Instant> m_lastSwitch; // none: never switched
    bool m_refreshing = false;
};

} // namespace corvane
