#include "platform/linux/LinuxSystemShell.h"

#include "support/TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

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
