#include "settings/KeepAwakeSettings.h"

#include "settings/BoundToggle.h"
#include "settings/LidPermissionRow.h"
#include "support/AppFixture.h"
#include "system/AwakeController.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace corvane::testing {
namespace {

class KeepAwakeSettingsTest : public AppFixture {
protected:
    std::vector<size_t> checkedRows() const {
        std::vector<size_t> rows;
        for (size_t i = 0; i < AwakeController::durations().size(); ++i)
            if (page.isDurationChecked(i))
                rows.push_back(i);
        return rows;
    }
    AppState& built = buildState();
    KeepAwakeSettings page{*settings, built.awake()};
};

TEST_F(KeepAwakeSettingsTest, EachControlWritesItsKeyAndFollowsChangesMadeElsewhere) {
    page.showIconToggle().button().click();
    EXPECT_FALSE(settings->showAwakeIcon());
    // No notch, so no indicator row; the stored choice stays
    EXPECT_EQ(page.findChild<BoundToggle*>("notchAwakeIndicator"), nullptr);
    EXPECT_TRUE(settings->notchAwakeIndicator());

    EXPECT_EQ(page.modeDescription().text(), "Screen stays on.");
    page.modePicker().setCurrentIndex(1);
    EXPECT_EQ(settings->awakeMode(), AwakeMode::system);
    EXPECT_EQ(page.modeDescription().text(), "Screen may turn off, computer keeps running.");

    // The status menu changes the mode: the picker and its line follow.
    settings->setAwakeMode(AwakeMode::lidClosed);
    EXPECT_EQ(page.modePicker().currentIndex(), 2);
    EXPECT_EQ(page.modeDescription().text(), "Lid can be closed, computer stays awake.");
    settings->setShowAwakeIcon(true);
    EXPECT_TRUE(page.showIconToggle().isOn());
}

TEST_F(KeepAwakeSettingsTest, TheStatusRowAndTheCheckMarksFollowKeepingAwake) {
    settings->setAwakeLastDuration(7200);
    EXPECT_EQ(page.statusLabel().text(), "Off — your computer can sleep");
    EXPECT_EQ(page.toggleButton().text(), "Keep Awake");
    EXPECT_TRUE(checkedRows().empty()); // nothing is checked while off

    page.durationRow(4).click(); // "1 hour"
    EXPECT_TRUE(state->awake().isActive());
    EXPECT_EQ(settings->awakeLastDuration(), 3600.0);
    EXPECT_EQ(checkedRows(), std::vector<size_t>{4});
    EXPECT_EQ(page.statusLabel().text(), "Keeping your computer awake");
    EXPECT_EQ(page.toggleButton().text(), "Stop");

    state->awake().stop(); // from the status menu
    EXPECT_TRUE(checkedRows().empty());
    EXPECT_EQ(page.toggleButton().text(), "Keep Awake");

    // A stored length that is no row's: no check mark, but the button keeps awake for it.
    settings->setAwakeLastDuration(1200);
    page.toggleButton().click();
    EXPECT_TRUE(state->awake().isActive());
    EXPECT_TRUE(checkedRows().empty());
    EXPECT_EQ(*state->awake().endDate(), scheduler.now() + toInstant(Seconds(1200)));
    page.durationRow(9).click(); // "Indefinitely"
    EXPECT_EQ(checkedRows(), std::vector<size_t>{9});
    page.toggleButton().click();
    EXPECT_FALSE(state->awake().isActive());
}

TEST_F(KeepAwakeSettingsTest, ARefusedHoldIsSaidOnThePage) {
    EXPECT_TRUE(page.failureLabel().isHidden());
    platform->fakePowerHolds->refused = {PowerHolds::Kind::idleSleep, PowerHolds::Kind::displaySleep};
    page.toggleButton().click();
    EXPECT_FALSE(state->awake().isActive());
    EXPECT_FALSE(page.failureLabel().isHidden());
    EXPECT_EQ(page.toggleButton().text(), "Keep Awake");
}

TEST_F(KeepAwakeSettingsTest, WithoutALoginServiceOnlyTheScreenHoldIsClaimedAndTheLidRowIsNotGreen) {
    // Given a system bus with no login service: only the screen saver can be held
    using Kind = PowerHolds::Kind;
    platform->fakePowerHolds->refused = {Kind::idleSleep, Kind::lidSwitch};
    KeepAwakeSettings bare{*settings, state->awake()};
    EXPECT_EQ(bare.findChild<LidPermissionRow*>()->titleLabel().text(), "Lid closed cannot work here");

    // When keeping awake starts in the display mode
    bare.durationRow(9).click(); // "Indefinitely"

    // Then the screen hold is reported, not a computer kept awake
    EXPECT_TRUE(state->awake().holdsScreenOnly());
    EXPECT_EQ(state->awake().statusText(), "Screen kept on, indefinitely");
    EXPECT_EQ(bare.statusLabel().text(), "Keeping your screen on");
    EXPECT_FALSE(bare.failureLabel().isHidden());

    // With the login service back, the same start claims the computer again
    platform->fakePowerHolds->refused.clear();
    bare.durationRow(9).click();
    EXPECT_EQ(state->awake().statusText(), "Active, indefinitely");
    EXPECT_EQ(bare.statusLabel().text(), "Keeping your computer awake");
    EXPECT_TRUE(bare.failureLabel().isHidden());
    EXPECT_EQ(page.findChild<LidPermissionRow*>()->titleLabel().text(),
              "Lid closed works without a password");
}

} // namespace
} // namespace corvane::testing
