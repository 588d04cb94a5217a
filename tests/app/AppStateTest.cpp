#include "support/AppFixture.h"

#include "ShortcutKit/AppShortcuts.h"
#include "app/AppDelegate.h"

#include "app/TerminationSignals.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardStore.h"
#include "core/AppIcons.h"
#include "core/PermissionManager.h"
#include "core/ToastController.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeRunningApplications.h"
#include "settings/OnboardingWindowController.h"
#include "settings/SettingsWindowController.h"
#include "shelf/NotchDropController.h"
#include "system/AwakeController.h"
#include "system/NotchController.h"
#include "windows/SpacesService.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"
#include <QFile>
#include <QTemporaryDir>

namespace corvane::testing {
namespace {

class AppStateStartTest : public AppFixture {
protected:
    void completeOnboarding() { platform->defaults->set("hasCompletedOnboarding", true); }
    int onboardingShown() { return state->onboarding().showCount(); }
    int settingsShown() { return state->settingsWindow().showCount(); }
};

TEST_F(AppStateStartTest, FirstLaunchShowsOnboardingAndStartsOnce) {
    buildState();

    state->start(false);
    state->start(false);

    EXPECT_EQ(onboardingShown(), 1);
    EXPECT_EQ(settingsShown(), 0);
    EXPECT_EQ(notifications.observerCount(Settings::didChangeNotification), 1);
    EXPECT_TRUE(state->windows().isObserving());
    EXPECT_TRUE(state->spaces().isStarted());
    EXPECT_FALSE(state->notchDrop().panel());
}

TEST_F(AppStateStartTest, SettingsTabArgumentOpensThatPageOnlyWhenItNamesOne) {
    makePlatform({"-settingsTab", "layouts"});
    buildState();
    state->start(false);
    EXPECT_EQ(settingsShown(), 1);
    EXPECT_EQ(state->settingsWindow().nav().tab(), SettingsTab::layouts);
    EXPECT_EQ(onboardingShown(), 0);

    for (const QStringList& arguments :
         {QStringList{"-settingsTab", "Layouts"}, QStringList{"-settingsTab", "7"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        state.reset();
        makePlatform(arguments);
        buildState();
        state->start(false);
        EXPECT_EQ(settingsShown(), 0);
        EXPECT_EQ(onboardingShown(), 1);
    }
}

TEST_F(AppStateStartTest, CompletedOnboardingOpensSettingsOnManualLaunchOnly) {
    completeOnboarding();
    platform->fakePermissions->accessibility = true;
    buildState();
    state->settingsWindow().nav().setTab(SettingsTab::mouse);

    state->start(false);
    EXPECT_EQ(settingsShown(), 1);
    EXPECT_EQ(state->settingsWindow().nav().tab(), SettingsTab::mouse); // the current page is kept
    EXPECT_EQ(onboardingShown(), 0);

    state.reset();
    buildState();
    state->start(true);
    EXPECT_EQ(settingsShown(), 0);
    EXPECT_EQ(onboardingShown(), 0);
}

TEST_F(AppStateStartTest, RevokedAccessibilityShowsOnboardingAtLaunchAndOnEveryLoss) {
    completeOnboarding();
    platform->fakePermissions->accessibility = false;
    buildState();
    state->start(false);
    EXPECT_EQ(onboardingShown(), 1);

    const int refreshesBefore = state->windows().refreshCount();
    state->permissionsChanged(false, false);
    EXPECT_EQ(onboardingShown(), 2);
    EXPECT_EQ(state->windows().refreshCount(), refreshesBefore + 1)
        << "a permission change refreshes the windows";

    state->permissionsChanged(true, false);
    EXPECT_EQ(onboardingShown(), 2);
}

TEST_F(AppStateStartTest, PreviewArgumentShowsTheVolumeHudAfterOneSecondWhateverItsValue) {
    makePlatform({"-previewNotchHUD", "NO"});
    buildState();
    state->start(false);

    scheduler.advance(Seconds(0.9));
    EXPECT_FALSE(state->notch().lastHUD().has_value());
    scheduler.advance(Seconds(0.1));
    ASSERT_TRUE(state->notch().lastHUD().has_value());
    const auto& hud = *state->notch().lastHUD();
    EXPECT_EQ(hud.kind, NotchModel::Kind::volume);
    EXPECT_FALSE(hud.muted);          // unreadable mute state
    EXPECT_FLOAT_EQ(hud.level, 0.5f); // unreadable volume
    EXPECT_DOUBLE_EQ(hud.duration.count(), 6.0);
}

TEST_F(AppStateStartTest, StartAppliesDockIconPurgesStaleStatusItemsAndFollowsScreens) {
    platform->defaults->set("showDockIcon", true);
    platform->defaults->set("NSStatusItem Preferred Position Item-0", 1200);
    platform->defaults->set("NSStatusItem Preferred Position corvane.awake", 900);
    buildState();
    state->start(false);

    EXPECT_EQ(platform->fakeHost->activationPolicy, ApplicationHost::ActivationPolicy::regular);
    EXPECT_FALSE(platform->defaults->object("NSStatusItem Preferred Position Item-0"));
    EXPECT_TRUE(platform->defaults->object("NSStatusItem Preferred Position corvane.awake"));

    // The drop shelf is set up again for the new screens: one with a notch gets its panel.
    ScreenInfo notched{"eDP-1", QRectF(0, 0, 1512, 982), QRectF(0, 32, 1512, 950)};
    notched.safeAreaTop = 32;
    notched.auxiliaryTopLeft = QRectF(0, 0, 662, 32);
    notched.auxiliaryTopRight = QRectF(850, 0, 662, 32);
    platform->fakeScreens->setScreens({notched});
    ASSERT_TRUE(state->notchDrop().panel());
    EXPECT_EQ(state->notchDrop().panel()->geometry(), QRect(662, 0, 188, 32));
}

TEST_F(AppStateStartTest,
       ADamagedSettingsFileLeavesTheStoredClipboardHistoryInPlaceUntilTheUserSwitchesItOff) {
    // Switched off, the history is deleted at start; with the settings file damaged, the switch is
    // not the user's and nothing goes.
    ClipboardStore store;
    ASSERT_FALSE(store.save({ClipItem::makeText("kept")}));
    auto damaged = std::make_unique<FakeDefaultsFile>(Json::object());
    damaged->failNextLoad = true;
    platform->defaults = std::make_unique<UserDefaults>(std::move(damaged), scheduler);
    ASSERT_TRUE(platform->defaults->setAsideNotice());
    buildState();
    state->start(false);
    EXPECT_TRUE(store.exists());
    // Switched off by the user in this run, it goes.
    settings->setClipboardEnabled(false);
    EXPECT_FALSE(store.exists());
    ASSERT_FALSE(store.save({ClipItem::makeText("kept")}));

    // A file read as usual that says so deletes it.
    platform->defaults = std::make_unique<UserDefaults>(std::make_unique<FakeDefaultsFile>(), scheduler);
    platform->defaults->set("clipboardEnabled", false);
    state.reset();
    buildState();
    state->start(false);
    EXPECT_FALSE(store.exists());
}

TEST_F(AppStateStartTest, ShortcutsTheDesktopRefusesAreToldOnceAtStartWithWhereToChangeThem) {
    // Nothing refused: nothing told
    buildState();
    state->start(false);
    EXPECT_EQ(state->toast().lastMessage(), QString());

    // One refused default is named; several are counted
    for (const int count : {1, 2}) {
        state.reset();
        const ShortcutKit::Name* names[] = {&AppShortcuts::snapLeft(), &AppShortcuts::snapRight()};
        for (int i = 0; i < count; ++i) {
            const ShortcutKit::Shortcut held = *names[i]->initialShortcut;
            platform->fakeHotKeys->refuse(held.carbonKeyCode, held.carbonModifiers);
        }
        buildState();
        state->start(false);
        EXPECT_EQ(state->toast().lastMessage(),
                  count == 1 ? QStringLiteral("Ctrl+Alt+Left does nothing here: change it on the Hotkeys "
                                              "page of Settings")
                             : QStringLiteral("2 shortcuts do nothing here: change them on the Hotkeys page "
                                              "of Settings"));
    }
}

TEST_F(AppStateStartTest, SettingsChangesReachTheDispatcherAfterStart) {
    buildState();
    int dispatched = 0;
    auto token = notifications.addObserver(Settings::didChangeNotification,
                                           [&](const Notification&) { ++dispatched; });
    settings->setShowTitles(true);
    EXPECT_EQ(dispatched, 1);
    state->start(false);
    settings->setShowTitles(false);
    EXPECT_EQ(dispatched, 2);
    EXPECT_EQ(notifications.observerCount(Settings::didChangeNotification), 2);
}

class AppDelegateTest : public AppFixture {};

TEST_F(AppDelegateTest, LoginLaunchIsTheAutostartMarkerOrAnEarlyLaunchAfterBoot) {
    platform->fakeShell->uptime = Seconds(300);
    buildState();
    EXPECT_FALSE(AppDelegate(*state).wasLaunchedAsLoginItem());
    platform->fakeShell->uptime = Seconds(90);
    EXPECT_TRUE(AppDelegate(*state).wasLaunchedAsLoginItem());

    state.reset();
    makePlatform({"-launchedAtLogin", "YES"});
    platform->fakeShell->uptime = Seconds(3600);
    buildState();
    EXPECT_TRUE(AppDelegate(*state).wasLaunchedAsLoginItem());
}

TEST_F(AppDelegateTest, TerminationWritesEverythingOnceAndFlushesTheDefaults) {
    buildState();
    AppDelegate delegate(*state);
    delegate.applicationDidFinishLaunching();
    state->awake().start(std::nullopt);
    settings->setMaxVisible(20);
    ASSERT_TRUE(platform->defaults->hasPendingWrite());

    delegate.applicationWillTerminate();
    delegate.applicationWillTerminate();

    EXPECT_EQ(state->workspaces().flushCount(), 1);
    EXPECT_TRUE(platform->fakePowerHolds->held.empty());
    EXPECT_EQ(state->clipboard().flushCount(), 1);
    EXPECT_FALSE(platform->defaults->hasPendingWrite());
    EXPECT_EQ(platform->defaultsFile->document.value("maxVisible", 0), 20);
}

TEST_F(AppDelegateTest, AnExitOutsideTheEventLoopStillWritesThePendingFiles) {
    // The X11 plugin calls exit() when the display connection breaks; the quit sequence never
    // runs then. The exit flush must, and it must write what is pending.
    buildState();
    AppDelegate delegate(*state);
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("flushed"));
    EXPECT_EXIT(
        {
            settings->setMaxVisible(20);
            TerminationSignals::setExitFlush([&] {
                delegate.applicationLostDisplay();
                QFile file(marker);
                if (!platform->defaults->hasPendingWrite() && file.open(QIODevice::WriteOnly))
                    file.write(QByteArray::number(state->workspaces().flushCount()));
            });
            std::exit(1);
        },
        ::testing::ExitedWithCode(1), "");
    QFile file(marker);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "1");
    TerminationSignals::setExitFlush(nullptr);
}

TEST_F(AppDelegateTest, ReopenFrontsTheSettingsWindowOnItsCurrentPage) {
    buildState();
    state->settingsWindow().nav().setTab(SettingsTab::hotkeys);
    AppDelegate(*state).applicationShouldHandleReopen();
    EXPECT_EQ(state->settingsWindow().showCount(), 1);
    EXPECT_EQ(state->settingsWindow().nav().tab(), SettingsTab::hotkeys);
}

TEST_F(AppStateStartTest, AProgramsPictureIsForgottenWhenItQuitsSoAReusedProcessIdIsLookedUpAfresh) {
    buildState();
    state->windows().installAppObservers();
    QPixmap red(8, 8), blue(8, 8);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    platform->fakeApplications->iconsByPID[700] = QIcon(red);
    ASSERT_TRUE(state->icons().appIconForPID(700));

    // The program quits and the system gives its process id to another one
    platform->fakeRunningApplications->emitTerminated(700);
    platform->fakeApplications->iconsByPID[700] = QIcon(blue);

    const std::optional<QIcon> icon = state->icons().appIconForPID(700);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->pixmap(8, 8).toImage().pixel(0, 0), QColor(Qt::blue).rgb());
}

} // namespace
} // namespace corvane::testing
