// The window switcher on a real desktop: Alt held, Tab pressed through XTest and Alt let go
// switches to the window the switcher selected; Escape leaves the front window in front; the
// strip shows while the switcher is open.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/XTestInput.h"

#include "ShortcutKit/AppShortcuts.h"
#include "app/Hotkeys.h"
#include "core/Settings.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarPanel.h"
#include "sidebar/SwitcherController.h"
#include "windows/WindowService.h"

#include <QTest>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;

class Switcher : public ::testing::Test {
protected:
    Switcher() {
        app.settings().setAutoHide(true);
        registerHotkeys(app.state());
        for (int i = 0; i < 4; ++i)
            windows.push_back(programs.openLogo(app.platform()));
        app.await(app.state().windows().refresh(true));
        app.state().sidebar().start();
    }

    SwitcherController& switcher() { return app.state().switcher(); }
    bool stripShows() {
        SidebarPanel* panel = app.state().sidebar().panel();
        return panel && panel->isVisible() && app.state().sidebar().isRevealed();
    }
    void holdAlt() { typist.press(typist.keycode(XKB_KEY_Alt_L)); }
    void releaseAlt() { typist.release(typist.keycode(XKB_KEY_Alt_L)); }
    // A key pressed and let go as a person would: a server-time tick apart from the next key, so
    // that the release and the next press do not read as one auto-repeat.
    void tap(xcb_keysym_t key) {
        typist.press(typist.keycode(key));
        QTest::qWait(20);
        typist.release(typist.keycode(key));
        QTest::qWait(20);
    }

    LiveApp app;
    XTestInput typist;
    FocusedPrograms programs;
    std::vector<xcb_window_t> windows;
};

TEST_F(Switcher, AltTabTwiceThenReleasingAltFocusesTheSelectedWindow) {
    const uint32_t front = activeWindow();
    ASSERT_EQ(front, windows.back());
    ASSERT_FALSE(stripShows());

    holdAlt();
    tap(XKB_KEY_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return switcher().isActive(); }, waitMs));
    EXPECT_EQ(switcher().index(), 1);
    tap(XKB_KEY_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return switcher().index() == 2; }, waitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return stripShows(); }, waitMs));
    const uint32_t chosen = switcher().list()[2].windowID;
    EXPECT_NE(chosen, front);

    releaseAlt();
    EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == chosen; }, waitMs));
    EXPECT_FALSE(switcher().isActive());
    // The auto-hiding strip goes back out of sight.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app.state().sidebar().isRevealed(); }, waitMs));
}

TEST_F(Switcher, EscapeLeavesTheFrontWindowInFront) {
    const uint32_t front = activeWindow();
    holdAlt();
    tap(XKB_KEY_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return switcher().isActive(); }, waitMs));
    tap(XKB_KEY_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !switcher().isActive(); }, waitMs));
    releaseAlt();
    // Nothing is to happen: give a wrong activation the time it would take to show.
    QTest::qWait(300);
    EXPECT_EQ(activeWindow(), front);
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
