// The X11 window layer against a real window manager and real X programs: what the window list
// and the window access layer read must agree with the X server's own answer, and what they
// write must land.
#include "support/IntegrationMain.h"
#include "support/ServerQueries.h"

#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11RunningApplications.h"
#include "platform/x11/X11WindowList.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>

using namespace corvane;
using namespace corvane::testing;
using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 5000;

QRectF frameRead(Accessibility& ax, const AXElement& element) {
    return QRectF(ax.position(element).value, ax.size(element).value);
}

// Programs started by one test and stopped at its end, so that every test sees only its own.
class X11Windows : public ::testing::Test {
protected:
    struct Program {
        QProcess* process = nullptr;
        ClientWindow client;
        int32_t pid() const { return static_cast<int32_t>(process->processId()); }
        AXElement element() const { return AXElement{pid(), client.window}; }
    };

    Program start(const QString& program, const QStringList& arguments) {
        Program started;
        started.process = desktop().launch(program, arguments);
        if (!started.process)
            return started;
        m_started.push_back(started.process);
        if (auto client = desktop().waitForClientWindow(started.process->processId(), 10s))
            started.client = *client;
        (void)waitUntilFramed(started.client.window, kWaitMs);
        return started;
    }

    void stop(QProcess* process) {
        const qint64 pid = process->processId();
        process->kill();
        process->waitForFinished(kWaitMs);
        (void)QTest::qWaitFor(
            [&] {
                for (const ClientWindow& client : desktop().clientWindows())
                    if (client.pid == pid)
                        return false;
                return true;
            },
            kWaitMs);
    }

    void TearDown() override {
        for (QProcess* process : m_started)
            if (process->state() != QProcess::NotRunning)
                stop(process);
    }

    std::vector<QProcess*> m_started;
    // Composed as the application composes them: both answer from one window state.
    std::shared_ptr<X11WindowState> state =
        std::make_shared<X11WindowState>(desktop().displayName().toLocal8Bit());
    X11Accessibility ax{state};
    X11WindowList list{state};
};

TEST_F(X11Windows, ListAndElementsMatchTheServersOwnAnswer) {
    // Given three real programs on the desktop
    const Program term = start(QStringLiteral("xterm"), {QStringLiteral("-T"), QStringLiteral("term here")});
    const Program clock =
        start(QStringLiteral("xclock"), {QStringLiteral("-geometry"), QStringLiteral("160x140")});
    const Program logo =
        start(QStringLiteral("xlogo"), {QStringLiteral("-geometry"), QStringLiteral("200x150")});
    ASSERT_NE(term.client.window, 0u);
    ASSERT_NE(clock.client.window, 0u);
    ASSERT_NE(logo.client.window, 0u);

    // When the window list is read
    const std::vector<WindowListEntry> entries = list.onScreenWindows();

    // Then it holds exactly the managed client windows, each with its process, title and frame
    std::vector<uint32_t> listed, clients;
    for (const WindowListEntry& entry : entries)
        listed.push_back(entry.id);
    for (const ClientWindow& client : desktop().clientWindows())
        clients.push_back(client.window);
    std::sort(listed.begin(), listed.end());
    std::sort(clients.begin(), clients.end());
    EXPECT_EQ(listed, clients);
    for (const Program* program : {&term, &clock, &logo}) {
        const auto entry = std::find_if(entries.begin(), entries.end(), [&](const WindowListEntry& e) {
            return e.id == program->client.window;
        });
        ASSERT_NE(entry, entries.end());
        EXPECT_EQ(entry->pid, program->pid());
        EXPECT_EQ(entry->title, program->client.title);
        EXPECT_EQ(entry->bounds, QRectF(serverFrame(program->client.window)));
        EXPECT_EQ(entry->layer, 0);
        EXPECT_EQ(entry->alpha, 1.0);
        EXPECT_FALSE(entry->owner.isEmpty());
    }

    // And the window access layer reads the same windows per process
    const AXRead<std::vector<AXElement>> logoWindows = ax.windows(logo.pid());
    ASSERT_TRUE(logoWindows.ok());
    ASSERT_EQ(logoWindows.value, std::vector<AXElement>{logo.element()});
    EXPECT_EQ(ax.windowNumber(logo.element()), logo.client.window);
    EXPECT_EQ(ax.title(logo.element()).value, QStringLiteral("xlogo"));
    EXPECT_EQ(ax.subrole(logo.element()).value, axStandardWindowSubrole);
    EXPECT_TRUE(ax.minimized(logo.element()).ok());
    EXPECT_FALSE(ax.minimized(logo.element()).value);
    EXPECT_EQ(frameRead(ax, term.element()), QRectF(serverFrame(term.client.window)));
    EXPECT_EQ(ax.mainWindow(clock.pid()).value, clock.element());
    EXPECT_EQ(ax.enhancedUserInterface(logo.pid()).status, AXStatus::failed);
}

TEST_F(X11Windows, FrontToBackOrderFollowsBringToFront) {
    // Given two programs that take the focus (xclock does not)
    const Program term = start(QStringLiteral("xterm"), {});
    const Program logo = start(QStringLiteral("xlogo"), {});

    for (const Program* front : {&term, &logo, &term}) {
        // When one is brought to the front
        ASSERT_TRUE(ax.bringToFront(front->pid(), front->client.window));

        // Then it becomes the active window and heads the window list
        EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == front->client.window; }, kWaitMs));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const auto entries = list.onScreenWindows();
                return !entries.empty() && entries.front().id == front->client.window;
            },
            kWaitMs));
        // The access layer reads what has arrived: on a loaded machine the active window's change
        // may come a moment after the list's own settled read.
        EXPECT_TRUE(QTest::qWaitFor([&] { return ax.focusedWindow(front->pid()).value == front->element(); },
                                    kWaitMs));
    }
    // And a process that does not own the active window has no focused window
    EXPECT_EQ(ax.focusedWindow(logo.pid()).status, AXStatus::noValue);
}

TEST_F(X11Windows, SettingAFrameLandsTheOuterFrameOnTheRequestedRectangle) {
    // Given windows without size increments, placed elsewhere
    const Program logo =
        start(QStringLiteral("xlogo"), {QStringLiteral("-geometry"), QStringLiteral("200x150+40+40")});
    const Program clock =
        start(QStringLiteral("xclock"), {QStringLiteral("-geometry"), QStringLiteral("150x150+500+300")});
    const QRect targets[] = {QRect(300, 200, 420, 310), QRect(10, 20, 250, 180)};

    for (const Program* program : {&logo, &clock}) {
        for (const QRect& target : targets) {
            // When the window list has just read the window (its facts are offered to the access
            // layer) and the frame is written, size, position and size apart or in one request
            list.onScreenWindows();
            if (program == &logo) {
                ASSERT_TRUE(ax.setSize(program->element(), target.size()));
                ASSERT_TRUE(ax.setPosition(program->element(), target.topLeft()));
                ASSERT_TRUE(ax.setSize(program->element(), target.size()));
            } else {
                ASSERT_TRUE(
                    ax.setFrame(program->element(), QPointF(target.topLeft()), QSizeF(target.size())));
            }

            // Then the outer frame, decorations included, is exactly there
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return serverFrame(program->client.window) == target &&
                           serverClientFrame(program->client.window) == target;
                },
                kWaitMs))
                << "frame is " << serverFrame(program->client.window).x() << ","
                << serverFrame(program->client.window).y() << " "
                << serverFrame(program->client.window).width() << "x"
                << serverFrame(program->client.window).height();
            // And reads back as written, not as the list read it before the write
            EXPECT_EQ(frameRead(ax, program->element()), QRectF(target));
        }
    }
}

TEST_F(X11Windows, TerminalLandsOnTheNearestSizeItsIncrementsAllow) {
    // Given a terminal, which resizes in character cells
    const Program term = start(QStringLiteral("xterm"), {});
    xcb_size_hints_t hints{};
    xcb_connection_t* c = desktop().connection();
    ASSERT_TRUE(xcb_icccm_get_wm_normal_hints_reply(c, xcb_icccm_get_wm_normal_hints(c, term.client.window),
                                                    &hints, nullptr));
    ASSERT_TRUE(hints.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC);
    const QRect target(120, 90, 517, 333);

    // When its frame is written
    ax.setSize(term.element(), target.size());
    ax.setPosition(term.element(), target.topLeft());
    ax.setSize(term.element(), target.size());

    // Then the origin is exact and the size is within one cell of the request
    ASSERT_TRUE(QTest::qWaitFor([&] { return serverFrame(term.client.window).topLeft() == target.topLeft(); },
                                kWaitMs));
    (void)QTest::qWaitFor(
        [&] {
            const QRect frame = serverFrame(term.client.window);
            return std::abs(frame.width() - target.width()) < hints.width_inc &&
                   std::abs(frame.height() - target.height()) < hints.height_inc;
        },
        kWaitMs);
    const QRect frame = serverFrame(term.client.window);
    EXPECT_LT(std::abs(frame.width() - target.width()), hints.width_inc);
    EXPECT_LT(std::abs(frame.height() - target.height()), hints.height_inc);
    EXPECT_EQ(frameRead(ax, term.element()), QRectF(frame));
}

TEST_F(X11Windows, MinimiseRestoreAndCloseDoWhatTheySay) {
    // Given a shown window
    const Program logo = start(QStringLiteral("xlogo"), {});
    const auto listed = [&] {
        for (const WindowListEntry& entry : list.onScreenWindows())
            if (entry.id == logo.client.window)
                return true;
        return false;
    };
    ASSERT_TRUE(listed());

    // When it is minimised, then the window manager hides it and the list leaves it out
    ASSERT_TRUE(ax.setMinimized(logo.element(), true));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return hasState(logo.client.window, "_NET_WM_STATE_HIDDEN"); }, kWaitMs));
    EXPECT_TRUE(ax.minimized(logo.element()).value);
    EXPECT_FALSE(listed());
    EXPECT_TRUE(isClient(logo.client.window));

    // When it is restored, then it is shown again
    ASSERT_TRUE(ax.setMinimized(logo.element(), false));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !hasState(logo.client.window, "_NET_WM_STATE_HIDDEN"); }, kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor(listed, kWaitMs));
    EXPECT_FALSE(ax.minimized(logo.element()).value);

    // When it is closed, then the program lets it go
    ASSERT_TRUE(ax.close(logo.element()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !isClient(logo.client.window); }, kWaitMs));
}

TEST_F(X11Windows, AWindowGoneBetweenListingAndReadingAnswersFailed) {
    // Given a window that was listed
    const Program logo = start(QStringLiteral("xlogo"), {});
    const AXRead<std::vector<AXElement>> listed = ax.windows(logo.pid());
    ASSERT_TRUE(listed.ok());
    ASSERT_EQ(listed.value.size(), 1u);
    const AXElement element = listed.value.front();

    // When its program is killed
    stop(logo.process);
    ASSERT_FALSE(desktop().waitForClientWindow(element.pid, 0ms).has_value());

    // Then every read answers failed and every write false, without a crash
    EXPECT_EQ(ax.position(element).status, AXStatus::failed);
    EXPECT_EQ(ax.size(element).status, AXStatus::failed);
    EXPECT_EQ(ax.title(element).status, AXStatus::failed);
    EXPECT_EQ(ax.minimized(element).status, AXStatus::failed);
    EXPECT_EQ(ax.subrole(element).status, AXStatus::failed);
    EXPECT_FALSE(ax.setSize(element, QSizeF(300, 200)));
    EXPECT_FALSE(ax.setPosition(element, QPointF(10, 10)));
    EXPECT_FALSE(ax.setMinimized(element, true));
    EXPECT_FALSE(ax.raise(element));
    EXPECT_FALSE(ax.close(element));
    EXPECT_FALSE(ax.bringToFront(element.pid, static_cast<uint32_t>(element.handle)));
    // And the process itself is no longer reachable
    EXPECT_EQ(ax.windows(element.pid).status, AXStatus::failed);
    // And the list does not show it
    for (const WindowListEntry& entry : list.onScreenWindows())
        EXPECT_NE(entry.id, element.handle);
}

TEST_F(X11Windows, RunningApplicationsFollowProgramsThatComeAndGo) {
    // Given the running applications watching the desktop
    X11RunningApplications apps(desktop().displayName().toLocal8Bit());
    QSignalSpy launched(&apps, &RunningApplications::applicationLaunched);
    QSignalSpy terminated(&apps, &RunningApplications::applicationTerminated);
    QSignalSpy activated(&apps, &RunningApplications::applicationActivated);

    // When a program starts
    const Program logo = start(QStringLiteral("xlogo"), {});

    // Then it is announced and described
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return launched.contains({QVariant::fromValue(logo.pid())}); }, kWaitMs));
    const std::optional<RunningApplication> app = apps.application(logo.pid());
    ASSERT_TRUE(app.has_value());
    EXPECT_EQ(app->bundleID, QStringLiteral("XLogo"));
    EXPECT_EQ(app->localizedName, QStringLiteral("XLogo"));
    EXPECT_TRUE(app->regular);
    EXPECT_FALSE(app->isHidden);
    const auto running = apps.runningApplications();
    EXPECT_TRUE(std::any_of(running.begin(), running.end(),
                            [&](const RunningApplication& a) { return a.pid == logo.pid(); }));

    // When it is brought to the front, then it is the frontmost application
    ax.bringToFront(logo.pid(), logo.client.window);
    EXPECT_TRUE(QTest::qWaitFor([&] { return apps.frontmostApplicationPID() == logo.pid(); }, kWaitMs));
    // What is kept from the notifications agrees at once, and names the program without asking.
    EXPECT_EQ(apps.reportedFrontmostApplicationPID(), logo.pid());
    // The front program is read afresh; its announcement follows on the event loop.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return activated.contains({QVariant::fromValue(logo.pid())}); }, kWaitMs));

    // When it quits, then it is announced gone and no longer described
    const int32_t pid = logo.pid(); // QProcess forgets it once the process is gone
    stop(logo.process);
    EXPECT_TRUE(QTest::qWaitFor([&] { return terminated.contains({QVariant::fromValue(pid)}); }, kWaitMs));
    EXPECT_FALSE(apps.application(pid).has_value());
}

} // namespace

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}

TEST_F(X11Windows, ChangesOthersMakeAreSeenAtTheNextRead) {
    // Given a window the state has read once, and the desktops numbered
    const Program logo =
        start(QStringLiteral("xlogo"), {QStringLiteral("-geometry"), QStringLiteral("200x150+40+40")});
    ASSERT_NE(logo.client.window, 0u);
    askWindowManager(desktop().rootWindow(), "_NET_NUMBER_OF_DESKTOPS", {2});
    const auto entryOf = [&]() -> std::optional<WindowListEntry> {
        for (const WindowListEntry& entry : list.onScreenWindows())
            if (entry.id == logo.client.window)
                return entry;
        return std::nullopt;
    };
    ASSERT_TRUE(entryOf());

    // When another client renames it, the next read has the new title
    const QByteArray title("renamed elsewhere");
    xcb_change_property(desktop().connection(), XCB_PROP_MODE_REPLACE, logo.client.window,
                        desktop().atom("_NET_WM_NAME"), desktop().atom("UTF8_STRING"), 8,
                        static_cast<uint32_t>(title.size()), title.constData());
    // (answered once the server has made the change: requests of two clients have no order)
    std::free(xcb_get_input_focus_reply(desktop().connection(), xcb_get_input_focus(desktop().connection()),
                                        nullptr));
    EXPECT_EQ(entryOf()->title, QString::fromUtf8(title));

    // And when a pager moves and resizes it, list and access layer read where it landed
    const QRect target(333, 222, 260, 190);
    askWindowManager(logo.client.window, "_NET_MOVERESIZE_WINDOW",
                     {1 | (0xfu << 8) | (2u << 12), uint32_t(target.x()), uint32_t(target.y()), 200, 150});
    ASSERT_TRUE(QTest::qWaitFor([&] { return serverFrame(logo.client.window).topLeft() == target.topLeft(); },
                                kWaitMs));
    // openbox places the frame first and resizes the client inside it after, and other clients'
    // requests may come between: the reads are to agree with the server once both have landed.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QRectF landed(serverFrame(logo.client.window));
            return entryOf()->bounds == landed && frameRead(ax, logo.element()) == landed;
        },
        kWaitMs));

    // And when it is sent to the other desktop, it leaves the list
    askWindowManager(logo.client.window, "_NET_WM_DESKTOP", {1, 2});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return windowProperty(logo.client.window, "_NET_WM_DESKTOP") == std::vector<uint32_t>{1}; },
        kWaitMs));
    EXPECT_FALSE(entryOf());

    // And when a pager shows that desktop, the list follows the shown desktop both ways
    const auto showDesktop = [&](int number) {
        QProcess* run =
            desktop().launch(QStringLiteral("wmctrl"), {QStringLiteral("-s"), QString::number(number)});
        ASSERT_NE(run, nullptr);
        ASSERT_TRUE(run->waitForFinished(kWaitMs));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return windowProperty(desktop().rootWindow(), "_NET_CURRENT_DESKTOP") ==
                       std::vector<uint32_t>{uint32_t(number)};
            },
            kWaitMs));
    };
    showDesktop(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return entryOf().has_value(); }, kWaitMs));
    showDesktop(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !entryOf(); }, kWaitMs));

    askWindowManager(logo.client.window, "_NET_WM_DESKTOP", {0, 2});
    EXPECT_TRUE(QTest::qWaitFor([&] { return entryOf().has_value(); }, kWaitMs));
}

TEST_F(X11Windows, FramesAreFollowedAgainAfterTheWindowManagerRestarts) {
    // Given a window whose frame the state follows
    const Program logo =
        start(QStringLiteral("xlogo"), {QStringLiteral("-geometry"), QStringLiteral("200x150+60+60")});
    ASSERT_NE(logo.client.window, 0u);
    // The state hears of the frame through events, which a loaded machine may deliver late.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return frameRead(ax, logo.element()) == QRectF(serverFrame(logo.client.window)); }, kWaitMs));

    // When the window manager restarts, putting every window in a new frame
    desktop().restartWindowManager(200ms);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return isClient(logo.client.window) && serverFrame(logo.client.window).isValid(); }, kWaitMs));

    // Then a move of the new frame is followed too
    const QRect target(410, 260, 260, 190);
    ASSERT_TRUE(ax.setFrame(logo.element(), QPointF(target.topLeft()), QSizeF(target.size())));
    ASSERT_TRUE(serverFrameLandsOn(logo.client.window, target));
    // The frame lands before openbox resizes the client inside it: the client's size follows
    // with its own notice.
    EXPECT_TRUE(QTest::qWaitFor([&] { return frameRead(ax, logo.element()) == QRectF(target); }, kWaitMs));
    const auto entries = list.onScreenWindows();
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [&](const WindowListEntry& e) { return e.id == logo.client.window; });
    ASSERT_NE(entry, entries.end());
    EXPECT_EQ(entry->bounds, QRectF(target));
}
