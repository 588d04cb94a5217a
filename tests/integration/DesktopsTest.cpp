// Desktops on a real window manager: a switch asked for by the product moves the server's shown
// desktop, and a change made by someone else reaches the product's list, through the change
// notification or, without it, within one poll.
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"

#include "windows/SpacesService.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <optional>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;
// One poll, plus room for the read on the worker pool and the delivery back to the main thread
// on a busy machine.
constexpr int onePollMs = 500 + 250;

std::optional<uint32_t> rootCardinal(const char* name) {
    const std::vector<uint32_t> values = windowProperty(desktop().rootWindow(), name);
    if (values.empty())
        return std::nullopt;
    return values.front();
}

std::optional<uint32_t> serverCurrentDesktop() {
    return rootCardinal("_NET_CURRENT_DESKTOP");
}
std::optional<uint32_t> serverDesktopCount() {
    return rootCardinal("_NET_NUMBER_OF_DESKTOPS");
}

// Asks the window manager for a desktop change the way a pager does.
void askWindowManager(const char* message, uint32_t value) {
    testing::askWindowManager(desktop().rootWindow(), message, {value, XCB_CURRENT_TIME});
}

class LiveDesktops : public ::testing::Test {
protected:
    LiveDesktops() {
        // Every test starts on the first of four desktops.
        askWindowManager("_NET_NUMBER_OF_DESKTOPS", 4);
        askWindowManager("_NET_CURRENT_DESKTOP", 0);
        EXPECT_TRUE(QTest::qWaitFor([] { return serverDesktopCount() == 4u && serverCurrentDesktop() == 0u; },
                                    waitMs));
    }

    SpacesService& spaces() { return app.state().spaces(); }
    bool listsFourWithFirstShown() { return spaces().spaces().size() == 4 && spaces().currentID() == 1u; }

    LiveApp app;
};

TEST_F(LiveDesktops, SwitchingFromTheServiceMovesTheServersDesktop) {
    // Given the service following the desktops
    spaces().start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listsFourWithFirstShown(); }, waitMs));

    // When the third chip is clicked
    spaces().handleSpaceClick(3, 3);

    // Then the server shows the third desktop, and the service agrees
    EXPECT_TRUE(QTest::qWaitFor([] { return serverCurrentDesktop() == 2u; }, waitMs));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !spaces().isSwitching() && spaces().currentID() == 3u; }, waitMs));

    // And switching back lands on the first again
    spaces().switchToSpace(1, 1);
    EXPECT_TRUE(QTest::qWaitFor([] { return serverCurrentDesktop() == 0u; }, waitMs));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !spaces().isSwitching() && spaces().currentID() == 1u; }, waitMs));
}

TEST_F(LiveDesktops, AChangeMadeElsewhereIsReportedAndReadBack) {
    // Given the service following the desktops, without a poll
    spaces().start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listsFourWithFirstShown(); }, waitMs));

    // When a pager shows the second desktop
    askWindowManager("_NET_CURRENT_DESKTOP", 1);

    // Then the change notification brings it to the service
    EXPECT_TRUE(QTest::qWaitFor([&] { return spaces().currentID() == 2u; }, waitMs));
}

TEST_F(LiveDesktops, ThePollPicksUpChangesMadeElsewhereWithinOneInterval) {
    // Given only the poll running (no change notifications)
    spaces().startSpacesTimer(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listsFourWithFirstShown(); }, waitMs));

    // When another desktop is shown, the service shows it within one poll of the server
    askWindowManager("_NET_CURRENT_DESKTOP", 3);
    ASSERT_TRUE(QTest::qWaitFor([] { return serverCurrentDesktop() == 3u; }, waitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return spaces().currentID() == 4u; }, onePollMs));

    // And when desktops are added, the list grows within one poll too
    askWindowManager("_NET_NUMBER_OF_DESKTOPS", 6);
    ASSERT_TRUE(QTest::qWaitFor([] { return serverDesktopCount() == 6u; }, waitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return spaces().spaces().size() == 6; }, onePollMs));
    EXPECT_EQ(spaces().spaces().back(), (SpaceInfo{6, 6, false}));

    spaces().startSpacesTimer(false);
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
