#include "core/EventTapThread.h"
#include "platform/fake/FakeKeyTaps.h"

#include <gtest/gtest.h>

#include <thread>

using namespace corvane;

namespace {

// A factory that holds the thread's set-up until the test opens the gate, and hands the test the
// fake it made.
struct GatedTaps {
    QSemaphore gate{0};
    std::atomic<FakeKeyTaps*> made{nullptr};

    KeyTapsFactory factory() {
        return [this] {
            gate.acquire();
            auto taps = std::make_unique<FakeKeyTaps>();
            taps->refuse(Qt::Key_MonBrightnessUp);
            made.store(taps.get());
            return taps;
        };
    }
};

bool pressOnThread(EventTapThread& thread, FakeKeyTaps& taps, Qt::Key key) {
    bool delivered = false;
    QMetaObject::invokeMethod(
        thread.runLoop(), [&] { delivered = taps.press(key, 0x200); }, Qt::BlockingQueuedConnection);
    return delivered;
}

} // namespace

TEST(EventTapThreadTest, CallersBeforeTheLoopIsReadyWaitAndAllPass) {
    GatedTaps taps;
    EventTapThread thread(taps.factory());
    EXPECT_EQ(thread.runLoop(), nullptr) << "a thread never started has no loop";
    EventTapThread::setShared(&thread);
    EventTapThread::shared();

    // Two callers arrive while the thread is still setting up
    QObject* seen[2] = {nullptr, nullptr};
    std::thread first([&] { seen[0] = thread.runLoop(); });
    std::thread second([&] { seen[1] = thread.runLoop(); });
    taps.gate.release();
    first.join();
    second.join();

    // Both got the loop, which lives on the thread, and a later caller passes at once
    ASSERT_NE(seen[0], nullptr);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0]->thread(), &thread);
    EXPECT_EQ(thread.runLoop(), seen[0]);
    EventTapThread::setShared(nullptr);
}

TEST(EventTapThreadTest, TapsHoldTheirKeysAndCallBackOnTheThread) {
    GatedTaps taps;
    taps.gate.release();
    EventTapThread thread(taps.factory());
    thread.start();

    // A tap asked for at once waits for the loop and takes the keys it can
    std::vector<TappedKey> heard;
    QThread* callbackThread = nullptr;
    const auto tap = thread.addTap({Qt::Key_VolumeUp, Qt::Key_MonBrightnessUp}, [&](const TappedKey& key) {
        heard.push_back(key);
        callbackThread = QThread::currentThread();
    });
    ASSERT_TRUE(tap.has_value());
    FakeKeyTaps& fake = *taps.made.load();
    EXPECT_FALSE(thread.addTap({Qt::Key_MonBrightnessUp}, [](const TappedKey&) {}).has_value());

    EXPECT_TRUE(pressOnThread(thread, fake, Qt::Key_VolumeUp));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].key, Qt::Key_VolumeUp);
    EXPECT_EQ(heard[0].modifiers, 0x200);
    EXPECT_EQ(callbackThread, &thread);

    // After the only tap goes the thread keeps running and takes a new tap
    thread.removeTap(*tap);
    EXPECT_FALSE(pressOnThread(thread, fake, Qt::Key_VolumeUp));
    EXPECT_TRUE(thread.addTap({Qt::Key_VolumeDown}, [](const TappedKey&) {}).has_value());
    EXPECT_TRUE(fake.isTaken(Qt::Key_VolumeDown));
}
