#include "settings/SettingsPageFixture.h"

#include "core/LaunchAtLogin.h"
#include "core/StatusItems.h"
#include "core/ToastController.h"
#include "core/Updater.h"
#include "settings/BoundComboBox.h"
#include "settings/GeneralSettings.h"
#include "settings/ValueToggle.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

namespace corvane::testing {
namespace {

class GeneralSettingsTest : public SettingsPageFixture {
protected:
    GeneralSettingsTest() {
        platform->fakeScreens->setScreens({ScreenInfo{
            "DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 0, 1920, 1080), 1u, QStringLiteral("uuid-1")}});
        page = std::make_unique<GeneralSettings>(
            *settings, GeneralSettings::Services{state->launchAtLogin(), state->updater(),
                                                 state->statusItems(), *platform->screens, *platform->host});
        show(*page);
    }
    std::unique_ptr<GeneralSettings> page;
};

TEST_F(GeneralSettingsTest, LaunchAtLoginShowsWhatTheDesktopReportsAndItsFailure) {
    page->launchAtLoginToggle().button().click();
    EXPECT_EQ(platform->fakeLoginItem->currentStatus, LoginItem::Status::enabled);
    EXPECT_TRUE(page->launchAtLoginToggle().isOn());
    EXPECT_FALSE(page->launchAtLoginError().isVisible());

    // A refused change leaves the switch as the desktop has it and shows why, until a success
    platform->fakeLoginItem->failure = QStringLiteral("cannot create autostart");
    page->launchAtLoginToggle().button().click();
    EXPECT_TRUE(page->launchAtLoginToggle().isOn());
    EXPECT_TRUE(page->launchAtLoginError().isVisible());
    EXPECT_EQ(page->launchAtLoginError().text(), QStringLiteral("cannot create autostart"));
    platform->fakeLoginItem->failure.reset();
    state->launchAtLogin().setEnabled(false);
    EXPECT_FALSE(page->launchAtLoginToggle().isOn());
    EXPECT_FALSE(page->launchAtLoginError().isVisible());
}

TEST_F(GeneralSettingsTest, UpdaterSwitchesFollowTheUpdaterAndCheckNowSaysWhereUpdatesComeFrom) {
    // The updater keeps both choices, but the page offers no switch that would act on nothing,
    // nor a Dock row
    state->updater().setAutomaticallyChecksForUpdates(true);
    state->updater().setAutomaticallyDownloadsUpdates(true);
    EXPECT_TRUE(state->updater().automaticallyChecksForUpdates());
    EXPECT_TRUE(state->updater().automaticallyDownloadsUpdates());
    EXPECT_EQ(page->findChildren<ValueToggle*>().size(), 2); // launch at login, clipboard icon
    EXPECT_EQ(page->findChild<BoundToggle*>("showDockIcon"), nullptr);
    // The words name the system tray, apart from the shelf's Tray
    for (const QLabel* label : page->findChildren<QLabel*>())
        EXPECT_FALSE(label->text().contains(QStringLiteral("in the tray"))) << label->text().toStdString();

    page->findChild<QPushButton*>("checkNow")->click();
    EXPECT_EQ(platform->fakeHost->activateCount, 1);
    EXPECT_EQ(state->toast().lastMessage(), Updater::packageManagerMessage());
}

TEST_F(GeneralSettingsTest, TrayIconTogglesDriveTheirKeysAndTheClipboardOneAlsoTheHistory) {
    // Both switches of the main icon are the same key
    const QList<BoundToggle*> mainIcon = page->findChildren<BoundToggle*>("showMenuBarIcon");
    ASSERT_EQ(mainIcon.size(), 2);
    mainIcon[0]->button().click();
    EXPECT_FALSE(settings->showMenuBarIcon());
    EXPECT_FALSE(mainIcon[1]->isOn());

    // The clipboard icon shows on only with the history on; switching it on turns both on,
    // switching it off leaves the history alone
    settings->setClipboardEnabled(false);
    EXPECT_FALSE(page->clipboardIconToggle().isOn());
    page->clipboardIconToggle().button().click();
    EXPECT_TRUE(settings->showClipboardIcon());
    EXPECT_TRUE(settings->clipboardEnabled());
    page->clipboardIconToggle().button().click();
    EXPECT_FALSE(settings->showClipboardIcon());
    EXPECT_TRUE(settings->clipboardEnabled());

    // The warning appears once the desktop hides the icons
    EXPECT_FALSE(page->hiddenIconsWarning().isVisible());
    platform->fakeTray->setAvailable(false);
    state->statusItems().makeStatusItem(QStringLiteral("awake"), [] {});
    scheduler.runDue();
    EXPECT_TRUE(page->hiddenIconsWarning().isVisible());
    // It stays once a tray starts and the icons show, so it speaks of the time they went up
    platform->fakeTray->setAvailable(true);
    scheduler.runDue();
    EXPECT_TRUE(page->hiddenIconsWarning().isVisible());
    QString warning;
    for (const QLabel* label : page->hiddenIconsWarning().findChildren<QLabel*>())
        warning += label->text();
    EXPECT_TRUE(warning.startsWith(QStringLiteral("No system tray was running when")))
        << warning.toStdString();
}

TEST_F(GeneralSettingsTest, ConditionalRowsAndPickersFollowTheStore) {
    auto* which = page->findChild<BoundComboBox*>("specificDisplayID");
    EXPECT_FALSE(which->isVisible());
    settings->setSidebarDisplay(SidebarDisplay::specific);
    EXPECT_TRUE(which->isVisible());
    EXPECT_EQ(which->currentIndex(), -1) << "the stored display is not connected";
    which->setCurrentIndex(0);
    EXPECT_EQ(settings->specificDisplayID(), QStringLiteral("uuid-1"));
    // A screen plugged in later is offered at once; the choice stays
    std::vector<ScreenInfo> screens = platform->fakeScreens->screens();
    screens.push_back(
        ScreenInfo{"HDMI-1", QRectF(4000, 0, 800, 600), QRectF(4000, 0, 800, 600), 7u, QString("uuid-7")});
    platform->fakeScreens->setScreens(screens);
    which = page->findChild<BoundComboBox*>("specificDisplayID");
    ASSERT_EQ(which->count(), static_cast<int>(screens.size()));
    EXPECT_EQ(which->itemText(which->count() - 1), QStringLiteral("HDMI-1"));
    EXPECT_EQ(which->currentIndex(), 0);
    EXPECT_TRUE(which->isVisible());

    EXPECT_FALSE(toggle(*page, "autoHideInFullscreen").isEnabled() && settings->autoHide());
    settings->setAutoHide(true);
    EXPECT_FALSE(toggle(*page, "autoHideInFullscreen").isEnabled());

    // A hand-edited step selects nothing; choosing an option replaces it
    auto* volume = page->findChild<BoundComboBox*>("volumeStepPercent");
    settings->setVolumeStepPercent(4);
    EXPECT_EQ(volume->currentIndex(), -1);
    volume->setCurrentIndex(3);
    EXPECT_EQ(settings->volumeStepPercent(), 5);
    EXPECT_EQ(page->findChild<BoundComboBox*>("minBrightnessPercent")->itemText(0),
              QStringLiteral("Off (can go dark)"));
    settings->setNotchHUD(false);
    EXPECT_FALSE(volume->isVisible());
    EXPECT_EQ(settings->volumeStepPercent(), 5);
    // The whole page in one picture
    settings->setNotchHUD(true);
    page->resize(720, 1500);
    QCoreApplication::processEvents();
    savePicture(*page, "general");
}

} // namespace
} // namespace corvane::testing
