// Panels on a desktop where no compositing manager runs (openbox as it ships): translucent
// windows are drawn opaque there, so each panel keeps its look by its window's shape. Screenshots
// of the screen show the desktop behind the toast's and strip's corners, around and inside the
// snap wheel's ring and inside the landing preview. A compositing manager started and stopped
// under the running product is followed.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "core/FloatingPanel.h"
#include "core/Settings.h"
#include "core/ToastController.h"
#include "platform/PanelWindowing.h"
#include "runtime/NotificationCenter.h"
#include "sidebar/SidebarController.h"
#include "snapping/RadialSnapController.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;
// The desktop behind every panel: a colour no panel paints.
constexpr QRgb desktopColour = 0xFF2E8B57;

class NoCompositor : public ::testing::Test {
protected:
    NoCompositor() {
        xcb_connection_t* c = desktop().connection();
        const uint32_t pixel = desktopColour & 0xFFFFFF;
        xcb_change_window_attributes(c, desktop().rootWindow(), XCB_CW_BACK_PIXEL, &pixel);
        xcb_clear_area(c, 0, desktop().rootWindow(), 0, 0, 0, 0);
        xcb_flush(c);
        m_observer = app.state().notifications().addObserver(
            Settings::didChangeNotification,
            [this](const Notification& note) { app.state().settingsChanged(note.object.toString()); });
    }

    // The whole screen as the server shows it once `shown` holds for it (or, failing that, at the
    // deadline), kept under the build folder.
    template <typename Shown> QImage screenshotWhen(const QString& name, Shown shown) {
        QImage shot;
        // A shot that never shows it fails the checks that follow.
        (void)QTest::qWaitFor(
            [&] {
                shot = serverPicture(desktop().rootWindow());
                return !shot.isNull() && shown(shot);
            },
            waitMs);
        const QString directory = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
        QDir().mkpath(directory);
        shot.save(directory + QStringLiteral("/no-compositor-") + name + QStringLiteral(".png"));
        return shot;
    }
    static bool showsDesktop(const QImage& shot, QPoint point) {
        return (shot.pixel(point) | 0xFF000000) == desktopColour;
    }

    LiveApp app;
    XTestInput input;
    FocusedPrograms programs;
    ObserverToken m_observer;
};

TEST_F(NoCompositor, PanelsAreCutToTheirOutlinesSoTheDesktopShowsAroundThem) {
    ASSERT_FALSE(app.platform().panelWindowing->isCompositing());

    // The toast: a capsule whose corners show the desktop
    app.state().toast().show(QStringLiteral("Saved \u201CMail\u201D"), QStringLiteral("square.stack"));
    FloatingPanel* toast = app.state().toast().panel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return toast && toast->isVisible(); }, waitMs));
    QRect frame = toast->geometry();
    const auto cutToOutline = [&frame](const QImage& shot) {
        return showsDesktop(shot, frame.topLeft() + QPoint(1, 1)) &&
               showsDesktop(shot, frame.bottomRight() - QPoint(1, 1)) && !showsDesktop(shot, frame.center());
    };
    QImage shot = screenshotWhen(QStringLiteral("toast"), [&](const QImage& shot) {
        frame = toast->geometry();
        return cutToOutline(shot);
    });
    EXPECT_TRUE(toast->isShapedToOutline());
    EXPECT_TRUE(showsDesktop(shot, frame.topLeft() + QPoint(1, 1)));
    EXPECT_TRUE(showsDesktop(shot, frame.bottomRight() - QPoint(1, 1)));
    EXPECT_FALSE(showsDesktop(shot, frame.center()));

    // The snap wheel's ring and the landing preview, while the trigger is held towards the left
    ASSERT_NE(programs.openLogo(app.platform()), XCB_WINDOW_NONE);
    app.settings().setRadialTrigger(RadialTrigger::rightControl);
    RadialSnapController& radial = app.state().radial();
    radial.start();
    const QPoint middle(600, 400);
    input.moveTo(middle);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QCursor::pos() == middle; }, waitMs));
    input.press(input.keycode(XKB_KEY_Control_R));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return radial.phase() == RadialSnapController::Phase::active; }, waitMs));
    input.moveTo(middle + QPoint(-80, 0));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return radial.isPreviewVisible() &&
                   radial.previewPanel()->geometry() == radial.previewTargetFrame();
        },
        waitMs));
    const QRect ring = radial.ringPanel()->geometry();
    // The preview as it is when the picture is taken: on a busy machine it may still be on its way.
    QRect preview;
    shot = screenshotWhen(QStringLiteral("wheel"), [&](const QImage& shot) {
        preview = radial.previewPanel()->geometry();
        return showsDesktop(shot, ring.center()) && !showsDesktop(shot, ring.center() + QPoint(35, 0)) &&
               preview == radial.previewTargetFrame() &&
               !showsDesktop(shot, QPoint(preview.left() + 1, preview.center().y()));
    });
    EXPECT_TRUE(showsDesktop(shot, ring.topLeft() + QPoint(2, 2))) << "a square around the ring";
    EXPECT_TRUE(showsDesktop(shot, ring.center())) << "the ring's hole";
    EXPECT_FALSE(showsDesktop(shot, ring.center() + QPoint(35, 0))) << "the ring's band";
    EXPECT_EQ(preview, radial.previewTargetFrame());
    EXPECT_FALSE(showsDesktop(shot, QPoint(preview.left() + 1, preview.center().y())))
        << "the preview's edge";
    // Inside the frame: the desktop, or the window that would move, never a fill over them
    const QPoint inside(preview.left() + 40, preview.bottom() - 40);
    EXPECT_TRUE(showsDesktop(shot, inside)) << "a fill inside the preview";
    // Escape first: the logo stays where it is, off the strip's corners
    input.press(input.keycode(XKB_KEY_Escape));
    input.release(input.keycode(XKB_KEY_Escape));
    input.release(input.keycode(XKB_KEY_Control_R));
    ASSERT_TRUE(QTest::qWaitFor([&] { return radial.phase() == RadialSnapController::Phase::idle; }, waitMs));

    // The strip: its rounded corners show the desktop
    SidebarController& strip = app.state().sidebar();
    strip.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.panel() && strip.panel()->isVisible(); }, waitMs));
    shot = screenshotWhen(QStringLiteral("strip"), [&](const QImage& shot) {
        frame = strip.panel()->geometry();
        return cutToOutline(shot) && showsDesktop(shot, QPoint(frame.left() + 1, frame.bottom() - 1));
    });
    EXPECT_TRUE(showsDesktop(shot, frame.topLeft() + QPoint(1, 1)));
    EXPECT_TRUE(showsDesktop(shot, QPoint(frame.left() + 1, frame.bottom() - 1)));
    EXPECT_FALSE(showsDesktop(shot, frame.center()));
}

TEST_F(NoCompositor, ACompositingManagerStartedAndStoppedIsFollowed) {
    PanelWindowing& windowing = *app.platform().panelWindowing;
    ASSERT_FALSE(windowing.isCompositing());
    app.state().toast().show(QStringLiteral("Hello"), QStringLiteral("square.stack"));
    FloatingPanel* toast = app.state().toast().panel();
    ASSERT_NE(toast, nullptr);
    EXPECT_TRUE(toast->isShapedToOutline());

    QProcess* compositor = desktop().launch(QStringLiteral("xcompmgr"), {});
    ASSERT_NE(compositor, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return windowing.isCompositing(); }, waitMs));
    // With a compositor the panel keeps its whole rectangle and its soft edges
    EXPECT_FALSE(toast->isShapedToOutline());

    compositor->terminate();
    compositor->waitForFinished(2000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !windowing.isCompositing(); }, waitMs));
    EXPECT_TRUE(toast->isShapedToOutline());
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
