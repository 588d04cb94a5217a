#include "support/LiveApp.h"

#include "core/PermissionManager.h"
#include "core/ScreenHelpers.h"
#include "platform/fake/FakeApplicationHost.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/ServerQueries.h"

#include <QCoreApplication>
#include <QTest>
#include <QThreadPool>

#include <memory>

namespace corvane::testing {

LiveApp::LiveApp() : m_configHome(qgetenv("XDG_CONFIG_HOME")), m_dataHome(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (m_home.path() + "/data").toUtf8());
    m_platform = makeLinuxPlatform(m_scheduler, {});
    // A beep cannot be heard by a test; count it instead.
    m_platform->host = std::make_unique<FakeApplicationHost>();
    PermissionManager::resetCachedFlags();
    PermissionManager::setProbeForFirstRead(m_platform->permissions.get());
    m_eventTaps = std::make_unique<EventTapThread>(m_platform->makeKeyTaps);
    EventTapThread::setShared(m_eventTaps.get());
    m_settings = std::make_unique<Settings>(*m_platform->defaults, m_notifications);
    Settings::setShared(m_settings.get());
    m_axQueue = std::make_unique<SerialWorkerQueue>(QStringLiteral("corvane.ax"));
    m_ax = std::make_unique<AXWindowService>(*m_platform->accessibility, *m_axQueue, m_scheduler,
                                             static_cast<int32_t>(QCoreApplication::applicationPid()));
    AXWindowService::setShared(m_ax.get());
    m_state = std::make_unique<AppState>(*m_platform,
                                         Runtime{m_scheduler, m_notifications, m_background, m_animator});
}

int LiveApp::beeps() const {
    return static_cast<FakeApplicationHost&>(*m_platform->host).beepCount;
}

LiveApp::~LiveApp() {
    quit();
    AXWindowService::setShared(nullptr);
    // The queue finishes what it holds before the window service it works for goes.
    m_axQueue.reset();
    m_ax.reset();
    Settings::setShared(nullptr);
    EventTapThread::setShared(nullptr);
    m_settings.reset();
    PermissionManager::resetCachedFlags();
    PermissionManager::setProbeForFirstRead(nullptr);
    // What the test runs next writes nothing into the home that goes with this object (a sound
    // client's cookie would make its folder anew).
    const auto restore = [](const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    restore("XDG_CONFIG_HOME", m_configHome);
    restore("XDG_DATA_HOME", m_dataHome);
}

void LiveApp::quit() {
    m_state.reset();
    // Reads of the window list may still run on the shared pool; they use the platform, which
    // goes with this object.
    QThreadPool::globalInstance()->waitForDone();
}

void LiveApp::finishWindowActions() {
    // The queue is serial and the main thread takes what it is handed in order: a marker sent
    // through both comes back after everything sent before it. An action that goes round again
    // takes one more trip.
    for (int trip = 0; trip < 3; ++trip) {
        auto back = std::make_shared<bool>(false);
        m_axQueue->post([queue = m_axQueue.get(), back] { queue->deliver([back] { *back = true; }); });
        if (!QTest::qWaitFor([&] { return *back; }, 5000))
            return;
        QThreadPool::globalInstance()->waitForDone();
    }
}

QRect LiveApp::snapFrame(SnapAction action, xcb_window_t window) {
    const auto screen = screenUnderMouse(*m_platform->screens);
    const QRectF area = screen ? m_state->usableFrame(*screen) : QRectF();
    return frame(action, area, m_settings->layoutGap(), QRectF(serverFrame(window))).toRect();
}

} // namespace corvane::testing
