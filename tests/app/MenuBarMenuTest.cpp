#include "support/AppFixture.h"

#include "app/Hotkeys.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/RecorderControl.h"
#include "ShortcutKit/Registry.h"
#include "ShortcutKit/ShortcutConflicts.h"
#include "app/MenuBarMenu.h"
#include "core/PermissionManager.h"
#include "core/ToastController.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakePermissionProbe.h"
#include "platform/fake/FakeRunningApplications.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeWindowList.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "workspaces/WorkspaceManager.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <memory>

namespace corvane::testing {
namespace {

const ScreenInfo display{"DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 30, 1920, 1050), 1u, std::nullopt};

class MenuBarMenuTest : public AppFixture {
protected:
    MenuBarMenuTest() {
        platform->fakeScreens->setScreens({display});
        platform->fakeScreens->setPointer(QPointF(100, 100));
    }

    MenuBarMenu& build() {
        buildState();
        menu = std::make_unique<MenuBarMenu>(*state);
        return *menu;
    }

    // The menu as the user reads it: a plain separator is "-", a section shows its title.
    static QStringList titles(const QMenu& shown) {
        QStringList texts;
        for (const QAction* action : shown.actions())
            texts << (action->isSeparator() && action->text().isEmpty() ? QStringLiteral("-")
                                                                        : action->text());
        return texts;
    }
    QStringList titles() const { return titles(*menu); }

    QAction* item(const QString& text) const {
        for (QAction* action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

    Workspace workspace(const QString& name, std::optional<int> slot) {
        Workspace made;
        made.id = QUuid::createUuid();
        made.name = name;
        made.hotkeyIndex = slot;
        return made;
    }

    std::unique_ptr<MenuBarMenu> menu;
};

TEST_F(MenuBarMenuTest, ListsTheItemsInOrderWithTheirShortcuts) {
    build();

    EXPECT_EQ(titles(), QStringList({"Hide Sidebar", "-", "Workspaces", "No workspaces yet",
                                     "Save Current Windows as Workspace", "-", "Clipboard History",
                                     "Arrange Windows", "-", "Grant Permissions\u2026", "Settings\u2026",
                                     "Check for Updates\u2026", "About Corvane", "-", "Quit Corvane"}));
    EXPECT_FALSE(item("No workspaces yet")->isEnabled());
    EXPECT_EQ(titles(menu->arrangeMenu()),
              QStringList({"Halves 50/50", "60 / 40", "Thirds", "Main + Stack", "Grid", "Maximize All"}));
    EXPECT_EQ(item("Settings\u2026")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(item("Quit Corvane")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(item("Quit Corvane")->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Ctrl+Q"));
    // A recorder refuses both keys as these items'
    const ShortcutKit::ShortcutConflicts& conflicts = state->shortcuts().conflicts();
    using ShortcutKit::Key, ShortcutKit::ModifierFlags, ShortcutKit::Shortcut;
    EXPECT_EQ(conflicts.menuItemUsing(Shortcut(Key::comma, ModifierFlags(ModifierFlags::control))),
              QStringLiteral("Settings\u2026"));
    EXPECT_EQ(conflicts.menuItemUsing(Shortcut(Key::q, ModifierFlags(ModifierFlags::control))),
              QStringLiteral("Quit Corvane"));
}

TEST_F(MenuBarMenuTest, TheShownKeysActInTheOpenMenuAndInCorvanesWindows) {
    build();
    // Ctrl+, in the open menu closes it and opens Settings
    menu->popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
    QTest::keyClick(menu.get(), Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_FALSE(menu->isVisible());
    QWidget* window = state->settingsWindow().window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());

    // Ctrl+Q in the settings window quits; a plain Q does nothing, nor does Q with more than Ctrl
    QTest::keyClick(window, Qt::Key_Q);
    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(platform->fakeHost->terminateCount, 0);
    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(platform->fakeHost->terminateCount, 1);

    // A shortcut field that records keeps Ctrl+Q for itself: the user may be recording it
    ShortcutKit::RecorderControl recorder(
        ShortcutKit::RecorderServices::standard(state->shortcuts(), notifications, *platform->host),
        AppShortcuts::clipboardHistory());
    recorder.show();
    recorder.activateWindow();
    QCoreApplication::processEvents();
    QTest::mouseClick(&recorder, Qt::LeftButton);
    ASSERT_TRUE(recorder.isRecording());
    QTest::keyClick(&recorder, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(platform->fakeHost->terminateCount, 1);
}

TEST_F(MenuBarMenuTest, CheckForUpdatesSaysWhereUpdatesComeFrom) {
    build();
    item(QStringLiteral("Check for Updates\u2026"))->trigger();
    EXPECT_EQ(platform->fakeHost->activateCount, 1);
    EXPECT_EQ(state->toast().lastMessage(),
              QStringLiteral("Updates come with your system's package manager"));
}

TEST_F(MenuBarMenuTest, SidebarItemTitleFollowsTheSidebarPreferences) {
    build();
    Settings& prefs = state->settings();

    // Given the strip on and shown all the time.
    EXPECT_EQ(titles().front(), "Hide Sidebar");

    // When it hides itself, the item reveals it; once it is off, auto-hide no longer matters.
    prefs.setAutoHide(true);
    EXPECT_EQ(titles().front(), "Reveal Sidebar");
    prefs.setSidebarEnabled(false);
    EXPECT_EQ(titles().front(), "Show Sidebar");

    // Choosing the item turns the strip on, and the open menu follows at once even though the
    // change comes from inside the item's own action.
    prefs.setAutoHide(false);
    menu->actions().front()->trigger();
    EXPECT_TRUE(prefs.sidebarEnabled());
    EXPECT_EQ(titles().front(), "Hide Sidebar");
}

TEST_F(MenuBarMenuTest, WorkspaceSectionFollowsTheSavedWorkspacesWithoutReopening) {
    platform->fakePermissions->accessibility = true;
    build();
    platform->fakeRunningApplications->add(100, "Editor", "org.example.Editor");
    platform->fakeWindowList->add(1, 100, QRectF(0, 40, 800, 600), "Notes").owner = "Editor";
    FakeAXWindow window;
    window.number = 1;
    window.frame = QRectF(0, 40, 800, 600);
    window.title = "Notes";
    platform->fakeAccessibility->addWindow(100, window);

    // When the save item is chosen with a window on the screen.
    item("Save Current Windows as Workspace")->trigger();

    // Then the new workspace is listed in place of the placeholder, above the save item.
    ASSERT_EQ(state->workspaces().workspaces().size(), 1u);
    const QStringList texts = titles();
    EXPECT_FALSE(texts.contains("No workspaces yet"));
    const QString slotOne = workspaceShortcutText(state->shortcuts(), 1).value_or(QString());
    const qsizetype saved = texts.indexOf("Editor    " + slotOne);
    ASSERT_GE(saved, 0);
    EXPECT_EQ(texts.at(saved - 1), "Workspaces");
    EXPECT_EQ(texts.at(saved + 1), "Save Current Windows as Workspace");

    // And choosing it restores that workspace.
    std::optional<QUuid> restoring;
    QObject::connect(&state->workspaces(), &WorkspaceManager::restoringIDChanged, [&] {
        if (!restoring)
            restoring = state->workspaces().restoringID();
    });
    menu->actions().at(saved)->trigger();
    EXPECT_EQ(restoring, state->workspaces().workspaces().front().id);
}

TEST_F(MenuBarMenuTest, WorkspaceTitleShowsTheSlotShortcutWhileOneIsBound) {
    build();
    const QString slotThree = workspaceShortcutText(state->shortcuts(), 3).value_or(QString());
    ASSERT_FALSE(slotThree.isEmpty());

    // Given a workspace on slot 3, one without a slot, and a name with an ampersand.
    state->workspaces().add(workspace("Mail", 3));
    state->workspaces().add(workspace("Notes", std::nullopt));
    state->workspaces().add(workspace("Tom & Jerry", std::nullopt));

    EXPECT_TRUE(titles().contains("Mail    " + slotThree)); // four spaces, then the shortcut
    EXPECT_TRUE(titles().contains("Notes"));
    EXPECT_TRUE(titles().contains("Tom && Jerry")); // shown literally, not as a mnemonic

    // When another program holds the slot's shortcut, it is still the one bound and shown
    registerHotkeys(*state);
    const ShortcutKit::Name& slot = AppShortcuts::restoreWorkspaceNames()[2];
    const ShortcutKit::Shortcut held = *state->shortcuts().getShortcut(slot);
    platform->fakeHotKeys->refuse(held.carbonKeyCode, held.carbonModifiers);
    state->shortcuts().setShortcut(std::nullopt, slot);
    state->shortcuts().setShortcut(held, slot);
    EXPECT_TRUE(titles().contains("Mail    " + slotThree));

    // When the slot's shortcut is removed, only the name remains.
    platform->fakeHotKeys->refuse(held.carbonKeyCode, held.carbonModifiers, false);
    state->shortcuts().setShortcut(std::nullopt, slot);
    EXPECT_TRUE(titles().contains("Mail"));
}

TEST_F(MenuBarMenuTest, ClipboardHistoryShowsOnlyWhileTheHistoryIsOn) {
    build();
    ASSERT_NE(item("Clipboard History"), nullptr);

    state->settings().setClipboardEnabled(false);
    EXPECT_EQ(item("Clipboard History"), nullptr);

    state->settings().setClipboardEnabled(true);
    EXPECT_NE(item("Clipboard History"), nullptr);
}

TEST_F(MenuBarMenuTest, GrantPermissionsStaysUntilBothPermissionsAreGranted) {
    // Given window access granted but not screen capture.
    platform->fakePermissions->accessibility = true;
    build();
    ASSERT_TRUE(state->permissions().accessibilityGranted());
    EXPECT_NE(item("Grant Permissions\u2026"), nullptr);

    // When screen capture is granted too, the item goes.
    platform->fakePermissions->screenCapture = true;
    state->permissions().check();
    background.drain();
    ASSERT_TRUE(state->permissions().screenRecordingGranted());
    EXPECT_EQ(item("Grant Permissions\u2026"), nullptr);
}

TEST_F(MenuBarMenuTest, SettingsKeepsTheLastPageAndAboutOpensTheAboutPage) {
    build();
    SettingsWindowController& settingsWindow = state->settingsWindow();

    // Given the window last shown on the layouts page, then closed.
    settingsWindow.show(SettingsTab::layouts);
    ASSERT_NE(settingsWindow.window(), nullptr);
    settingsWindow.window()->close();

    // When "Settings…" is chosen, it opens on that page again.
    item("Settings\u2026")->trigger();
    ASSERT_NE(settingsWindow.window(), nullptr);
    EXPECT_EQ(settingsWindow.nav().tab(), SettingsTab::layouts);

    // "About Corvane" turns it to the about page.
    item("About Corvane")->trigger();
    EXPECT_EQ(settingsWindow.nav().tab(), SettingsTab::about);
}

} // namespace
} // namespace corvane::testing
