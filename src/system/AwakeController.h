#pragma once

#include "core/AwakeMode.h"
#include "platform/PowerHolds.h"
#include "runtime/Scheduler.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;

namespace corvane {

class Settings;
class StatusItems;
class TrayIcon;
class UserDefaults;

// One row of the duration table: what the menus show, and the length it stands for.
struct AwakeDuration {
    const char* title;
    double seconds;
    bool indefinite;
};

// Opens the settings window for the keep-awake menu; the application implements it.
class AwakeSettingsOpener {
public:
    virtual ~AwakeSettingsOpener() = default;
    virtual void showKeepAwakeSettings() = 0;
};

// Keeps the computer awake in one of three modes, until stopped or for a chosen time, and owns the
// "awake" status item whose menu starts, stops and times keeping awake and picks the mode.
// Holding is done through power holds that the system ties to this process; in the lid-closed
// mode the lid switch is held too. Main thread.
class AwakeController : public QObject {
    Q_OBJECT
public:
    struct Services {
        Settings& settings;
        Scheduler& scheduler;
        PowerHolds& holds;
        UserDefaults& defaults;
        StatusItems& statusItems;
        AwakeSettingsOpener& opener;
    };
    explicit AwakeController(Services services);
    ~AwakeController() override;

    static const std::array<AwakeDuration, 10>& durations();
    // The menu title, description and holds of each mode.
    static QString title(AwakeMode mode);
    static QString description(AwakeMode mode);
    static std::vector<PowerHolds::Kind> holdKinds(AwakeMode mode);

    bool isActive() const { return m_isActive; }
    // When a timed period ends; none while inactive or indefinite.
    std::optional<Instant> endDate() const { return m_endDate; }
    // The last start took no hold at all: the system would not keep the computer awake.
    bool couldNotHold() const { return m_couldNotHold; }
    // The running period holds only the screen: the system took no hold against idle sleep (no
    // login service), so the screen stays on while the computer may still go to sleep.
    bool holdsScreenOnly() const { return m_isActive && !m_holdsSleep; }
    // Whether the system can hold the lid switch at all (a login service answers).
    bool canHoldLid() const { return m_holds.offers(PowerHolds::Kind::lidSwitch); }
    bool lidSleepDisabled() const { return m_lidSleepDisabled; }

    // Starts a period in the current mode for `seconds`, or without end when none; replaces a
    // running one (its holds and its timer).
    void start(std::optional<double> seconds);
    void stop();
    // Stops a running period, else starts one of the last length.
    void toggle();
    // Restarts a running period in the current mode with the time it has left.
    void reapplyMode();
    // Drops every hold, for quitting; nothing else changes.
    void releaseAll();
    // Shows or removes the status item as `showAwakeIcon` says.
    void updateStatusItem();
    QString statusText() const;

    // At launch: an earlier run that held the lid switch and ended without releasing it needs no
    // repair (the system dropped the hold with the process); only the record goes.
    static void recoverLidSleep(UserDefaults& defaults);
    // Whether the lid-closed mode needs something installed with administrator rights first: never
    // here, the login service grants the lid hold to the user's own session.
    static bool lidSleepHelperNeeded() { return false; }

    // The status item's menu, rebuilt each time it opens.
    QMenu& menu() { return *m_menu; }
    TrayIcon* statusItem() const { return m_item; }
    void buildMenu(QMenu& menu);
    void menuWillOpen();
    void menuDidClose();

Q_SIGNALS:
    void activeChanged(bool active);
    void endDateChanged();
    // After every start and stop: what the status item and the pages show may have changed.
    void statusChanged();
    // A start did not do all it was asked: `message` says what happened, for the user.
    void problem(const QString& message);

private:
    void setActive(bool active);
    void setEndDate(std::optional<Instant> date);
    void releaseAssertions();
    bool setLidSleepDisabled(bool disabled);
    void refreshStatusButton();
    void countdownTick();
    void reportStart();

    Settings& m_settings;
    Scheduler& m_scheduler;
    PowerHolds& m_holds;
    UserDefaults& m_defaults;
    StatusItems& m_statusItems;
    AwakeSettingsOpener& m_opener;

    bool m_isActive = false;
    std::optional<Instant> m_endDate;
    bool m_couldNotHold = false;
    bool m_holdsSleep = false;
    int m_startDepth = 0;      // starts in progress: a refused lid hold restarts from inside one
    int m_starts = 0;          // starts so far, for a menu choice that a settings change applied already
    bool m_lidRefused = false; // the lid switch was refused during the outermost start
    TrayIcon* m_item = nullptr;
    std::unique_ptr<QMenu> m_menu;
    std::vector<PowerHolds::HoldID> m_assertions;
    bool m_lidSleepDisabled = false;
    std::optional<PowerHolds::HoldID> m_lidHold;
    TimerHandle m_endTimer;
    TimerHandle m_menuTimer;
    QPointer<QAction> m_statusLine;
};

} // namespace corvane
