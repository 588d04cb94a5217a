// How long window pictures take on the real X11 layer, beside their floor in the same run: twenty
// managed 800 x 600 windows captured at the medium thumbnail size through the capture layer,
// against the least the server must do for the same thumbnails: each window's pixmap named, drawn
// once through a RENDER scaling transform into a pixmap of the thumbnail's size, and that small
// pixmap read, all twenty asked for at once with plain xcb. The two alternate, so that both meet
// the same server in the same state; medians are reported.
#include "BenchmarkDesktop.h"
#include "PairedRuns.h"

#include "platform/x11/X11WindowCapture.h"
#include "windows/ThumbnailService.h"

#include <benchmark/benchmark.h>

#include <xcb/composite.h>
#include <xcb/render.h>
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

// (b) The floor: one RENDER-scaled read per window. The thumbnail-sized pixmaps and their
// pictures are made once, as a capture layer keeps its own; what each round pays is naming every
// window's pixmap, one scaled drawing of it, and one read of the small result, every request sent
// before the first answer is awaited.
class ScaledReads {
public:
    ScaledReads(const CaptureWindows& windows, QSize size) : m_c(windows.connection()), m_size(size) {
        xcb_connection_t* c = m_c;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_render_query_pict_formats_reply_t* formats =
            xcb_render_query_pict_formats_reply(c, xcb_render_query_pict_formats(c), nullptr);
        if (!formats)
            return;
        for (auto screens = xcb_render_query_pict_formats_screens_iterator(formats); screens.rem;
             xcb_render_pictscreen_next(&screens))
            for (auto depths = xcb_render_pictscreen_depths_iterator(screens.data); depths.rem;
                 xcb_render_pictdepth_next(&depths))
                for (auto visuals = xcb_render_pictdepth_visuals_iterator(depths.data); visuals.rem;
                     xcb_render_pictvisual_next(&visuals))
                    if (visuals.data->visual == screen->root_visual)
                        m_format = visuals.data->format;
        std::free(formats);
        if (!m_format)
            return;
        for (xcb_window_t window : windows.windows()) {
            const xcb_pixmap_t pixmap = xcb_generate_id(c);
            xcb_create_pixmap(c, screen->root_depth, pixmap, window, uint16_t(size.width()),
                              uint16_t(size.height()));
            const xcb_render_picture_t picture = xcb_generate_id(c);
            xcb_render_create_picture(c, picture, pixmap, m_format, 0, nullptr);
            m_targets.push_back({window, pixmap, picture});
        }
        xcb_flush(c);
    }
    ~ScaledReads() {
        for (const Target& target : m_targets) {
            xcb_render_free_picture(m_c, target.picture);
            xcb_free_pixmap(m_c, target.pixmap);
        }
        xcb_flush(m_c);
    }
    bool valid() const { return m_format != 0; }

    bool readAll() {
        xcb_connection_t* c = m_c;
        // The transform maps the thumbnail's pixels back onto the window's, in 16.16 fixed point.
        const auto fixed = [](double v) { return xcb_render_fixed_t(v * 65536.0); };
        const xcb_render_transform_t scale = {fixed(double(kWidth) / m_size.width()),
                                              0,
                                              0,
                                              0,
                                              fixed(double(kHeight) / m_size.height()),
                                              0,
                                              0,
                                              0,
                                              fixed(1)};
        static constexpr char bilinear[] = "bilinear";
        std::vector<xcb_get_image_cookie_t> cookies;
        for (const Target& target : m_targets) {
            const xcb_pixmap_t source = xcb_generate_id(c);
            xcb_composite_name_window_pixmap(c, target.window, source);
            const xcb_render_picture_t picture = xcb_generate_id(c);
            xcb_render_create_picture(c, picture, source, m_format, 0, nullptr);
            xcb_render_set_picture_transform(c, picture, scale);
            xcb_render_set_picture_filter(c, picture, sizeof bilinear - 1, bilinear, 0, nullptr);
            xcb_render_composite(c, XCB_RENDER_PICT_OP_SRC, picture, XCB_NONE, target.picture, 0, 0, 0, 0, 0,
                                 0, uint16_t(m_size.width()), uint16_t(m_size.height()));
            xcb_render_free_picture(c, picture);
            xcb_free_pixmap(c, source);
            cookies.push_back(xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, target.pixmap, 0, 0,
                                            uint16_t(m_size.width()), uint16_t(m_size.height()), ~0u));
        }
        bool ok = true;
        for (xcb_get_image_cookie_t cookie : cookies) {
            xcb_get_image_reply_t* image = xcb_get_image_reply(c, cookie, nullptr);
            ok = ok && image;
            benchmark::DoNotOptimize(image);
            std::free(image);
        }
        return ok;
    }

private:
    struct Target {
        xcb_window_t window;
        xcb_pixmap_t pixmap;
        xcb_render_picture_t picture;
    };
    xcb_connection_t* m_c;
    QSize m_size;
    xcb_render_pictformat_t m_format = 0;
    std::vector<Target> m_targets;
};

void captureTwentyWindowsBesideTheirFloor(benchmark::State& state) {
    CaptureWindows windows;
    X11WindowCapture capture(desktop().displayName().toLocal8Bit());
    const QSize size = mediumThumbnail();
    if (!windows.ready(capture, size)) {
        state.SkipWithError("the window manager did not take every window");
        return;
    }
    ScaledReads floor(windows, size);
    if (!floor.valid() || !floor.readAll()) {
        state.SkipWithError("the server cannot scale with RENDER");
        return;
    }
    bool failed = false;
    PairedMedians medians;
    for (auto _ : state)
        medians = timePaired(
            kRounds, [&] { failed = !captureAll(capture, windows, size) || failed; },
            [&] { failed = !floor.readAll() || failed; });
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
