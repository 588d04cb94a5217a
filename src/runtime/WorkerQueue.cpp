#include "runtime/WorkerQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThreadPool>

#include <pthread.h>

namespace corvane {

void postToMainThread(std::function<void()> fn) {
    auto* app = QCoreApplication::instance();
    if (!app)
        return; // the process is ending; nothing is left to resume
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

SerialWorkerQueue::SerialWorkerQueue(QString name) : m_name(std::move(name)) {
    m_thread = std::thread([this] { loop(); });
}

SerialWorkerQueue::~SerialWorkerQueue() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void SerialWorkerQueue::post(std::function<void()> work) {
    {
        std::lock_guard lock(m_mutex);
        m_work.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void SerialWorkerQueue::loop() {
    const QByteArray name = m_name.left(15).toUtf8();
    pthread_setname_np(pthread_self(), name.constData());
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_work.empty(); });
            if (m_work.empty())
                return;
            work = std::move(m_work.front());
            m_work.pop_front();
        }
        work();
    }
}

void ThreadPoolExecutor::post(std::function<void()> work) {
    QThreadPool::globalInstance()->start(std::move(work));
}

} // namespace corvane
