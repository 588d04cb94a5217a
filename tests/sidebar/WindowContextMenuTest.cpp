#include "SidebarFixture.h"

#include "sidebar/WindowContextMenu.h"

#include <gmock/gmock.h>

namespace corvane::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class WindowContextMenuTest : public SidebarFixture {
protected:
    WindowContextMenuTest() {
        addWindow(100, 1, QStringLiteral("Text Editor"), QStringLiteral("notes.txt"));
        addWindow(100, 2, QStringLiteral("Text Editor"), QStringLiteral("todo.txt"));
        addWindow(200, 3, QStringLiteral("Terminal"));
        refresh();
    }
};

TEST_F(WindowContextMenuTest, ListsTheWindowsActionsNamedAfterItsProgram) {
    WindowContextMenu menu(state->stripServices(), listed(1));

    EXPECT_EQ(titles(menu), (QStringList{"Focus", "Add to Workspace", "Pin to Top", "-", "Minimize",
                                         "Close Window", "-", "Hide Text Editor", "Quit Text Editor"}));
    // Without workspaces the submenu only offers a new one, without a divider.
    EXPECT_EQ(titles(*menu.workspaceMenu()), QStringList{"New Workspace\u2026"});
}

TEST_F(WindowContextMenuTest, WorkspaceItemsShowTheNamesAsTypedAndAddTheWindow) {
    const Workspace work = addWorkspace(QStringLiteral("Work"));
    addWorkspace(QStringLiteral("menu.workspace.title"));
    addWorkspace(QStringLiteral("R&D"));
    addWindow(300, 4, QStringLiteral("Tom & Jerry"));
    refresh();
    WindowContextMenu menu(state->stripServices(), listed(3));

    // An ampersand is doubled, so that the menu shows it rather than underlining the next letter
    EXPECT_EQ(titles(*menu.workspaceMenu()),
              (QStringList{"Work", "menu.workspace.title", "R&&D", "-", "New Workspace\u2026"}));
    EXPECT_THAT(titles(WindowContextMenu(state->stripServices(), listed(4))),
                Contains(QStringLiteral("Quit Tom && Jerry")));

    item(*menu.workspaceMenu(), QStringLiteral("Work"))->trigger();
    ASSERT_EQ(state->workspaces().workspace(work.id)->items.size(), 1u);
    EXPECT_EQ(state->workspaces().workspace(work.id)->items.front().bundleID,
              QStringLiteral("org.example.Terminal"));

    item(*menu.workspaceMenu(), QStringLiteral("New Workspace\u2026"))->trigger();
    ASSERT_EQ(state->workspaces().workspaces().size(), 4u);
    EXPECT_EQ(state->workspaces().workspaces().back().name, QStringLiteral("Terminal"));
}

TEST_F(WindowContextMenuTest, PinningFlipsWithTheRedrawnWindow) {
    // Given a pinned window
    state->windows().togglePin(1);
    WindowContextMenu pinned(state->stripServices(), listed(1));
    ASSERT_TRUE(listed(1).isPinned);

    // When "Unpin" is chosen
    item(pinned, QStringLiteral("Unpin"))->trigger();

    // Then the pin is gone and the next opening offers to pin again
    EXPECT_TRUE(state->windows().pinned().empty());
    WindowContextMenu next(state->stripServices(), listed(1));
    EXPECT_NE(item(next, QStringLiteral("Pin to Top")), nullptr);
}

TEST_F(WindowContextMenuTest, MinimiseRestoreAndCloseGoThroughWindowAccess) {
    WindowInfo minimised = listed(1);
    minimised.isMinimized = true;
    WindowContextMenu menu(state->stripServices(), minimised);
    platform->fakeAccessibility->clearWrites();

    item(menu, QStringLiteral("Restore"))->trigger();
    item(menu, QStringLiteral("Close Window"))->trigger();

    EXPECT_THAT(platform->fakeAccessibility->writes(),
                ElementsAre(QStringLiteral("minimized 1 false"), QStringLiteral("close 1")));
}

TEST_F(WindowContextMenuTest, HideAndQuitActOnTheProgramOnlyWhileItRuns) {
    WindowContextMenu menu(state->stripServices(), listed(1));
    platform->fakeAccessibility->clearWrites();

    item(menu, QStringLiteral("Hide Text Editor"))->trigger();
    EXPECT_EQ(platform->fakeRunningApplications->hidden, std::vector<int32_t>{100});

    // Quitting closes each of the program's windows, and no other.
    item(menu, QStringLiteral("Quit Text Editor"))->trigger();
    EXPECT_THAT(platform->fakeAccessibility->writes(),
                ElementsAre(QStringLiteral("close 1"), QStringLiteral("close 2")));

    // Once the program has ended, both do nothing.
    platform->fakeRunningApplications->remove(100);
    platform->fakeAccessibility->clearWrites();
    item(menu, QStringLiteral("Hide Text Editor"))->trigger();
    item(menu, QStringLiteral("Quit Text Editor"))->trigger();
    EXPECT_EQ(platform->fakeRunningApplications->hidden.size(), 1u);
    EXPECT_TRUE(platform->fakeAccessibility->writes().empty());
}

} // namespace
} // namespace corvane::testing
