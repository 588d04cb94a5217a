// Snapping real windows on the virtual desktop: every snap action, size cycling, restore and
// tiling land the windows' outer frames exactly where the frame engines say.
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"

#include "core/ScreenHelpers.h"
#include "snapping/LayoutFrames.h"
#include "snapping/SnapController.h"
#include "windows/AXWindowService.h"

#include <QMutex>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;

class Snapping : public ::testing::Test {
protected:
    ~Snapping() override {
        for (QProcess* program : m_programs)
            program->kill();
        for (QProcess* program : m_programs)
            program->waitForFinished(2000);
    }

    // A window without size increments, brought to the front; or another program's window.
    xcb_window_t openWindow(const QString& geometry = QStringLiteral("300x200+200+150"),
                            const QString& name = QStringLiteral("xlogo")) {
        QProcess* program = desktop().launch(name, {QStringLiteral("-geometry"), geometry});
        EXPECT_NE(program, nullptr);
        if (!program)
            return XCB_WINDOW_NONE;
        m_programs.push_back(program);
        // Generous: a loaded machine may take a while to start a program.
        const auto client = desktop().waitForClientWindow(program->processId(), std::chrono::seconds(30));
        EXPECT_TRUE(client.has_value());
        if (!client)
            return XCB_WINDOW_NONE;
        bringToFront(*client);
        m_pids[client->window] = static_cast<int32_t>(client->pid);
        return client->window;
    }
    void bringToFront(const ClientWindow& client) {
        app.platform().accessibility->bringToFront(static_cast<int32_t>(client.pid), client.window);
        EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == client.window; }, waitMs));
    }
    QRectF area() {
        const auto screen = screenUnderMouse(*app.platform().screens);
        return screen ? app.state().usableFrame(*screen) : QRectF();
    }
    // The frame as the product reads it, through its own window access.
    QRect productFrame(xcb_window_t window) {
        AXWindowService& ax = AXWindowService::shared();
        const int32_t pid = m_pids[window];
        auto read = [&ax, pid, window]() -> std::optional<QRectF> {
            const auto element = ax.element(pid, window);
            return element ? ax.readFrame(*element) : std::nullopt;
        };
        auto readOnQueue = [&ax, &read]() -> QCoro::Task<std::optional<QRectF>> {
            co_return co_await ax.run(read);
        };
        const std::optional<QRectF> frame = app.await(readOnQueue());
        return frame ? frame->toRect() : QRect();
    }
    // The window manager moves the frame first and the program's window after it: a move has
    // landed once the server and the product both see the new frame.
    bool landsOn(xcb_window_t window, const QRect& expected) {
        const bool landed = QTest::qWaitFor(
            [&] { return serverFrame(window) == expected && productFrame(window) == expected; }, waitMs);
        if (!landed)
            ADD_FAILURE() << "frame " << describe(serverFrame(window)).toStdString() << ", expected "
                          << describe(expected).toStdString();
        return landed;
    }

    // Has the window manager add `states` to the window's, and waits until it has and has
    // resized the frame to go with them.
    void addStates(xcb_window_t window, std::vector<const char*> states) {
        const QRect before = serverFrame(window);
        std::vector<uint32_t> data{1, 0, 0, 2};
        for (size_t i = 0; i < states.size() && i < 2; ++i)
            data[i + 1] = desktop().atom(states[i]);
        askWindowManager(window, "_NET_WM_STATE", data);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return std::all_of(states.begin(), states.end(),
                                   [&](const char* s) { return hasState(window, s); }) &&
                       serverFrame(window) != before;
            },
            waitMs));
    }
    bool isMaximised(xcb_window_t window) {
        return hasState(window, "_NET_WM_STATE_MAXIMIZED_VERT") ||
               hasState(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
    }
    // Writes a frame as every placement does, and whether the product found it taken.
    bool setFrame(xcb_window_t window, const QRect& frame) {
        return app.await(AXWindowService::shared().setFrame(m_pids[window], window, QRectF(frame)));
    }

    LiveApp app;
    std::vector<QProcess*> m_programs;
    std::map<xcb_window_t, int32_t> m_pids;
};

TEST_F(Snapping, ASnapWithNoWindowToTargetBeepsAndMovesNothing) {
    // Nothing is active before any window opens.
    ASSERT_EQ(activeWindow(), 0u);
    app.await(app.state().snap().snap(SnapAction::leftHalf));
    app.await(app.state().snap().restore());
    EXPECT_EQ(app.beeps(), 2);
}

TEST_F(Snapping, EverySnapActionLandsTheOuterFrameExactly) {
    app.settings().setCycleSnapSizes(false);
    const xcb_window_t window = openWindow();
    ASSERT_NE(window, XCB_WINDOW_NONE);
    const double gap = app.settings().layoutGap();

    for (SnapAction action : allCases<SnapAction>()) {
        SCOPED_TRACE(rawValue(action).toStdString());
        const QRect before = serverFrame(window);
        const QRect expected = frame(action, area(), gap, QRectF(before)).toRect();
        app.await(app.state().snap().snap(action));
        landsOn(window, expected);
    }
}

TEST_F(Snapping, LeftHalfCyclesAndRestoreReturnsTheFrameFromBeforeTheFirstSnap) {
    const xcb_window_t window = openWindow(QStringLiteral("320x240+300+200"));
    ASSERT_NE(window, XCB_WINDOW_NONE);
    const QRect original = serverFrame(window);
    const QRectF a = area();
    const double gap = app.settings().layoutGap();

    for (SnapAction step : {SnapAction::leftHalf, SnapAction::leftTwoThirds, SnapAction::leftThird}) {
        app.await(app.state().snap().snap(SnapAction::leftHalf));
        landsOn(window, frame(step, a, gap).toRect());
    }
    app.await(app.state().snap().restore());
    landsOn(window, original);
    EXPECT_EQ(app.beeps(), 0);
}

TEST_F(Snapping, ATerminalSizingInCharacterStepsCyclesThroughEverySize) {
    // xterm settles a little short of any frame asked for, by up to one character cell
    const xcb_window_t window = openWindow(QStringLiteral("80x24+300+200"), QStringLiteral("xterm"));
    ASSERT_NE(window, XCB_WINDOW_NONE);
    const QRectF a = area();
    const double gap = app.settings().layoutGap();
    auto near = [](const QRect& frame, const QRect& step) {
        return std::abs(frame.x() - step.x()) <= 2 && std::abs(frame.y() - step.y()) <= 2 &&
               std::abs(frame.width() - step.width()) < 20 && std::abs(frame.height() - step.height()) < 30;
    };

    for (SnapAction step :
         {SnapAction::leftHalf, SnapAction::leftTwoThirds, SnapAction::leftThird, SnapAction::leftHalf}) {
        SCOPED_TRACE(rawValue(step).toStdString());
        app.await(app.state().snap().snap(SnapAction::leftHalf));
        const QRect expected = frame(step, a, gap).toRect();
        EXPECT_TRUE(QTest::qWaitFor([&] { return near(serverFrame(window), expected); }, waitMs))
            << describe(serverFrame(window)).toStdString() << ", expected "
            << describe(expected).toStdString();
        // The product reads back where the window settled, its own delay after a placement; the
        // next press goes by that reading.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return app.state().snap().settledFrame(window).has_value(); }, waitMs));
    }
}

TEST_F(Snapping, AWindowMaximisedInEitherDirectionTakesEveryPlacement) {
    app.settings().setCycleSnapSizes(false);
    const xcb_window_t window = openWindow();
    ASSERT_NE(window, XCB_WINDOW_NONE);
    const QRectF a = area();
    const double gap = app.settings().layoutGap();
    const char* vertically = "_NET_WM_STATE_MAXIMIZED_VERT";
    const char* horizontally = "_NET_WM_STATE_MAXIMIZED_HORZ";

    // A snap key
    addStates(window, {vertically, horizontally});
    app.await(app.state().snap().snap(SnapAction::leftHalf));
    landsOn(window, frame(SnapAction::leftHalf, a, gap).toRect());
    EXPECT_FALSE(isMaximised(window));

    // The wheel's placement
    addStates(window, {vertically});
    const auto target = app.await(app.state().snap().resolveTarget());
    ASSERT_TRUE(target.has_value());
    app.await(app.state().snap().place(*target, frame(SnapAction::bottomRight, a, gap)));
    landsOn(window, frame(SnapAction::bottomRight, a, gap).toRect());
    EXPECT_FALSE(isMaximised(window));

    // Tiling
    addStates(window, {horizontally});
    app.await(app.state().snap().tileScreen(LayoutPreset::thirds));
    landsOn(window, frames(LayoutPreset::thirds, 1, a, gap).front().toRect());
    EXPECT_FALSE(isMaximised(window));

    // What every placement writes through answers that the frame was taken, once it was
    addStates(window, {vertically, horizontally});
    const QRect asked = frame(SnapAction::topLeft, a, gap).toRect();
    EXPECT_TRUE(setFrame(window, asked));
    EXPECT_EQ(productFrame(window), asked);
    EXPECT_FALSE(isMaximised(window));
}

TEST_F(Snapping, AMaximisedTerminalSnapsToTheNearestSizeItsCellsAllow) {
    const xcb_window_t window = openWindow(QStringLiteral("80x24+300+200"), QStringLiteral("xterm"));
    ASSERT_NE(window, XCB_WINDOW_NONE);
    app.settings().setCycleSnapSizes(false);
    const QRectF a = area();
    const double gap = app.settings().layoutGap();
    // Short of the frame asked for by less than a character cell
    auto near = [](const QRect& frame, const QRect& asked) {
        return frame.topLeft() == asked.topLeft() && frame.width() <= asked.width() &&
               frame.width() > asked.width() - 20 && frame.height() <= asked.height() &&
               frame.height() > asked.height() - 30;
    };

    for (SnapAction action : {SnapAction::leftHalf, SnapAction::rightHalf}) {
        SCOPED_TRACE(rawValue(action).toStdString());
        addStates(window, {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"});
        app.await(app.state().snap().snap(action));
        const QRect asked = frame(action, a, gap).toRect();
        EXPECT_TRUE(QTest::qWaitFor([&] { return near(serverFrame(window), asked); }, waitMs))
            << describe(serverFrame(window)).toStdString() << ", asked " << describe(asked).toStdString();
    }

    // Settling on its nearest size is taking the frame; a size below the least it takes is not
    addStates(window, {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"});
    const QRect asked = frame(SnapAction::topRight, a, gap).toRect();
    EXPECT_TRUE(setFrame(window, asked));
    EXPECT_TRUE(near(productFrame(window), asked)) << describe(productFrame(window)).toStdString();
    EXPECT_FALSE(setFrame(window, QRect(asked.topLeft(), QSize(8, 8))));
}

QMutex loggedMutex;
QStringList logged;

void keepMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    const QMutexLocker lock(&loggedMutex);
    logged << message;
}

TEST_F(Snapping, AFullScreenWindowKeepsTheScreenAndTheFrameIsToldRefused) {
    const xcb_window_t window = openWindow();
    ASSERT_NE(window, XCB_WINDOW_NONE);
    addStates(window, {"_NET_WM_STATE_FULLSCREEN"});
    const QRect fullScreen = serverFrame(window);

    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    const bool taken = setFrame(window, frame(SnapAction::leftHalf, area(), 8).toRect());
    qInstallMessageHandler(previous);

    EXPECT_FALSE(taken);
    EXPECT_TRUE(logged.contains(
        QStringLiteral("App %1 refused resize (Electron/Java apps sometimes do)").arg(m_pids[window])))
        << logged.join('\n').toStdString();
    EXPECT_TRUE(hasState(window, "_NET_WM_STATE_FULLSCREEN"));
    EXPECT_EQ(serverFrame(window), fullScreen);
}

TEST_F(Snapping, TilingPlacesEveryWindowWhereTheEngineSays) {
    const QRectF a = area();
    const double gap = app.settings().layoutGap();
    std::vector<xcb_window_t> windows;
    for (int count : {1, 2, 3, 4, 7}) {
        while (static_cast<int>(windows.size()) < count)
            windows.push_back(openWindow(QStringLiteral("200x150+%1+%2")
                                             .arg(100 + 60 * windows.size())
                                             .arg(100 + 40 * windows.size())));
        for (LayoutPreset preset : allCases<LayoutPreset>()) {
            SCOPED_TRACE(QStringLiteral("%1 x %2").arg(rawValue(preset)).arg(count).toStdString());
            app.await(app.state().snap().tileScreen(preset));
            std::vector<QRect> expected;
            for (const QRectF& f : frames(preset, count, a, gap))
                expected.push_back(f.toRect());
            auto sorted = [](std::vector<QRect> rects) {
                std::sort(rects.begin(), rects.end(), [](const QRect& l, const QRect& r) {
                    return std::make_tuple(l.x(), l.y(), l.width(), l.height()) <
                           std::make_tuple(r.x(), r.y(), r.width(), r.height());
                });
                return rects;
            };
            const bool placed = QTest::qWaitFor(
                [&] {
                    std::vector<QRect> actual;
                    for (xcb_window_t w : windows)
                        actual.push_back(serverFrame(w));
                    return sorted(actual) == sorted(expected);
                },
                waitMs);
            EXPECT_TRUE(placed);
        }
    }
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
