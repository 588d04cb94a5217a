#include "core/EventTapThread.h"

#include <cassert>

namespace corvane {
namespace {
EventTapThread* sharedThread = nullptr;
}

EventTapThread::EventTapThread(KeyTapsFactory makeTaps) : m_makeTaps(std::move(makeTaps)) {
    setObjectName(QStringLiteral("com.lumenforge.corvane.eventtaps"));
}

EventTapThread::~EventTapThread() {
    if (sharedThread == this)
        sharedThread = nullptr;
    quit();
    wait();
}

EventTapThread& EventTapThread::shared() {
    assert(sharedThread && "EventTapThread::setShared must run first");
    if (!sharedThread->m_started) {
        sharedThread->m_started = true;
        // Key presses must reach their handlers without waiting behind other work.
        sharedThread->start(QThread::TimeCriticalPriority);
    }
    return *sharedThread;
}

void EventTapThread::setShared(EventTapThread* thread) {
    sharedThread = thread;
}

void EventTapThread::run() {
    QObject loop;
    m_taps = m_makeTaps ? m_makeTaps() : nullptr;
    m_loop.store(&loop);
    m_ready.release();
    // The loop runs while no tap exists too; it stops only when the thread is destroyed.
    exec();
    m_loop.store(nullptr);
    m_taps.reset();
}

QObject* EventTapThread::runLoop() {
    if (!m_loop.load() && isRunning()) {
        // Wait, then open the way again for every later caller.
        m_ready.acquire();
        m_ready.release();
    }
    return m_loop.load();
}

void EventTapThread::runOnThread(const std::function<void()>& work) {
    QObject* loop = runLoop();
    if (!loop)
        return;
    if (QThread::currentThread() == this)
        work();
    else
        QMetaObject::invokeMethod(loop, work, Qt::BlockingQueuedConnection);
}

std::optional<KeyTaps::Id> EventTapThread::addTap(const std::vector<Qt::Key>& keys,
                                                  KeyTaps::Callback callback) {
    std::optional<KeyTaps::Id> id;
    runOnThread([&] {
        if (m_taps)
            id = m_taps->addKeyTap(keys, std::move(callback));
    });
    return id;
}

void EventTapThread::removeTap(KeyTaps::Id id) {
    runOnThread([&] {
        if (m_taps)
            m_taps->removeKeyTap(id);
    });
}

} // namespace corvane
