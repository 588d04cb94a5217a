#include "app/SingleInstance.h"
#include "runtime/ManualScheduler.h"
#include "runtime/QtScheduler.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace corvane {
namespace {

// An instance running in a private folder, and a second launch beside it.
class RunningInstance : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(running.becomePrimary()); }

    QTemporaryDir directory;
    QtScheduler scheduler;
    SingleInstance running{scheduler, directory.path()};
    QSignalSpy reopened{&running, &SingleInstance::reopenRequested};
    SingleInstance second{scheduler, directory.path()};
};

TEST_F(RunningInstance, SecondLaunchHandsReopenToTheRunningInstance) {
    EXPECT_FALSE(second.becomePrimary());
    EXPECT_TRUE(second.refusal().isEmpty());
    // The running instance answers once it has acted
    EXPECT_TRUE(QCoro::waitFor(second.sendReopen(scheduler, 1000)));
    EXPECT_EQ(reopened.count(), 1);
}

TEST_F(RunningInstance, OnlyAPlainReopenIsTakenAndAClientSendingMoreIsDropped) {
    // Another local client: a reopen that carries anything, a line that is not a request, then one
    // that never ends
    const auto send = [&](const QByteArray& bytes) {
        QLocalSocket client;
        client.connectToServer(running.socketPath());
        EXPECT_TRUE(client.waitForConnected(1000));
        client.write(bytes);
        QByteArray answer;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                answer += client.readAll();
                return client.state() == QLocalSocket::UnconnectedState;
            },
            5000))
            << "the instance kept the client";
        return answer + client.readAll();
    };
    EXPECT_TRUE(send("launch {\"settingsTab\": \"layouts\"}\n").startsWith("refused "));
    EXPECT_TRUE(send("reopen layouts\n").startsWith("refused "));
    EXPECT_TRUE(send("launch [1, 2]\n").startsWith("refused "));
    // (the answer may be lost with the bytes the instance never read; the drop is what counts)
    send(QByteArray(qsizetype(1024) * 1024, 'x'));
    EXPECT_EQ(reopened.count(), 0);
    EXPECT_TRUE(QCoro::waitFor(second.sendReopen(scheduler, 1000)));
}

TEST(SingleInstanceTest, SilentClientsAreDroppedAndTooManyNeverCrowdOutAHandOver) {
    QTemporaryDir directory;
    ManualScheduler clock;
    QtScheduler scheduler;
    SingleInstance running(clock, directory.path());
    ASSERT_TRUE(running.becomePrimary());
    QSignalSpy reopened{&running, &SingleInstance::reopenRequested};

    // Given more clients that connect and send nothing than the instance holds
    std::vector<std::unique_ptr<QLocalSocket>> silent;
    for (std::size_t i = 0; i < SingleInstance::heldClientLimit + 8; ++i) {
        silent.push_back(std::make_unique<QLocalSocket>());
        silent.back()->connectToServer(running.socketPath());
        ASSERT_TRUE(silent.back()->waitForConnected(1000));
    }
    const auto dropped = [&] {
        return std::count_if(silent.begin(), silent.end(), [](const auto& socket) {
            return socket->state() == QLocalSocket::UnconnectedState;
        });
    };
    // Then the oldest are dropped as the newest come, and a launch still hands over
    EXPECT_TRUE(QTest::qWaitFor([&] { return dropped() >= 8; }, 5000)) << dropped();
    SingleInstance second(scheduler, directory.path());
    EXPECT_TRUE(QCoro::waitFor(second.sendReopen(scheduler, 1000)));
    EXPECT_EQ(reopened.count(), 1);

    // And once they have been silent long enough, all of them are dropped
    clock.advance(SingleInstance::silentClientSeconds);
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::size_t(dropped()) == silent.size(); }, 5000)) << dropped();
}

TEST(SingleInstanceTest, QuittingWhileALaunchRequestIsHeldEndsCleanly) {
    QTemporaryDir directory;
    ManualScheduler clock;
    QtScheduler scheduler;
    auto running = std::make_unique<SingleInstance>(clock, directory.path());
    ASSERT_TRUE(running->becomePrimary());
    // A client that has connected and sent nothing yet is held; a hand-over behind it shows that
    // the instance has taken it in
    QLocalSocket silent;
    silent.connectToServer(running->socketPath());
    ASSERT_TRUE(silent.waitForConnected(1000));
    SingleInstance second(scheduler, directory.path());
    ASSERT_TRUE(QCoro::waitFor(second.sendReopen(scheduler, 1000)));
    // The instance goes with the client still held (a sanitized build reports any use of what
    // it has already freed)
    running.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return silent.state() == QLocalSocket::UnconnectedState; }, 5000));
}

TEST(SingleInstanceTest, AnInstanceThatDoesNotAnswerIsReportedAsSuch) {
    // A process holds the socket but never reads from it, as a hung instance does
    QTemporaryDir directory;
    QtScheduler scheduler;
    QLocalServer hung;
    ASSERT_TRUE(hung.listen(directory.path() + QStringLiteral("/corvane.socket")));
    SingleInstance second(scheduler, directory.path());
    const HandOver handOver = QCoro::waitFor(second.sendReopen(scheduler, 300));
    EXPECT_EQ(handOver.outcome, HandOver::Outcome::unanswered);
}

TEST(SingleInstanceTest, AFolderOthersCouldUseIsRefusedAndAMissingOneIsMadePrivate) {
    QtScheduler scheduler;
    QTemporaryDir parent;
    const QString folder = parent.path() + QStringLiteral("/corvane-1000");
    const QByteArray name = QFile::encodeName(folder);
    const mode_t saved = ::umask(0);
    SingleInstance created(scheduler, folder);
    EXPECT_TRUE(created.becomePrimary());
    ::umask(saved);
    struct stat status = {};
    ASSERT_EQ(::stat(name.constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0700u);

    // Another user's folder, or one others can write to, is refused with the reason
    QTemporaryDir foreign;
    ASSERT_EQ(::chown(QFile::encodeName(foreign.path()).constData(), ::getuid() + 1, ::getgid()), 0);
    SingleInstance notOurs(scheduler, foreign.path());
    EXPECT_FALSE(notOurs.becomePrimary());
    EXPECT_TRUE(notOurs.refusal().contains(QStringLiteral("another user")));
    QTemporaryDir open;
    ::chmod(QFile::encodeName(open.path()).constData(), 0777);
    SingleInstance writable(scheduler, open.path());
    EXPECT_FALSE(writable.becomePrimary());
    EXPECT_TRUE(writable.refusal().contains(QStringLiteral("other users can write")));

    // A folder where the lock file belongs: nothing runs, and the refusal names the path
    QTemporaryDir blocked;
    const QString lock = blocked.path() + QStringLiteral("/corvane.lock");
    ASSERT_TRUE(QDir().mkdir(lock));
    SingleInstance locked(scheduler, blocked.path());
    EXPECT_FALSE(locked.becomePrimary());
    EXPECT_EQ(locked.refusal(), lock + QStringLiteral(" is not a file"));

    // Another user's lock file: refused, naming the path and its owner, not taken for a hung instance
    QTemporaryDir foreignLock;
    const QString otherLock = foreignLock.path() + QStringLiteral("/corvane.lock");
    QFile(otherLock).open(QIODevice::WriteOnly);
    ASSERT_EQ(::chown(QFile::encodeName(otherLock).constData(), ::getuid() + 1, ::getgid()), 0);
    SingleInstance blockedByOther(scheduler, foreignLock.path());
    EXPECT_FALSE(blockedByOther.becomePrimary());
    EXPECT_TRUE(blockedByOther.refusal().startsWith(otherLock + QStringLiteral(" belongs to another user")))
        << qPrintable(blockedByOther.refusal());
    EXPECT_TRUE(blockedByOther.refusal().contains(QStringLiteral("uid %1").arg(::getuid() + 1)));
}

TEST(SingleInstanceTest, ALockWhoseProcessIdNamesAnotherLiveProgramDoesNotBlockStarting) {
    // Given a lock file naming a live process that is not an instance (the name in the lock
    // matches the process, as when a process id is reused by a program of the same name)
    QtScheduler scheduler;
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
    SingleInstance next(scheduler, directory.path());
    EXPECT_TRUE(next.becomePrimary());
    other.kill();
    other.waitForFinished();
}

TEST(SingleInstanceTest, ALeftoverSocketWithoutItsLockDoesNotBlockStarting) {
    QTemporaryDir directory;
    QtScheduler scheduler;
    {
        SingleInstance earlier(scheduler, directory.path());
        ASSERT_TRUE(earlier.becomePrimary());
    }
    // The earlier process is gone; its lock is released and a new one takes over.
    SingleInstance next(scheduler, directory.path());
    EXPECT_TRUE(next.becomePrimary());
    SingleInstance nobody(scheduler, QTemporaryDir().path());
    EXPECT_FALSE(QCoro::waitFor(nobody.sendReopen(scheduler, 200)));
}

} // namespace
} // namespace corvane
