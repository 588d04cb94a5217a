// How long window pictures take on the real X11 layer, beside their floor in the same run: twenty
// managed 800 x 600 windows captured at the medium thumbnail size through the capture layer,
// against merely naming each window's pixmap and reading it whole with plain xcb. The two
// alternate, so that both meet the same server in the same state; medians are reported.
#include "BenchmarkDesktop.h"
#include "PairedRuns.h"

#include "platform/x11/X11WindowCapture.h"
#include "windows/ThumbnailService.h"

#include <benchmark/benchmark.h>

#include <xcb/composite.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <latch>
#include <set>
#include <vector>

using namespace corvane;
using namespace corvane::benchmarks;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWindows = 20;
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kRounds = 60;
constexpr auto kSetUpBound = std::chrono::seconds(30);

// Twenty plain windows on a connection of the benchmark's own, each filled with a colour of its
// own by the server.
class CaptureWindows {
public:
    CaptureWindows() : m_connection(xcb_connect(desktop().displayName().toLocal8Bit().constData(), nullptr)) {
        xcb_connection_t* c = m_connection;
        const xcb_window_t root = desktop().rootWindow();
        // The window manager announces the windows it takes in the client list.
        const uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootEvents);
        for (int i = 0; i < kWindows; ++i) {
            const xcb_window_t window = xcb_generate_id(c);
            const uint32_t values[] = {0x204060u + static_cast<uint32_t>(i) * 0x0a0806u,
                                       XCB_EVENT_MASK_STRUCTURE_NOTIFY};
            xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, (i % 5) * 200, (i / 5) * 100, kWidth,
                              kHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                              XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
            xcb_map_window(c, window);
            m_windows.push_back(window);
        }
        xcb_flush(c);
    }
    ~CaptureWindows() {
        for (xcb_window_t window : m_windows)
            xcb_destroy_window(m_connection, window);
        xcb_disconnect(m_connection);
    }

    xcb_connection_t* connection() const { return m_connection; }
    const std::vector<xcb_window_t>& windows() const { return m_windows; }

    // Waits until every window is mapped and listed by the window manager, then has the capture
    // layer list (and so redirect) them and capture each once, which waits for their repaint.
    bool ready(X11WindowCapture& capture, QSize size) {
        std::set<xcb_window_t> unmapped(m_windows.begin(), m_windows.end());
        const xcb_atom_t clientList = desktop().atom("_NET_CLIENT_LIST");
        bool listed = allListed();
        const auto handle = [&](const xcb_generic_event_t& event) {
            const uint8_t type = event.response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY)
                unmapped.erase(reinterpret_cast<const xcb_map_notify_event_t&>(event).window);
            if (type == XCB_PROPERTY_NOTIFY &&
                reinterpret_cast<const xcb_property_notify_event_t&>(event).atom == clientList)
                listed = allListed();
            return unmapped.empty() && listed;
        };
        if (!(unmapped.empty() && listed) && !waitForEvents(m_connection, Clock::now() + kSetUpBound, handle))
            return false;
        const ContentAnswer content = capture.listWindows();
        for (xcb_window_t window : m_windows)
            if (!content.content || !content.content->find(window) || !capture.capture(window, size).image)
                return false;
        return true;
    }

private:
    bool allListed() const {
        const std::vector<testing::ClientWindow> clients = desktop().clientWindows();
        return std::all_of(m_windows.begin(), m_windows.end(), [&](xcb_window_t window) {
            return std::any_of(clients.begin(), clients.end(),
                               [&](const testing::ClientWindow& client) { return client.window == window; });
        });
    }

    xcb_connection_t* m_connection;
    std::vector<xcb_window_t> m_windows;
};

QSize mediumThumbnail() {
    return ThumbnailService::captureSize(QSizeF(kWidth, kHeight),
                                         ThumbnailService::targetSize(ThumbnailSize::medium));
}

// (a) All twenty asked for at once, as the thumbnail service asks; done when the last answers.
bool captureAll(X11WindowCapture& capture, const CaptureWindows& windows, QSize size) {
    std::atomic<int> failures = 0;
    std::latch done(kWindows);
    for (xcb_window_t window : windows.windows())
        capture.captureImage(window, size, [&](ImageAnswer answer) {
            if (!answer.image || answer.image->size() != size)
                ++failures;
            done.count_down();
        });
    done.wait();
    return failures == 0;
}

// (b) The floor: each window's pixmap named and read whole through the socket, nothing scaled.
bool readAllWhole(const CaptureWindows& windows) {
    xcb_connection_t* c = windows.connection();
    for (xcb_window_t window : windows.windows()) {
        const xcb_pixmap_t pixmap = xcb_generate_id(c);
        xcb_composite_name_window_pixmap(c, window, pixmap);
        xcb_get_image_reply_t* image = xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, 0, 0, kWidth, kHeight, ~0u), nullptr);
        xcb_free_pixmap(c, pixmap);
        if (!image)
            return false;
        benchmark::DoNotOptimize(image);
        std::free(image);
    }
    return true;
}

void captureTwentyWindowsBesideTheirFloor(benchmark::State& state) {
    CaptureWindows windows;
    X11WindowCapture capture(desktop().displayName().toLocal8Bit());
    const QSize size = mediumThumbnail();
    if (!windows.ready(capture, size)) {
        state.SkipWithError("the window manager did not take every window");
        return;
    }
    bool failed = false;
    PairedMedians medians;
    for (auto _ : state)
        medians = timePaired(
            kRounds, [&] { failed = !captureAll(capture, windows, size) || failed; },
            [&] { failed = !readAllWhole(windows) || failed; });
    if (failed) {
        state.SkipWithError("a capture failed");
        return;
    }
    reportPaired(state, medians);
    state.counters["server_scaled"] = capture.scalesOnServer() ? 1 : 0;
    state.counters["shared_memory"] = capture.readsThroughSharedMemory() ? 1 : 0;
}
BENCHMARK(captureTwentyWindowsBesideTheirFloor)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
