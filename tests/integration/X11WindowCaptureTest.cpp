// Window pictures of the real capture layer against windows of the test's own with known
// colours: scaled on the server, the picture has the size asked for and each colour where the
// window has it; read through the socket or scaled here instead, it is the same picture.
#include "support/IntegrationMain.h"

#include "platform/x11/X11WindowCapture.h"
#include "windows/ThumbnailService.h"

#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

using namespace corvane;
using namespace corvane::testing;
using namespace std::chrono_literals;

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
// Top left, top right, bottom left, bottom right.
constexpr QRgb kQuarters[] = {0xffe01010, 0xff10c020, 0xff2030d0, 0xfff0f0f0};
// Half-transparent red, premultiplied as the server keeps it.
constexpr uint32_t kTranslucentPixel = 0x80600000;

xcb_visualtype_t* visualOfDepth(const xcb_screen_t* screen, uint8_t depth) {
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths))
        if (depths.data->depth == depth && depths.data->visuals_len > 0)
            return xcb_depth_visuals(depths.data);
    return nullptr;
}

// A managed window whose background the server paints itself on every exposure, so that it
// reads right whenever it is redirected.
class OwnWindow {
public:
    // Four quarters of known colours, on the screen's own 24-bit visual.
    static OwnWindow quartered() {
        xcb_connection_t* c = desktop().connection();
        const xcb_pixmap_t pattern = xcb_generate_id(c);
        xcb_create_pixmap(c, 24, pattern, desktop().rootWindow(), kWidth, kHeight);
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, pattern, 0, nullptr);
        for (int i = 0; i < 4; ++i) {
            const uint32_t colour = kQuarters[i] & 0xffffffu;
            xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &colour);
            const xcb_rectangle_t quarter{static_cast<int16_t>(i % 2 * kWidth / 2),
                                          static_cast<int16_t>(i / 2 * kHeight / 2), kWidth / 2, kHeight / 2};
            xcb_poly_fill_rectangle(c, pattern, gc, 1, &quarter);
        }
        xcb_free_gc(c, gc);
        OwnWindow window(XCB_COPY_FROM_PARENT, 24, XCB_CW_BACK_PIXMAP, {pattern});
        xcb_free_pixmap(c, pattern);
        return window;
    }

    // One half-transparent colour on a 32-bit visual (none where the server has no such visual).
    static std::optional<OwnWindow> translucent() {
        xcb_connection_t* c = desktop().connection();
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const xcb_visualtype_t* visual = visualOfDepth(screen, 32);
        if (!visual)
            return std::nullopt;
        const xcb_colormap_t colormap = xcb_generate_id(c);
        xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, colormap, desktop().rootWindow(), visual->visual_id);
        return OwnWindow(visual->visual_id, 32, XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_COLORMAP,
                         {kTranslucentPixel, 0, colormap});
    }

    xcb_window_t id() const { return m_window; }

private:
    OwnWindow(xcb_visualid_t visual, uint8_t depth, uint32_t mask, std::vector<uint32_t> values) {
        xcb_connection_t* c = desktop().connection();
        m_window = xcb_generate_id(c);
        xcb_create_window(c, depth, m_window, desktop().rootWindow(), 50, 50, kWidth, kHeight, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, visual, mask, values.data());
        xcb_map_window(c, m_window);
        xcb_flush(c);
        EXPECT_TRUE(desktop().waitForClientWindow(
            [&](const ClientWindow& client) { return client.window == m_window; }));
    }

    xcb_window_t m_window = XCB_WINDOW_NONE;
};

bool near(QRgb a, QRgb b, int slack = 3) {
    return std::abs(qRed(a) - qRed(b)) <= slack && std::abs(qGreen(a) - qGreen(b)) <= slack &&
           std::abs(qBlue(a) - qBlue(b)) <= slack && std::abs(qAlpha(a) - qAlpha(b)) <= slack;
}

// The mean difference of two pictures of one size, over every channel of every pixel.
double meanDifference(const QImage& a, const QImage& b) {
    double total = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            total +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return total / (3.0 * a.width() * a.height());
}

QImage pictureOf(X11WindowCapture& capture, xcb_window_t window, QSize size) {
    // The window manager lists a window before it has mapped its frame: wait until it is shown.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const ContentAnswer listed = capture.listWindows();
            return listed.content && listed.content->find(window);
        },
        5000));
    const ImageAnswer answer = capture.capture(window, size);
    EXPECT_TRUE(answer.image) << answer.error.toStdString();
    return answer.image.value_or(QImage());
}

TEST(X11WindowCaptureTest, ServerScaledPicturesHaveTheirSizeAndColoursOnEveryPath) {
    // Given a window of four coloured quarters
    const OwnWindow window = OwnWindow::quartered();
    const QSize thumbnail = ThumbnailService::captureSize(
        QSizeF(kWidth, kHeight), ThumbnailService::targetSize(ThumbnailSize::medium));
    ASSERT_EQ(thumbnail, QSize(211, 158));

    // When it is pictured at the medium size, and enlarged, the fast way
    X11WindowCapture fast(desktop().displayName().toLocal8Bit());
    const QImage small = pictureOf(fast, window.id(), thumbnail);
    const QImage large = pictureOf(fast, window.id(), QSize(2 * kWidth, 2 * kHeight));
    EXPECT_TRUE(fast.scalesOnServer());
    EXPECT_TRUE(fast.readsThroughSharedMemory());

    // Then each picture has the size asked for, each quarter's colour in its place, and is opaque
    for (const QImage& picture : {small, large}) {
        ASSERT_EQ(picture.format(), QImage::Format_RGB32);
        const int w = picture.width();
        const int h = picture.height();
        const QPoint centres[] = {
            {w / 4, h / 4}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4}, {3 * w / 4, 3 * h / 4}};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(near(picture.pixel(centres[i]), kQuarters[i]))
                << i << " " << std::hex << picture.pixel(centres[i]);
        // Corners too: nothing of the outside seeps in at the edges.
        EXPECT_TRUE(near(picture.pixel(0, 0), kQuarters[0]));
        EXPECT_TRUE(near(picture.pixel(w - 1, h - 1), kQuarters[3]));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(qAlpha(reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x]), 255);
    }
    EXPECT_EQ(small.size(), thumbnail);
    EXPECT_EQ(large.size(), QSize(2 * kWidth, 2 * kHeight));

    // And through the socket the picture is the very same; scaled here, it differs only in rounding
    X11WindowCapture throughSocket(desktop().displayName().toLocal8Bit(), {.sharedMemory = false});
    EXPECT_EQ(pictureOf(throughSocket, window.id(), thumbnail), small);
    EXPECT_FALSE(throughSocket.readsThroughSharedMemory());
    X11WindowCapture locally(desktop().displayName().toLocal8Bit(), {.serverScaling = false});
    const QImage scaledHere = pictureOf(locally, window.id(), thumbnail);
    EXPECT_FALSE(locally.scalesOnServer());
    ASSERT_EQ(scaledHere.size(), thumbnail);
    EXPECT_LT(meanDifference(scaledHere, small), 2.0);
}

TEST(X11WindowCaptureTest, AWindowResizedSinceItWasListedIsPicturedAtItsNewShape) {
    // Given a listed window of four quarters
    const OwnWindow window = OwnWindow::quartered();
    X11WindowCapture capture(desktop().displayName().toLocal8Bit());
    const QSize thumbnail(211, 158);
    ASSERT_EQ(pictureOf(capture, window.id(), thumbnail).size(), thumbnail);

    // When it narrows to its left half before the next listing
    xcb_connection_t* c = desktop().connection();
    const uint32_t width = kWidth / 2;
    xcb_configure_window(c, window.id(), XCB_CONFIG_WINDOW_WIDTH, &width);
    xcb_flush(c);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
                xcb_get_geometry_reply(c, xcb_get_geometry(c, window.id()), nullptr), &std::free);
            return geometry && geometry->width == width;
        },
        5000));
    const ImageAnswer answer = capture.capture(window.id(), thumbnail);

    // Then the picture keeps the new proportions inside the box, and shows the left quarters
    ASSERT_TRUE(answer.image);
    const QImage& picture = *answer.image;
    ASSERT_EQ(picture.size(), QSize(105, 158));
    EXPECT_TRUE(near(picture.pixel(52, 40), kQuarters[0]));
    EXPECT_TRUE(near(picture.pixel(52, 118), kQuarters[2]));
    EXPECT_TRUE(near(picture.pixel(104, 157), kQuarters[2]));
}

TEST(X11WindowCaptureTest, AWindowsContentVersionMovesOnEachDrawingAndOnlyThen) {
    // Given a captured window, its first drawing since the redirect taken in
    const OwnWindow window = OwnWindow::quartered();
    X11WindowCapture capture(desktop().displayName().toLocal8Bit());
    ASSERT_FALSE(pictureOf(capture, window.id(), QSize(100, 75)).isNull());
    std::optional<uint64_t> version;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::optional<uint64_t> before = capture.contentVersion(window.id());
            QTest::qWait(100);
            version = capture.contentVersion(window.id());
            return before && before == version;
        },
        5000));

    // Each time it is drawn again (its background, as on an exposure) after its last version was
    // captured, the version moves on. (A drawing that comes while a report is still being emptied
    // folds into that report's version, and the capture that follows it shows both.)
    xcb_connection_t* c = desktop().connection();
    for (int drawing = 0; drawing < 2; ++drawing) {
        ASSERT_FALSE(pictureOf(capture, window.id(), QSize(100, 75)).isNull());
        xcb_clear_area(c, 0, window.id(), 0, 0, 0, 0);
        xcb_flush(c);
        const std::optional<uint64_t> before = version;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                version = capture.contentVersion(window.id());
                return version && version != before;
            },
            5000))
            << "drawing " << drawing;
    }
}

TEST(X11WindowCaptureTest, ATranslucentWindowKeepsItsAlpha) {
    // Given a window of a 32-bit visual in half-transparent red
    const std::optional<OwnWindow> window = OwnWindow::translucent();
    if (!window)
        GTEST_SKIP() << "the server has no 32-bit visual";

    // When it is pictured scaled, through shared memory and through the socket
    X11WindowCapture fast(desktop().displayName().toLocal8Bit());
    X11WindowCapture throughSocket(desktop().displayName().toLocal8Bit(), {.sharedMemory = false});
    for (X11WindowCapture* way : {&fast, &throughSocket}) {
        const QImage picture = pictureOf(*way, window->id(), QSize(100, 75));

        // Then its pixels keep their alpha, premultiplied
        ASSERT_EQ(picture.format(), QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(picture.size(), QSize(100, 75));
        const QRgb centre = reinterpret_cast<const QRgb*>(picture.constScanLine(37))[50];
        EXPECT_TRUE(near(centre, kTranslucentPixel)) << std::hex << centre;
    }
}

} // namespace

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
