#include "SettingsFixture.h"

#include "core/PermissionManager.h"
#include "platform/fake/FakePanelWindowing.h"
#include "settings/OnboardingTip.h"
#include "settings/OnboardingView.h"
#include "settings/OnboardingWindowController.h"
#include "settings/PermissionHelpWindow.h"
#include "settings/PermissionRow.h"
#include "settings/SettingsWindowController.h"
#include "snapping/RadialSnapController.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace corvane::testing {
namespace {

using namespace std::chrono_literals;

class OnboardingWindowControllerTest : public SettingsFixture {
protected:
    void grant(bool accessibility, bool screenRecording) {
        platform->fakePermissions->accessibility = accessibility;
        platform->fakePermissions->screenCapture = screenRecording;
    }
    OnboardingWindowController& controller() { return state->onboarding(); }
    OnboardingView& view() { return controller().window()->view(); }
    // How many permission probes run while time moves on by `duration`.
    int probesDuring(Seconds duration) {
        const int before = platform->fakePermissions->accessibilityQueries;
        scheduler.advance(duration);
        return platform->fakePermissions->accessibilityQueries - before;
    }
    // The poll's period, seen from outside: no probe just short of it, one when it is reached.
    bool pollsEvery(double seconds) {
        return probesDuring(Seconds(seconds - 0.05)) == 0 && probesDuring(0.05s) == 1;
    }
};

TEST_F(OnboardingWindowControllerTest, FirstLaunchShowsOnboardingAndFinishingItOpensTheSettings) {
    // Given a first launch: no preferences, nothing granted yet
    buildState();
    state->start(false);

    ASSERT_NE(controller().window(), nullptr);
    EXPECT_TRUE(controller().window()->isVisible());
    EXPECT_EQ(state->settingsWindow().window(), nullptr);
    // Centred by its frame, as the user sees it, at its first showing and at a later one
    OnboardingWindow& window = *controller().window();
    const QRect placed = window.frameGeometry();
    EXPECT_NE(placed.size(), window.size());
    EXPECT_EQ(placed.topLeft(), centredOn(left, placed.size()));
    controller().show();
    EXPECT_EQ(window.frameGeometry(), placed);
    // and the desktop was asked, before that, to offer no minimising
    EXPECT_EQ(platform->fakePanelWindowing->unminimisable.size(), 1);
    EXPECT_EQ(platform->fakePanelWindowing->unminimisable.front(), controller().window()->windowHandle());
    EXPECT_TRUE(pollsEvery(1.0));

    // When the user presses the footer button
    QTest::mouseClick(&view().doneButton(), Qt::LeftButton);

    // Then onboarding counts as done, its window is gone, the poll slows and the settings open
    EXPECT_TRUE(settings->hasCompletedOnboarding());
    EXPECT_EQ(platform->defaults->boolValue("hasCompletedOnboarding"), true);
    EXPECT_EQ(controller().window(), nullptr);
    EXPECT_TRUE(pollsEvery(2.0));
    ASSERT_NE(state->settingsWindow().window(), nullptr);
    EXPECT_TRUE(state->settingsWindow().window()->isVisible());
}

TEST_F(OnboardingWindowControllerTest, AllowWhereNothingCanGrantItExplainsAndCheckAgainProbesAtOnce) {
    // Given a desktop with no place to grant window access, and no window manager yet
    buildState();
    platform->fakeShell->paneOpens[SettingsPane::accessibility] = false;
    controller().show();

    // When the user presses "Allow…"
    view().accessibilityRow().allowButton().click();

    // Then a window says what is missing and how to get it
    auto* help = controller().window()->findChild<PermissionHelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->explanationLabel().text(), QStringLiteral("Start a window manager."));
    // Pressing it again brings back the same window
    view().accessibilityRow().allowButton().click();
    EXPECT_EQ(controller().window()->findChildren<PermissionHelpWindow*>().size(), 1);

    // "Check Again" with nothing changed says so
    help->checkAgainButton().click();
    EXPECT_EQ(help->statusLabel().text(), QStringLiteral("Still missing."));
    EXPECT_FALSE(view().accessibilityRow().isGranted());

    // Once a window manager runs, "Check Again" turns the row green at once and the window goes
    grant(true, false);
    const int queries = platform->fakePermissions->accessibilityQueries;
    help->checkAgainButton().click();
    EXPECT_EQ(platform->fakePermissions->accessibilityQueries, queries + 1);
    EXPECT_TRUE(view().accessibilityRow().isGranted());
    EXPECT_FALSE(help->isVisible());
}

TEST_F(OnboardingWindowControllerTest, MissingPermissionsAreShownAndFollowedLiveByTheOneSecondPoll) {
    // Given a desktop that grants neither permission
    buildState();
    controller().show();
    EXPECT_FALSE(view().accessibilityRow().isGranted());
    EXPECT_FALSE(view().screenRecordingRow().isGranted());
    EXPECT_FALSE(view().accessibilityRow().allowButton().isHidden());
    EXPECT_EQ(view().doneButton().text(), QStringLiteral("Continue Without a Window Manager"));
    EXPECT_TRUE(view().captureTip().isHidden());
    EXPECT_TRUE(view().stageManagerTip().isHidden());

    // Asking for each sends the user to its settings; asking for capture says what the server lacks
    view().accessibilityRow().allowButton().click();
    view().screenRecordingRow().allowButton().click();
    EXPECT_EQ(platform->fakeShell->openedPanes,
              (std::vector<SettingsPane>{SettingsPane::accessibility, SettingsPane::screenRecording}));
    EXPECT_FALSE(view().captureTip().isHidden());
    EXPECT_TRUE(view().captureTip().button().isHidden());

    // When Accessibility is granted, the next one-second poll shows it
    const int queries = platform->fakePermissions->accessibilityQueries;
    grant(true, false);
    scheduler.advance(0.9s);
    EXPECT_EQ(platform->fakePermissions->accessibilityQueries, queries);
    scheduler.advance(0.1s);
    EXPECT_TRUE(view().accessibilityRow().isGranted());
    EXPECT_TRUE(view().accessibilityRow().allowButton().isHidden());
    EXPECT_EQ(view().doneButton().text(), QStringLiteral("Get Started"));

    // Only one permission granted: the window waits for the user
    scheduler.advance(5s);
    EXPECT_NE(controller().window(), nullptr);

    // Once capture is granted too, the relaunch offer goes and, a moment later, the hand-over runs
    grant(true, true);
    scheduler.advance(1s);
    EXPECT_TRUE(view().captureTip().isHidden());
    scheduler.advance(0.8s);
    ASSERT_NE(controller().window(), nullptr);
    scheduler.advance(0.1s);
    EXPECT_EQ(controller().window(), nullptr);
    EXPECT_TRUE(settings->hasCompletedOnboarding());
    EXPECT_NE(state->settingsWindow().window(), nullptr);
}

TEST_F(OnboardingWindowControllerTest, PermissionsAlreadyGrantedAtOpeningHandOverOnlyWhenAsked) {
    grant(true, true);
    buildState();
    controller().show();
    EXPECT_EQ(view().doneButton().text(), QStringLiteral("Get Started"));

    scheduler.advance(10s);
    ASSERT_NE(controller().window(), nullptr);
    EXPECT_FALSE(settings->hasCompletedOnboarding());

    // Return presses the footer button
    QTest::keyClick(controller().window(), Qt::Key_Return);
    EXPECT_EQ(controller().window(), nullptr);
    EXPECT_TRUE(settings->hasCompletedOnboarding());
}

TEST_F(OnboardingWindowControllerTest, ShowingAgainReusesTheWindowAndClosingLeavesOnboardingIncomplete) {
    buildState();
    controller().show();
    OnboardingWindow* first = controller().window();
    first->move(10, 10);
    state->permissions().startPolling(Seconds(3.0));

    // A second show builds nothing: the same window comes back to the pointer's screen
    pointAt(right);
    controller().show();
    EXPECT_EQ(controller().window(), first);
    EXPECT_EQ(first->pos(), centredOn(right, first->frameGeometry().size()));
    EXPECT_TRUE(pollsEvery(1.0));
    EXPECT_EQ(platform->fakeHost->activateCount, 2);

    // Closed by its close button, the window goes but onboarding stays to be done
    first->close();
    EXPECT_EQ(controller().window(), nullptr);
    EXPECT_TRUE(pollsEvery(2.0));
    EXPECT_FALSE(settings->hasCompletedOnboarding());
    EXPECT_EQ(state->settingsWindow().window(), nullptr);

    // Closed because the application quits, it starts nothing: no wheel, no new polling
    controller().show();
    const int wheelStarts = state->radial().startCount();
    platform->fakeHost->terminate();
    controller().window()->close();
    EXPECT_EQ(state->radial().startCount(), wheelStarts);
    EXPECT_TRUE(pollsEvery(1.0));
}

} // namespace
} // namespace corvane::testing
