#include "SpacesServiceFixture.h"

namespace corvane::testing {
namespace {

using SpacesServiceTest = SpacesServiceFixture;

TEST_F(SpacesServiceTest, ReadingListsEveryDesktopNumberedFromOneAndMarksTheShownOne) {
    // Given four desktops with the third shown
    desktops().setDesktops(4, 2);

    // When the service reads them
    service->refresh();

    // Then each is listed by its position, none full-screen, and the third is current
    const std::vector<SpaceInfo> expected{{1, 1, false}, {2, 2, false}, {3, 3, false}, {4, 4, false}};
    EXPECT_EQ(service->spaces(), expected);
    EXPECT_EQ(service->currentID(), 3u);
    EXPECT_FALSE(service->isRefreshing());
}

TEST_F(SpacesServiceTest, OddDesktopStatesParseToWhatTheyCanStandFor) {
    // A shown desktop past the end of the list, or none at all, names no listed desktop.
    auto pastEnd = SpacesService::parseDesktopState(DesktopState{2, 5});
    ASSERT_TRUE(pastEnd);
    EXPECT_EQ(ids(pastEnd->spaces), (std::vector<uint64_t>{1, 2}));
    EXPECT_FALSE(pastEnd->currentID);
    EXPECT_FALSE(SpacesService::parseDesktopState(DesktopState{3, std::nullopt})->currentID);

    // No desktops is an empty list, not a failed read.
    auto empty = SpacesService::parseDesktopState(DesktopState{0, 0});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->spaces.empty());
    EXPECT_FALSE(empty->currentID);

    // A count no window manager keeps is garbage; allocating for it would be the fault.
    EXPECT_TRUE(SpacesService::parseDesktopState(DesktopState{SpacesService::maximumDesktops, 0}));
    EXPECT_FALSE(SpacesService::parseDesktopState(DesktopState{0xFFFFFFFFu, 0}));
}

TEST_F(SpacesServiceTest, TheScreenProviderNamesTheDisplayThatIsRead) {
    // Given a main screen with a UUID, the default provider asks for that display
    platform.fakeScreens->setScreens(
        {ScreenInfo{"HDMI-1", QRectF(0, 0, 800, 600), QRectF(0, 0, 800, 560), 1, QStringLiteral("UUID-A")}});
    service->refresh();

    // When the provider gives a screen without a UUID, then none at all
    service->setScreenProvider([] { return std::optional(ScreenInfo{"DP-2", QRectF(), QRectF(), 2, {}}); });
    service->refresh();
    service->setScreenProvider([] { return std::optional<ScreenInfo>(); });
    service->refresh();

    // Then the display is named by its UUID, else its name, else not at all
    const std::vector<std::optional<QString>> expected{QStringLiteral("UUID-A"), QStringLiteral("DP-2"),
                                                       std::nullopt};
    EXPECT_EQ(desktops().readDisplays(), expected);
    // And every display has the one list of desktops
    EXPECT_EQ(service->spaces().size(), 4u);
}

TEST_F(SpacesServiceTest, AnUnreadableListEmptiesTheChipsButKeepsTheShownDesktop) {
    // Given a read list with the first desktop shown
    service->refresh();
    QSignalSpy spacesSpy(service.get(), &SpacesService::spacesChanged);
    QSignalSpy currentSpy(service.get(), &SpacesService::currentIDChanged);

    // When the desktops cannot be read
    desktops().setState(std::nullopt);
    service->refresh();

    // Then the list is emptied, announced once, and the current id stays
    EXPECT_TRUE(service->spaces().empty());
    EXPECT_EQ(service->currentID(), 1u);
    EXPECT_EQ(spacesSpy.count(), 1);
    EXPECT_EQ(currentSpy.count(), 0);

    // And a later successful read lists them again
    desktops().setDesktops(2, 1);
    service->refresh();
    EXPECT_EQ(ids(service->spaces()), (std::vector<uint64_t>{1, 2}));
    EXPECT_EQ(service->currentID(), 2u);
}

TEST_F(SpacesServiceTest, ObserversHearOnlyRealChanges) {
    QSignalSpy spacesSpy(service.get(), &SpacesService::spacesChanged);
    QSignalSpy currentSpy(service.get(), &SpacesService::currentIDChanged);

    // The first read changes both; reading the same again changes nothing
    service->refresh();
    service->refresh();
    EXPECT_EQ(spacesSpy.count(), 1);
    EXPECT_EQ(currentSpy.count(), 1);

    // Another desktop shown: only the current id changes
    desktops().setDesktops(4, 1);
    service->refresh();
    EXPECT_EQ(spacesSpy.count(), 1);
    EXPECT_EQ(currentSpy.count(), 2);

    // A desktop added: only the list changes
    desktops().setDesktops(5, 1);
    service->refresh();
    EXPECT_EQ(spacesSpy.count(), 2);
    EXPECT_EQ(currentSpy.count(), 2);

    // The shown desktop no longer named: the current id is cleared
    desktops().setDesktops(5, std::nullopt);
    service->refresh();
    EXPECT_FALSE(service->currentID());
    EXPECT_EQ(currentSpy.count(), 3);
}

TEST_F(SpacesServiceTest, ARefreshAskedForDuringARunningReadIsDropped) {
    // Given a read under way
    background.setMode(ManualExecutor::Mode::stepped);
    service->refresh();
    EXPECT_TRUE(service->isRefreshing());

    // When another refresh is asked for, then nothing more is read
    service->refresh();
    background.drain();
    EXPECT_EQ(desktops().readCount(), 1);
    EXPECT_FALSE(service->isRefreshing());
    EXPECT_EQ(service->spaces().size(), 4u);

    // And once it has finished, the next refresh reads again
    service->refresh();
    background.drain();
    EXPECT_EQ(desktops().readCount(), 2);
}

TEST_F(SpacesServiceTest, StartFollowsDesktopChangesAndOnlyTheFirstCallCounts) {
    // When started, the list is read once
    service->start();
    EXPECT_TRUE(service->isStarted());
    EXPECT_EQ(desktops().readCount(), 1);

    // A desktop change reported by the desktop is read back
    desktops().setDesktops(4, 3);
    platform.fakeRunningApplications->emitActiveSpaceChanged();
    EXPECT_EQ(desktops().readCount(), 2);
    EXPECT_EQ(service->currentID(), 4u);

    // A second start neither reads nor listens twice
    service->start();
    EXPECT_EQ(desktops().readCount(), 2);
    platform.fakeRunningApplications->emitActiveSpaceChanged();
    EXPECT_EQ(desktops().readCount(), 3);
}

TEST_F(SpacesServiceTest, ThePollRunsOnlyWhileAskedFor) {
    // Not switched on: nothing is read as time passes
    scheduler.advance(Seconds(5.0));
    EXPECT_EQ(desktops().readCount(), 0);

    // Switched on: one read now, then one every half second
    service->startSpacesTimer(true);
    EXPECT_EQ(desktops().readCount(), 1);
    EXPECT_EQ(scheduler.repeatingTimers(),
              (std::vector<std::pair<Seconds, Seconds>>{{Seconds(0.5), Seconds(0.1)}}));
    scheduler.advance(Seconds(0.5));
    EXPECT_EQ(desktops().readCount(), 2);

    // Switched on again: no second timer and no extra read
    service->startSpacesTimer(true);
    EXPECT_EQ(desktops().readCount(), 2);
    scheduler.advance(Seconds(1.0));
    EXPECT_EQ(desktops().readCount(), 4);

    // Switched off (twice): nothing more is read
    service->startSpacesTimer(false);
    service->startSpacesTimer(false);
    EXPECT_FALSE(service->isTimerRunning());
    scheduler.advance(Seconds(5.0));
    EXPECT_EQ(desktops().readCount(), 4);
}

} // namespace
} // namespace corvane::testing
