// "Allow…" where nothing can grant a permission: on a desktop without a window manager the
// onboarding's Accessibility row opens a window saying what is missing, and once a window manager
// runs, "Check Again" turns the row green at once.
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"

#include "app/AppState.h"
#include "core/PermissionManager.h"
#include "settings/OnboardingView.h"
#include "settings/OnboardingWindow.h"
#include "settings/OnboardingWindowController.h"
#include "settings/PermissionHelpWindow.h"
#include "settings/PermissionRow.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvane::testing {
namespace {

constexpr int kWaitMs = 10000;

// Whether the server shows the window: mapped with every ancestor mapped.
bool isViewable(WId window) {
    xcb_connection_t* x = desktop().connection();
    xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
        x, xcb_get_window_attributes(x, static_cast<xcb_window_t>(window)), nullptr);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return viewable;
}

TEST(PermissionHelp, WithoutAWindowManagerAllowExplainsAndCheckAgainTurnsTheRowGreen) {
    // Given a desktop whose window manager has gone
    desktop().stopWindowManager();
    ASSERT_FALSE(desktop().hasWindowManager());
    LiveApp app;
    PermissionManager& permissions = app.state().permissions();
    permissions.pollTick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !permissions.checking(); }, kWaitMs));
    ASSERT_FALSE(permissions.accessibilityGranted());
    OnboardingWindowController& onboarding = app.state().onboarding();
    onboarding.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(onboarding.window(), kWaitMs));
    PermissionRow& row = onboarding.window()->view().accessibilityRow();

    // When the user presses "Allow…"
    row.allowButton().click();

    // Then a window names what is missing and how to get it, and the server shows it
    auto* help = onboarding.window()->findChild<PermissionHelpWindow*>();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help, kWaitMs));
    const QString text = help->explanationLabel().text();
    EXPECT_TRUE(text.contains(QStringLiteral("EWMH")) && text.contains(QStringLiteral("openbox")))
        << text.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return isViewable(help->winId()); }, kWaitMs));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(folder +
                                                                     QStringLiteral("/permission-help.png")));

    // When a window manager starts and the user presses "Check Again" (the permission poll may
    // have found it and closed the window first)
    const QPointer<PermissionHelpWindow> shown(help);
    desktop().startWindowManagerAgain();
    if (shown)
        shown->checkAgainButton().click();

    // Then the row turns green and the window goes
    EXPECT_TRUE(QTest::qWaitFor([&] { return row.isGranted(); }, kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return onboarding.window()->findChild<PermissionHelpWindow*>() == nullptr; }, kWaitMs));
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
