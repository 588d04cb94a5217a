#include "app/SingleInstance.h"
#include "runtime/QtScheduler.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(SingleInstanceTest, SecondLaunchHandsReopenToTheRunningInstance) {
    QTemporaryDir directory;
    QtScheduler scheduler;
    SingleInstance running(directory.path());
    ASSERT_TRUE(running.becomePrimary());
    QSignalSpy reopened(&running, &SingleInstance::reopenRequested);

    SingleInstance second(directory.path());
    EXPECT_FALSE(second.becomePrimary());
    EXPECT_TRUE(QCoro::waitFor(second.sendReopen(scheduler, 1000)));

    EXPECT_TRUE(reopened.wait(2000));
    EXPECT_EQ(reopened.count(), 1);
}

TEST(SingleInstanceTest, ALeftoverSocketWithoutItsLockDoesNotBlockStarting) {
    QTemporaryDir directory;
    QtScheduler scheduler;
    {
        SingleInstance earlier(directory.path());
        ASSERT_TRUE(earlier.becomePrimary());
    }
    // The earlier process is gone; its lock is released and a new one takes over.
    SingleInstance next(directory.path());
    EXPECT_TRUE(next.becomePrimary());
    SingleInstance nobody(QTemporaryDir().path());
    EXPECT_FALSE(QCoro::waitFor(nobody.sendReopen(scheduler, 200)));
}

} // namespace
} // namespace corvane
