// The window switcher on a real desktop: Alt held, Tab pressed through XTest and Alt let go
// switches to the window the switcher selected; Escape leaves the front window in front; the
// strip shows while the switcher is open; Escape reaches no other program while other keys do;
// a chosen window that takes no keyboard still comes to the top.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "ShortcutKit/AppShortcuts.h"
#include "app/Hotkeys.h"
#include "core/Settings.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarPanel.h"
#include "sidebar/SwitcherController.h"
#include "windows/WindowService.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
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
        // A person's pace: the press and its release on different server times.
        QTest::qWait(20);
        typist.release(typist.keycode(key));
        // and the next key on a later one than this release.
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

TEST_F(Switcher, QuickAltTabTapsEachSwitchToTheNextWindowAndLeaveNoSwitcherOpen) {
    const auto listed = [&] { return app.state().windows().windows(); };
    const xcb_keycode_t alt = typist.keycode(XKB_KEY_Alt_L), tab = typist.keycode(XKB_KEY_Tab);
    for (int round = 0; round < 50; ++round) {
        // The list knows the window in front, as it does a moment after any switch
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return listed().size() >= 2 && listed()[0].isActive && listed()[0].windowID == activeWindow();
            },
            waitMs))
            << "round " << round;
        const uint32_t next = listed()[1].windowID;
        // Pressed and let go back to back: the release may come before the press is handled
        typist.press(alt);
        typist.press(tab);
        typist.release(tab);
        typist.release(alt);
        EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == next; }, waitMs)) << "round " << round;
        // An absence: a switcher opened late, by the press handled after its release, would be
        // up by now (both keys came in before the focus change they made).
        QTest::qWait(20);
        EXPECT_FALSE(switcher().isActive()) << "round " << round;
        EXPECT_FALSE(app.state().sidebar().isPeeking()) << "round " << round;
    }
}

// The keys a program got, by their key symbol names, from what xev wrote of its key presses.
QStringList keysPressed(const QString& xevLog) {
    QFile file(xevLog);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList names;
    const QRegularExpression keysym(QStringLiteral("\\(keysym 0x[0-9a-f]+, ([^)]+)\\)"));
    for (const QString& block : QString::fromLocal8Bit(file.readAll()).split(QStringLiteral("\n\n")))
        if (block.startsWith(QLatin1String("KeyPress")))
            if (const QRegularExpressionMatch match = keysym.match(block); match.hasMatch())
                names << match.captured(1);
    return names;
}

TEST_F(Switcher, WhileOpenEscapeReachesNoOtherProgramAndOtherKeysStillDo) {
    // xev in front writes down every key it gets.
    QTemporaryDir scratch;
    const QString log = scratch.filePath(QStringLiteral("keys"));
    const xcb_window_t logger =
        programs.open(app.platform(), QStringLiteral("sh"),
                      {QStringLiteral("-c"),
                       QStringLiteral("exec xev -event keyboard -geometry 300x200+500+300 > ") + log});
    ASSERT_NE(logger, XCB_WINDOW_NONE);
    app.await(app.state().windows().refresh(true));

    holdAlt();
    tap(XKB_KEY_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return switcher().isActive(); }, waitMs));
    tap(XKB_KEY_a);
    EXPECT_TRUE(QTest::qWaitFor([&] { return keysPressed(log).contains(QStringLiteral("a")); }, waitMs))
        << "a letter typed while the switcher is open did not reach the program in front";
    tap(XKB_KEY_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !switcher().isActive(); }, waitMs));
    releaseAlt();
    EXPECT_EQ(activeWindow(), logger);
    // Keys arrive in order: once a later one is in, an Escape would have been too.
    tap(XKB_KEY_b);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keysPressed(log).contains(QStringLiteral("b")); }, waitMs));
    EXPECT_FALSE(keysPressed(log).contains(QStringLiteral("Escape")))
        << keysPressed(log).join(u' ').toStdString();
    EXPECT_FALSE(keysPressed(log).contains(QStringLiteral("Tab")));
}

TEST_F(Switcher, AWindowThatTakesNoKeyboardComesToTheTopWhenChosen) {
    // xclock asks never to be given the keyboard (its WM_HINTS input is false).
    QProcess* clock = desktop().launch(QStringLiteral("xclock"),
                                       {QStringLiteral("-geometry"), QStringLiteral("200x200+300+200")});
    ASSERT_NE(clock, nullptr);
    const auto client = desktop().waitForClientWindow(clock->processId());
    ASSERT_TRUE(client);
    windows.push_back(programs.openLogo(app.platform()));
    const auto listed = [&] {
        app.await(app.state().windows().refresh(true));
        const std::vector<WindowInfo>& all = app.state().windows().windows();
        return std::any_of(all.begin(), all.end(),
                           [&](const WindowInfo& w) { return w.windowID == client->window; });
    };
    ASSERT_TRUE(QTest::qWaitFor(listed, waitMs));

    auto onTop = [&] {
        const auto s = windowProperty(desktop().rootWindow(), "_NET_CLIENT_LIST_STACKING");
        return !s.empty() && s.back() == client->window;
    };
    ASSERT_FALSE(onTop());
    holdAlt();
    tap(XKB_KEY_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return switcher().isActive(); }, waitMs));
    for (int i = 0; i < 8 && switcher().list()[size_t(switcher().index())].windowID != client->window; ++i) {
        const int before = switcher().index();
        tap(XKB_KEY_Tab);
        ASSERT_TRUE(QTest::qWaitFor([&] { return switcher().index() != before; }, waitMs));
    }
    ASSERT_EQ(switcher().list()[size_t(switcher().index())].windowID, client->window);
    releaseAlt();
    EXPECT_TRUE(QTest::qWaitFor(onTop, waitMs));
    // And it stays there: nothing hands the front back to the window that keeps the keyboard.
    QTest::qWait(500);
    EXPECT_TRUE(onTop());
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
