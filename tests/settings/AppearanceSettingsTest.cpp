#include "settings/SettingsPageFixture.h"

#include "settings/AppearanceSettings.h"
#include "settings/BoundComboBox.h"
#include "settings/BoundSlider.h"
#include "settings/BoundToggle.h"
#include "settings/SidebarMiniPreview.h"

#include <QAbstractButton>

namespace corvane::testing {
namespace {

class AppearanceSettingsTest : public SettingsPageFixture {
protected:
    AppearanceSettings page{*settings, scheduler};
};

TEST_F(AppearanceSettingsTest, TheMiniatureFollowsSizeTitlesAndAccentOnly) {
    show(page);
    control<QAbstractButton>(page, "thumbnailSize", 2)->click();
    toggle(page, "showTitles").button().click();
    settings->setSidebarAccent(AccentChoice::lumenForge);
    EXPECT_EQ(page.preview().size(), ThumbnailSize::large);
    EXPECT_TRUE(page.preview().showsTitles());
    EXPECT_EQ(page.preview().accent(), QColor(0xD2, 0x20, 0x27));
    const QSize large = page.preview().sizeHint();

    settings->setPanelStyle(PanelStyle::dark);
    settings->setStripIconsOnly(true);
    EXPECT_EQ(page.preview().sizeHint(), large);
    // Smaller springs down over the frames of the scheduler and then stops asking for them
    settings->setThumbnailSize(ThumbnailSize::small);
    EXPECT_TRUE(page.preview().isAnimating());
    scheduler.advance(Seconds(2));
    EXPECT_FALSE(page.preview().isAnimating());
    EXPECT_LT(page.preview().sizeHint().width(), large.width());
    savePicture(page, "appearance");
}

TEST_F(AppearanceSettingsTest, DependentRowsDimOrHideButKeepTheirValues) {
    show(page);
    BoundToggle& tray = toggle(page, "stripShowTray");
    settings->setShowTray(false);
    EXPECT_FALSE(tray.isEnabled());
    EXPECT_TRUE(tray.isOn());
    settings->setShowTray(true);
    EXPECT_TRUE(tray.isEnabled());

    auto* delay = page.findChild<BoundSlider*>("hoverDelay");
    toggle(page, "hoverPreview").button().click();
    EXPECT_FALSE(settings->hoverPreview());
    EXPECT_FALSE(delay->isVisible());
    EXPECT_DOUBLE_EQ(settings->hoverDelay(), 0.3);
}

TEST_F(AppearanceSettingsTest, AnUnlistedRefreshIntervalSelectsNothingUntilOneIsChosen) {
    auto* interval = page.findChild<BoundComboBox*>("refreshInterval");
    ASSERT_EQ(interval->count(), 8);
    EXPECT_EQ(interval->currentText(), QStringLiteral("3 seconds"));
    settings->setRefreshInterval(2);
    EXPECT_EQ(interval->currentIndex(), -1);
    interval->setCurrentIndex(5);
    EXPECT_EQ(settings->refreshInterval(), 60.0);
}

} // namespace
} // namespace corvane::testing
