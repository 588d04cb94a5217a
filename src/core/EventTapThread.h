#pragma once

#include "platform/KeyTaps.h"

#include <QSemaphore>
#include <QThread>

#include <atomic>

namespace corvane {

// The one thread every key tap of the product runs on, with its own event loop and its own
// display connection (the key taps made on it). Callers on the main thread add and remove taps;
// the callbacks run on this thread, so they must not touch main-thread state: they pass work to
// the main thread without waiting for it (adding and removing taps waits for this thread). The thread lives
// until the process ends (its destructor stops it for tests).
class EventTapThread final : public QThread {
    Q_OBJECT
public:
    explicit EventTapThread(KeyTapsFactory makeTaps);
    ~EventTapThread() override;

    // The process-wide instance, set by main or a test fixture, started on its first use here.
    // It returns at once; the thread's loop may not be ready yet.
    static EventTapThread& shared();
    static void setShared(EventTapThread* thread);

    // An object living on the thread, to run work there. Waits until the thread has set up its
    // loop; every caller that arrives before that waits, and all pass once it is ready. Null
    // only when the thread was never started.
    QObject* runLoop();

    // Takes the keys on this thread (see KeyTaps); none when the loop is not running or no key
    // could be taken. Waits until the grab is in place.
    std::optional<KeyTaps::Id> addTap(const std::vector<Qt::Key>& keys, KeyTaps::Callback callback);
    // Gives the tap's keys back. Once it returns, its callback runs no more.
    void removeTap(KeyTaps::Id id);

protected:
    void run() override;

private:
    // Runs `work` on the thread and waits for it; at once when called on the thread itself.
    void runOnThread(const std::function<void()>& work);

    KeyTapsFactory m_makeTaps;
    QSemaphore m_ready{0};
    std::atomic<QObject*> m_loop{nullptr};
    bool m_started = false;
    // Made, used and destroyed on the thread only.
    std::unique_ptr<KeyTaps> m_taps;
};

} // namespace corvane
