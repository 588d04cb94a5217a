#include "core/LaunchAtLogin.h"
#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/linux/XdgAutostart.h"
#include "runtime/ManualScheduler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

struct LaunchAtLoginTest : ::testing::Test {
    QTemporaryDir folder;
    ManualScheduler scheduler;
    UserDefaults defaults{std::make_unique<FakeDefaultsFile>(), scheduler};
    QString configHome = folder.filePath(QStringLiteral("config"));
    QString systemDir = folder.filePath(QStringLiteral("xdg"));
    XdgAutostart autostart{configHome, {systemDir}, QStringLiteral("/opt/my apps/corvane")};

    QString entry() const {
        QFile file(autostart.entryPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

} // namespace

TEST_F(LaunchAtLoginTest, TheFirstRunTurnsItOnAndLaterRunsKeepAnExplicitOff) {
    {
        LaunchAtLogin first(defaults, autostart);
        EXPECT_FALSE(first.isEnabled());
        first.configureDefaultIfNeeded();
        EXPECT_TRUE(first.isEnabled());
        EXPECT_FALSE(first.needsApproval());
        // The Exec line starts this very executable as a login launch, quoted for its space
        EXPECT_TRUE(
            entry().contains(QStringLiteral("\nExec=\"/opt/my apps/corvane\" -launchedAtLogin YES\n")))
            << entry().toStdString();
        first.setEnabled(false);
        EXPECT_FALSE(QFile::exists(autostart.entryPath()));
    }
    LaunchAtLogin second(defaults, autostart);
    second.configureDefaultIfNeeded();
    EXPECT_FALSE(second.isEnabled());
    EXPECT_FALSE(QFile::exists(autostart.entryPath()));
}

TEST_F(LaunchAtLoginTest, AFailedWriteIsReportedNotRetriedAndClearedByTheNextSuccess) {
    // A regular file where the autostart folder belongs makes every write fail, even as root
    QDir().mkpath(configHome);
    QFile blocker(configHome + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    LaunchAtLogin launch(defaults, autostart);
    int changes = 0;
    QObject::connect(&launch, &LaunchAtLogin::changed, [&] { ++changes; });
    launch.configureDefaultIfNeeded();
    ASSERT_TRUE(launch.lastError().has_value());
    EXPECT_TRUE(launch.lastError()->contains(QStringLiteral("autostart")))
        << launch.lastError()->toStdString();
    EXPECT_FALSE(launch.isEnabled());
    EXPECT_EQ(changes, 1);

    // The next launch does not try again
    LaunchAtLogin next(defaults, autostart);
    next.configureDefaultIfNeeded();
    EXPECT_FALSE(next.lastError().has_value());

    // Once the way is clear, switching it on works and the error goes
    ASSERT_TRUE(QFile::remove(blocker.fileName()));
    launch.setEnabled(true);
    EXPECT_TRUE(launch.isEnabled());
    EXPECT_FALSE(launch.lastError().has_value());
}

TEST_F(LaunchAtLoginTest, ASystemWideEntryIsHiddenByTheUsersOwn) {
    QDir().mkpath(systemDir + QStringLiteral("/autostart"));
    QFile system(systemDir + QStringLiteral("/autostart/corvane.desktop"));
    ASSERT_TRUE(system.open(QIODevice::WriteOnly));
    system.write("[Desktop Entry]\nType=Application\nExec=/usr/bin/corvane\n");
    system.close();

    LaunchAtLogin launch(defaults, autostart);
    EXPECT_TRUE(launch.isEnabled());
    launch.setEnabled(false);
    EXPECT_FALSE(launch.isEnabled());
    EXPECT_TRUE(entry().contains(QStringLiteral("Hidden=true")));
    EXPECT_TRUE(system.exists());
    launch.setEnabled(true);
    EXPECT_TRUE(launch.isEnabled());
}

TEST_F(LaunchAtLoginTest, AProgramRunFromItsBuildFolderIsToldFromAnInstalledOne) {
    // The entry names the running program either way; the log tells a build folder's apart
    QDir(folder.path()).mkpath(QStringLiteral("build/src"));
    QDir(folder.path()).mkpath(QStringLiteral("prefix/bin"));
    QFile cache(folder.filePath(QStringLiteral("build/CMakeCache.txt")));
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    EXPECT_TRUE(XdgAutostart::isInBuildTree(folder.filePath(QStringLiteral("build/src/corvane"))));
    EXPECT_FALSE(XdgAutostart::isInBuildTree(folder.filePath(QStringLiteral("prefix/bin/corvane"))));
}

TEST_F(LaunchAtLoginTest, TheInstalledProgramTakesOverAnEntryThatStartsAnotherOne) {
    // Given an entry written by a program in a build folder
    QDir(folder.path()).mkpath(QStringLiteral("build/src"));
    QFile cache(folder.filePath(QStringLiteral("build/CMakeCache.txt")));
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    XdgAutostart built{configHome, {systemDir}, folder.filePath(QStringLiteral("build/src/corvane"))};
    ASSERT_FALSE(built.registerItem());

    // The build folder's program leaves it; the installed one makes it its own
    built.followInstalledProgram();
    EXPECT_TRUE(entry().contains(folder.filePath(QStringLiteral("build/src/corvane"))));
    autostart.followInstalledProgram();
    EXPECT_TRUE(entry().contains(QStringLiteral("\nExec=\"/opt/my apps/corvane\" -launchedAtLogin YES\n")));
    // An entry switched off stays off
    ASSERT_FALSE(autostart.unregisterItem());
    autostart.followInstalledProgram();
    EXPECT_FALSE(QFile::exists(autostart.entryPath()));
}
