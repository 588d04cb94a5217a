#include "app/SingleInstance.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace corvane {
namespace {

TEST(SingleInstanceTest, SecondLaunchHandsReopenToTheRunningInstance) {
    QTemporaryDir directory;
    SingleInstance running(directory.path());
    ASSERT_TRUE(running.becomePrimary());
    QSignalSpy reopened(&running, &SingleInstance::reopenRequested);

    SingleInstance second(directory.path());
    EXPECT_FALSE(second.becomePrimary());
    EXPECT_TRUE(second.refusal().isEmpty());
    EXPECT_TRUE(second.sendReopen(1000));
    EXPECT_TRUE(reopened.wait(2000));

    // Launch actions travel with the hand-over
    const LaunchActions actions{QStringLiteral("layouts"), true};
    EXPECT_TRUE(second.handOver(actions, 1000));
    EXPECT_TRUE(reopened.wait(2000));
    ASSERT_EQ(reopened.count(), 2);
    EXPECT_EQ(reopened.at(0).at(0).value<LaunchActions>(), LaunchActions{});
    EXPECT_EQ(reopened.at(1).at(0).value<LaunchActions>(), actions);
}

TEST(SingleInstanceTest, AFolderOthersCouldUseIsRefusedAndAMissingOneIsMadePrivate) {
    QTemporaryDir parent;
    const QString folder = parent.path() + QStringLiteral("/corvane-1000");
    const QByteArray name = QFile::encodeName(folder);
    const mode_t saved = ::umask(0);
    SingleInstance created(folder);
    EXPECT_TRUE(created.becomePrimary());
    ::umask(saved);
    struct stat status = {};
    ASSERT_EQ(::stat(name.constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0700u);

    // Another user's folder, or one others can write to, is refused with the reason
    QTemporaryDir foreign;
    ASSERT_EQ(::chown(QFile::encodeName(foreign.path()).constData(), ::getuid() + 1, ::getgid()), 0);
    SingleInstance notOurs(foreign.path());
    EXPECT_FALSE(notOurs.becomePrimary());
    EXPECT_TRUE(notOurs.refusal().contains(QStringLiteral("another user")));
    QTemporaryDir open;
    ::chmod(QFile::encodeName(open.path()).constData(), 0777);
    SingleInstance writable(open.path());
    EXPECT_FALSE(writable.becomePrimary());
    EXPECT_TRUE(writable.refusal().contains(QStringLiteral("other users can write")));
}

TEST(SingleInstanceTest, ALockWhoseProcessIdNamesAnotherLiveProgramDoesNotBlockStarting) {
    // Given a lock file naming a live process that is not an instance (the name in the lock
    // matches the process, as when a process id is reused by a program of the same name)
    QProcess other;
    other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(other.waitForStarted());
    QTemporaryDir directory;
    QFile lock(directory.path() + QStringLiteral("/corvane.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(other.processId()) + "\nsleep\n" + QSysInfo::machineHostName().toUtf8() +
               "\n");
    lock.close();

    // Then it does not answer on the socket, so the lock is taken over
    SingleInstance next(directory.path());
    EXPECT_TRUE(next.becomePrimary());
    other.kill();
    other.waitForFinished();
}

TEST(SingleInstanceTest, ALeftoverSocketWithoutItsLockDoesNotBlockStarting) {
    QTemporaryDir directory;
    {
        SingleInstance earlier(directory.path());
        ASSERT_TRUE(earlier.becomePrimary());
    }
    // The earlier process is gone; its lock is released and a new one takes over.
    SingleInstance next(directory.path());
    EXPECT_TRUE(next.becomePrimary());
    SingleInstance nobody(QTemporaryDir().path());
    EXPECT_FALSE(nobody.sendReopen(200));
}

} // namespace
} // namespace corvane
