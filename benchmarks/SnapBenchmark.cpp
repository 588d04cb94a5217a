// A snap of a real window, each figure beside its floor in the same run, as medians of runs that
// alternate between the two so that both see the same desktop:
// - the snap through the window service (read the front window, work out its frame, write it)
//   beside one bare move-and-resize request sent by a connection of the benchmark's own;
// - a snap shortcut typed through XTest into the application as it is wired at start-up, beside a
//   small grabber of the benchmark's own that sends that request the moment its key comes.
// Every run waits for the configure event that shows the window at the frame asked for.
#include "BenchmarkDesktop.h"
#include "PairedRuns.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Registry.h"
#include "app/Hotkeys.h"
#include "core/ScreenHelpers.h"
#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11Connection.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "snapping/SnapAction.h"
#include "support/LiveApp.h"
#include "windows/AXWindowService.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

using namespace corvane;
using namespace corvane::benchmarks;
using corvane::testing::LiveApp;

namespace {

using Clock = std::chrono::steady_clock;
// Pairs of runs: the subject, then its floor (the order swaps every pair).
constexpr int kPairs = 60;
constexpr int kWaitMs = 5000;
constexpr uint32_t kSourcePager = 2, kGravityNorthWest = 1;
constexpr uint32_t kMoveResizeAll = (1u << 8) | (1u << 9) | (1u << 10) | (1u << 11);
const uint16_t kControlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

QByteArray displayName() {
    return desktop().displayName().toLocal8Bit();
}

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

// One xlogo, active, whose frame the benchmarks move; with the window manager's frame extents.
struct Target {
    int32_t pid = 0;
    xcb_window_t window = XCB_WINDOW_NONE;
    QMargins extents;

    // Where the client stands inside `frame` (an outer frame), in root coordinates.
    QRect clientIn(const QRect& frame) const { return frame.marginsRemoved(extents); }
};

Target openTarget() {
    static Target target;
    if (target.window != XCB_WINDOW_NONE)
        return target;
    QProcess* program = desktop().launch(QStringLiteral("xlogo"),
                                         {QStringLiteral("-geometry"), QStringLiteral("300x200+100+100")});
    if (!program)
        return target;
    const auto client = desktop().waitForClientWindow(program->processId(), std::chrono::seconds(30));
    if (!client)
        return target;
    X11Connection x(displayName());
    const std::optional<X11Property> property =
        x.property(client->window, x.atom(X11Atom::netFrameExtents), XCB_ATOM_CARDINAL);
    const std::vector<uint32_t> extents = property ? property->values32() : std::vector<uint32_t>{};
    target.pid = static_cast<int32_t>(client->pid);
    target.window = client->window;
    if (extents.size() == 4)
        target.extents = QMargins(static_cast<int>(extents[0]), static_cast<int>(extents[2]),
                                  static_cast<int>(extents[1]), static_cast<int>(extents[3]));
    return target;
}

// The one request that moves and resizes a client, as a pager sends it.
void sendMoveResize(X11Connection& x, const Target& target, const QRect& frame) {
    const QRect client = target.clientIn(frame);
    x.sendToRoot(target.window, X11Atom::netMoveResizeWindow,
                 {kGravityNorthWest | (kSourcePager << 12) | kMoveResizeAll, static_cast<uint32_t>(frame.x()),
                  static_cast<uint32_t>(frame.y()), static_cast<uint32_t>(client.width()),
                  static_cast<uint32_t>(client.height())});
    x.flush();
}

// Waits, on a connection of its own, for the configure event that shows the client where a frame
// puts it. With a reparenting window manager a move reaches the client as a synthetic event in root
// coordinates, so only an event whose whole geometry matches counts. The main thread's event loop
// turns meanwhile: the application under test runs on it.
class FrameWatch {
public:
    explicit FrameWatch(const Target& target) : m_target(target), m_x(displayName(), X11Atoms::none) {
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_x.raw(), target.window, XCB_CW_EVENT_MASK, &mask);
        // The selection is in place once the server has answered a later request.
        std::free(xcb_get_input_focus_reply(m_x.raw(), xcb_get_input_focus(m_x.raw()), nullptr));
        m_notifier =
            std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_x.raw()), QSocketNotifier::Read);
        // Read as they come, so that a wait starts from the events after it.
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { take(); });
    }

    // Starts the clock, does `act` and answers how long until the window stood at `frame`; none
    // after the bound. Timed runs move the window between frames of one size, which the window
    // manager confirms with the whole new geometry.
    std::optional<double> timeMs(const QRect& frame, const std::function<void()>& act) {
        return wait(frame, act, false);
    }
    // Does `act` and waits for the window to take the size of `frame`, wherever it came from.
    bool settle(const QRect& frame, const std::function<void()>& act) {
        return standsAt(frame) || wait(frame, act, true).has_value();
    }

private:
    bool standsAt(const QRect& frame) {
        xcb_connection_t* c = m_x.raw();
        const std::unique_ptr<xcb_translate_coordinates_reply_t, FreeReply> origin(
            xcb_translate_coordinates_reply(
                c, xcb_translate_coordinates(c, m_target.window, m_x.root(), 0, 0), nullptr));
        const std::unique_ptr<xcb_get_geometry_reply_t, FreeReply> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, m_target.window), nullptr));
        return origin && geometry &&
               QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height) ==
                   m_target.clientIn(frame);
    }

    std::optional<double> wait(const QRect& frame, const std::function<void()>& act, bool sizeWillDo) {
        m_expected = m_target.clientIn(frame);
        m_sizeWillDo = sizeWillDo;
        m_seen = false;
        return timeUntilSeen(
            *m_notifier, act, [this] { return take() ? std::optional(m_at) : std::nullopt; }, kWaitMs);
    }

    // Reads every event that has come; answers whether the expected one was among them.
    bool take() {
        while (std::unique_ptr<xcb_generic_event_t, FreeReply> event{xcb_poll_for_event(m_x.raw())}) {
            if ((event->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY || m_seen)
                continue;
            const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(*event);
            if (configure.window != m_target.window)
                continue;
            // A resize comes as the server's own event, placed in the frame; a move alone as the
            // window manager's, in root coordinates.
            const bool synthetic = event->response_type & 0x80;
            // Its position is that of the border's outer corner.
            const int border = configure.border_width;
            const QRect shown(configure.x + border, configure.y + border, configure.width, configure.height);
            if ((synthetic && shown == m_expected) || (m_sizeWillDo && shown.size() == m_expected.size())) {
                m_seen = true;
                m_at = Clock::now();
            }
        }
        return m_seen;
    }

    Target m_target;
    X11Connection m_x;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QRect m_expected;
    bool m_sizeWillDo = false;
    bool m_seen = false;
    Clock::time_point m_at;
};

// Runs subject and floor alternately, each to one of two frames in turn so that every run moves the
// window, and reports both medians and their ratio.
void compare(benchmark::State& state, FrameWatch& watch, const std::array<QRect, 2>& frames,
             const std::function<void(int frame)>& subject, const std::function<void(int frame)>& floor) {
    std::vector<double> subjectMs, floorMs;
    // From wherever the window stands to the second frame, untimed: every timed run is then a move.
    if (!watch.settle(frames[1], [&] { floor(1); }))
        return state.SkipWithError("the window did not take the frames' size");
    int next = 0;
    for (auto _ : state) {
        for (int pair = 0; pair < kPairs; ++pair) {
            for (int turn = 0; turn < 2; ++turn) {
                const bool isSubject = (turn == 0) == (pair % 2 == 0);
                const int frame = next;
                next = 1 - next;
                const auto act = [&] { isSubject ? subject(frame) : floor(frame); };
                const std::optional<double> ms = watch.timeMs(frames[frame], act);
                if (!ms)
                    return state.SkipWithError("the frame did not land");
                (isSubject ? subjectMs : floorMs).push_back(*ms);
            }
        }
    }
    reportPaired(state, {medianOf(subjectMs), medianOf(floorMs)});
}

QRectF usableArea(LiveApp& app) {
    const auto screen = screenUnderMouse(*app.platform().screens);
    return screen ? app.state().usableFrame(*screen) : QRectF();
}

// Brings the target to the front and waits until the window manager made it the active window.
bool activate(Accessibility& accessibility, const Target& target) {
    accessibility.bringToFront(target.pid, target.window);
    X11Connection x(displayName());
    for (int i = 0; i < 200; ++i) {
        if (x.rootValue(X11Atom::netActiveWindow) == target.window)
            return true;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return false;
}

void BM_SnapThroughTheWindowServiceBesideTheBareRequest(benchmark::State& state) {
    const Target target = openTarget();
    ManualScheduler scheduler;
    ManualExecutor queue;
    X11Accessibility accessibility(std::make_shared<X11WindowState>(displayName()));
    if (target.window == XCB_WINDOW_NONE || !activate(accessibility, target))
        return state.SkipWithError("no active window to snap");
    AXWindowService ax(accessibility, queue, scheduler, 1);
    const QRectF area = QGuiApplication::primaryScreen()->availableGeometry();
    constexpr double gap = 8;
    const std::array<SnapAction, 2> actions{SnapAction::leftHalf, SnapAction::rightHalf};
    const std::array<QRect, 2> frames{frame(actions[0], area, gap).toRect(),
                                      frame(actions[1], area, gap).toRect()};
    FrameWatch watch(target);
    X11Connection own(displayName());

    const auto snap = [&](int which) {
        ax.placeFrontWindow([&](const AXFocusedWindow& window) {
            return std::optional(frame(actions[which], area, gap, window.frame));
        });
    };
    const auto bare = [&](int which) { sendMoveResize(own, target, frames[which]); };
    compare(state, watch, frames, snap, bare);
}
BENCHMARK(BM_SnapThroughTheWindowServiceBesideTheBareRequest)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A grabber of its own: on a press of one of its two keys, sends the request for that key's frame.
class GrabAndSend {
public:
    GrabAndSend(const Target& target, std::array<xcb_keycode_t, 2> keys, std::array<QRect, 2> frames)
        : m_target(target), m_keys(keys), m_frames(frames), m_x(displayName()) {
        xcb_connection_t* c = m_x.raw();
        m_stop = xcb_generate_id(c);
        xcb_create_window(c, 0, m_stop, m_x.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        for (xcb_keycode_t key : keys) {
            xcb_generic_error_t* error =
                xcb_request_check(c, xcb_grab_key_checked(c, 0, m_x.root(), kControlAlt, key,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            m_grabbed = m_grabbed && !error;
            std::free(error);
        }
        m_thread = std::thread([this] { serve(); });
    }
    ~GrabAndSend() {
        // A message to the grabber's own window ends its loop.
        X11Connection other(displayName(), X11Atoms::none);
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = m_stop;
        message.type = XCB_ATOM_NONE;
        xcb_send_event(other.raw(), 0, m_stop, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(other.raw());
        m_thread.join();
    }
    bool grabbed() const { return m_grabbed; }

private:
    void serve() {
        while (std::unique_ptr<xcb_generic_event_t, FreeReply> event{xcb_wait_for_event(m_x.raw())}) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CLIENT_MESSAGE)
                return;
            if (type != XCB_KEY_PRESS)
                continue;
            const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(*event);
            for (size_t i = 0; i < m_keys.size(); ++i)
                if (press.detail == m_keys[i])
                    sendMoveResize(m_x, m_target, m_frames[i]);
        }
    }

    Target m_target;
    std::array<xcb_keycode_t, 2> m_keys;
    std::array<QRect, 2> m_frames;
    X11Connection m_x;
    xcb_window_t m_stop = XCB_WINDOW_NONE;
    bool m_grabbed = true;
    std::thread m_thread;
};

// Keys typed through XTest, from a connection of the benchmark's own.
class Typist {
public:
    Typist() : m_x(displayName(), X11Atoms::none), m_symbols(xcb_key_symbols_alloc(m_x.raw())) {}
    ~Typist() { xcb_key_symbols_free(m_symbols); }
    xcb_keycode_t keycode(xcb_keysym_t keysym) const {
        std::unique_ptr<xcb_keycode_t, FreeReply> codes(xcb_key_symbols_get_keycode(m_symbols, keysym));
        return codes ? codes.get()[0] : XCB_NO_SYMBOL;
    }
    void send(uint8_t type, xcb_keycode_t key) const {
        xcb_test_fake_input(m_x.raw(), type, key, XCB_CURRENT_TIME, m_x.root(), 0, 0, 0);
        xcb_flush(m_x.raw());
    }

private:
    X11Connection m_x;
    xcb_key_symbols_t* m_symbols;
};

void BM_SnapShortcutBesideAGrabAndSend(benchmark::State& state) {
    const Target target = openTarget();
    // The application's core as start-up builds it, its shortcuts registered as start-up does.
    LiveApp app;
    if (target.window == XCB_WINDOW_NONE || !activate(*app.platform().accessibility, target))
        return state.SkipWithError("no active window to snap");
    // Keys no default shortcut and no window manager binding uses, with the snap's own modifiers.
    Typist typist;
    const std::array<xcb_keycode_t, 2> snapKeys{typist.keycode(XKB_KEY_k), typist.keycode(XKB_KEY_j)};
    const std::array<xcb_keycode_t, 2> floorKeys{typist.keycode(XKB_KEY_u), typist.keycode(XKB_KEY_i)};
    app.settings().setCycleSnapSizes(false);
    registerHotkeys(app.state());
    using namespace corvane::ShortcutKit;
    const ModifierFlags controlOption(ModifierFlags::control | ModifierFlags::option);
    app.state().shortcuts().setShortcut(Shortcut(Key::k, controlOption), AppShortcuts::snapLeft());
    app.state().shortcuts().setShortcut(Shortcut(Key::j, controlOption), AppShortcuts::snapRight());
    const QRectF area = usableArea(app);
    const double gap = app.settings().layoutGap();
    const std::array<QRect, 2> frames{frame(SnapAction::leftHalf, area, gap).toRect(),
                                      frame(SnapAction::rightHalf, area, gap).toRect()};
    GrabAndSend grabber(target, floorKeys, frames);
    if (!grabber.grabbed())
        return state.SkipWithError("the floor's keys are held by another program");
    FrameWatch watch(target);

    const xcb_keycode_t control = typist.keycode(XKB_KEY_Control_L), alt = typist.keycode(XKB_KEY_Alt_L);
    typist.send(XCB_KEY_PRESS, control);
    typist.send(XCB_KEY_PRESS, alt);
    const auto typeKey = [&](xcb_keycode_t key) {
        typist.send(XCB_KEY_PRESS, key);
        typist.send(XCB_KEY_RELEASE, key);
    };
    compare(
        state, watch, frames, [&](int which) { typeKey(snapKeys[which]); },
        [&](int which) { typeKey(floorKeys[which]); });
    typist.send(XCB_KEY_RELEASE, alt);
    typist.send(XCB_KEY_RELEASE, control);
}
BENCHMARK(BM_SnapShortcutBesideAGrabAndSend)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, Application::widgets);
}
