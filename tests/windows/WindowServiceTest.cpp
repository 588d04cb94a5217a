#include "WindowServiceFixture.h"

#include <QSignalSpy>

namespace corvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class WindowServiceTest : public WindowServiceFixture {};

TEST_F(WindowServiceTest, OnlyOrdinaryWindowsOfOtherProgramsAreListed) {
    // Given on-screen windows that each break one rule, and two minimised ones around the size limit
    apps().add(200, "Editor");
    apps().add(300, "Excluded", QStringLiteral("org.example.Excluded"));
    settings->setExcludedBundleIDs({QStringLiteral("org.example.Excluded")});
    list().add(1, 100, QRectF(0, 0, 119, 400));
    list().add(2, 100, QRectF(0, 0, 120, 120));
    list().add(3, 100, QRectF(0, 0, 400, 400)).alpha = 0;
    list().add(4, 100, QRectF(0, 0, 400, 400)).layer = 3;
    list().add(5, ownPID, QRectF(0, 0, 400, 400));
    list().add(6, 100, QRectF(0, 0, 400, 400)).owner = QStringLiteral("Plank");
    list().add(7, 300, QRectF(0, 0, 400, 400));
    addOffScreenWindow(200, 8, true, QRectF(0, 0, 119, 400));
    addOffScreenWindow(200, 9, true, QRectF(0, 0, 120, 120));
    addOffScreenWindow(ownPID, 10, true);

    // When the list is refreshed
    refresh();

    // Then only the 120-point windows of other, not excluded programs remain
    EXPECT_THAT(ids(service->allWindows()), ElementsAre(2, 9));
    EXPECT_TRUE(info(9).isMinimized);
}

TEST_F(WindowServiceTest, NewWindowsAreStampedAboutOneSecondBackInTheirStackingOrder) {
    // Given three new windows in one pass
    for (uint32_t id : {1u, 2u, 3u})
        addWindow(100, id);
    refresh();
    const QDateTime first = scheduler.wallNow();
    EXPECT_EQ(info(1).lastActivated, first.addMSecs(-1001));
    EXPECT_EQ(info(2).lastActivated, first.addMSecs(-1002));
    EXPECT_EQ(info(3).lastActivated, first.addMSecs(-1003));
    EXPECT_THAT(ids(service->windows()), ElementsAre(1, 2, 3));

    // When two more appear behind the known ones later
    scheduler.advance(Seconds(10));
    addWindow(100, 4);
    addWindow(100, 5);
    refresh();

    // Then they count from their place among all kept windows, and the known keep their stamps
    const QDateTime second = scheduler.wallNow();
    EXPECT_EQ(info(4).lastActivated, second.addMSecs(-1004));
    EXPECT_EQ(info(5).lastActivated, second.addMSecs(-1005));
    EXPECT_EQ(info(1).lastActivated, first.addMSecs(-1001));
    EXPECT_THAT(ids(service->windows()), ElementsAre(4, 5, 1, 2, 3));
}

TEST_F(WindowServiceTest, OffScreenWindowsAreListedOnlyWhenMinimisedOrTheirProgramIsHidden) {
    // Given an on-screen window, a minimised one, one of a hidden program, and one on another desktop
    apps().add(200, "Editor");
    apps().add(300, "Viewer").isHidden = true;
    addWindow(200, 1);
    addOffScreenWindow(200, 2, true);
    addOffScreenWindow(300, 3, false);
    addOffScreenWindow(200, 4, false);

    // When the list is refreshed
    refresh();

    // Then the minimised and hidden ones follow the recent one, stamped an hour back
    EXPECT_THAT(ids(service->windows()), ElementsAre(1, 3, 2));
    const QDateTime now = scheduler.wallNow();
    EXPECT_EQ(info(2).lastActivated, now.addSecs(-3600));
    EXPECT_TRUE(info(2).isMinimized);
    EXPECT_FALSE(info(2).isAppHidden);
    EXPECT_TRUE(info(3).isAppHidden);
    EXPECT_EQ(info(3).appName, "Viewer");
}

TEST_F(WindowServiceTest, ReadableProgramsVouchForTheirWindowsOthersAreTakenAsListed) {
    // Given a readable program with a floating panel, a window it does not report, and a program
    // that cannot be read
    addWindow(200, 1);
    addWindow(200, 2);
    axDesktop().window(200, 2)->subrole = QStringLiteral("AXFloatingWindow");
    list().add(3, 200, QRectF(0, 0, 400, 300));
    list().add(4, 300, QRectF(0, 0, 400, 300));

    // When the list is refreshed
    refresh();

    // Then only the readable program's standard window and the unreadable program's window show
    EXPECT_THAT(ids(service->allWindows()), ElementsAre(1, 4));

    // When the program stops answering
    axDesktop().program(200)->windowsStatus = AXStatus::failed;
    scheduler.advance(Seconds(1));
    refresh(true);

    // Then its windows are listed as the window manager shows them
    EXPECT_THAT(ids(service->allWindows()), ElementsAre(1, 2, 3, 4));
}

TEST_F(WindowServiceTest, SweepIsThrottledUnlessAWindowAppearsOrVanishes) {
    // Given a first pass, which always sweeps
    addWindow(200, 1);
    refresh();
    EXPECT_EQ(service->sweepCount(), 1);

    // When nothing changes for exactly four seconds, then no sweep; just past it, a sweep
    scheduler.advance(Seconds(4));
    refresh();
    EXPECT_EQ(service->sweepCount(), 1);
    scheduler.advance(Seconds(0.001));
    refresh();
    EXPECT_EQ(service->sweepCount(), 2);

    // When a new window of the readable program appears a second later
    scheduler.advance(Seconds(1));
    addWindow(200, 2, QRectF(0, 0, 400, 300), QStringLiteral("New"));
    refresh();

    // Then the same pass sweeps and lists it
    EXPECT_EQ(service->sweepCount(), 3);
    EXPECT_THAT(ids(service->allWindows()), UnorderedElementsAre(1, 2));

    // When a window vanishes a second later, the pass sweeps again
    scheduler.advance(Seconds(1));
    list().entries().erase(list().entries().begin());
    refresh();
    EXPECT_EQ(service->sweepCount(), 4);
    EXPECT_THAT(ids(service->allWindows()), ElementsAre(2));
}

TEST_F(WindowServiceTest, WindowItsReadableProgramDoesNotReportCausesNoSweepStorm) {
    // Given a readable program with an on-screen window it does not report
    addWindow(200, 1);
    list().add(2, 200, QRectF(0, 0, 400, 300));
    refresh();
    ASSERT_EQ(service->sweepCount(), 1);

    // When the one-second refreshes go on for three seconds
    for (int tick = 0; tick < 3; ++tick) {
        scheduler.advance(Seconds(1));
        refresh();
    }

    // Then no further sweep ran and the unreported window stays out
    EXPECT_EQ(service->sweepCount(), 1);
    EXPECT_THAT(ids(service->allWindows()), ElementsAre(1));
}

TEST_F(WindowServiceTest, WithoutWindowReadingPermissionNothingIsSweptOrChecked) {
    // Given the permission is not granted and a program that would report a floating panel
    platform.fakePermissions->accessibility = false;
    PermissionManager::resetCachedFlags();
    addWindow(200, 1);
    axDesktop().window(200, 1)->subrole = QStringLiteral("AXFloatingWindow");
    addOffScreenWindow(200, 2, true);

    // When the list is refreshed, forced
    refresh(true);

    // Then the on-screen window is listed unchecked and the minimised one is unknown
    EXPECT_EQ(service->sweepCount(), 0);
    EXPECT_THAT(ids(service->allWindows()), ElementsAre(1));
}

TEST_F(WindowServiceTest, NamesAndTitlesFallBackToWhatIsKnown) {
    // Given a program whose name carries formatting marks and padding, with an untitled window
    apps().add(200, QStringLiteral("\u200E Editor\u2069 \n"), QStringLiteral("org.example.Editor"));
    addWindow(200, 1);
    axDesktop().window(200, 1)->title = QStringLiteral("Report.txt");
    // ... and a window whose program the desktop does not know
    list().add(2, 300, QRectF(0, 0, 400, 300), QStringLiteral("Listed title")).owner =
        QStringLiteral("viewer");

    // When the list is refreshed
    refresh();

    // Then the program's cleaned name and the program's own title are shown
    EXPECT_EQ(info(1).appName, "Editor");
    EXPECT_EQ(info(1).bundleID, QStringLiteral("org.example.Editor"));
    EXPECT_EQ(info(1).title, "Report.txt");
    EXPECT_EQ(info(2).appName, "viewer");
    EXPECT_EQ(info(2).bundleID, std::nullopt);
    EXPECT_EQ(info(2).title, "Listed title");
}

TEST_F(WindowServiceTest, ProgramLookupIsRememberedEvenWhenItFindsNothingUntilTheProgramQuits) {
    // Given a window listed before the desktop knows its program
    list().add(1, 300, QRectF(0, 0, 400, 300)).owner = QStringLiteral("viewer");
    refresh();
    EXPECT_EQ(info(1).appName, "viewer");

    // When the program becomes known, the miss is still what is remembered
    apps().add(300, "Viewer");
    refresh();
    EXPECT_EQ(info(1).appName, "viewer");

    // and so are found facts: another program taking the pid changes nothing until the quit
    apps().add(300, "Painter");
    refresh();
    EXPECT_EQ(info(1).appName, "viewer");
    QSignalSpy terminated(service.get(), &WindowService::applicationTerminated);
    service->installAppObservers();
    apps().emitTerminated(300);

    // Then the forced refresh looks the pid up afresh
    ASSERT_EQ(terminated.count(), 1);
    EXPECT_EQ(terminated.at(0).at(0).value<int32_t>(), 300);
    EXPECT_EQ(info(1).appName, "Painter");

    // A window listed before its program was known is named once the program's launch is heard
    list().add(2, 400, QRectF(0, 0, 400, 300)).owner = QStringLiteral("editor");
    refresh();
    apps().add(400, "Editor");
    apps().emitLaunched(400);
    EXPECT_EQ(info(2).appName, "Editor");
}

TEST_F(WindowServiceTest, FrontProgramsTopWindowIsActiveAndStampedWhenItComesToTheTop) {
    // Given two windows of the front program and one of another, stamped in the past
    apps().frontmost = 100;
    addWindow(200, 3);
    addWindow(100, 1);
    addWindow(100, 2);
    refresh();
    // The topmost window is another program's: nothing is stamped, the front program's first
    // window is the active one
    EXPECT_THAT(ids(service->windows()), ElementsAre(3, 1, 2));
    EXPECT_TRUE(info(1).isActive);
    EXPECT_FALSE(info(2).isActive);
    EXPECT_FALSE(info(3).isActive);

    // When the front program's second window is raised to the top
    scheduler.advance(Seconds(10));
    std::rotate(list().entries().begin(), list().entries().begin() + 2, list().entries().end());
    refresh();

    // Then it is stamped now and leads the recent ordering
    EXPECT_EQ(info(2).lastActivated, scheduler.wallNow());
    EXPECT_TRUE(info(2).isActive);
    EXPECT_FALSE(info(1).isActive);
    EXPECT_THAT(ids(service->windows()), ElementsAre(2, 3, 1));

    // When a background program's window is raised instead, it is not stamped
    scheduler.advance(Seconds(10));
    std::swap(list().entries()[0], list().entries()[1]);
    refresh();
    EXPECT_THAT(ids(service->windows()), ElementsAre(2, 3, 1));
    EXPECT_TRUE(info(2).isActive);
}

TEST_F(WindowServiceTest, RequestsDuringARunningPassFoldIntoOneFurtherPass) {
    // Given a swept list, then a pass held open on the window-list read
    addWindow(200, 1);
    refresh();
    scheduler.advance(Seconds(1));
    const int reads = list().readCount();
    background.setMode(ManualExecutor::Mode::stepped);
    refresh();

    // When three more requests arrive meanwhile, one of them forced
    refresh();
    refresh(true);
    refresh();

    // Then the held pass finishes without a sweep, and exactly one more pass follows and sweeps
    background.runNextWork();
    background.deliverAll();
    EXPECT_EQ(list().readCount(), reads + 1);
    EXPECT_EQ(service->sweepCount(), 1);
    background.drain();
    EXPECT_EQ(list().readCount(), reads + 2);
    EXPECT_EQ(service->sweepCount(), 2);
}

TEST_F(WindowServiceTest, VanishedWindowLosesItsPinAndIsNewWhenItReturns) {
    // Given a pinned window
    addWindow(100, 1);
    addWindow(100, 2);
    refresh();
    service->togglePin(2);
    QSignalSpy pinnedChanged(service.get(), &WindowService::pinnedChanged);

    // When it leaves the screen, its pin goes
    scheduler.advance(Seconds(10));
    const WindowListEntry gone = list().entries().back();
    list().entries().pop_back();
    refresh();
    EXPECT_TRUE(service->pinned().empty());
    EXPECT_EQ(pinnedChanged.count(), 1);

    // When it comes back, it is stamped as new; the refresh's prune tells the pins' observers
    // even though it removed nothing
    scheduler.advance(Seconds(10));
    list().entries().push_back(gone);
    refresh();
    EXPECT_EQ(info(2).lastActivated, scheduler.wallNow().addMSecs(-1002));
    EXPECT_EQ(pinnedChanged.count(), 2);
}

TEST_F(WindowServiceTest, TimerStartsOnceWithOneForcedRefreshAndTicksEverySecond) {
    // When the timer is started twice
    service->startWindowTimer(true);
    service->startWindowTimer(true);

    // Then one timer of 1 s (tolerance 0.2 s) runs and one forced refresh happened
    ASSERT_EQ(scheduler.repeatingTimers().size(), 1u);
    EXPECT_EQ(scheduler.repeatingTimers().front().first, Seconds(1.0));
    EXPECT_EQ(scheduler.repeatingTimers().front().second, Seconds(0.2));
    EXPECT_EQ(service->refreshCount(), 1);
    EXPECT_EQ(service->sweepCount(), 1);

    // When two seconds pass, two unforced refreshes ran, which the throttle keeps from sweeping
    scheduler.advance(Seconds(2));
    EXPECT_EQ(service->refreshCount(), 3);
    EXPECT_EQ(service->sweepCount(), 1);

    // When it is stopped and started again, a new timer and a new forced refresh
    service->startWindowTimer(false);
    scheduler.advance(Seconds(2));
    EXPECT_EQ(service->refreshCount(), 3);
    service->startWindowTimer(true);
    EXPECT_EQ(service->refreshCount(), 4);
    EXPECT_EQ(service->sweepCount(), 2);
    EXPECT_EQ(scheduler.repeatingTimers().size(), 1u);
}

TEST_F(WindowServiceTest, TicksReadNothingWhileNothingTheWindowListReadsChanged) {
    // Given a window list that tells when what it reads changed, read by the timer's start
    list().add(1, 100, QRectF(0, 0, 400, 300));
    list().changes = 5;
    service->startWindowTimer(true);
    ASSERT_EQ(list().readCount(), 1);

    // When ten seconds pass with no change, then one change comes
    scheduler.advance(Seconds(10));
    const int readsUnchanged = list().readCount();
    const int sweepsUnchanged = service->sweepCount();
    list().changes = 6;
    scheduler.advance(Seconds(1));

    // Then the list was read again, and swept, only after the change
    EXPECT_EQ(readsUnchanged, 1);
    EXPECT_EQ(sweepsUnchanged, 1);
    EXPECT_EQ(list().readCount(), 2);
    EXPECT_EQ(service->sweepCount(), 2);
}

TEST_F(WindowServiceTest, TicksReadTheListAgainOnceTheExcludedProgramsChange) {
    // Given the strip's ticks over a window list whose server tells of no change
    apps().add(200, "Editor", QStringLiteral("org.example.Editor"));
    addWindow(200, 1);
    addWindow(300, 2);
    list().changes = 5;
    service->startWindowTimer(true);
    scheduler.advance(Seconds(2));
    ASSERT_THAT(ids(service->windows()), ElementsAre(1, 2));

    // When the editor is excluded, its window is gone at the next tick
    settings->setExcludedBundleIDs({QStringLiteral("org.example.Editor")});
    scheduler.advance(Seconds(1));
    EXPECT_THAT(ids(service->windows()), ElementsAre(2));

    // And back at the next tick once it is no longer excluded
    settings->setExcludedBundleIDs({});
    scheduler.advance(Seconds(1));
    EXPECT_THAT(ids(service->windows()), ElementsAre(1, 2));
}

TEST_F(WindowServiceTest, TicksSweepAgainWhenASlowProgramsBackOffBeginsAndEnds) {
    // Given a program with a window on screen and a minimised one, whose first reading is slow,
    // under the strip's ticks over a window list whose server tells of no change
    addWindow(200, 1);
    addOffScreenWindow(200, 2, true);
    list().changes = 5;
    axDesktop().onWindowsRead = [this](int32_t) { scheduler.advance(Seconds(0.5)); };
    service->startWindowTimer(true);
    axDesktop().onWindowsRead = nullptr;
    ASSERT_THAT(ids(service->allWindows()), ElementsAre(1, 2));

    // When the next sweep falls due, it leaves the program out: its minimised window goes
    scheduler.advance(Seconds(5));
    EXPECT_THAT(ids(service->allWindows()), ElementsAre(1));

    // Then the first sweep due after its back-off reads it again
    scheduler.advance(Seconds(16));
    EXPECT_THAT(ids(service->allWindows()), ElementsAre(1, 2));
}

TEST_F(WindowServiceTest, EveryDesktopNotificationForcesASweepingRefresh) {
    // Given observers installed and a swept list
    service->installAppObservers();
    refresh();
    ASSERT_EQ(service->sweepCount(), 1);

    // When each notification arrives, within the throttle's interval
    apps().emitLaunched(1);
    apps().emitTerminated(1);
    apps().emitActivated(1);
    apps().emitHidden(1);
    apps().emitUnhidden(1);
    apps().emitActiveSpaceChanged();

    // Then each forced a refresh that swept
    EXPECT_EQ(service->refreshCount(), 7);
    EXPECT_EQ(service->sweepCount(), 7);
}

} // namespace
} // namespace corvane::testing
