#include "SpacesServiceFixture.h"

namespace corvane::testing {
namespace {

// Four desktops, the first shown and already listed.
class DesktopSwitchingTest : public SpacesServiceFixture {
protected:
    DesktopSwitchingTest() { service->refresh(); }

    void click(uint64_t id) { service->handleSpaceClick(id, static_cast<int>(id)); }
};

TEST_F(DesktopSwitchingTest, AClickOnAnotherDesktopReadsTheListThenAsksForThatDesktop) {
    QSignalSpy currentSpy(service.get(), &SpacesService::currentIDChanged);
    const int readsBefore = desktops().readCount();
    scheduler.advance(Seconds(3.0));

    // When the third chip is clicked
    click(3);

    // Then the list was read first, the third desktop (index 2) was asked for, and the chip is
    // current at once
    EXPECT_EQ(desktops().readCount(), readsBefore + 1);
    EXPECT_EQ(desktops().switches(), std::vector<int>{2});
    EXPECT_EQ(service->currentID(), 3u);
    EXPECT_EQ(currentSpy.count(), 1);
    EXPECT_EQ(service->lastSwitch(), scheduler.now());
    EXPECT_FALSE(service->isSwitching());
}

TEST_F(DesktopSwitchingTest, FurtherSwitchesAreIgnoredUntilTheRequestIsOut) {
    // Given a switch whose request has not gone out yet
    background.setMode(ManualExecutor::Mode::stepped);
    click(3);
    EXPECT_TRUE(service->isSwitching());

    // When another chip is clicked meanwhile
    click(4);
    background.drain();

    // Then only the first switch was asked for, and switching is over
    EXPECT_EQ(desktops().switches(), std::vector<int>{2});
    EXPECT_FALSE(service->isSwitching());

    // And a click after that switches again
    scheduler.advance(Seconds(1.0)); // not a double click
    click(4);
    background.drain();
    EXPECT_EQ(desktops().switches(), (std::vector<int>{2, 3}));
}

TEST_F(DesktopSwitchingTest, NoSwitchWithoutAKnownDifferentTarget) {
    struct Case {
        const char* name;
        std::optional<DesktopState> state;
        uint64_t target;
    };
    const Case cases[] = {
        {"target already shown", DesktopState{4, 0}, 1},
        {"no desktop shown", DesktopState{4, std::nullopt}, 2},
        {"desktops unreadable", std::nullopt, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        desktops().setState(c.state);
        const int readsBefore = desktops().readCount();
        scheduler.advance(Seconds(1.0)); // not a double click

        click(c.target);

        EXPECT_EQ(desktops().readCount(), readsBefore + 1);
        EXPECT_TRUE(desktops().switches().empty());
        EXPECT_FALSE(service->lastSwitch());
    }
}

TEST_F(DesktopSwitchingTest, ARefusedSwitchPutsTheShownDesktopBackAtOnce) {
    // Given a window manager that refuses the request
    desktops().setRefusesSwitches(true);
    QSignalSpy currentSpy(service.get(), &SpacesService::currentIDChanged);

    // When a chip is clicked
    click(3);

    // Then the desktop really shown is published again, without waiting for a poll
    EXPECT_EQ(desktops().switches(), std::vector<int>{2});
    EXPECT_EQ(service->currentID(), 1u);
    EXPECT_EQ(currentSpy.count(), 2);
    EXPECT_FALSE(service->isSwitching());
}

TEST_F(DesktopSwitchingTest, ADoubleClickOpensTheOverviewOnceTheSwitchHasSettled) {
    desktops().overviewAvailable = true;

    // Given a click that switched, and a second click on the same chip 0.1 s later
    click(3);
    scheduler.advance(Seconds(0.1));
    click(3);

    // Then nothing more is switched, and the overview waits until 0.45 s after the switch
    EXPECT_EQ(desktops().switches(), std::vector<int>{2});
    scheduler.advance(Seconds(0.34));
    EXPECT_EQ(desktops().overviewOpens, 0);
    scheduler.advance(Seconds(0.02));
    EXPECT_EQ(desktops().overviewOpens, 1);

    // A third click starts a new single click: it opens nothing
    click(3);
    scheduler.advance(Seconds(1.0));
    EXPECT_EQ(desktops().overviewOpens, 1);

    // A double click long after the switch opens the overview at once
    click(3);
    scheduler.advance(Seconds(0.05));
    click(3);
    scheduler.runDue();
    EXPECT_EQ(desktops().overviewOpens, 2);
    EXPECT_EQ(desktops().switches(), std::vector<int>{2});
}

TEST_F(DesktopSwitchingTest, WithoutAnOverviewADoubleClickDoesNothing) {
    click(3);
    scheduler.advance(Seconds(0.1));
    click(3);
    scheduler.advance(Seconds(2.0));

    EXPECT_EQ(desktops().overviewOpens, 0);
    EXPECT_EQ(desktops().switches(), std::vector<int>{2});
    EXPECT_EQ(service->currentID(), 3u);
}

TEST_F(DesktopSwitchingTest, DesktopShortcutsCountAsOffWhereTheDesktopHasNone) {
    // Without shortcuts of the desktop's own, nothing is asked of it and enabling reports why not
    EXPECT_FALSE(service->isDesktopShortcutEnabled(1));
    EXPECT_FALSE(service->desktopShortcutsEnabled());
    EXPECT_TRUE(desktops().shortcutQueries.empty());
    EXPECT_TRUE(service->enableDesktopShortcuts().has_value());
    EXPECT_EQ(desktops().enableCalls, 0);
}

TEST_F(DesktopSwitchingTest, DesktopShortcutsAreCheckedForTheListedDesktopsFromTwoToNine) {
    desktops().shortcutsAvailable = true;
    desktops().enabledShortcuts = {1, 2};

    // With one desktop listed, desktops 1 and 2 are checked
    desktops().setDesktops(1, 0);
    service->refresh();
    EXPECT_TRUE(service->desktopShortcutsEnabled());
    EXPECT_EQ(desktops().shortcutQueries, (std::vector<int>{1, 2}));

    // With twelve, one missing is enough to count as off; once enabled, 1 to 9 are checked
    desktops().setDesktops(12, 0);
    service->refresh();
    EXPECT_FALSE(service->desktopShortcutsEnabled());
    EXPECT_FALSE(service->enableDesktopShortcuts().has_value());
    desktops().shortcutQueries.clear();
    EXPECT_TRUE(service->desktopShortcutsEnabled());
    EXPECT_EQ(desktops().shortcutQueries, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

} // namespace
} // namespace corvane::testing
