#pragma once

#include "runtime/Executor.h"

#include <QPointer>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class QObject;

namespace corvane {

// Delivers closures to the main thread through its event loop.
void postToMainThread(std::function<void()> fn);

// A serial queue: one worker thread runs the posted closures one after another, in order.
class SerialWorkerQueue final : public Executor {
public:
    explicit SerialWorkerQueue(QString name);
    ~SerialWorkerQueue() override;
    void post(std::function<void()> work) override;
    void deliver(std::function<void()> onMainThread) override { postToMainThread(std::move(onMainThread)); }

private:
    void loop();
    QString m_name;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_work;
    bool m_stopping = false;
    std::thread m_thread;
};

// Detached background work on Qt's global thread pool.
class ThreadPoolExecutor final : public Executor {
public:
    void post(std::function<void()> work) override;
    void deliver(std::function<void()> onMainThread) override { postToMainThread(std::move(onMainThread)); }
};

} // namespace corvane
