#include "system/MouseController.h"

#include "core/Settings.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakePointerDevices.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

using Device = PointerDevices::Device;

// A wired mouse that scrolls the standard way, a touchpad that scrolls naturally, and a pointer
// whose driver has no scroll-direction setting (as the virtual server's own devices).
class MouseControllerTest : public ::testing::Test {
protected:
    MouseControllerTest() {
        devices.list = {{2, QStringLiteral("USB Mouse"), false, false},
                        {3, QStringLiteral("Touchpad"), true, true},
                        {4, QStringLiteral("Virtual pointer"), false, std::nullopt}};
    }
    std::optional<Json> record() { return defaults.object("mouseNaturalScrollingOriginals"); }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults{std::make_unique<FakeDefaultsFile>(), scheduler};
    Settings settings{defaults, notifications};
    FakePointerDevices devices;
};

} // namespace

TEST_F(MouseControllerTest, MiceFollowTheChoiceAndGetTheirOwnValueBack) {
    MouseController mouse(settings, devices, defaults);
    EXPECT_TRUE(mouse.isAvailable());

    settings.setMouseScrollDirection(MouseScrollDirection::natural);
    mouse.apply();
    EXPECT_EQ(devices.natural(2), true);
    EXPECT_EQ(devices.natural(3), true); // the touchpad is left alone either way
    EXPECT_EQ(devices.natural(4), std::nullopt);
    EXPECT_EQ(record(), Json({{"USB Mouse", false}}));

    // A mouse plugged in later takes the direction as it appears; its own value is kept too.
    devices.plug({5, QStringLiteral("Bluetooth Mouse"), false, false});
    EXPECT_EQ(devices.natural(5), true);

    settings.setMouseScrollDirection(MouseScrollDirection::standard);
    mouse.apply();
    EXPECT_EQ(devices.natural(2), false);
    EXPECT_EQ(devices.natural(3), true);

    settings.setMouseScrollDirection(MouseScrollDirection::natural);
    mouse.apply();
    settings.setMouseScrollDirection(MouseScrollDirection::system);
    mouse.apply();
    EXPECT_EQ(devices.natural(2), false);
    EXPECT_EQ(devices.natural(5), false);
    EXPECT_FALSE(record());
}

TEST_F(MouseControllerTest, ValuesLeftChangedByAnEarlierRunAreGivenBack) {
    // The previous run turned the mouse to natural and died before giving its value back.
    devices.list[0].naturalScrolling = true;
    defaults.set("mouseNaturalScrollingOriginals", Json({{"USB Mouse", false}}));

    MouseController mouse(settings, devices, defaults);
    settings.setMouseScrollDirection(MouseScrollDirection::standard);
    mouse.apply();
    settings.setMouseScrollDirection(MouseScrollDirection::natural);
    mouse.apply();
    EXPECT_EQ(record(), Json({{"USB Mouse", false}})); // the first value found stays the original

    mouse.restoreOriginals(); // at quit
    EXPECT_EQ(devices.natural(2), false);
    EXPECT_FALSE(record());
}

TEST_F(MouseControllerTest, TheTouchpadsDirectionAndWhetherAnyMouseCanTurn) {
    MouseController mouse(settings, devices, defaults);
    EXPECT_TRUE(mouse.touchpadScrollsNaturally());
    devices.list[1].naturalScrolling = false;
    EXPECT_FALSE(mouse.touchpadScrollsNaturally());

    // Only the touchpad and a pointer without the setting: nothing to turn; no touchpad: natural.
    devices.unplug(2);
    EXPECT_FALSE(mouse.isAvailable());
    devices.unplug(3);
    EXPECT_TRUE(mouse.touchpadScrollsNaturally());
}
