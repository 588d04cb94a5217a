#include "VirtualDesktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <xcb/res.h>

#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#ifndef CORVANE_OPENBOX_CONFIG
#error "CORVANE_OPENBOX_CONFIG must name the window manager's configuration file"
#endif

namespace corvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr auto pollInterval = 20ms;
constexpr auto startBound = 30s;
constexpr int stopBoundMs = 2000;

// Polls until `done` or the bound passes. With an application running, its event loop keeps
// turning meanwhile, so that its own windows stay served while a test waits on X.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    if (QCoreApplication::instance())
        return QTest::qWaitFor(done, static_cast<int>(bound.count()));
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (done())
            return true;
        if (clock.elapsed() >= bound.count())
            return false;
        // Nothing else to serve: the pace of the looks.
        QThread::msleep(pollInterval.count());
    }
}

template <typename Reply> struct FreeReply {
    void operator()(Reply* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply<Reply>>;

// The first window of `windows` (asked again every turn) that matches, within the bound.
std::optional<ClientWindow> waitForMatch(const std::function<std::vector<ClientWindow>()>& windows,
                                         const std::function<bool(const ClientWindow&)>& matches,
                                         std::chrono::milliseconds timeout) {
    std::optional<ClientWindow> found;
    waitUntil(
        [&] {
            for (const ClientWindow& window : windows()) {
                if (matches(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

} // namespace

VirtualDesktop::VirtualDesktop() : m_logs(std::make_unique<QTemporaryDir>()) {
    try {
        // -displayfd picks a free display and writes its number to stdout once the server is
        // ready, so binaries started in parallel never race for one.
        QProcess* server = startChild(QStringLiteral("xvfb"), QStringLiteral("Xvfb"),
                                      {"-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten", "tcp",
                                       "+extension", "Composite", "+extension", "RANDR"});
        m_serverPid = server->processId();
        QByteArray announced;
        waitUntil(
            [&] {
                server->waitForReadyRead(static_cast<int>(pollInterval.count()));
                announced += server->readAllStandardOutput();
                return announced.contains('\n') || server->state() == QProcess::NotRunning;
            },
            startBound);
        bool ok = false;
        m_display = announced.trimmed().toInt(&ok);
        if (!ok)
            throw std::runtime_error("Xvfb did not announce a display (" +
                                     server->errorString().toStdString() + "):\n" +
                                     logTail("xvfb").toStdString());

        connectToServer();
        startWindowManager();
    } catch (...) {
        shutdown(); // the destructor does not run for a constructor that throws
        throw;
    }
}

VirtualDesktop::~VirtualDesktop() {
    shutdown();
}

void VirtualDesktop::shutdown() {
    if (m_connection) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
    while (!m_children.empty()) {
        stopChild(*m_children.back());
        m_children.pop_back();
    }
    m_trayHost = nullptr;
}

void VirtualDesktop::keepLogs() {
    m_logs->setAutoRemove(false);
    std::fprintf(stderr, "The virtual desktop's logs are kept in %s\n", qPrintable(m_logs->path()));
}

QString VirtualDesktop::displayName() const {
    return QStringLiteral(":%1").arg(m_display);
}

QProcess* VirtualDesktop::startChild(const QString& logName, const QString& program,
                                     const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments(arguments);
    // Every program keeps its chatter in its own log; only the server's stdout (the display
    // number) is read.
    const QString log = m_logs->filePath(logName + QStringLiteral(".log"));
    process->setStandardErrorFile(log, QIODevice::Append);
    if (m_display >= 0)
        process->setStandardOutputFile(log, QIODevice::Append);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (m_display >= 0)
        environment.insert(QStringLiteral("DISPLAY"), displayName());
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("SESSION_MANAGER"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    process->setProcessEnvironment(environment);

    // Children die with the test process, even when it crashes or is killed by a timeout.
    const pid_t parent = ::getpid();
    process->setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });

    process->start();
    process->waitForStarted(5000);
    m_children.push_back(std::move(process));
    return m_children.back().get();
}

void VirtualDesktop::stopChild(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(stopBoundMs)) {
        process.kill();
        process.waitForFinished(stopBoundMs);
    }
}

void VirtualDesktop::connectToServer() {
    int screen = 0;
    const QByteArray name = displayName().toLocal8Bit();
    m_connection = xcb_connect(name.constData(), &screen);
    if (xcb_connection_has_error(m_connection))
        throw std::runtime_error("cannot connect to the virtual display " + name.toStdString());
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screen && it.rem > 0; ++i)
        xcb_screen_next(&it);
    m_root = it.data->root;
}

void VirtualDesktop::startWindowManager() {
    startChild(QStringLiteral("openbox"), QStringLiteral("openbox"),
               {"--sm-disable", "--config-file", QStringLiteral(CORVANE_OPENBOX_CONFIG)});
    waitForWindowManager();
}

void VirtualDesktop::stopWindowManager() {
    for (auto it = m_children.begin(); it != m_children.end(); ++it) {
        if ((*it)->program() != QStringLiteral("openbox"))
            continue;
        stopChild(**it);
        m_children.erase(it);
        break;
    }
}

void VirtualDesktop::pauseWindowManager(bool paused) {
    for (const auto& child : m_children)
        if (child->program() == QStringLiteral("openbox"))
            ::kill(static_cast<pid_t>(child->processId()), paused ? SIGSTOP : SIGCONT);
}

bool VirtualDesktop::windowManagerCaughtUp() const {
    const xcb_window_t probe = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, probe, m_root, 0, 0, 16, 16, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = probe;
    request.type = atom("_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(m_connection);
    const xcb_atom_t extents = atom("_NET_FRAME_EXTENTS");
    const bool answered =
        waitUntil([&] { return !cardinals(probe, extents, XCB_ATOM_CARDINAL).empty(); }, startBound);
    xcb_destroy_window(m_connection, probe);
    xcb_flush(m_connection);
    return answered;
}

void VirtualDesktop::restartWindowManager(std::chrono::milliseconds away) {
    stopWindowManager();
    waitUntil([] { return false; }, away);
    startWindowManager();
}

void VirtualDesktop::waitForWindowManager() {
    QProcess& windowManager = *m_children.back();
    const bool up = waitUntil(
        [&] { return hasWindowManager() || windowManager.state() == QProcess::NotRunning; }, startBound);
    if (!up || !hasWindowManager() || !managesNewWindows())
        throw std::runtime_error("the window manager did not come up:\n" + logTail("openbox").toStdString());
}

bool VirtualDesktop::managesNewWindows() const {
    // Openbox names itself before it serves requests, and a window mapped in that moment is never
    // managed: it stays unmapped for good. A throwaway window, mapped again until one is managed,
    // shows that the manager has started serving.
    const xcb_atom_t clientList = atom("_NET_CLIENT_LIST");
    const xcb_atom_t activeWindow = atom("_NET_ACTIVE_WINDOW");
    const auto listed = [&](xcb_window_t window) {
        const auto clients = cardinals(m_root, clientList, XCB_ATOM_WINDOW);
        return std::find(clients.begin(), clients.end(), window) != clients.end();
    };
    const auto active = [&](xcb_window_t window) {
        const auto values = cardinals(m_root, activeWindow, XCB_ATOM_WINDOW);
        return !values.empty() && values[0] == window;
    };
    // A busy machine may take many seconds to start the window manager.
    for (int attempt = 0; attempt < 30; ++attempt) {
        const xcb_window_t probe = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, probe, m_root, 0, 0, 16, 16, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        // It takes no input, so that the manager leaves the focus where it was.
        const uint32_t hints[9] = {1 /* InputHint */, 0};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, probe, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS,
                            32, 9, hints);
        xcb_map_window(m_connection, probe);
        xcb_flush(m_connection);
        const bool managed = waitUntil([&] { return listed(probe); }, 1s);
        xcb_destroy_window(m_connection, probe);
        xcb_flush(m_connection);
        // Gone, it must leave no trace: not listed, and not the active window either.
        if (managed)
            return waitUntil([&] { return !listed(probe) && !active(probe); }, startBound);
    }
    return false;
}

xcb_atom_t VirtualDesktop::atom(const char* name) const {
    const auto cookie = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<quint32> VirtualDesktop::cardinals(xcb_window_t window, xcb_atom_t property,
                                               xcb_atom_t type) const {
    const auto cookie = xcb_get_property(m_connection, 0, window, property, type, 0, 4096);
    xcb_generic_error_t* error = nullptr; // a window that vanished meanwhile reads as empty
    ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, &error));
    std::free(error);
    if (!reply || reply->format != 32)
        return {};
    const auto* values = static_cast<const quint32*>(xcb_get_property_value(reply.get()));
    return std::vector<quint32>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

bool VirtualDesktop::hasWindowManager() const {
    // The check window must point at itself too: a stale root property outlives a dead manager.
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
    const auto fromRoot = cardinals(m_root, check, XCB_ATOM_WINDOW);
    if (fromRoot.empty() || fromRoot[0] == XCB_WINDOW_NONE)
        return false;
    const auto fromChild = cardinals(fromRoot[0], check, XCB_ATOM_WINDOW);
    return !fromChild.empty() && fromChild[0] == fromRoot[0];
}

bool VirtualDesktop::startTrayHost(std::chrono::milliseconds timeout) {
    if (!m_trayHost)
        m_trayHost = startChild(QStringLiteral("trayer"), QStringLiteral("trayer"),
                                {"--edge", "top", "--align", "right", "--SetDockType", "true", "--widthtype",
                                 "request", "--height", "24"});
    return waitUntil([this] { return hasTrayHost(); }, timeout);
}

bool VirtualDesktop::hasTrayHost() const {
    const auto cookie = xcb_get_selection_owner(m_connection, atom("_NET_SYSTEM_TRAY_S0"));
    ReplyPtr<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(m_connection, cookie, nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
}

QProcess* VirtualDesktop::launch(const QString& program, const QStringList& arguments) {
    const QString logName = QStringLiteral("%1-%2").arg(QFileInfo(program).fileName()).arg(++m_launched);
    QProcess* process = startChild(logName, program, arguments);
    if (process->state() != QProcess::Running) {
        qWarning("VirtualDesktop: %s did not start: %s", qPrintable(program),
                 qPrintable(process->errorString()));
        return nullptr;
    }
    return process;
}

qint64 VirtualDesktop::pidOf(xcb_window_t window) const {
    const auto declared = cardinals(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
    if (!declared.empty())
        return declared[0];
    // Many older toolkits never set the property; the server knows the owner of a local client.
    xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    const auto cookie = xcb_res_query_client_ids(m_connection, 1, &spec);
    ReplyPtr<xcb_res_query_client_ids_reply_t> reply(
        xcb_res_query_client_ids_reply(m_connection, cookie, nullptr));
    if (!reply)
        return 0;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) != 0 &&
            xcb_res_client_id_value_value_length(it.data) > 0)
            return *xcb_res_client_id_value_value(it.data);
    }
    return 0;
}

QString VirtualDesktop::titleOf(xcb_window_t window) const {
    const std::pair<const char*, bool> sources[] = {{"_NET_WM_NAME", true}, {"WM_NAME", false}};
    for (const auto& [property, utf8] : sources) {
        const auto cookie =
            xcb_get_property(m_connection, 0, window, atom(property), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
        xcb_generic_error_t* error = nullptr;
        ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, &error));
        std::free(error);
        if (!reply || reply->format != 8 || xcb_get_property_value_length(reply.get()) == 0)
            continue;
        const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
        const int length = xcb_get_property_value_length(reply.get());
        return utf8 ? QString::fromUtf8(text, length) : QString::fromLatin1(text, length);
    }
    return {};
}

std::vector<ClientWindow> VirtualDesktop::clientWindows() const {
    std::vector<ClientWindow> result;
    for (const quint32 window : cardinals(m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW))
        result.push_back({window, pidOf(window), titleOf(window)});
    return result;
}

std::optional<ClientWindow>
VirtualDesktop::waitForClientWindow(const std::function<bool(const ClientWindow&)>& matches,
                                    std::chrono::milliseconds timeout) const {
    return waitForMatch([this] { return clientWindows(); }, matches, timeout);
}

std::vector<ClientWindow> VirtualDesktop::unmanagedWindows() const {
    std::vector<ClientWindow> result;
    const std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr), &std::free);
    if (!tree)
        return result;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
            xcb_get_window_attributes_reply(m_connection,
                                            xcb_get_window_attributes(m_connection, children[i]), nullptr),
            &std::free);
        if (attributes && attributes->override_redirect && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            result.push_back({children[i], pidOf(children[i]), titleOf(children[i])});
    }
    return result;
}

std::optional<ClientWindow>
VirtualDesktop::waitForShownWindow(const std::function<bool(const ClientWindow&)>& matches,
                                   std::chrono::milliseconds timeout) const {
    const auto shown = [this] {
        std::vector<ClientWindow> windows = clientWindows();
        const std::vector<ClientWindow> unmanaged = unmanagedWindows();
        windows.insert(windows.end(), unmanaged.begin(), unmanaged.end());
        return windows;
    };
    return waitForMatch(shown, matches, timeout);
}

std::optional<ClientWindow> VirtualDesktop::waitForClientWindow(qint64 pid,
                                                                std::chrono::milliseconds timeout) const {
    return waitForClientWindow([pid](const ClientWindow& client) { return client.pid == pid; }, timeout);
}

QString VirtualDesktop::logTail(const QString& logName) const {
    QFile file(m_logs->filePath(logName + QStringLiteral(".log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = file.readAll();
    return QString::fromLocal8Bit(text.right(2000));
}

} // namespace corvane::testing
