#pragma once

#include "core/EventTapThread.h"

#include "app/AppState.h"
#include "core/QtAnimator.h"
#include "core/Settings.h"
#include "runtime/NotificationCenter.h"
#include "runtime/QtScheduler.h"
#include "runtime/WorkerQueue.h"
#include "snapping/SnapAction.h"
#include "windows/AXWindowService.h"

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QRect>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <memory>

namespace corvane::testing {

// The application core built as `main` builds it, on the real Linux platform of the virtual
// desktop, with its preferences and data in a private temporary home. Start-up is not run:
// tests drive the services directly.
class LiveApp {
public:
    LiveApp();
    ~LiveApp();

    AppState& state() { return *m_state; }
    Settings& settings() { return *m_settings; }
    Platform& platform() { return *m_platform; }
    // The beeps the product gave; the rest of the application host is the real one's.
    int beeps() const;

    // Where a snap of `window` should put its outer frame: the action's frame in the usable area
    // of the screen under the pointer, with the configured gap.
    QRect snapFrame(SnapAction action, xcb_window_t window);

    // Runs the event loop until the window queue has finished what it holds and the main thread
    // what those actions handed back, a few hops deep.
    void finishWindowActions();

    // What a quit does to the core: the application state goes, then the work still running on the
    // shared pool is waited for. Nothing of the state is used after it.
    void quit();

    // Runs the event loop until the task is done and gives its value.
    template <typename T> T await(QCoro::Task<T>&& task) { return QCoro::waitFor(std::move(task)); }

private:
    // The environment's homes before this object, given back when it goes.
    QByteArray m_configHome;
    QByteArray m_dataHome;
    QTemporaryDir m_home;
    QtScheduler m_scheduler;
    NotificationCenter m_notifications;
    ThreadPoolExecutor m_background;
    QtAnimator m_animator;
    std::unique_ptr<SerialWorkerQueue> m_axQueue;
    std::unique_ptr<Platform> m_platform;
    std::unique_ptr<EventTapThread> m_eventTaps;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<AXWindowService> m_ax;
    std::unique_ptr<AppState> m_state;
};

} // namespace corvane::testing
