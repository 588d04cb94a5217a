#include "settings/SettingsPageFixture.h"

#include "settings/BoundComboBox.h"
#include "settings/BoundSlider.h"
#include "settings/LayoutSettings.h"
#include "settings/LayoutThumbnail.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSlider>

#include <limits>

namespace corvane::testing {
namespace {

class LayoutSettingsTest : public SettingsPageFixture {
protected:
    RecordedActions actions;
    LayoutSettings page{*settings, actions};
};

TEST_F(LayoutSettingsTest, TheGapMovesInStepsOfTwoAndItsCaptionIsAWholeNumber) {
    auto* gap = page.findChild<BoundSlider*>("layoutGap");
    EXPECT_EQ(page.gapCaption().text(), QStringLiteral("8 px"));
    gap->slider().setValue(gap->slider().maximum());
    EXPECT_EQ(settings->layoutGap(), 24.0);
    gap->slider().setValue(3);
    EXPECT_EQ(settings->layoutGap(), 6.0);
    settings->setLayoutGap(7.9);
    EXPECT_EQ(page.gapCaption().text(), QStringLiteral("7 px"));
    settings->setLayoutGap(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(page.gapCaption().text(), QStringLiteral("0 px"));
}

TEST_F(LayoutSettingsTest, CardsTileAtOnceWhileThePickerOnlyChoosesForTheShortcut) {
    show(page);
    auto* picker = page.findChild<BoundComboBox*>("quickTilePreset");
    picker->setCurrentIndex(4);
    EXPECT_EQ(settings->quickTilePreset(), LayoutPreset::grid);
    EXPECT_TRUE(actions.layouts.empty());

    ASSERT_EQ(page.presetCards().size(), 6u);
    page.presetCards()[4]->click();
    page.presetCards()[0]->click();
    EXPECT_EQ(actions.layouts, (std::vector<LayoutPreset>{LayoutPreset::grid, LayoutPreset::halves}));
    EXPECT_EQ(page.presetCards()[1]->text(), QStringLiteral("60 / 40"));
    savePicture(page, "layouts");
}

TEST_F(LayoutSettingsTest, DiagramsDrawFourWindowsForTheGridAndThreeOtherwise) {
    EXPECT_EQ(LayoutThumbnail::frames(LayoutPreset::grid, 3).size(), 4u);
    EXPECT_EQ(LayoutThumbnail::frames(LayoutPreset::thirds, 3).size(), 3u);
    const auto halves = LayoutThumbnail::frames(LayoutPreset::halves, 3);
    // One window of full height on the left, inside the three-point margin
    EXPECT_EQ(halves[0], QRectF(3, 3, 44, 54));
    EXPECT_EQ(halves[1].left(), halves[2].left());
}

} // namespace
} // namespace corvane::testing
