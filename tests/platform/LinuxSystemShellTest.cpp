#include "platform/linux/LinuxSystemShell.h"

#include "support/TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

using namespace corvane;

TEST(LinuxSystemShell, OnlyCorvanesNextInstanceKeepsTheVirtualDesktopsMark) {
    // Given a process started on the private virtual desktop, with its mark
    qputenv("CORVANE_VIRTUAL_DESKTOP", ":7.1234");
    LinuxSystemShell::setAsideVirtualDesktopMark();

    // Then the programs it starts go without the mark
    QProcess program;
    program.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("echo \"$CORVANE_VIRTUAL_DESKTOP\"")});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.readAllStandardOutput(), QByteArray("\n"));

    // And the next instance it starts keeps it
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("mark"));
    LinuxSystemShell shell;
    ASSERT_TRUE(shell.startDetached(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral("echo \"$CORVANE_VIRTUAL_DESKTOP\" > \"$0.part\" && mv \"$0.part\" \"$0\""), out}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 10000));
    EXPECT_EQ(corvane::testing::readBytes(out), QByteArray(":7.1234\n"));
}

TEST(LinuxSystemShell, AFileOrFolderNoProgramOpensIsToldWithTheReason) {
    // Given a desktop that lists no programs and has no file manager on the bus
    QTemporaryDir empty;
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved;
    for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS",
                             "DBUS_SESSION_BUS_ADDRESS"}) {
        saved.emplace_back(name,
                           qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, QFile::encodeName(empty.path()));
    }
    const auto restore = qScopeGuard([&] {
        for (const auto& [name, value] : saved)
            value ? qputenv(name, *value) : qunsetenv(name);
    });
    const QString file = empty.filePath(QStringLiteral("notes.corvane-sample"));
    corvane::testing::writeBytes(file, "\x01\x02");
    LinuxSystemShell shell;

    // Then opening the file, and showing it (its folder opens in its place), each say why not
    const ShellOutcome opened = shell.openUrl(QUrl::fromLocalFile(file).toString());
    ASSERT_TRUE(opened.failure);
    EXPECT_FALSE(opened.failure->isEmpty());
    const ShellOutcome shown = shell.revealFiles({QUrl::fromLocalFile(file)});
    ASSERT_TRUE(shown.failure);
    EXPECT_FALSE(shown.failure->isEmpty());
}
