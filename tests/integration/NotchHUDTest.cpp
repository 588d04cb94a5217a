// The volume display on a real desktop: with a private sound server, the volume keys typed
// through XTest change the server's output and show the display; without one, the keys are left
// to other programs.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/SoundServer.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "core/FloatingPanel.h"
#include "core/Settings.h"
#include "platform/SoundOutput.h"
#include "platform/linux/PulseSoundOutput.h"
#include "system/NotchController.h"
#include "system/NotchHUDView.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;

// What the screen shows in `area`, in one request.
QImage screenArea(const QRect& area) {
    xcb_connection_t* c = desktop().connection();
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, desktop().rootWindow(),
                                          static_cast<int16_t>(area.x()), static_cast<int16_t>(area.y()),
                                          static_cast<uint16_t>(area.width()),
                                          static_cast<uint16_t>(area.height()), ~0u),
                            nullptr),
        &std::free);
    if (!reply)
        return {};
    return QImage(xcb_get_image_data(reply.get()), area.width(), area.height(), QImage::Format_RGB32).copy();
}

// The display's controller with the media keys taken, once the app's sound output answers.
NotchController& takeMediaKeys(LiveApp& app) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.platform().soundOutput->isAvailable(); }, waitMs));
    NotchController& notch = app.state().notch();
    notch.loadStepSettings();
    notch.installTap();
    EXPECT_TRUE(notch.isTapInstalled());
    return notch;
}

TEST(NotchHUD, VolumeKeysStepTheServersOutputAndShowTheDisplay) {
    SoundServer server;
    ASSERT_TRUE(server.isRunning());
    server.setVolumePercent(50);
    LiveApp app;
    NotchController& notch = takeMediaKeys(app);

    XTestInput typist;
    typist.type({XKB_KEY_XF86AudioRaiseVolume});
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.volumePercent() == 54; }, waitMs))
        << server.volumePercent();
    typist.type({XKB_KEY_XF86AudioMute});
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.isMuted(); }, waitMs));

    ASSERT_TRUE(QTest::qWaitFor([&] { return notch.hudPanel() && notch.hudPanel()->isVisible(); }, waitMs));
    // A black bar with white writing on the screen: both must come to be there.
    QImage picture;
    int black = 0, light = 0;
    const auto pictured = [&] {
        const QRect frame = notch.hudPanel()->geometry();
        picture = QGuiApplication::primaryScreen()
                      ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                      .toImage();
        black = light = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const int gray = qGray(picture.pixel(x, y));
                black += gray < 20;
                light += gray > 200;
            }
        return black > picture.width() * picture.height() / 2 && light > 20;
    };
    // Once the unfolding and the number's change have settled, for the picture to look at.
    const auto settled = [&] {
        const auto* view = qobject_cast<const NotchHUDView*>(notch.hudPanel()->contentView());
        return view && view->unfold() == 1 && view->numberChange() == 1 && view->symbolChange() == 1;
    };
    (void)QTest::qWaitFor([&] { return settled() && pictured(); }, waitMs);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(picture.save(folder + QStringLiteral("/notch-hud.png")));
    EXPECT_GT(black, picture.width() * picture.height() / 2);
    EXPECT_GT(light, 20);
}

TEST(NotchHUD, TwoHundredVolumeKeysInARowEachTakeOneStepFromTheLevelAsItIs) {
    SoundServer server;
    ASSERT_TRUE(server.isRunning());
    server.setVolumePercent(0);
    LiveApp app;
    app.settings().setVolumeStepPercent(1);
    takeMediaKeys(app);

    // A hundred raises as fast as they can be typed, then a hundred lowerings: one lost press
    // leaves the level short of the top or above the bottom.
    XTestInput typist;
    for (const auto& [key, end] :
         {std::pair{XKB_KEY_XF86AudioRaiseVolume, 100}, {XKB_KEY_XF86AudioLowerVolume, 0}}) {
        for (int press = 0; press < 100; ++press)
            typist.type({xcb_keysym_t(key)});
        EXPECT_TRUE(QTest::qWaitFor([&] { return server.volumePercent() == end; }, 4 * waitMs))
            << server.volumePercent() << " % after a hundred presses towards " << end << " %";
    }
    // A level another program sets (the output sounding again) is where the next key steps from.
    server.pactl({"set-sink-mute", "@DEFAULT_SINK@", "0"});
    server.setVolumePercent(40);
    typist.type({XKB_KEY_XF86AudioRaiseVolume});
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.volumePercent() == 41; }, waitMs))
        << server.volumePercent();
}

TEST(NotchHUD, EveryFrameOfTheFirstShowIsCutToTheBar) {
    // Given a white window behind the display's place, and a display never shown before
    LiveApp app;
    FocusedPrograms programs;
    const xcb_window_t white =
        programs.open(app.platform(), QStringLiteral("xterm"),
                      {QStringLiteral("-bg"), QStringLiteral("white"), QStringLiteral("-fg"),
                       QStringLiteral("white"), QStringLiteral("-cr"), QStringLiteral("white")});
    ASSERT_NE(white, XCB_WINDOW_NONE);
    askWindowManager(white, "_NET_WM_STATE", {1, desktop().atom("_NET_WM_STATE_FULLSCREEN"), 0, 2});
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(desktop().connection())).data;
    const QRect topMiddle(screen->width_in_pixels / 2, 2, 1, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return qGray(screenArea(topMiddle).pixel(0, 0)) > 200; }, waitMs));
    NotchController& notch = app.state().notch();

    // When it shows, read every few milliseconds while it unfolds
    notch.showHUD(NotchModel::Kind::volume, false, 0.5f, Seconds(60));
    const QRect frame = notch.hudPanel()->geometry();
    QElapsedTimer clock;
    clock.start();
    int frames = 0, stray = 0;
    QImage first;
    while (clock.elapsed() < 400) {
        QCoreApplication::processEvents();
        const QImage picture = screenArea(frame);
        ++frames;
        // Then the bar is centred in its window at every stage: a column with a dark pixel has
        // its mirror image, within a pixel
        std::vector<bool> dark(picture.width(), false);
        for (int x = 0; x < picture.width(); ++x)
            for (int y = 0; y < picture.height() && !dark[x]; ++y)
                dark[x] = qGray(picture.pixel(x, y)) < 20;
        for (int x = 1; x + 1 < picture.width(); ++x) {
            const int mirror = picture.width() - 1 - x;
            if (dark[x] && !dark[mirror - 1] && !dark[mirror] && !dark[mirror + 1] && stray++ == 0)
                first = picture;
        }
    }
    // Enough pictures to see it unfold (a busy machine takes fewer in the same time).
    EXPECT_GE(frames, 5);
    if (!first.isNull())
        first.save(QCoreApplication::applicationDirPath() + QStringLiteral("/notch-hud-stray-frame.png"));
    EXPECT_EQ(stray, 0) << "dark pixels outside the bar";
}

TEST(NotchHUD, TheVolumeKeysComeBackWithARestartedSoundServer) {
    SoundServer server;
    ASSERT_TRUE(server.isRunning());
    server.setVolumePercent(50);
    LiveApp app;
    // Without a backlight no brightness key is held while the sound server is away.
    ASSERT_FALSE(app.platform().backlight->isAvailable());
    NotchController& notch = takeMediaKeys(app);
    XTestInput typist;
    typist.type({XKB_KEY_XF86AudioRaiseVolume});
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.volumePercent() == 54; }, waitMs))
        << server.volumePercent();

    server.kill();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notch.isTapInstalled(); }, waitMs));
    EXPECT_TRUE(isFreeOnServer(typist.keycode(XKB_KEY_XF86AudioRaiseVolume)));
    ASSERT_TRUE(server.start());
    server.setVolumePercent(50);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            typist.type({XKB_KEY_XF86AudioRaiseVolume});
            return QTest::qWaitFor([&] { return server.volumePercent() > 50; }, 200);
        },
        4 * waitMs))
        << server.volumePercent();
}

TEST(NotchHUD, TheLevelIsSetOnTheOutputThatIsTheDefaultNowHoweverReadsFallAroundItsMoves) {
    SoundServer server;
    ASSERT_TRUE(server.isRunning());
    server.setVolumePercent(50);
    PulseSoundOutput output;
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.volume().has_value(); }, waitMs));

    // When another output becomes the default
    server.pactl({"load-module", "module-null-sink", "sink_name=second"});
    server.pactl({"set-sink-volume", "second", "20%"});
    server.pactl({"set-default-sink", "second"});

    // Then the output is read and set there, and the former default is left alone
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return std::abs(output.volume().value_or(-1) - 0.2f) < 0.01f; }, waitMs));
    EXPECT_TRUE(output.setVolume(0.3f));
    EXPECT_EQ(server.volumePercent(), 30);
    server.pactl({"set-default-sink", "null"});
    EXPECT_EQ(server.volumePercent(), 50);

    // Reads that never stop, as the volume keys' display may make, so that some are under way
    // each time the default moves
    std::atomic<bool> stop{false};
    std::atomic<int> read{-1};
    std::thread reader([&] {
        while (!stop) {
            const std::optional<float> level = output.volume();
            read = level ? static_cast<int>(std::lround(*level * 100)) : -1;
        }
    });
    // Each move of the default is followed, however the reads fall around it
    int missed = 0;
    for (int move = 0; move < 150; ++move) {
        const bool toSecond = move % 2 == 0;
        server.pactl({"set-default-sink", toSecond ? "second" : "null"});
        const int level = toSecond ? 30 : 50;
        if (!QTest::qWaitFor([&] { return read == level; }, waitMs))
            ++missed;
    }
    stop = true;
    reader.join();
    EXPECT_EQ(missed, 0);
}

TEST(NotchHUD, WithoutASoundServerTheVolumeKeysStayWithOthers) {
    qunsetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/native");
    LiveApp app;
    NotchController& notch = app.state().notch();
    notch.installTap();
    EXPECT_FALSE(notch.isTapInstalled());
    XTestInput typist;
    EXPECT_TRUE(isFreeOnServer(typist.keycode(XKB_KEY_XF86AudioRaiseVolume)));
    EXPECT_TRUE(isFreeOnServer(typist.keycode(XKB_KEY_XF86AudioMute)));
    qunsetenv("PULSE_SERVER");
}

TEST(NotchHUD, WithoutASoundServerTheOutputWaitsForItsSocketAndConnectsWhenItComes) {
    SoundServer server(false);
    qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:") + server.socketPath()));
    PulseSoundOutput output(std::chrono::milliseconds(20));
    bool told = false;
    output.onAvailabilityChanged([&](bool available) { told = available; });
    // No client is built again while nothing listens, however short the pace of tries
    QTest::qWait(400);
    EXPECT_EQ(output.connectionAttempts(), 1);
    EXPECT_FALSE(output.isAvailable());
    // The server starts (its socket's folder made with it): the output connects and says so
    ASSERT_TRUE(server.start());
    EXPECT_TRUE(QTest::qWaitFor([&] { return told && output.isAvailable(); }, waitMs));
    qunsetenv("PULSE_SERVER");
}

TEST(NotchHUD, ASoundServerSocketThatRefusesIsTriedAgainAtItsPaceAndNoFaster) {
    // A socket left behind by a server that crashed: there, but nothing listens
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("native")));
    const int left = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(),
                std::min<std::size_t>(path.size(), sizeof(address.sun_path) - 1));
    ASSERT_EQ(::bind(left, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(left);
    qputenv("PULSE_SERVER", "unix:" + path);
    // A failed connect reports itself twice; were each report to ask for a try of its own, the
    // tries would double every round.
    QElapsedTimer clock;
    clock.start();
    PulseSoundOutput output(std::chrono::milliseconds(20));
    // The pace of the tries is what is checked: count them over a time of at least 400 ms, which
    // a busy machine may stretch (it only slows the tries).
    QTest::qWait(400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return output.connectionAttempts() >= 3; }, waitMs));
    EXPECT_FALSE(output.isAvailable());
    EXPECT_LE(output.connectionAttempts(), clock.elapsed() / 20 + 2);
    qunsetenv("PULSE_SERVER");
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
