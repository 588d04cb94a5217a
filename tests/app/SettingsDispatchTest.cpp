#include "support/AppFixture.h"

#include "clipboard/ClipboardHistory.h"
#include "sidebar/SidebarController.h"
#include "snapping/RadialSnapController.h"
#include "system/MouseController.h"
#include "system/NotchController.h"

namespace corvane::testing {
namespace {

class SettingsDispatchTest : public AppFixture {
protected:
    SettingsDispatchTest() {
        buildState();
        state->start(false);
    }
};

TEST_F(SettingsDispatchTest, EachKeyReachesItsFeatureAtOnce) {
    settings->setShowDockIcon(true);
    EXPECT_EQ(platform->fakeHost->activationPolicy, ApplicationHost::ActivationPolicy::regular);
    settings->setShowDockIcon(false);
    EXPECT_EQ(platform->fakeHost->activationPolicy, ApplicationHost::ActivationPolicy::accessory);

    const int armed = state->radial().startCount();
    settings->setRadialTrigger(RadialTrigger::rightOption);
    settings->setRadialEnabled(false);
    EXPECT_EQ(state->radial().startCount(), armed + 2);

    settings->setClipboardEnabled(false);
    EXPECT_FALSE(state->clipboard().isPolling());
    settings->setClipboardEnabled(true);
    EXPECT_TRUE(state->clipboard().isPolling());

    settings->setVolumeStepPercent(10);
    settings->setBrightnessStepPercent(3);
    settings->setMinBrightnessPercent(5);
    EXPECT_FLOAT_EQ(state->notch().steps().volume.load(), 0.10f);
    EXPECT_FLOAT_EQ(state->notch().steps().brightness.load(), 0.03f);
    EXPECT_FLOAT_EQ(state->notch().steps().brightnessFloor.load(), 0.05f);

    platform->fakePointerDevices->list = {{7, QStringLiteral("Mouse"), false, false}};
    settings->setMouseScrollDirection(MouseScrollDirection::natural);
    EXPECT_EQ(platform->fakePointerDevices->natural(7), true);
}

TEST_F(SettingsDispatchTest, TheHudTapNeedsWindowAccess) {
    platform->fakePermissions->accessibility = false;
    settings->setNotchHUD(true);
    EXPECT_FALSE(state->notch().isTapInstalled());
}

TEST_F(SettingsDispatchTest, KeysReadWhereTheyAreUsedDoNothingAndTheRestTakeTheGeneralPath) {
    const int reloads = state->sidebar().reloadCount();
    settings->setClipboardLimit(10);
    settings->setShowMenuBarIcon(false);
    EXPECT_EQ(state->sidebar().reloadCount(), reloads);

    settings->setSidebarEdge(SidebarEdge::right);
    settings->setLayoutGap(4);
    EXPECT_EQ(state->sidebar().reloadCount(), reloads + 2);

    // A notification without a key re-applies the lot.
    notifications.post(Settings::didChangeNotification, QVariant(42));
    EXPECT_EQ(state->sidebar().reloadCount(), reloads + 3);
}

} // namespace
} // namespace corvane::testing
