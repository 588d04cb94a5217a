#include "settings/SettingsPageFixture.h"

#include "ShortcutKit/RecorderServices.h"
#include "core/SettingKeys.h"
#include "settings/AppearanceSettings.h"
#include "settings/BoundComboBox.h"
#include "settings/BoundSlider.h"
#include "settings/ClipboardSettings.h"
#include "sidebar/PinnedFirst.h"
#include "system/LevelStepping.h"
#include "windows/ThumbnailService.h"

#include <QSpinBox>

namespace corvane::testing {
namespace {

using SettingRangesTest = SettingsPageFixture;

// What a page offers and what the code reading the value bounds it to are one declaration; the
// store keeps an unoffered value as it was written, and the window count is read as stored.
TEST_F(SettingRangesTest, PagesOfferAndReadersBoundTheDeclaredValues) {
    AppearanceSettings appearance{*settings, scheduler};
    ClipboardSettings clipboard{*settings, state->clipboard(),
                                ShortcutKit::RecorderServices::standard(
                                    state->shortcuts(), state->notifications(), *state->platform().host),
                                [] { return std::optional<QString>{}; }, [] {}};

    auto* count = appearance.findChild<QSpinBox*>("maxVisible");
    EXPECT_EQ(count->minimum(), SettingRanges::maxVisible.minimum);
    EXPECT_EQ(count->maximum(), SettingRanges::maxVisible.maximum);
    auto* limit = clipboard.findChild<QSpinBox*>("clipboardLimit");
    EXPECT_EQ(limit->minimum(), SettingRanges::clipboardLimit.minimum);
    EXPECT_EQ(limit->maximum(), SettingRanges::clipboardLimit.maximum);
    EXPECT_EQ(limit->singleStep(), SettingRanges::clipboardLimit.step);
    auto* delay = appearance.findChild<BoundSlider*>("hoverDelay");
    delay->setValue(-1);
    EXPECT_DOUBLE_EQ(settings->hoverDelay(), SettingRanges::hoverDelay.minimum);
    delay->setValue(99);
    EXPECT_DOUBLE_EQ(settings->hoverDelay(), SettingRanges::hoverDelay.maximum);

    auto* interval = appearance.findChild<BoundComboBox*>("refreshInterval");
    const auto& intervals = SettingRanges::refreshInterval.values;
    ASSERT_EQ(interval->count(), static_cast<int>(intervals.size()));
    for (int i = 0; i < interval->count(); ++i) {
        interval->setCurrentIndex(i);
        EXPECT_EQ(settings->refreshInterval(), intervals[static_cast<size_t>(i)]);
    }

    // Unoffered values: kept as written, shown as no option, used at the nearer declared end.
    settings->setRefreshInterval(0.2);
    EXPECT_EQ(interval->currentIndex(), -1);
    EXPECT_EQ(settings->refreshInterval(), 0.2);
    EXPECT_EQ(state->thumbnails().timerInterval(), SettingRanges::refreshInterval.minimum());
    settings->setRefreshInterval(1e6);
    EXPECT_EQ(state->thumbnails().timerInterval(), SettingRanges::refreshInterval.maximum());

    // The window count is listed as stored, past the page's range either way: 0 or less keeps
    // only the pinned windows.
    std::vector<WindowInfo> windows(120);
    windows[5].isPinned = true;
    windows[70].isPinned = true;
    const auto listed = [&](qint64 stored) {
        settings->setMaxVisible(stored);
        return shownWindows(windows, *settings);
    };
    EXPECT_EQ(listed(100).size(), 100u);
    EXPECT_EQ(listed(200).size(), 120u);
    EXPECT_EQ(listed(4).size(), 4u);
    for (qint64 stored : {0, -1, -4}) {
        const std::vector<WindowInfo> shown = listed(stored);
        ASSERT_EQ(shown.size(), 2u) << stored;
        EXPECT_TRUE(shown[0].isPinned && shown[1].isPinned) << stored;
    }
    EXPECT_EQ(count->value(), SettingRanges::maxVisible.minimum);
    EXPECT_EQ(settings->maxVisible(), -4);

    // The media keys' steps are read as stored, whatever the page offers
    LevelSteps steps;
    steps.load(4, 99, 80);
    EXPECT_FLOAT_EQ(steps.volume, 0.04f);
    EXPECT_FLOAT_EQ(steps.brightness, 0.99f);
    EXPECT_FLOAT_EQ(steps.brightnessFloor, 0.80f);
}

} // namespace
} // namespace corvane::testing
