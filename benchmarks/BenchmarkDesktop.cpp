#include "BenchmarkDesktop.h"

#include <QApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>

namespace corvane::benchmarks {

namespace {

constexpr auto kSettleBound = std::chrono::seconds(60);
constexpr int kColumns = 8;

testing::VirtualDesktop* gDesktop = nullptr;

struct Current {
    Population kind = Population::windowsOfOneProgram;
    int count = 0;
    std::vector<xcb_window_t> windows; // ours
    std::vector<QProcess*> programs;   // owned by the desktop
    std::vector<int32_t> pids;
};
std::optional<Current> gCurrent;

// A connection of our own that hears the root's property changes and its children mapping and
// going: what the window manager does to take windows in and let them go.
xcb_connection_t* gWatcher = nullptr;

// Waits until `done`, asking again after every change on the root; false when the bound passes.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = kSettleBound) {
    if (done())
        return true;
    xcb_flush(gDesktop->connection());
    return waitForEvents(gWatcher, std::chrono::steady_clock::now() + bound, [&](const xcb_generic_event_t&) {
        QCoreApplication::processEvents();
        return done();
    });
}

// How many managed client windows belong to one of `pids`.
size_t managedWindowsOf(const std::vector<int32_t>& pids) {
    size_t managed = 0;
    for (const testing::ClientWindow& client : gDesktop->clientWindows())
        managed += std::find(pids.begin(), pids.end(), client.pid) != pids.end();
    return managed;
}

void setText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const QByteArray& text) {
    xcb_change_property(gDesktop->connection(), XCB_PROP_MODE_REPLACE, window, property, type, 8,
                        static_cast<uint32_t>(text.size()), text.constData());
}

void createOwnWindows(Current& current, int count) {
    xcb_connection_t* c = gDesktop->connection();
    const uint32_t pid = static_cast<uint32_t>(::getpid());
    current.pids = {static_cast<int32_t>(pid)};
    const xcb_atom_t netWmName = gDesktop->atom("_NET_WM_NAME");
    const xcb_atom_t utf8String = gDesktop->atom("UTF8_STRING");
    const xcb_atom_t netWmPid = gDesktop->atom("_NET_WM_PID");
    for (int i = 0; i < count; ++i) {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, gDesktop->rootWindow(), (i % kColumns) * 220,
                          (i / kColumns % 6) * 170, 200, 150, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        // Titled as today's toolkits title them: a UTF-8 name and the legacy one.
        const QByteArray title = QByteArray("window ") + QByteArray::number(i);
        setText(window, netWmName, utf8String, title);
        setText(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
        setText(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, QByteArray("benchwindow\0BenchWindow\0", 24));
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netWmPid, XCB_ATOM_CARDINAL, 32, 1, &pid);
        xcb_map_window(c, window);
        current.windows.push_back(window);
    }
    xcb_flush(c);
}

void launchPrograms(Current& current, int count) {
    for (int i = 0; i < count; ++i) {
        const QString geometry =
            QStringLiteral("200x150+%1+%2").arg((i % kColumns) * 220).arg(i / kColumns % 6 * 170);
        QProcess* program =
            gDesktop->launch(QStringLiteral("xlogo"), {QStringLiteral("-geometry"), geometry});
        if (!program)
            continue;
        current.programs.push_back(program);
        current.pids.push_back(static_cast<int32_t>(program->processId()));
    }
}

// The window manager announces itself before it is done starting, and a window mapped meanwhile
// may be left unmanaged for good: map a probe window until it is taken.
bool waitForWindowManagerToManage() {
    xcb_connection_t* c = gDesktop->connection();
    const xcb_window_t probe = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, gDesktop->rootWindow(), 0, 0, 50, 50, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const auto managed = [&] {
        for (const testing::ClientWindow& client : gDesktop->clientWindows())
            if (client.window == probe)
                return true;
        return false;
    };
    bool taken = false;
    for (int attempt = 0; attempt < 60 && !taken; ++attempt) {
        xcb_map_window(c, probe);
        xcb_flush(c);
        taken = waitUntil(managed, std::chrono::milliseconds(250));
    }
    xcb_destroy_window(c, probe);
    xcb_flush(c);
    return taken && waitUntil([&] { return !managed(); });
}

} // namespace

bool waitForEvents(xcb_connection_t* c, std::chrono::steady_clock::time_point until,
                   const std::function<bool(const xcb_generic_event_t&)>& handle) {
    for (;;) {
        bool done = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            done = handle(*event) || done;
            std::free(event);
        }
        if (done)
            return true;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        pollfd socket{xcb_get_file_descriptor(c), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&socket, 1, static_cast<int>(left.count())) <= 0)
            return false;
    }
}

std::optional<double>
timeUntilSeen(QSocketNotifier& wake, const std::function<void()>& act,
              const std::function<std::optional<std::chrono::steady_clock::time_point>()>& seen,
              int boundMs) {
    const auto start = std::chrono::steady_clock::now();
    act();
    std::optional<std::chrono::steady_clock::time_point> at = seen();
    if (!at) {
        QEventLoop loop;
        const QMetaObject::Connection reading =
            QObject::connect(&wake, &QSocketNotifier::activated, &loop, [&] {
                if ((at = seen()))
                    loop.quit();
            });
        QTimer::singleShot(boundMs, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(reading);
    }
    if (!at)
        return std::nullopt;
    return std::chrono::duration<double, std::milli>(*at - start).count();
}

testing::VirtualDesktop& desktop() {
    return *gDesktop;
}

bool populate(Population kind, int count) {
    if (gCurrent && gCurrent->kind == kind && gCurrent->count == count)
        return true;
    depopulate();
    Current current;
    current.kind = kind;
    current.count = count;
    if (kind == Population::windowsOfOneProgram)
        createOwnWindows(current, count);
    else
        launchPrograms(current, count);
    gCurrent = std::move(current);
    // The client list is written before the frames map: wait for both.
    return waitUntil([] { return managedWindowsOf(gCurrent->pids) >= static_cast<size_t>(gCurrent->count); });
}

void depopulate() {
    if (!gCurrent)
        return;
    xcb_connection_t* c = gDesktop->connection();
    for (xcb_window_t window : gCurrent->windows)
        xcb_destroy_window(c, window);
    xcb_flush(c);
    for (QProcess* program : gCurrent->programs)
        program->kill();
    for (QProcess* program : gCurrent->programs)
        program->waitForFinished(5000);
    const std::vector<int32_t> pids = gCurrent->pids;
    gCurrent.reset();
    waitUntil([&] { return managedWindowsOf(pids) == 0; });
}

std::vector<int32_t> populationPIDs() {
    return gCurrent ? gCurrent->pids : std::vector<int32_t>{};
}

int runBenchmarks(int argc, char** argv, Application application) {
    std::unique_ptr<QCoreApplication> app;
    if (application == Application::core)
        app = std::make_unique<QCoreApplication>(argc, argv);
    std::unique_ptr<testing::VirtualDesktop> virtualDesktop;
    try {
        virtualDesktop = std::make_unique<testing::VirtualDesktop>();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Cannot start the virtual desktop: %s\n", error.what());
        return 1;
    }
    gDesktop = virtualDesktop.get();
    gWatcher = xcb_connect(virtualDesktop->displayName().toLocal8Bit().constData(), nullptr);
    const uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(gWatcher, virtualDesktop->rootWindow(), XCB_CW_EVENT_MASK, &rootEvents);
    xcb_flush(gWatcher);
    if (application == Application::widgets) {
        // Qt reads these when the application is built, so the desktop must exist first.
        qputenv("DISPLAY", virtualDesktop->displayName().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
        qunsetenv("WAYLAND_DISPLAY");
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        app = std::make_unique<QApplication>(argc, argv);
    }
    if (!waitForWindowManagerToManage()) {
        std::fprintf(stderr, "The window manager does not manage windows\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    depopulate();
    xcb_disconnect(gWatcher);
    gWatcher = nullptr;
    gDesktop = nullptr;
    // The application's X connection closes before the server stops.
    app.reset();
    return 0;
}

} // namespace corvane::benchmarks
