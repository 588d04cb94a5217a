#include "core/SystemHelpers.h"
#include "platform/fake/FakeApplicationHost.h"
#include "platform/fake/FakeSystemShell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

TEST(SystemHelpersTest, TheRelaunchWaitsWhileTheOldProcessRunsAndNotOnceItIsOnlyAZombie) {
    // The old instance, a child of ours that nothing reaps once it has gone
    const pid_t old = ::fork();
    ASSERT_GE(old, 0);
    if (old == 0) {
        ::pause();
        ::_exit(0);
    }
    QTemporaryDir folder;
    const QString started = folder.filePath(QStringLiteral("started"));
    const QString program = folder.filePath(QStringLiteral("corvane"));
    {
        QFile file(program);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\ntouch '" + QFile::encodeName(started) + "'\n");
    }
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    FakeSystemShell shell;
    FakeApplicationHost host;
    shell.executable = program;
    shell.pid = old;
    relaunchApp(shell, host);
    ASSERT_EQ(shell.startedProcesses.size(), 1u);

    // The waiting shell the relaunch asked for, run for real
    const FakeSystemShell::Process& asked = shell.startedProcesses.front();
    std::vector<QByteArray> words{QFile::encodeName(asked.program)};
    for (const QString& argument : asked.arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t waiter = -1;
    ASSERT_EQ(::posix_spawn(&waiter, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    const auto startedWithin = [&](std::chrono::milliseconds bound) {
        const auto end = std::chrono::steady_clock::now() + bound;
        while (!QFile::exists(started) && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return QFile::exists(started);
    };

    EXPECT_FALSE(startedWithin(std::chrono::milliseconds(400))) << "started while the old one ran";
    ::kill(old, SIGTERM);
    EXPECT_TRUE(startedWithin(std::chrono::seconds(10))) << "still waiting on a zombie";
    ::kill(waiter, SIGKILL);
    ::waitpid(waiter, nullptr, 0);
    ::waitpid(old, nullptr, 0);
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
