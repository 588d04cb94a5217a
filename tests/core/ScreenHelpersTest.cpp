#include "core/ScreenHelpers.h"
#include "platform/fake/FakeScreens.h"
#include "support/QtPrinting.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// A laptop panel on the left and a taller monitor to its right, tops aligned.
ScreenInfo laptop() {
    return ScreenInfo{QStringLiteral("eDP-1"), QRectF(0, 0, 1920, 1080), QRectF(0, 32, 1920, 1048), 71u,
                      std::nullopt};
}
ScreenInfo monitor() {
    return ScreenInfo{QStringLiteral("HDMI-1"), QRectF(1920, 0, 1280, 1024), QRectF(1920, 24, 1280, 1000),
                      72u, QStringLiteral("3f1c2a5e-0000-5000-8000-000000000001")};
}

std::optional<QString> nameOf(const std::optional<ScreenInfo>& screen) {
    return screen ? std::optional<QString>(screen->name) : std::nullopt;
}

} // namespace

TEST(ScreenHelpersTest, ScreenForRectPicksTheLargerPartAndKeepsTheEarlierScreenOnTies) {
    FakeScreens screens({laptop(), monitor()});
    screens.setPointer(QPointF(100, 100)); // on the laptop, which must not matter

    // A window mostly on the monitor
    EXPECT_EQ(nameOf(screenForRect(screens, QRectF(1800, 100, 400, 300))), QStringLiteral("HDMI-1"));
    // Exactly half on each: the screen listed first
    EXPECT_EQ(nameOf(screenForRect(screens, QRectF(1820, 100, 200, 300))), QStringLiteral("eDP-1"));
    screens.setScreens({monitor(), laptop()});
    EXPECT_EQ(nameOf(screenForRect(screens, QRectF(1820, 100, 200, 300))), QStringLiteral("HDMI-1"));
}

TEST(ScreenHelpersTest, ScreenForRectWithoutAreaUsesItsCentreThenWhereAskedThePointerThenTheMainScreen) {
    FakeScreens screens({laptop(), monitor()});
    screens.setPointer(QPointF(100, 100));

    // A zero-width rectangle on the monitor goes by its centre, not by the pointer
    EXPECT_EQ(nameOf(screenForRect(screens, QRectF(2000, 100, 0, 300))), QStringLiteral("HDMI-1"));
    // The monitor's bottom edge (y = 1024) is not on it: below the monitor there is no screen
    screens.setMainScreen(0);
    EXPECT_EQ(nameOf(screenForRect(screens, QRectF(2000, 1024, 0, 0))), QStringLiteral("eDP-1"));
    screens.setMainScreen(std::nullopt);
    EXPECT_EQ(screenForRect(screens, QRectF(2000, 1024, 0, 0)), std::nullopt);

    // Where the strip and the workspaces ask, a rectangle on no screen goes to the pointer's
    // screen, then to the main one; one with area or a centre on a screen still goes by those
    screens.setMainScreen(0);
    screens.setPointer(QPointF(2000, 100));
    EXPECT_EQ(nameOf(screenForRectNearPointer(screens, QRectF(2000, 1024, 0, 0))), QStringLiteral("HDMI-1"));
    EXPECT_EQ(nameOf(screenForRectNearPointer(screens, QRectF(100, 100, 10, 10))), QStringLiteral("eDP-1"));
    screens.setPointer(QPointF(-50, -50));
    EXPECT_EQ(nameOf(screenForRectNearPointer(screens, QRectF(2000, 1024, 0, 0))), QStringLiteral("eDP-1"));
}

TEST(ScreenHelpersTest, ScreenUnderMouseCountsTheSharedEdgeOnce) {
    FakeScreens screens({laptop(), monitor()});
    screens.setMainScreen(1);

    screens.setPointer(QPointF(1920, 500)); // the border belongs to the screen it starts
    EXPECT_EQ(nameOf(screenUnderMouse(screens)), QStringLiteral("HDMI-1"));
    screens.setPointer(QPointF(1919.5, 0));
    EXPECT_EQ(nameOf(screenUnderMouse(screens)), QStringLiteral("eDP-1"));
    screens.setPointer(QPointF(100, 1080)); // just below the laptop: on no screen, so the main one
    EXPECT_EQ(nameOf(screenUnderMouse(screens)), QStringLiteral("HDMI-1"));

    // The only screen there is, wherever the pointer is.
    FakeScreens one({laptop()});
    one.setPointer(QPointF(5000, 5000));
    EXPECT_EQ(nameOf(screenUnderMouse(one)), QStringLiteral("eDP-1"));
}

TEST(ScreenHelpersTest, NoScreensGiveNoScreen) {
    FakeScreens screens;
    screens.setPointer(QPointF(10, 10));
    EXPECT_EQ(screenUnderMouse(screens), std::nullopt);
    EXPECT_EQ(screenForRect(screens, QRectF(0, 0, 100, 100)), std::nullopt);
    EXPECT_EQ(screenWithIdentifier(screens, QStringLiteral("eDP-1")), std::nullopt);

    // And centring leaves the window where it was
    QWidget window;
    window.setGeometry(30, 40, 200, 100);
    centerOnMouseScreen(screens, window);
    EXPECT_EQ(window.pos(), QPoint(30, 40));
}

TEST(ScreenHelpersTest, ScreenWithIdentifierFindsByUUIDOrByName) {
    FakeScreens screens({laptop(), monitor()});

    EXPECT_EQ(displayUUID(laptop()), QStringLiteral("eDP-1"));
    EXPECT_EQ(displayUUID(monitor()), *monitor().uuid);
    EXPECT_EQ(nameOf(screenWithIdentifier(screens, monitor().uuid)), QStringLiteral("HDMI-1"));
    EXPECT_EQ(nameOf(screenWithIdentifier(screens, QStringLiteral("eDP-1"))), QStringLiteral("eDP-1"));
    // Stored as a name before the monitor reported its UUID
    EXPECT_EQ(nameOf(screenWithIdentifier(screens, QStringLiteral("HDMI-1"))), QStringLiteral("HDMI-1"));
    EXPECT_EQ(screenWithIdentifier(screens, QStringLiteral("DP-3")), std::nullopt);
    EXPECT_EQ(screenWithIdentifier(screens, std::nullopt), std::nullopt);
}

TEST(ScreenHelpersTest, CenterOnMouseScreenLiftsTheWindowAboveTheMiddle) {
    FakeScreens screens({laptop(), monitor()});
    QWidget window;
    window.resize(400, 300);

    // Pointer on the monitor: visible frame (1920, 24, 1280 x 1000), middle (2560, 524)
    screens.setPointer(QPointF(2500, 500));
    centerOnMouseScreen(screens, window);
    EXPECT_EQ(window.pos(), QPoint(2560 - 200, 524 - 150 - 80));
    EXPECT_EQ(window.size(), QSize(400, 300));

    // Pointer on no screen and no main screen: centred on the primary screen
    screens.setPointer(QPointF(-5000, -5000));
    screens.setMainScreen(std::nullopt);
    centerOnMouseScreen(screens, window);
    // Visible frame (0, 32, 1920 x 1048): middle (960, 556), lift 83.84
    EXPECT_EQ(window.pos(), QPoint(960 - 200, 556 - 150 - 84));
}
