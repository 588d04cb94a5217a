#include "core/StatusItems.h"
#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeTray.h"
#include "runtime/ManualScheduler.h"

#include <QMenu>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

struct StatusItemsTest : ::testing::Test {
    ManualScheduler scheduler;
    FakeTray tray;
    StatusItems items{tray, scheduler};
    int awakeRemovals = 0;

    TrayIcon& makeAwake() {
        return items.makeStatusItem(QStringLiteral("awake"), [this] {
            ++awakeRemovals;
            // Owners take their item out from the handler, as the setting they switch off asks.
            items.removeStatusItem(QStringLiteral("awake"));
        });
    }
};

} // namespace

TEST_F(StatusItemsTest, ItemsComeAndGoUnderTheirIdentifiers) {
    QMenu menu;
    TrayIcon& awake = makeAwake();
    awake.setMenu(&menu);
    items.makeStatusItem(QStringLiteral("files"), [] {});
    FakeTrayIcon* shown = tray.icon(QStringLiteral("corvane.awake"));
    ASSERT_EQ(shown, &awake);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->menu(), &menu);

    // Making the same item again replaces it: one icon and only the later handler remain
    int earlierRemovals = 0;
    items.makeStatusItem(QStringLiteral("awake"), [&] { ++earlierRemovals; });
    makeAwake();
    EXPECT_EQ(tray.iconCount(), 2);

    // The owner's own removal never calls the handler
    items.removeStatusItem(QStringLiteral("files"));
    scheduler.advance(Seconds(60));
    EXPECT_EQ(tray.iconCount(), 1);
    EXPECT_EQ(items.statusItem(QStringLiteral("files")), nullptr);

    // A user removal a minute later reaches the owner, whose handler removes the item
    tray.icon(QStringLiteral("corvane.awake"))->removeByUser();
    scheduler.runDue();
    EXPECT_EQ(awakeRemovals, 1);
    EXPECT_EQ(earlierRemovals, 0);
    EXPECT_EQ(tray.iconCount(), 0);
    EXPECT_FALSE(items.statusItemsHiddenBySystem());
}

TEST_F(StatusItemsTest, AHideRightAfterCreationIsTheDesktopsAndSwitchesNothingOff) {
    // A removal within 3 seconds counts as the desktop hiding the icon
    makeAwake();
    scheduler.advance(Seconds(1));
    tray.icon(QStringLiteral("corvane.awake"))->removeByUser();
    scheduler.runDue();
    EXPECT_TRUE(items.statusItemsHiddenBySystem());
    EXPECT_EQ(awakeRemovals, 0);
    EXPECT_NE(items.statusItem(QStringLiteral("awake")), nullptr);
}

TEST_F(StatusItemsTest, WithoutATrayHostItemsReportHiddenAndALateHostQuitChangesNothing) {
    // A tray host that quits after 3 seconds takes the icon away, but neither flags nor removes
    makeAwake();
    scheduler.advance(Seconds(4));
    tray.setAvailable(false);
    scheduler.runDue();
    EXPECT_FALSE(items.statusItemsHiddenBySystem());
    EXPECT_EQ(awakeRemovals, 0);

    // An item made while no host runs is hidden from the start
    int flagSignals = 0;
    QObject::connect(&items, &StatusItems::statusItemsHiddenBySystemChanged, [&] { ++flagSignals; });
    TrayIcon& clipboard = items.makeStatusItem(QStringLiteral("clipboard"), [] { FAIL(); });
    EXPECT_FALSE(clipboard.isVisible());
    scheduler.runDue();
    EXPECT_TRUE(items.statusItemsHiddenBySystem());
    EXPECT_EQ(flagSignals, 1);

    // Both items show again once a host starts
    tray.setAvailable(true);
    EXPECT_TRUE(clipboard.isVisible());
    EXPECT_TRUE(items.statusItem(QStringLiteral("awake"))->isVisible());
}

TEST(StatusItemsPurgeTest, OnlyUnnamedItemPositionsArePurged) {
    ManualScheduler scheduler;
    UserDefaults defaults(std::make_unique<FakeDefaultsFile>(), scheduler);
    defaults.set("NSStatusItem Preferred Position Item-0", 120);
    defaults.set("NSStatusItem Preferred Position corvane.awake", 80);
    defaults.set("clipboardEnabled", true);
    purgeStaleStatusItemDefaults(defaults);
    EXPECT_EQ(defaults.keys(), (std::vector<std::string>{"NSStatusItem Preferred Position corvane.awake",
                                                         "clipboardEnabled"}));
}
