#include "runtime/ManualExecutor.h"
#include "runtime/WorkerQueue.h"

#include <QCoro/QCoroTask>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace corvane;

namespace {

QCoro::Task<> computeOn(Executor& executor, int input, std::optional<int>& result) {
    result = co_await runOn(executor, [input] { return input * 2; });
}

QCoro::Task<> touchOn(Executor& executor, bool& touched, bool& resumed) {
    co_await runOn(executor, [&touched] { touched = true; });
    resumed = true;
}

QCoro::Task<> failOn(Executor& executor, std::string& caught) {
    try {
        co_await runOn(executor, []() -> int { throw std::runtime_error("disk gone"); });
    } catch (const std::runtime_error& error) {
        caught = error.what();
    }
}

struct WorkerRun {
    QThread* workThread = nullptr;
    QThread* resumeThread = nullptr;
    std::string text;
};

QCoro::Task<> appendOn(Executor& executor, std::string piece, std::vector<std::string>& order,
                       WorkerRun& run) {
    // Named: this closure owns a string (see runOn).
    auto work = [piece, &order, &run] {
        run.workThread = QThread::currentThread();
        order.push_back(piece); // only ever touched by the one worker thread
        return piece + "!";
    };
    run.text = co_await runOn(executor, work);
    run.resumeThread = QThread::currentThread();
}

} // namespace

TEST(RunOn, InlineExecutorRunsWorkAndResumesAtOnce) {
    // Given an inline executor
    ManualExecutor executor;
    std::optional<int> value;
    bool touched = false;
    bool resumed = false;
    std::string caught;

    // When tasks run a value-returning, a void and a throwing closure on it
    computeOn(executor, 21, value);
    touchOn(executor, touched, resumed);
    failOn(executor, caught);

    // Then each finished before its call returned, the exception reaching the caller
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(touched);
    EXPECT_TRUE(resumed);
    EXPECT_EQ(caught, "disk gone");
    EXPECT_EQ(executor.postedCount(), 3);
}

TEST(RunOn, SteppedExecutorRunsWorkAndDeliversOnlyWhenTold) {
    // Given a stepped executor and two tasks using it
    ManualExecutor executor(ManualExecutor::Mode::stepped);
    std::optional<int> value;
    std::string caught;
    computeOn(executor, 5, value);
    failOn(executor, caught);
    ASSERT_EQ(executor.pendingWork(), 2);

    // When the first piece of work runs, its result waits for delivery
    ASSERT_TRUE(executor.runNextWork());
    EXPECT_FALSE(value.has_value());
    EXPECT_EQ(executor.pendingDeliveries(), 1);

    // Then delivering resumes the task with the value
    EXPECT_EQ(executor.deliverAll(), 1);
    EXPECT_EQ(value, 10);

    // And draining the rest hands over the exception
    executor.drain();
    EXPECT_EQ(caught, "disk gone");
    EXPECT_EQ(executor.pendingWork() + executor.pendingDeliveries(), 0);
}

TEST(RunOn, SerialQueueRunsInOrderOnItsThreadAndResumesOnTheMainThread) {
    // Given a serial queue and three tasks posting to it one after another
    SerialWorkerQueue queue(QStringLiteral("runOnTest"));
    std::vector<std::string> order;
    WorkerRun runs[3];
    const std::string pieces[3] = {"a", "b", "c"};
    for (int i = 0; i < 3; ++i)
        appendOn(queue, pieces[i], order, runs[i]);

    // When the event loop delivers their results
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs[2].resumeThread != nullptr; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs[0].resumeThread && runs[1].resumeThread; }, 10000));

    // Then the work ran in posting order on one other thread, and each task resumed on main
    QThread* mainThread = QThread::currentThread();
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c"}));
    for (const auto& run : runs) {
        EXPECT_NE(run.workThread, mainThread);
        EXPECT_EQ(run.workThread, runs[0].workThread);
        EXPECT_EQ(run.resumeThread, mainThread);
    }
    EXPECT_EQ(runs[1].text, "b!");
}
