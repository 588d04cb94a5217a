#include "settings/MouseSettings.h"

#include "settings/BoundToggle.h"
#include "support/AppFixture.h"
#include "system/MouseController.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>

namespace corvane::testing {
namespace {

class MouseSettingsTest : public AppFixture {
protected:
    AppState& withATouchpad() {
        platform->fakePointerDevices->list = {{3, QStringLiteral("Touchpad"), true, false}};
        return buildState();
    }
    bool sidewaysEnabled() const { return page.sidewaysToggle().button().isEnabledTo(&page); }
    AppState& built = withATouchpad();
    MouseSettings page{*settings, built.mouse()};
};

TEST_F(MouseSettingsTest, TheDirectionAndTheSidewaysToggleWriteTheirKeys) {
    EXPECT_FALSE(sidewaysEnabled()); // "Same as touchpad" leaves nothing to turn sideways
    page.directionPicker().setCurrentIndex(2);
    EXPECT_EQ(settings->mouseScrollDirection(), MouseScrollDirection::natural);
    ASSERT_TRUE(sidewaysEnabled());
    page.sidewaysToggle().button().click();
    EXPECT_TRUE(settings->reverseMouseHorizontal());

    // Back to the system's direction: dimmed, with its value kept.
    settings->setMouseScrollDirection(MouseScrollDirection::system);
    EXPECT_EQ(page.directionPicker().currentIndex(), 0);
    EXPECT_FALSE(sidewaysEnabled());
    EXPECT_TRUE(page.sidewaysToggle().isOn());
}

TEST_F(MouseSettingsTest, TheHintNamesTheTouchpadsDirectionAndAMissingMouseIsSaid) {
    EXPECT_EQ(page.hint().text(),
              "Only the mouse changes — your touchpad keeps its own setting (now: standard).");
    EXPECT_TRUE(page.unavailableRow().isVisibleTo(&page));

    platform->fakePointerDevices->unplug(3);
    EXPECT_TRUE(page.hint().text().contains("(now: natural)"));
    platform->fakePointerDevices->plug({8, QStringLiteral("USB Mouse"), false, false});
    EXPECT_FALSE(page.unavailableRow().isVisibleTo(&page));
}

} // namespace
} // namespace corvane::testing
