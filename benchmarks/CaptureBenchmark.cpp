// How long window pictures take on the real X11 layer: twenty managed 800 x 600 windows, each
// read back through its composite pixmap and scaled to the medium thumbnail size. One iteration
// captures all twenty.
#include "BenchmarkDesktop.h"

#include "platform/x11/X11WindowCapture.h"
#include "windows/ThumbnailService.h"

#include <QCoreApplication>
#include <QThread>

#include <benchmark/benchmark.h>

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <latch>
#include <vector>

using namespace corvane;
using namespace corvane::benchmarks;

namespace {

constexpr int kWindows = 20;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Twenty plain windows of the benchmark's own, each filled with a colour of its own by the server.
class CaptureWindows {
public:
    CaptureWindows() {
        xcb_connection_t* c = desktop().connection();
        for (int i = 0; i < kWindows; ++i) {
            const xcb_window_t window = xcb_generate_id(c);
            const uint32_t background = 0x204060u + static_cast<uint32_t>(i) * 0x0a0806u;
            xcb_create_window(c, XCB_COPY_FROM_PARENT, window, desktop().rootWindow(), (i % 5) * 200,
                              (i / 5) * 100, kWidth, kHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                              XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, &background);
            xcb_map_window(c, window);
            m_windows.push_back(window);
        }
        xcb_flush(c);
    }
    ~CaptureWindows() {
        for (xcb_window_t window : m_windows)
            xcb_destroy_window(desktop().connection(), window);
        xcb_flush(desktop().connection());
    }

    const std::vector<xcb_window_t>& windows() const { return m_windows; }

    // Waits until the window manager lists all of them and the capture layer has redirected them.
    bool ready(X11WindowCapture& capture) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < until) {
            QCoreApplication::processEvents();
            const ContentAnswer listed = capture.listWindows();
            int found = 0;
            for (xcb_window_t window : m_windows)
                found += listed.content && listed.content->find(window) ? 1 : 0;
            if (found == kWindows) {
                QThread::msleep(2 * X11WindowCapture::settleTime.count());
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

private:
    std::vector<xcb_window_t> m_windows;
};

QSize mediumThumbnail() {
    return ThumbnailService::captureSize(QSizeF(kWidth, kHeight),
                                         ThumbnailService::targetSize(ThumbnailSize::medium));
}

void reportPerWindow(benchmark::State& state) {
    state.counters["per_window"] = benchmark::Counter(
        kWindows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One window after another on the calling thread.
void captureTwentyWindowsInTurn(benchmark::State& state) {
    CaptureWindows windows;
    X11WindowCapture capture(desktop().displayName().toLocal8Bit());
    if (!windows.ready(capture)) {
        state.SkipWithError("the window manager did not take every window");
        return;
    }
    const QSize size = mediumThumbnail();
    for (auto _ : state) {
        for (xcb_window_t window : windows.windows()) {
            ImageAnswer answer = capture.capture(window, size);
            if (!answer.image || answer.image->size() != size) {
                state.SkipWithError("a capture failed");
                return;
            }
            benchmark::DoNotOptimize(answer);
        }
    }
    reportPerWindow(state);
}
BENCHMARK(captureTwentyWindowsInTurn)->Unit(benchmark::kMillisecond)->UseRealTime();

// All twenty asked for at once, as the requests reach the thread pool; done when the last answers.
void captureTwentyWindowsOnThePool(benchmark::State& state) {
    CaptureWindows windows;
    X11WindowCapture capture(desktop().displayName().toLocal8Bit());
    if (!windows.ready(capture)) {
        state.SkipWithError("the window manager did not take every window");
        return;
    }
    const QSize size = mediumThumbnail();
    std::atomic<int> failures = 0;
    for (auto _ : state) {
        std::latch done(kWindows);
        for (xcb_window_t window : windows.windows())
            capture.captureImage(window, size, [&](ImageAnswer answer) {
                if (!answer.image)
                    ++failures;
                done.count_down();
            });
        done.wait();
    }
    if (failures > 0)
        state.SkipWithError("a capture failed");
    reportPerWindow(state);
}
BENCHMARK(captureTwentyWindowsOnThePool)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
