#include "platform/linux/LinuxSystemShell.h"

#include "support/TestFiles.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
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
    std::optional<ShellOutcome> shown;
    shell.revealFiles({QUrl::fromLocalFile(file)}, [&](const ShellOutcome& outcome) { shown = outcome; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.has_value(); }, 10000));
    ASSERT_TRUE(shown->failure);
    EXPECT_FALSE(shown->failure->isEmpty());
}

TEST(LinuxSystemShell, AFileManagerThatFailsToShowTheFilesIsHeardWithItsReason) {
    // Given a bus of the test's own whose file manager answers every request to show files with
    // an error, after a moment
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--print-address=1")});
    if (!daemon.waitForStarted(10000) || !daemon.waitForReadyRead(10000))
        GTEST_SKIP() << "no dbus-daemon";
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    const QString name = QStringLiteral("corvane-test-file-manager");
    const auto stop = qScopeGuard([&] {
        QDBusConnection::disconnectFromBus(name);
        daemon.kill();
        daemon.waitForFinished(5000);
    });
    QDBusConnection bus = QDBusConnection::connectToBus(address, name);
    ASSERT_TRUE(bus.isConnected());
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    const QString path = QStringLiteral("/org/freedesktop/FileManager1");
    QProcess fileManager;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    fileManager.setProcessEnvironment(environment);
    fileManager.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--session"), service,
                       path, service});
    const auto stopFileManager = qScopeGuard([&] {
        fileManager.kill();
        fileManager.waitForFinished(5000);
    });
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return bus.interface()->isServiceRegistered(service).value(); }, 10000));
    QDBusMessage addMethod = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("AddMethod"));
    addMethod << QString() << QStringLiteral("ShowItems") << QStringLiteral("ass") << QString()
              << QStringLiteral(
                     "import time; time.sleep(0.2); raise dbus.exceptions.DBusException("
                     "'The drive holding it is not connected', name='org.freedesktop.DBus.Error.Failed')");
    ASSERT_NE(bus.call(addMethod).type(), QDBusMessage::ErrorMessage);

    // When the files are shown
    LinuxSystemShell shell(name);
    std::optional<ShellOutcome> shown;
    shell.revealFiles({QUrl::fromLocalFile(QStringLiteral("/tmp/notes.txt"))},
                      [&](const ShellOutcome& outcome) { shown = outcome; });

    // Then the call returned before the answer, which later tells the file manager's reason
    EXPECT_FALSE(shown.has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.has_value(); }, 10000));
    ASSERT_TRUE(shown->failure);
    EXPECT_EQ(*shown->failure, QStringLiteral("The drive holding it is not connected"));
}
