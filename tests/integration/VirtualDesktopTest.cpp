// The private desktop itself: what every other integration test takes for granted.
#include "support/IntegrationMain.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <memory>

using namespace corvane::testing;
using namespace std::chrono_literals;

TEST(VirtualDesktop, WindowManagerRunsWithoutKeyBindings) {
    // Given the desktop of this binary
    VirtualDesktop& session = desktop();

    // Then a window manager is present on its display
    EXPECT_TRUE(session.hasWindowManager());
    EXPECT_TRUE(session.displayName().startsWith(':'));

    // And the combinations a stock window manager configuration takes are free to grab
    xcb_connection_t* c = session.connection();
    const xcb_keycode_t tab = 23;   // Tab in the server's default keymap
    const xcb_keycode_t left = 113; // Left
    const struct {
        xcb_keycode_t key;
        uint16_t modifiers;
    } combinations[] = {{tab, XCB_MOD_MASK_1}, {left, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1}};
    for (const auto& combination : combinations) {
        const auto cookie = xcb_grab_key_checked(c, 1, session.rootWindow(), combination.modifiers,
                                                 combination.key, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(xcb_request_check(c, cookie),
                                                                         &std::free);
        EXPECT_EQ(error, nullptr) << "key " << int(combination.key) << " is grabbed by someone else";
        xcb_ungrab_key(c, combination.key, session.rootWindow(), combination.modifiers);
    }
    xcb_flush(c);
}

TEST(VirtualDesktop, LaunchedProgramShowsUpAsAManagedClientWindow) {
    // Given a program launched on the desktop
    QProcess* logo =
        desktop().launch(QStringLiteral("xlogo"), {QStringLiteral("-geometry"), QStringLiteral("200x150")});
    ASSERT_NE(logo, nullptr);

    // When the window manager manages its window
    const auto client = desktop().waitForClientWindow(logo->processId(), 10s);

    // Then it is listed under the program's process id, with its title
    ASSERT_TRUE(client.has_value());
    EXPECT_NE(client->window, XCB_WINDOW_NONE);
    EXPECT_EQ(client->title, QStringLiteral("xlogo"));

    // And a title predicate finds the same window
    const auto byTitle = desktop().waitForClientWindow(
        [](const ClientWindow& candidate) { return candidate.title == QStringLiteral("xlogo"); }, 1s);
    ASSERT_TRUE(byTitle.has_value());
    EXPECT_EQ(byTitle->window, client->window);
}

TEST(VirtualDesktop, TrayHostOwnsTheTraySelection) {
    // Given a desktop with no tray host yet
    EXPECT_FALSE(desktop().hasTrayHost());

    // When the tray host starts
    const bool started = desktop().startTrayHost(10s);

    // Then it owns the tray selection
    EXPECT_TRUE(started);
    EXPECT_TRUE(desktop().hasTrayHost());
}

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
