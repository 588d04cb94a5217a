#include "system/AwakeController.h"

#include "core/Settings.h"
#include "core/StatusItems.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakePowerHolds.h"
#include "platform/fake/FakeTray.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "support/QtPrinting.h"

#include <QMenu>

#include <gtest/gtest.h>

using namespace corvane;
using Kind = PowerHolds::Kind;

namespace {

struct FakeOpener final : AwakeSettingsOpener {
    void showKeepAwakeSettings() override { ++shown; }
    int shown = 0;
};

class AwakeControllerTest : public ::testing::Test {
protected:
    AwakeControllerTest() {
        // The application re-applies the mode whenever it changes, as the app's dispatcher does.
        connect = QObject::connect(&settings, &Settings::changed, &settings, [this](const QString& key) {
            if (key == QLatin1String("awakeMode"))
                awake.reapplyMode();
        });
    }
    ~AwakeControllerTest() override { QObject::disconnect(connect); }

    std::multiset<Kind> held() const { return holds.heldKinds(); }
    // Timers other than the defaults' pending write.
    int endTimers() {
        defaults.flush();
        return scheduler.pendingTimers();
    }
    FakeTrayIcon* item() const { return tray.icon(QStringLiteral("corvane.awake")); }
    bool lidRecord() { return defaults.boolValue("awakeLidWasDisabled").value_or(false); }
    // The menu as it opens: its top-level rows by title, and the duration submenu.
    QAction* row(QMenu& menu, const QString& title) {
        for (QAction* action : menu.actions())
            if (action->text() == title)
                return action;
        return nullptr;
    }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults{std::make_unique<FakeDefaultsFile>(), scheduler};
    Settings settings{defaults, notifications};
    FakePowerHolds holds;
    FakeTray tray;
    StatusItems statusItems{tray, scheduler};
    FakeOpener opener;
    AwakeController awake{{settings, scheduler, holds, defaults, statusItems, opener}};
    QMetaObject::Connection connect;
};

} // namespace

TEST_F(AwakeControllerTest, TimedPeriodCountsDownAndEndsReleasingItsHolds) {
    EXPECT_EQ(awake.statusText(), "Not active — your computer can sleep");

    awake.start(3 * 3600 + 5 * 60 + 9);
    EXPECT_TRUE(awake.isActive());
    EXPECT_EQ(held(), (std::multiset<Kind>{Kind::displaySleep, Kind::idleSleep}));
    EXPECT_EQ(awake.statusText(), "Active, 3:05:09 left");
    EXPECT_EQ(settings.awakeLastDuration(), 11109.0);

    scheduler.advance(Seconds(9.5));
    EXPECT_EQ(awake.statusText(), "Active, 3:04:59 left");
    scheduler.advance(Seconds(11099.4));
    EXPECT_EQ(awake.statusText(), "Active, 0:00:00 left");
    scheduler.advance(Seconds(0.1));
    EXPECT_FALSE(awake.isActive());
    EXPECT_FALSE(awake.endDate());
    EXPECT_TRUE(holds.held.empty());
    EXPECT_EQ(settings.awakeLastDuration(), 11109.0);

    awake.start(26 * 3600);
    EXPECT_EQ(awake.statusText(), "Active, 26:00:00 left");
    awake.start(std::nullopt);
    EXPECT_EQ(awake.statusText(), "Active, indefinitely");
}

TEST_F(AwakeControllerTest, StartingAgainReplacesTheHoldsAndTheTimer) {
    awake.start(600);
    scheduler.advance(Seconds(300));
    awake.start(900);
    EXPECT_EQ(holds.held.size(), 2u);
    EXPECT_EQ(endTimers(), 1);
    scheduler.advance(Seconds(600));
    EXPECT_TRUE(awake.isActive()); // the first period's end no longer counts
    scheduler.advance(Seconds(300));
    EXPECT_FALSE(awake.isActive());

    // "Indefinitely" over a timed period: no end, no timer, remembered as 0.
    awake.start(600);
    awake.start(std::nullopt);
    EXPECT_FALSE(awake.endDate());
    EXPECT_EQ(endTimers(), 0);
    EXPECT_EQ(settings.awakeLastDuration(), 0.0);
}

TEST_F(AwakeControllerTest, ToggleRepeatsTheLastLength) {
    awake.start(7200);
    awake.toggle();
    EXPECT_FALSE(awake.isActive());
    awake.toggle();
    ASSERT_TRUE(awake.endDate());
    EXPECT_EQ(*awake.endDate(), scheduler.now() + toInstant(Seconds(7200)));

    awake.start(std::nullopt);
    awake.toggle();
    awake.toggle();
    EXPECT_TRUE(awake.isActive());
    EXPECT_FALSE(awake.endDate());
}

TEST_F(AwakeControllerTest, AModeChangeWhileActiveSwapsTheHoldsAndKeepsTheTimeLeft) {
    settings.setAwakeMode(AwakeMode::system); // while inactive: stored, nothing starts
    EXPECT_TRUE(holds.held.empty());

    awake.start(600);
    EXPECT_EQ(held(), (std::multiset<Kind>{Kind::idleSleep}));
    scheduler.advance(Seconds(599.6));
    settings.setAwakeMode(AwakeMode::display);
    EXPECT_EQ(held(), (std::multiset<Kind>{Kind::displaySleep, Kind::idleSleep}));
    EXPECT_EQ(settings.awakeLastDuration(), 1.0); // 0.4 s left is raised to a second
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(awake.isActive());
}

TEST_F(AwakeControllerTest, LidClosedHoldsTheLidSwitchAndRecordsIt) {
    settings.setAwakeMode(AwakeMode::lidClosed);
    awake.start(std::nullopt);
    EXPECT_EQ(held(), (std::multiset<Kind>{Kind::idleSleep, Kind::lidSwitch}));
    EXPECT_TRUE(lidRecord());

    // Restarting in the same mode keeps the one lid hold; another mode lets it go.
    awake.start(600);
    EXPECT_EQ(held(), (std::multiset<Kind>{Kind::idleSleep, Kind::lidSwitch}));
    settings.setAwakeMode(AwakeMode::system);
    EXPECT_EQ(held(), (std::multiset<Kind>{Kind::idleSleep}));
    EXPECT_FALSE(lidRecord());

    // Quitting mid-period drops everything but leaves the record for the next launch to clear.
    settings.setAwakeMode(AwakeMode::lidClosed);
    awake.releaseAll();
    EXPECT_TRUE(holds.held.empty());
    EXPECT_TRUE(lidRecord());
    AwakeController::recoverLidSleep(defaults);
    EXPECT_FALSE(lidRecord());
}

TEST_F(AwakeControllerTest, ARefusedLidHoldFallsBackToTheSystemMode) {
    holds.refused = {Kind::lidSwitch};
    settings.setAwakeMode(AwakeMode::lidClosed);
    awake.start(600);
    EXPECT_TRUE(awake.isActive());
    EXPECT_EQ(settings.awakeMode(), AwakeMode::system);
    EXPECT_EQ(held(), (std::multiset<Kind>{Kind::idleSleep}));
    EXPECT_FALSE(awake.lidSleepDisabled());
    EXPECT_EQ(endTimers(), 1);

    // The same while already active: the switch to lid-closed comes back to the system mode.
    settings.setAwakeMode(AwakeMode::lidClosed);
    EXPECT_EQ(settings.awakeMode(), AwakeMode::system);
    EXPECT_EQ(held(), (std::multiset<Kind>{Kind::idleSleep}));
    EXPECT_EQ(endTimers(), 1);
}

TEST_F(AwakeControllerTest, WithoutAnyHoldNothingClaimsToBeActive) {
    holds.refused = {Kind::idleSleep, Kind::displaySleep, Kind::lidSwitch};
    awake.updateStatusItem();
    awake.toggle();
    EXPECT_FALSE(awake.isActive());
    EXPECT_TRUE(awake.couldNotHold());
    EXPECT_EQ(awake.statusText(), "Not active — your computer can sleep");
    EXPECT_EQ(item()->toolTip(), "Corvane Keep Awake — off");

    holds.refused.clear();
    awake.toggle();
    EXPECT_TRUE(awake.isActive());
    EXPECT_FALSE(awake.couldNotHold());
}

TEST_F(AwakeControllerTest, TheMenuOffersWhatFitsTheStateAndCountsDownWhileOpen) {
    awake.updateStatusItem();
    ASSERT_TRUE(item());
    QMenu& menu = awake.menu();
    EXPECT_EQ(item()->menu(), &menu);

    awake.buildMenu(menu);
    EXPECT_FALSE(menu.actions().front()->isEnabled());
    EXPECT_EQ(menu.actions().front()->text(), "Not active — your computer can sleep");
    ASSERT_TRUE(row(menu, "Keep Awake"));
    QMenu* lengths = row(menu, "Keep Awake For")->menu();
    ASSERT_EQ(lengths->actions().size(), 10);
    for (QAction* length : lengths->actions())
        EXPECT_FALSE(length->isChecked());
    EXPECT_TRUE(row(menu, "Display")->isChecked());
    EXPECT_FALSE(row(menu, "System only")->isChecked());

    lengths->actions()[5]->trigger(); // "2 hours"
    EXPECT_EQ(settings.awakeLastDuration(), 7200.0);
    awake.buildMenu(menu);
    EXPECT_EQ(menu.findChildren<QMenu*>().size(), 1); // rebuilding keeps one submenu
    EXPECT_TRUE(row(menu, "Stop Keeping Awake"));
    lengths = row(menu, "Keep Awake For")->menu();
    EXPECT_TRUE(lengths->actions()[5]->isChecked());
    EXPECT_FALSE(lengths->actions()[9]->isChecked());
    EXPECT_EQ(item()->toolTip(), "Active, 2:00:00 left");

    // The status line counts down only while the menu is open.
    awake.menuWillOpen();
    scheduler.advance(Seconds(2));
    EXPECT_EQ(menu.actions().front()->text(), "Active, 1:59:58 left");
    awake.menuDidClose();
    scheduler.advance(Seconds(2));
    EXPECT_EQ(menu.actions().front()->text(), "Active, 1:59:58 left");

    row(menu, "Lid closed")->trigger();
    EXPECT_EQ(settings.awakeMode(), AwakeMode::lidClosed);
    EXPECT_TRUE(holds.heldKinds().contains(Kind::lidSwitch));
    row(menu, "Keep Awake Settings…")->trigger();
    EXPECT_EQ(opener.shown, 1);
    row(menu, "Stop Keeping Awake")->trigger();
    EXPECT_TRUE(holds.held.empty());
}

TEST_F(AwakeControllerTest, EachRefusalIsToldOnceAndTheMenuOffersEveryModeAnyway) {
    QStringList told;
    QObject::connect(&awake, &AwakeController::problem, [&](const QString& message) { told << message; });
    awake.start(std::nullopt);
    EXPECT_TRUE(told.isEmpty());

    // A refused lid switch, chosen while active: said once, and the period goes on as it says
    holds.refused = {Kind::lidSwitch};
    settings.setAwakeMode(AwakeMode::lidClosed);
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told.last(), "Could not hold the lid switch: keeping awake in System only mode");
    EXPECT_TRUE(awake.isActive());
    EXPECT_EQ(awake.statusText(), "Active, indefinitely");

    // No login service: nothing holds off sleep, in either mode
    holds.refused = {Kind::lidSwitch, Kind::idleSleep};
    awake.start(std::nullopt);
    EXPECT_EQ(told.last(), "Could not keep the computer awake: the system refused to hold off sleep");
    EXPECT_FALSE(awake.isActive());
    settings.setAwakeMode(AwakeMode::display);
    awake.start(std::nullopt);
    EXPECT_EQ(told.last(), "Only the screen is kept on: no login service keeps the computer awake");
    EXPECT_EQ(awake.statusText(), "Screen kept on, indefinitely");
    EXPECT_EQ(told.size(), 3);

    // The menu offers every mode in order, even those the system refuses here
    QMenu& menu = awake.menu();
    awake.buildMenu(menu);
    const QList<QAction*> rows = menu.actions();
    ASSERT_TRUE(row(menu, "Display") && row(menu, "System only") && row(menu, "Lid closed"));
    EXPECT_LT(rows.indexOf(row(menu, "Display")), rows.indexOf(row(menu, "System only")));
    EXPECT_LT(rows.indexOf(row(menu, "System only")), rows.indexOf(row(menu, "Lid closed")));

    // Choosing the refused lid mode there says so once and falls back to System only
    holds.refused = {Kind::lidSwitch};
    row(menu, "Lid closed")->trigger();
    ASSERT_EQ(told.size(), 4);
    EXPECT_EQ(told.last(), "Could not hold the lid switch: keeping awake in System only mode");
    EXPECT_EQ(settings.awakeMode(), AwakeMode::system);
    awake.buildMenu(menu);
    EXPECT_TRUE(row(menu, "System only")->isChecked());
    EXPECT_FALSE(row(menu, "Lid closed")->isChecked());

    // A mode chosen there whose hold is refused is told once, not once per restart it causes
    holds.refused = {Kind::lidSwitch, Kind::idleSleep};
    row(menu, "Display")->trigger();
    ASSERT_EQ(told.size(), 5);
    EXPECT_EQ(told.last(), "Only the screen is kept on: no login service keeps the computer awake");
}

TEST_F(AwakeControllerTest, TheStatusItemFollowsItsSetting) {
    awake.updateStatusItem();
    EXPECT_TRUE(awake.statusItem());
    settings.setShowAwakeIcon(false);
    awake.updateStatusItem();
    EXPECT_FALSE(awake.statusItem());
    EXPECT_FALSE(item());
    EXPECT_FALSE(settings.showAwakeIcon());

    settings.setShowAwakeIcon(true);
    awake.updateStatusItem();
    scheduler.advance(Seconds(5));
    item()->removeByUser();
    scheduler.runDue();
    EXPECT_FALSE(settings.showAwakeIcon());
}
