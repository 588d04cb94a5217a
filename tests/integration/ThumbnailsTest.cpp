// Window thumbnails of real X programs, taken by the application core on the real platform: the
// pictures must have their box's size, show the window's own pixels, follow its content, and stop
// once the strip switches the service off. The capture layer must answer a hidden or vanished
// window with a failure.
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"

#include "core/Settings.h"
#include "platform/x11/X11WindowCapture.h"
#include "windows/ThumbnailService.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <memory>

using namespace corvane;
using namespace corvane::testing;
using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 10000;

// How much dark ink the picture holds (a black pixel counts 1, grey in proportion; thin strokes
// turn grey when scaled down), and how many of its pixels are light.
struct Tones {
    double ink = 0;
    int light = 0;
};

Tones tones(const QImage& image) {
    Tones counted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int gray = qGray(image.pixel(x, y));
            counted.ink += (255 - gray) / 255.0;
            counted.light += gray > 192 ? 1 : 0;
        }
    return counted;
}

// Whether every stored pixel is opaque, the unused byte of 24-bit pixels included.
bool isOpaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(pixels[x]) != 255)
                return false;
    }
    return true;
}

// The client window's own size, as the server has it.
QSizeF clientSize(xcb_window_t window) {
    xcb_connection_t* c = desktop().connection();
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr), &std::free);
    return geometry ? QSizeF(geometry->width, geometry->height) : QSizeF();
}

class Thumbnails : public ::testing::Test {
protected:
    // Starts a program and answers its window as the strip would hand it over.
    std::optional<WindowInfo> start(const QString& program, const QStringList& arguments) {
        QProcess* process = desktop().launch(program, arguments);
        if (!process)
            return std::nullopt;
        m_started.push_back(process);
        const auto client = desktop().waitForClientWindow(process->processId(), 10s);
        if (!client)
            return std::nullopt;
        if (!waitUntilFramed(client->window, kWaitMs))
            return std::nullopt;
        WindowInfo info;
        info.windowID = client->window;
        info.pid = static_cast<int32_t>(process->processId());
        info.frame = serverFrame(client->window);
        return info;
    }

    // Waits for the window's next small picture.
    std::optional<QImage> nextPicture(uint32_t windowID, int timeoutMs = kWaitMs) {
        const std::shared_ptr<ThumbnailBox> box = thumbnails().box(windowID);
        QSignalSpy changed(box.get(), &ThumbnailBox::imageChanged);
        if (!changed.wait(timeoutMs))
            return std::nullopt;
        return box->image();
    }

    ThumbnailService& thumbnails() { return app.state().thumbnails(); }

    void TearDown() override {
        thumbnails().setActive(false);
        for (QProcess* process : m_started) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    LiveApp app;
    std::vector<QProcess*> m_started;
};

TEST_F(Thumbnails, RealWindowsArePicturedAtTheirBoxSizeWithTheirOwnPixels) {
    // Given an xterm showing black text on white and an xclock, and the medium size
    const auto terminal =
        start(QStringLiteral("xterm"),
              {QStringLiteral("-bg"), QStringLiteral("white"), QStringLiteral("-fg"), QStringLiteral("black"),
               QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
               QStringLiteral("echo XXXXXXXXXXXXXXXXXXXX; sleep 60")});
    const auto clock =
        start(QStringLiteral("xclock"), {QStringLiteral("-bg"), QStringLiteral("white"),
                                         QStringLiteral("-geometry"), QStringLiteral("240x180")});
    ASSERT_TRUE(terminal && clock);
    app.settings().setThumbnailSize(ThumbnailSize::medium);
    // Both programs have drawn once before the first redirect.
    ASSERT_TRUE(waitUntilDrawn(terminal->windowID) && waitUntilDrawn(clock->windowID));

    // When the strip shows both windows
    const std::shared_ptr<ThumbnailBox> terminalBox = thumbnails().box(terminal->windowID);
    const std::shared_ptr<ThumbnailBox> clockBox = thumbnails().box(clock->windowID);
    thumbnails().setActive(true);
    thumbnails().setVisible({*terminal, *clock});
    ASSERT_TRUE(QTest::qWaitFor([&] { return terminalBox->image() && clockBox->image(); }, kWaitMs));

    // Then each picture fits the window's content into the 211.2-point box
    const QSizeF box = ThumbnailService::targetSize(ThumbnailSize::medium);
    EXPECT_EQ(terminalBox->image()->size(),
              ThumbnailService::captureSize(clientSize(terminal->windowID), box));
    EXPECT_EQ(clockBox->image()->size(), ThumbnailService::captureSize(clientSize(clock->windowID), box));
    EXPECT_EQ(clockBox->image()->size(), QSize(211, 158));

    // And shows the windows' own pixels: mostly white, with dark text or clock hands
    for (const QImage& picture : {*terminalBox->image(), *clockBox->image()}) {
        const Tones counted = tones(picture);
        const int pixels = picture.width() * picture.height();
        EXPECT_GT(counted.light, pixels / 2);
        EXPECT_GT(counted.ink, 20);
        EXPECT_TRUE(isOpaque(picture));
    }
}

TEST_F(Thumbnails, PicturesFollowTheWindowAndStopWhenTheServiceIsOff) {
    // Given an xterm that prints a long line three seconds after it starts
    const auto terminal =
        start(QStringLiteral("xterm"),
              {QStringLiteral("-bg"), QStringLiteral("white"), QStringLiteral("-fg"), QStringLiteral("black"),
               QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
               QStringLiteral("sleep 3; echo XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX; "
                              "echo XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX; sleep 60")});
    ASSERT_TRUE(terminal);
    thumbnails().setActive(true);
    thumbnails().setVisible({*terminal});
    const std::optional<QImage> before = nextPicture(terminal->windowID);
    ASSERT_TRUE(before);
    const double inkBefore = tones(serverPicture(terminal->windowID)).ink;

    // When the text has appeared in the window and a refresh is asked for
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return tones(serverPicture(terminal->windowID)).ink > inkBefore + 200; }, 10000));
    thumbnails().refreshTick(0.5);
    const std::optional<QImage> after = nextPicture(terminal->windowID);

    // Then the new picture shows the text
    ASSERT_TRUE(after);
    EXPECT_GT(tones(*after).ink, tones(*before).ink + 50);

    // When the strip switches the service off, nothing is captured any more
    thumbnails().setActive(false);
    thumbnails().refreshTick(0.0);
    WindowInfo resized = *terminal;
    resized.frame.setWidth(resized.frame.width() + 50);
    thumbnails().setVisible({resized});
    EXPECT_FALSE(nextPicture(terminal->windowID, 1500));
}

TEST_F(Thumbnails, AHiddenOrVanishedWindowIsAFailedCapture) {
    // Given a listed and redirected xlogo
    const auto logo =
        start(QStringLiteral("xlogo"), {QStringLiteral("-geometry"), QStringLiteral("200x150")});
    ASSERT_TRUE(logo);
    X11WindowCapture capture(desktop().displayName().toLocal8Bit());
    const ContentAnswer listed = capture.listWindows();
    ASSERT_TRUE(listed.content && listed.content->find(logo->windowID));
    EXPECT_TRUE(capture.capture(logo->windowID, QSize(100, 75)).image);
    // (a picture enlarged for the hover preview is opaque too)
    const ImageAnswer enlarged = capture.capture(logo->windowID, QSize(800, 600));
    ASSERT_TRUE(enlarged.image);
    EXPECT_TRUE(isOpaque(*enlarged.image));

    // When it is minimised
    xcb_connection_t* c = desktop().connection();
    xcb_client_message_event_t iconify{};
    iconify.response_type = XCB_CLIENT_MESSAGE;
    iconify.format = 32;
    iconify.window = logo->windowID;
    iconify.type = desktop().atom("WM_CHANGE_STATE");
    iconify.data.data32[0] = 3; // IconicState
    xcb_send_event(c, 0, desktop().rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&iconify));
    xcb_flush(c);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasState(logo->windowID, "_NET_WM_STATE_HIDDEN"); }, kWaitMs));

    // Then it is no longer listed (the window manager marks it hidden a moment before it unmaps
    // it), and a capture fails without harm
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const ContentAnswer hidden = capture.listWindows();
            return hidden.content && !hidden.content->find(logo->windowID);
        },
        kWaitMs));
    const ImageAnswer minimised = capture.capture(logo->windowID, QSize(100, 75));
    EXPECT_FALSE(minimised.image);
    EXPECT_FALSE(minimised.error.isEmpty());

    // When the program quits, a capture of its window fails too
    m_started.back()->kill();
    m_started.back()->waitForFinished(5000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !isClient(logo->windowID); }, kWaitMs));
    EXPECT_FALSE(capture.capture(logo->windowID, QSize(100, 75)).image);
}

} // namespace

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
