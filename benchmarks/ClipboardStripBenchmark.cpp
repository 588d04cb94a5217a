// The clipboard strip as a person waits for it, each figure beside its floor in the same run:
// - opening the strip with 200 entries, beside mapping a plain window of its size that the window
//   manager leaves alone (override-redirect), as it leaves the strip;
// - opening it with 8 screenshots in view (their previews to decode), beside the same window;
// - a keystroke in its search field that changes which of the 200 entries show, beside the same
//   keystroke in a plain window's text field.
// Every run ends when the strip's window has been drawn, as a connection of the benchmark's own
// sees it through the DAMAGE extension. Runs of subject and floor alternate.
#include "BenchmarkDesktop.h"
#include "DrawWatch.h"
#include "PairedRuns.h"

#include "FilledClipboardHistory.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelController.h"
#include "core/ManualAnimator.h"
#include "core/Settings.h"
#include "core/StatusItems.h"
#include "platform/fake/FakePlatform.h"
#include "platform/x11/X11PanelWindowing.h"
#include "platform/x11/X11WindowState.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "runtime/WorkerQueue.h"

#include <QApplication>
#include <QBuffer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>

using namespace corvane;
using namespace corvane::benchmarks;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPairs = 40;
constexpr int kWaitMs = 5000;
constexpr int kEntries = 200;
constexpr int kPictures = 8;

// Runs the event loop, waking for events, until `done` or the bound.
bool spinUntil(const std::function<bool()>& done, int boundMs = kWaitMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(boundMs);
    while (!done()) {
        if (Clock::now() > until)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A screenshot's worth of picture: a full-HD PNG with enough detail to take its time decoding.
QByteArray screenPicture(int seed) {
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 7 + seed) & 0xff, (y * 3 + x / 16) & 0xff, (x ^ y) & 0xff);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// One strip and the history it shows, on the fake platform but for its windows, which are real.
struct Strip {
    Strip(Scheduler& scheduler, ManualAnimator& animator, X11PanelWindowing& windowing, int entries,
          int pictures = 0, Executor* decoder = nullptr)
        : platform(scheduler), settings(*platform.defaults, notifications),
          statusItems(*platform.tray, scheduler) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        platform.fakeScreens->setScreens({ScreenInfo{"screen", screen, screen}});
        platform.fakeScreens->setPointer(screen.center());
        settings.setClipboardLimit(kEntries);
        history = filledClipboardHistory(settings, scheduler, saves, platform, home.path(), entries);
        for (int i = 0; i < pictures; ++i) {
            platform.fakePasteboard->copy({{"image/png", screenPicture(i)}});
            history->capture();
        }
        controller = std::make_unique<ClipboardPanelController>(
            ClipboardPanelController::Services{settings,
                                               scheduler,
                                               *history,
                                               *platform.screens,
                                               windowing,
                                               *platform.pasteKeystroke,
                                               animator,
                                               statusItems,
                                               {},
                                               {},
                                               nullptr,
                                               decoder});
    }
    xcb_window_t window() const { return static_cast<xcb_window_t>(controller->panel()->winId()); }

    QTemporaryDir home;
    ManualExecutor saves;
    NotificationCenter notifications;
    FakePlatform platform;
    Settings settings;
    StatusItems statusItems;
    std::unique_ptr<ClipboardHistory> history;
    std::unique_ptr<ClipboardPanelController> controller;
};

// The floors: a plain override-redirect window of the strip's size, and a managed one holding only
// a text field (it takes the keyboard as a window manager gives it).
struct PlainWindows {
    PlainWindows() {
        plain.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        field.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        for (QWidget* window : {&plain, &field}) {
            window->setAutoFillBackground(true);
            window->setPalette(QPalette(QColor(30, 30, 30)));
        }
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        plain.setGeometry(screen.center().x() - 700, screen.bottom() - 242, 1400, 230);
        field.setGeometry(screen.center().x() - 100, screen.center().y(), 200, 28);
        (new QLineEdit(&field))->setGeometry(0, 0, 200, 28);
    }
    xcb_window_t window(const QWidget& widget) const { return static_cast<xcb_window_t>(widget.winId()); }
    QWidget plain;
    QWidget field;
};

struct Setup {
    ManualScheduler scheduler;
    ManualAnimator animator;
    // As the application has it: the panels read the active window from the window layer's state.
    X11PanelWindowing windowing{std::make_shared<X11WindowState>(desktop().displayName().toLocal8Bit()),
                                scheduler};
    ThreadPoolExecutor decoder;
    Strip full{scheduler, animator, windowing, kEntries};
    Strip pictures{scheduler, animator, windowing, 0, kPictures, &decoder};
    PlainWindows plainWindows;
    DrawWatch draws;
    bool prepared = false;

    bool open(Strip& strip) {
        strip.controller->show();
        animator.completeAll();
        return strip.controller->isShown();
    }
    void close(Strip& strip) {
        strip.controller->hide();
        animator.completeAll();
        scheduler.runDue();
        spinUntil([&] { return !strip.controller->panel()->isVisible(); });
    }
    // Each strip shown once, so that its window exists, and watched.
    bool prepare() {
        if (prepared)
            return true;
        if (!draws.isAvailable())
            return false;
        prepared = true;
        for (Strip* strip : {&full, &pictures}) {
            if (!open(*strip) || !spinUntil([&] { return strip->controller->panel()->isActiveWindow(); }))
                return false;
            draws.watch(strip->window());
            close(*strip);
        }
        for (QWidget* window : {&plainWindows.plain, &plainWindows.field}) {
            window->show();
            if (!spinUntil([&] { return window->isVisible(); }))
                return false;
            draws.watch(plainWindows.window(*window));
            window->hide();
        }
        return true;
    }
    // Mapping the plain window, from hidden to drawn.
    std::optional<double> timePlainWindow() {
        QWidget& plain = plainWindows.plain;
        plain.hide();
        spinUntil([] { return false; }, 20);
        const std::optional<double> ms = draws.timeMs(plainWindows.window(plain), [&] { plain.show(); });
        plain.hide();
        return ms;
    }
    std::optional<double> timeOpening(Strip& strip) {
        close(strip);
        // The strip's rise begins a frame after it is shown, later than its first drawing: the motion
        // is completed once the drawing is seen, not before the window is even mapped.
        const std::optional<double> ms = draws.timeMs(strip.window(), [&] { strip.controller->show(); });
        animator.completeAll();
        close(strip);
        return ms;
    }
};

Setup& setup() {
    static Setup instance;
    return instance;
}

// Openings of `subject` alternate with mappings of a plain window, its floor.
void openingBesideAPlainWindow(benchmark::State& state, Strip Setup::*subject) {
    Setup& s = setup();
    if (!s.prepare())
        return state.SkipWithError("the strip's windows cannot be watched");
    std::vector<double> subjects, floor;
    for (auto _ : state) {
        for (int pair = 0; pair < kPairs; ++pair) {
            const bool subjectFirst = pair % 2 == 0;
            std::optional<double> plain = subjectFirst ? std::nullopt : s.timePlainWindow();
            const std::optional<double> opened = s.timeOpening(s.*subject);
            if (subjectFirst)
                plain = s.timePlainWindow();
            if (!opened || !plain)
                return state.SkipWithError("a strip was not drawn");
            subjects.push_back(*opened);
            floor.push_back(*plain);
        }
    }
    reportPaired(state, {medianOf(subjects), medianOf(floor)});
    state.SetLabel("floor: an override-redirect window of its size mapped");
}

void BM_OpeningTheStripWith200EntriesBesideAPlainWindow(benchmark::State& state) {
    openingBesideAPlainWindow(state, &Setup::full);
}
BENCHMARK(BM_OpeningTheStripWith200EntriesBesideAPlainWindow)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_OpeningTheStripWith8ScreenshotsBesideAPlainWindow(benchmark::State& state) {
    openingBesideAPlainWindow(state, &Setup::pictures);
}
BENCHMARK(BM_OpeningTheStripWith8ScreenshotsBesideAPlainWindow)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_AKeystrokeInTheSearchOf200EntriesBesideOneInAPlainField(benchmark::State& state) {
    Setup& s = setup();
    if (!s.prepare())
        return state.SkipWithError("the strip's windows cannot be watched");
    xcb_connection_t* c = desktop().connection();
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    const auto keycode = [&](xcb_keysym_t keysym) {
        std::unique_ptr<xcb_keycode_t, decltype(&std::free)> codes(
            xcb_key_symbols_get_keycode(symbols, keysym), &std::free);
        return codes ? codes.get()[0] : xcb_keycode_t(XCB_NO_SYMBOL);
    };
    // "1" leaves the entries whose number holds a 1; Backspace brings all of them back.
    const xcb_keycode_t keys[2] = {keycode(XKB_KEY_1), keycode(XKB_KEY_BackSpace)};
    xcb_key_symbols_free(symbols);
    const auto type = [&](xcb_keycode_t key) {
        for (uint8_t kind : {uint8_t(XCB_KEY_PRESS), uint8_t(XCB_KEY_RELEASE)})
            xcb_test_fake_input(c, kind, key, XCB_CURRENT_TIME, desktop().rootWindow(), 0, 0, 0);
        xcb_flush(c);
    };
    ClipboardPanelController& full = *s.full.controller;
    std::vector<double> subject, floor;
    for (auto _ : state) {
        for (int pair = 0; pair < kPairs; ++pair) {
            // Untimed: the full strip in front with the keyboard, its search as the key expects.
            s.open(s.full);
            if (!spinUntil([&] { return full.panel()->isActiveWindow(); }))
                return state.SkipWithError("the strip did not get the keyboard");
            for (int key = 0; key < 2; ++key) {
                const int before = full.view()->shownCount();
                const std::optional<double> ms = s.draws.timeMs(s.full.window(), [&] { type(keys[key]); });
                if (!ms || !spinUntil([&] { return full.view()->shownCount() != before; }))
                    return state.SkipWithError("the keystroke did not change the strip");
                subject.push_back(*ms);
            }
            s.close(s.full);
            // The same two keys in a plain text field that has the keyboard.
            QWidget& field = s.plainWindows.field;
            field.show();
            field.activateWindow();
            if (!spinUntil([&] { return field.isActiveWindow(); }))
                return state.SkipWithError("the plain field did not get the keyboard");
            field.findChild<QLineEdit*>()->setFocus();
            for (int key = 0; key < 2; ++key) {
                const std::optional<double> ms =
                    s.draws.timeMs(s.plainWindows.window(field), [&] { type(keys[key]); });
                if (!ms)
                    return state.SkipWithError("the plain field was not drawn");
                floor.push_back(*ms);
            }
            field.hide();
            // The window manager hands the keyboard on from the hidden field a moment later; the
            // strip's next opening must not race that hand-off.
            spinUntil([] { return false; }, 50);
        }
    }
    reportPaired(state, {medianOf(subject), medianOf(floor)});
}
BENCHMARK(BM_AKeystrokeInTheSearchOf200EntriesBesideOneInAPlainField)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, Application::widgets);
}
