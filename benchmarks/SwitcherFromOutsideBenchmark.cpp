// The window switcher as a person meets it: the real `corvane` binary, its strip hidden until
// needed, is sent Alt+Tab through XTest among 10, 50 and 200 managed windows. Timed are the
// switcher's showing, from the press of Tab (Alt held) until the strip's window is first mapped,
// as a connection of the benchmark's own hears it; and a quick tap (Alt, Tab, both let go at
// once), from the press of Tab until the window manager names another window active. Beside
// each, in the same run and in alternating order, the floor: a small program of the benchmark's
// own that answers another key by mapping a plain window of the strip's size that the window
// manager takes in, as it takes in the strip.
#include "BenchmarkDesktop.h"
#include "OutsideProcesses.h"
#include "PairedRuns.h"

#include "support/CorvaneProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <benchmark/benchmark.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>

using namespace corvane;
using namespace corvane::benchmarks;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPairs = 30;
constexpr int kStartMs = 20000;
constexpr int kBoundMs = 5000;
// After a run, before the next: whatever it set off (the strip's slide out) has run.
constexpr auto kSettle = std::chrono::milliseconds(400);

// A home past its onboarding whose strip hides until asked for, so that Alt+Tab shows it.
bool prepareHome(const QString& home) {
    const QString config = home + QStringLiteral("/config/Corvane");
    QFile defaults(config + QStringLiteral("/defaults.json"));
    if (!QDir().mkpath(config) || !defaults.open(QIODevice::WriteOnly))
        return false;
    return defaults.write(
               R"({"hasCompletedOnboarding": true, "showSettingsOnLaunch": false, "autoHide": true})") > 0;
}

// Keys pressed through XTest, and the maps and active-window changes heard, on a connection of
// the benchmark's own.
class Watch {
public:
    Watch()
        : m_c(xcb_connect(desktop().displayName().toLocal8Bit().constData(), nullptr)),
          m_symbols(xcb_key_symbols_alloc(m_c)),
          m_notifier(xcb_get_file_descriptor(m_c), QSocketNotifier::Read) {
        const uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_c, desktop().rootWindow(), XCB_CW_EVENT_MASK, &rootEvents);
        m_activeAtom = desktop().atom("_NET_ACTIVE_WINDOW");
        xcb_flush(m_c);
    }
    ~Watch() {
        xcb_key_symbols_free(m_symbols);
        xcb_disconnect(m_c);
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    xcb_keycode_t code(xcb_keysym_t keysym) const {
        const std::unique_ptr<xcb_keycode_t, FreeReply> codes(xcb_key_symbols_get_keycode(m_symbols, keysym));
        return codes ? codes.get()[0] : xcb_keycode_t(XCB_NO_SYMBOL);
    }
    void send(uint8_t type, xcb_keycode_t key) const {
        xcb_test_fake_input(m_c, type, key, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
        xcb_flush(m_c);
    }
    void press(xcb_keycode_t key) const { send(XCB_KEY_PRESS, key); }
    void release(xcb_keycode_t key) const { send(XCB_KEY_RELEASE, key); }

    void watchMaps(xcb_window_t window) {
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, window, XCB_CW_EVENT_MASK, &events);
        xcb_flush(m_c);
    }

    xcb_window_t activeWindow() const {
        const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, desktop().rootWindow(), m_activeAtom, XCB_ATOM_WINDOW, 0, 1),
            nullptr));
        if (!reply || xcb_get_property_value_length(reply.get()) < 4)
            return XCB_WINDOW_NONE;
        return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    }

    // Does `act` and answers how long until `window` maps; none after the bound.
    std::optional<double> timeMap(xcb_window_t window, const std::function<void()>& act) {
        return timeUntil(act, [window](const xcb_generic_event_t& event) {
            return (event.response_type & 0x7f) == XCB_MAP_NOTIFY &&
                   reinterpret_cast<const xcb_map_notify_event_t&>(event).window == window;
        });
    }

    // Does `act` and answers how long until the active window is another than `from`.
    std::optional<double> timeActiveChange(xcb_window_t from, const std::function<void()>& act) {
        m_activeNow = from;
        return timeUntil(act, [this, from](const xcb_generic_event_t& event) {
            if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY ||
                reinterpret_cast<const xcb_property_notify_event_t&>(event).atom != m_activeAtom)
                return false;
            m_activeNow = activeWindow();
            return m_activeNow != from && m_activeNow != XCB_WINDOW_NONE;
        });
    }

private:
    std::optional<double> timeUntil(const std::function<void()>& act,
                                    const std::function<bool(const xcb_generic_event_t&)>& matches) {
        // What came before counts for nothing.
        std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c))
            std::free(event);
        std::optional<Clock::time_point> at;
        const auto take = [&]() -> std::optional<Clock::time_point> {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
                if (!at && matches(*event))
                    at = Clock::now();
                std::free(event);
            }
            return at;
        };
        return timeUntilSeen(m_notifier, act, take, kBoundMs);
    }

    xcb_connection_t* m_c;
    xcb_key_symbols_t* m_symbols;
    QSocketNotifier m_notifier;
    xcb_atom_t m_activeAtom = XCB_ATOM_NONE;
    xcb_window_t m_activeNow = XCB_WINDOW_NONE;
};

struct Case {
    QTemporaryDir home;
    Watch keys;
    Child corvane;
    Child floor;
    xcb_window_t strip = XCB_WINDOW_NONE;
    xcb_window_t floorWindow = XCB_WINDOW_NONE;
    xcb_keycode_t alt = keys.code(XKB_KEY_Alt_L);
    xcb_keycode_t shift = keys.code(XKB_KEY_Shift_L);
    xcb_keycode_t tab = keys.code(XKB_KEY_Tab);
    // Corvane holds Alt+Tab, so the floor answers Alt+Shift and a key no default shortcut uses.
    xcb_keycode_t floorKey = keys.code(XKB_KEY_b);

    std::string prepare(int windows) {
        if (!populate(Population::windowsOfOneProgram, windows))
            return "the window manager did not take the windows in";
        if (!prepareHome(home.path()))
            return "the settings could not be written";
        if (std::string error = startCorvane(); !error.empty())
            return error;
        return startFloor();
    }

    // Alt+Tab, Tab let go, and Alt let go a moment later, as a person switches.
    void altTab() {
        keys.press(alt);
        keys.press(tab);
        keys.release(tab);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        keys.release(alt);
    }

    std::string startCorvane() {
        corvane.process.setProcessEnvironment(
            testing::corvaneEnvironment(home.path(), desktop().displayName()));
        corvane.process.start(QStringLiteral(CORVANE_BINARY), {});
        if (!corvane.process.waitForStarted(kStartMs))
            return "corvane did not start";
        // Its hot keys are grabbed some time after it starts, and its first press only reads the
        // window list: Alt+Tab is sent until the strip shows.
        const qint64 pid = corvane.process.processId();
        const auto isOurs = [&](const testing::ClientWindow& client) { return client.pid == pid; };
        for (int attempt = 0; attempt < 40 && strip == XCB_WINDOW_NONE; ++attempt) {
            altTab();
            if (const auto client = desktop().waitForShownWindow(isOurs, std::chrono::milliseconds(500)))
                strip = client->window;
        }
        if (strip == XCB_WINDOW_NONE)
            return "the strip never showed: " + corvane.process.readAllStandardError().toStdString();
        if (!waitViewable(strip, false, std::chrono::seconds(5)))
            return "the strip did not hide again";
        keys.watchMaps(strip);
        std::this_thread::sleep_for(kSettle);
        return {};
    }

    std::string startFloor() {
        xcb_connection_t* c = desktop().connection();
        const std::unique_ptr<xcb_get_geometry_reply_t, FreeReply> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, strip), nullptr));
        if (!geometry)
            return "the strip's size is unknown";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), desktop().displayName());
        floor.process.setProcessEnvironment(environment);
        floor.process.start(
            QStringLiteral(KEY_MAPPED_WINDOW),
            {QString::number(floorKey), QStringLiteral("%1x%2").arg(geometry->width).arg(geometry->height)});
        if (!floor.process.waitForStarted(kStartMs) || !floor.process.waitForReadyRead(kStartMs))
            return "the floor did not start: " + floor.process.readAllStandardError().toStdString();
        floorWindow = floor.process.readAllStandardOutput().trimmed().toUInt();
        if (floorWindow == XCB_WINDOW_NONE)
            return "the floor named no window";
        keys.watchMaps(floorWindow);
        return {};
    }

    // Alt held and Tab pressed, until the strip maps; Alt let go then switches and the strip goes.
    std::optional<double> timeShowing() {
        keys.press(alt);
        const std::optional<double> ms = keys.timeMap(strip, [&] { keys.press(tab); });
        keys.release(tab);
        keys.release(alt);
        const bool hidden = waitViewable(strip, false, std::chrono::seconds(5));
        std::this_thread::sleep_for(kSettle);
        return ms && hidden ? ms : std::nullopt;
    }

    // Alt, Tab, both let go at once, until another window is active.
    std::optional<double> timeTap() {
        const xcb_window_t front = keys.activeWindow();
        keys.press(alt);
        const std::optional<double> ms = keys.timeActiveChange(front, [&] {
            keys.press(tab);
            keys.release(tab);
            keys.release(alt);
        });
        const bool hidden = waitViewable(strip, false, std::chrono::seconds(5));
        std::this_thread::sleep_for(kSettle);
        return ms && hidden ? ms : std::nullopt;
    }

    std::optional<double> timeFloor() {
        keys.press(alt);
        keys.press(shift);
        const std::optional<double> ms = keys.timeMap(floorWindow, [&] { keys.press(floorKey); });
        keys.release(floorKey);
        // The same key again unmaps it.
        keys.press(floorKey);
        keys.release(floorKey);
        keys.release(shift);
        keys.release(alt);
        const bool hidden = waitViewable(floorWindow, false, std::chrono::seconds(5));
        std::this_thread::sleep_for(kSettle);
        return ms && hidden ? ms : std::nullopt;
    }
};

void besideTheFloor(benchmark::State& state, int windows, bool tap) {
    Case run;
    if (const std::string error = run.prepare(windows); !error.empty())
        return state.SkipWithError(error.c_str());
    std::vector<double> subject, floor;
    for (auto _ : state) {
        for (int pair = 0; pair < kPairs; ++pair) {
            const bool subjectFirst = pair % 2 == 0;
            std::optional<double> floorMs = subjectFirst ? std::nullopt : run.timeFloor();
            const std::optional<double> switcherMs = tap ? run.timeTap() : run.timeShowing();
            if (subjectFirst)
                floorMs = run.timeFloor();
            if (!switcherMs)
                return state.SkipWithError(tap ? "the tap moved no focus"
                                               : "the strip did not map, or stayed");
            if (!floorMs)
                return state.SkipWithError("the floor's window did not map, or stayed");
            subject.push_back(switcherMs.value_or(0));
            floor.push_back(floorMs.value_or(0));
        }
    }
    reportPaired(state, {medianOf(subject), medianOf(floor)});
    state.SetLabel("floor: a managed window of the strip's size mapped on a key");
}

void BM_AltTabShowsTheSwitcher(benchmark::State& state) {
    besideTheFloor(state, static_cast<int>(state.range(0)), false);
}
BENCHMARK(BM_AltTabShowsTheSwitcher)
    ->Arg(10)
    ->Arg(50)
    ->Arg(200)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_QuickAltTabTapMovesTheFocus(benchmark::State& state) {
    besideTheFloor(state, static_cast<int>(state.range(0)), true);
}
BENCHMARK(BM_QuickAltTabTapMovesTheFocus)
    ->Arg(10)
    ->Arg(50)
    ->Arg(200)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
