#include "core/SystemHelpers.h"
#include "platform/fake/FakeApplicationHost.h"
#include "platform/fake/FakeSystemShell.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(SystemHelpersTest, RelaunchStartsAWaitingShellAndQuitsEvenWhenTheStartFails) {
    for (bool starts : {true, false}) {
        // Given a shell that can or cannot start programs
        FakeSystemShell shell;
        FakeApplicationHost host;
        shell.processStarts = starts;

        // When relaunching
        relaunchApp(shell, host);

        // Then a shell is started that waits for this pid before running this executable
        ASSERT_EQ(shell.startedProcesses.size(), 1u);
        const FakeSystemShell::Process& started = shell.startedProcesses.front();
        EXPECT_EQ(started.program, QStringLiteral("/bin/sh"));
        ASSERT_EQ(started.arguments.size(), 4);
        EXPECT_EQ(started.arguments[0], QStringLiteral("-c"));
        EXPECT_TRUE(started.arguments[1].contains(QStringLiteral("kill -0 \"$1\"")));
        EXPECT_TRUE(started.arguments[1].endsWith(QStringLiteral("exec \"$0\"")));
        EXPECT_EQ(started.arguments[2], QStringLiteral("/usr/bin/corvane"));
        EXPECT_EQ(started.arguments[3], QStringLiteral("4242"));
        // And the application quits either way
        EXPECT_EQ(host.terminateCount, 1) << "start succeeded: " << starts;
    }
}

TEST(SystemHelpersTest, SystemSettingsFallBackToTheMenuBarPane) {
    // Given a desktop without the control-center pane
    FakeSystemShell shell;
    shell.paneOpens[SettingsPane::controlCenter] = false;
    // When opening the system settings, the menu-bar pane is tried next
    openSystemSettingsPane(shell);
    EXPECT_EQ(shell.openedPanes,
              (std::vector<SettingsPane>{SettingsPane::controlCenter, SettingsPane::menuBar}));

    // Given one with it, the search stops there
    FakeSystemShell withPane;
    openSystemSettingsPane(withPane);
    EXPECT_EQ(withPane.openedPanes, std::vector<SettingsPane>{SettingsPane::controlCenter});
}

TEST(SystemHelpersTest, OpenURLStringIgnoresEmptyText) {
    FakeSystemShell shell;
    openURLString(shell, QString());
    openURLString(shell, QStringLiteral("   "));
    EXPECT_TRUE(shell.openedUrls.empty());

    openURLString(shell, QStringLiteral("https://example.org/help"));
    EXPECT_EQ(shell.openedUrls, std::vector<QString>{QStringLiteral("https://example.org/help")});
}
