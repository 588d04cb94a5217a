#include "core/Settings.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "settings/BoundComboBox.h"
#include "settings/BoundPicker.h"
#include "settings/BoundRow.h"
#include "settings/BoundSlider.h"
#include "settings/BoundSpinBox.h"
#include "settings/BoundToggle.h"
#include "settings/FormSection.h"

#include <QAbstractButton>
#include <QSignalSpy>
#include <QSlider>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace corvane::testing {
namespace {

class BoundControlsTest : public ::testing::Test {
protected:
    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults{std::make_unique<FakeDefaultsFile>(Json::object()), scheduler};
    Settings settings{defaults, notifications};
    QSignalSpy writes{&settings, &Settings::changed};
};

TEST_F(BoundControlsTest, ToggleWritesFlipsFollowsTheStoreAndNeverWritesBack) {
    BoundToggle toggle(settings, SettingKeys::autoHide, QStringLiteral("Auto-hide"),
                       QStringLiteral("Hides."));
    EXPECT_FALSE(toggle.isOn());
    EXPECT_EQ(writes.count(), 0); // shown from the store, nothing written
    ASSERT_NE(toggle.descriptionLabel(), nullptr);

    toggle.button().click();
    EXPECT_TRUE(settings.autoHide());
    ASSERT_EQ(writes.count(), 1);

    settings.setAutoHide(false);
    EXPECT_FALSE(toggle.isOn());
    EXPECT_EQ(writes.count(), 2); // only the store's own write
}

TEST_F(BoundControlsTest, PickersWriteTheChosenValueAndShowNoneForAnUnlistedOne) {
    const Choices<ThumbnailSize> sizes{
        {ThumbnailSize::small, "S"}, {ThumbnailSize::medium, "M"}, {ThumbnailSize::large, "L"}};
    BoundPicker picker(settings, SettingKeys::thumbnailSize, sizes);
    EXPECT_EQ(picker.currentIndex(), 1);
    picker.button(2)->click();
    EXPECT_EQ(settings.thumbnailSize(), ThumbnailSize::large);
    settings.setThumbnailSize(ThumbnailSize::small);
    EXPECT_EQ(picker.currentIndex(), 0);

    BoundComboBox combo(settings, SettingKeys::refreshInterval, Choices<double>{{1.0, "1 s"}, {3.0, "3 s"}});
    EXPECT_EQ(combo.currentIndex(), 1);
    writes.clear();
    settings.setRefreshInterval(2.0); // hand-edited: no option matches, and none is written back
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(writes.count(), 1);
    combo.setCurrentIndex(0);
    EXPECT_EQ(settings.refreshInterval(), 1.0);
}

TEST_F(BoundControlsTest, NumbersClampTheirDisplayButKeepAnOutOfRangeStoredValue) {
    settings.setMaxVisible(99);
    BoundSpinBox spin(settings, SettingKeys::maxVisible, SettingRanges::maxVisible);
    EXPECT_EQ(spin.value(), 25);
    EXPECT_EQ(settings.maxVisible(), 99);
    spin.stepDown();
    EXPECT_EQ(settings.maxVisible(), 24);

    settings.setHoverDelay(std::numeric_limits<double>::quiet_NaN());
    BoundSlider slider(settings, SettingKeys::hoverDelay, SettingRanges::hoverDelay, "0.1s", "1s");
    EXPECT_EQ(slider.slider().value(), 0);
    EXPECT_TRUE(std::isnan(settings.hoverDelay()));
    slider.setValue(0.5);
    EXPECT_DOUBLE_EQ(settings.hoverDelay(), 0.5);
    settings.setHoverDelay(1.0);
    EXPECT_DOUBLE_EQ(slider.value(), 1.0);
}

TEST_F(BoundControlsTest, RowsFollowTheirConditionAcrossChanges) {
    FormSection section;
    QWidget* shown = section.addRow(QStringLiteral("Delay"), new QWidget);
    QWidget* enabled = section.addRow(QStringLiteral("Tray"), new QWidget);
    showWhile(settings, shown, [this] { return settings.hoverPreview(); });
    enableWhile(settings, enabled, [this] { return settings.showTray(); });
    section.show();
    EXPECT_TRUE(shown->isVisible());
    EXPECT_TRUE(enabled->isEnabled());

    settings.setHoverPreview(false);
    settings.setShowTray(false);
    EXPECT_FALSE(shown->isVisible());
    EXPECT_FALSE(enabled->isEnabled());
    EXPECT_TRUE(enabled->isVisible());
}

} // namespace
} // namespace corvane::testing

TEST(FormSectionLabels, ALongWarningWrapsInsteadOfWideningItsPage) {
    // Unwrapped, it set the page's least width past the window's, and every control in the page
    // went off the right edge.
    const QString text = QStringLiteral("No tray is running, so the icons cannot show. ").repeated(4);
    std::unique_ptr<QWidget> warning(corvane::warningLabel(text));
    EXPECT_LT(warning->minimumSizeHint().width(), 400);
}
