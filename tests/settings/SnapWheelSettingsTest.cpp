#include "settings/SettingsPageFixture.h"

#include "core/PermissionManager.h"
#include "settings/BoundComboBox.h"
#include "settings/SnapWheelSettings.h"

#include <QLabel>

namespace corvane::testing {
namespace {

class SnapWheelSettingsTest : public SettingsPageFixture {
protected:
    SnapWheelSettings page{*settings, scheduler, state->permissions()};
    RadialModel& ring() { return page.demo().model(); }
    void step(int times = 1) {
        for (int i = 0; i < times; ++i)
            scheduler.advance(Seconds(SnapWheelDemo::stepInterval));
    }
};

TEST_F(SnapWheelSettingsTest, TheDemonstrationSweepsWhileShownAndRestartsFromTheLeft) {
    show(page);
    EXPECT_EQ(ring().direction(), RadialDirection::center);
    step();
    EXPECT_EQ(ring().direction(), RadialDirection::left);
    step(7);
    EXPECT_EQ(ring().direction(), RadialDirection::bottomLeft);
    step();
    EXPECT_EQ(ring().direction(), RadialDirection::center);
    step();
    EXPECT_EQ(ring().direction(), RadialDirection::left);
    step(2);

    // Colour follows at once while it keeps stepping
    settings->setRadialAccent(AccentChoice::lumenForge);
    EXPECT_EQ(ring().accent(), QColor(0xD2, 0x20, 0x27));

    page.hide();
    EXPECT_FALSE(page.demo().isRunning());
    const RadialDirection last = ring().direction();
    step(3);
    EXPECT_EQ(ring().direction(), last);
    page.show();
    step();
    EXPECT_EQ(ring().direction(), RadialDirection::left);
    savePicture(page, "snapWheel");
}

TEST_F(SnapWheelSettingsTest, TheExplanationNamesTheTriggerAsAPCKeyboardDoesAndTheCentreAction) {
    EXPECT_EQ(page.headline().text(), QStringLiteral("Hold Fn or Menu and move the mouse"));
    auto* trigger = page.findChild<BoundComboBox*>("radialTrigger");
    EXPECT_EQ(trigger->itemText(0), QStringLiteral("Fn / Menu key"));
    trigger->setCurrentIndex(3);
    EXPECT_EQ(settings->radialTrigger(), RadialTrigger::rightControl);
    EXPECT_EQ(page.headline().text(), QStringLiteral("Hold Right Ctrl and move the mouse"));

    settings->setRadialCenterAction(RadialCenterAction::none);
    EXPECT_TRUE(
        page.explanation().text().contains(QStringLiteral("staying in the middle gives do nothing.")));
    EXPECT_EQ(page.findChild<BoundComboBox*>("radialCenterAction")->currentIndex(), 3);
}

TEST_F(SnapWheelSettingsTest, TheAccessibilityWarningComesAndGoesWithThePermission) {
    show(page);
    EXPECT_TRUE(page.permissionWarning().isVisible());
    platform->fakePermissions->accessibility = true;
    state->permissions().pollTick();
    background.drain();
    scheduler.runDue();
    ASSERT_TRUE(state->permissions().accessibilityGranted());
    EXPECT_FALSE(page.permissionWarning().isVisible());
}

} // namespace
} // namespace corvane::testing
