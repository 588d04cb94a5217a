#include "ShortcutKit/AppShortcuts.h"
#include "app/Hotkeys.h"

#include "ShortcutKit/Registry.h"
#include "clipboard/ClipboardPanelController.h"
#include "core/ToastController.h"
#include "platform/fake/FakeTray.h"
#include "support/AppFixture.h"

namespace corvane::testing {
namespace {

using namespace corvane::ShortcutKit;

class AppShortcutsTest : public AppFixture {
protected:
    AppShortcutsTest() {
        buildState();
        registerHotkeys(*state);
    }
    Registry& shortcuts() { return state->shortcuts(); }
    bool press(const Name& name) {
        const auto shortcut = shortcuts().getShortcut(name);
        return shortcut && platform->fakeHotKeys->tap(shortcut->carbonKeyCode, shortcut->carbonModifiers);
    }
};

TEST_F(AppShortcutsTest, AFreshInstallStoresAndTakesEveryDefaultShowingTheTablesTexts) {
    const std::vector<QString> expected{
        "Alt+Shift+S",
        "Alt+Shift+W",
        "Alt+Tab",
        "Alt+Shift+V",
        "Ctrl+Alt+Left",
        "Ctrl+Alt+Right",
        "Ctrl+Alt+Up",
        "Ctrl+Alt+Down",
        "Ctrl+Alt+Return",
        "Ctrl+Alt+C",
        "Ctrl+Alt+Backspace",
        "Ctrl+Alt+L",
        "Alt+1",
        "Alt+2",
        "Alt+3",
        "Alt+4",
        "Alt+5",
        "Alt+6",
        "Alt+7",
        "Alt+8",
        "Alt+9",
    };
    const std::vector<Name>& names = AppShortcuts::allNames();
    ASSERT_EQ(names.size(), expected.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].rawValue.toStdString());
        const auto shortcut = shortcuts().getShortcut(names[i]);
        ASSERT_TRUE(shortcut);
        EXPECT_EQ(shortcut, names[i].initialShortcut);
        EXPECT_EQ(shortcut->description(*platform->keyboard), expected[i]);
        EXPECT_TRUE(shortcuts().isNameActive(names[i]));
    }
    EXPECT_EQ(platform->fakeHotKeys->registeredCount(), 21);
    // The digit row's codes follow the keyboard, not the digits
    EXPECT_EQ(shortcuts().getShortcut(AppShortcuts::restoreWorkspaceNames()[4])->carbonKeyCode, 23);
    EXPECT_EQ(AppShortcuts::snapActionEntries().front().title, QStringLiteral("Left half (repeat: ⅔ → ⅓)"));
}

TEST_F(AppShortcutsTest, WorkspaceShortcutTextFollowsTheSlotsStoredShortcut) {
    EXPECT_FALSE(workspaceShortcutText(shortcuts(), 0));
    EXPECT_FALSE(workspaceShortcutText(shortcuts(), 10));
    EXPECT_EQ(workspaceShortcutText(shortcuts(), 3), QStringLiteral("Alt+3"));
    // A combination another program holds is still the slot's shortcut
    const Shortcut held(Key::b, ModifierFlags(ModifierFlags::control));
    platform->fakeHotKeys->refuse(held.carbonKeyCode, held.carbonModifiers);
    shortcuts().setShortcut(held, AppShortcuts::restoreWorkspaceNames()[2]);
    ASSERT_TRUE(shortcuts().refusal(AppShortcuts::restoreWorkspaceNames()[2]));
    EXPECT_EQ(workspaceShortcutText(shortcuts(), 3), QStringLiteral("Ctrl+B"));
    shortcuts().setShortcut(std::nullopt, AppShortcuts::restoreWorkspaceNames()[2]);
    EXPECT_FALSE(workspaceShortcutText(shortcuts(), 3));
}

TEST_F(AppShortcutsTest, TheClipboardShortcutTextFallsBackToTheDefault) {
    const Shortcut moved(Key::b, ModifierFlags(ModifierFlags::control));
    shortcuts().setShortcut(moved, AppShortcuts::clipboardHistory());
    EXPECT_EQ(clipboardShortcutText(shortcuts()), QStringLiteral("Ctrl+B"));
    // The strip's hot key alone holds the keyboard at its press, wherever it moves
    EXPECT_TRUE(platform->fakeHotKeys->holdsKeyboard(moved.carbonKeyCode, moved.carbonModifiers));
    const Shortcut sidebar = *shortcuts().getShortcut(AppShortcuts::toggleSidebar());
    EXPECT_FALSE(platform->fakeHotKeys->holdsKeyboard(sidebar.carbonKeyCode, sidebar.carbonModifiers));
    shortcuts().setShortcut(std::nullopt, AppShortcuts::clipboardHistory());
    EXPECT_EQ(clipboardShortcutText(shortcuts()), QStringLiteral("Alt+Shift+V"));
    // With the shortcut removed, the strip's icon names the default all the same
    state->clipboardPanel().updateStatusItem();
    EXPECT_EQ(platform->fakeTray->icon("corvane.clipboard")->toolTip(), "Clipboard history (Alt+Shift+V)");
}

TEST_F(AppShortcutsTest, PressingADefaultRunsItsAction) {
    // option+shift+S flips the strip
    const bool enabled = settings->sidebarEnabled();
    ASSERT_TRUE(press(AppShortcuts::toggleSidebar()));
    EXPECT_NE(settings->sidebarEnabled(), enabled);
    // option+3 restores slot 3, which holds nothing
    ASSERT_TRUE(press(AppShortcuts::restoreWorkspaceNames()[2]));
    EXPECT_EQ(state->toast().lastMessage(), QStringLiteral("No workspace on slot 3"));
    // A slot whose shortcut moved follows it at once
    const Shortcut moved(Key::f7);
    shortcuts().setShortcut(moved, AppShortcuts::restoreWorkspaceNames()[6]);
    EXPECT_FALSE(platform->fakeHotKeys->isRegistered(Key::seven.rawValue, CarbonModifiers::option));
    ASSERT_TRUE(platform->fakeHotKeys->tap(moved.carbonKeyCode, moved.carbonModifiers));
    EXPECT_EQ(state->toast().lastMessage(), QStringLiteral("No workspace on slot 7"));
}

TEST_F(AppShortcutsTest, ResetAllBringsBackEveryDefaultIncludingRemovedOnes) {
    shortcuts().setShortcut(std::nullopt, AppShortcuts::snapLeft());
    shortcuts().setShortcut(Shortcut(Key::f2), AppShortcuts::saveWorkspace());
    shortcuts().reset(AppShortcuts::allNames());
    for (const Name& name : AppShortcuts::allNames()) {
        SCOPED_TRACE(name.rawValue.toStdString());
        EXPECT_EQ(shortcuts().getShortcut(name), name.initialShortcut);
        EXPECT_TRUE(shortcuts().isNameActive(name));
    }
    EXPECT_EQ(platform->fakeHotKeys->registeredCount(), 21);
}

} // namespace
} // namespace corvane::testing
