#include "support/AppFixture.h"

#include "core/FloatingPanel.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeRunningApplications.h"
#include "platform/fake/FakeWindowList.h"
#include "snapping/RadialDirection.h"
#include "snapping/RadialSnapController.h"
#include "support/FakeWindows.h"

#include <cmath>
#include <numbers>

namespace corvane::testing {
namespace {

using Scope = FakeEventMonitors::Scope;
using Phase = RadialSnapController::Phase;

const ScreenInfo display{"DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 0, 1920, 1080), 1u, std::nullopt};
const ScreenInfo sideDisplay{"DP-2", QRectF(1920, 0, 1280, 1024), QRectF(1920, 0, 1280, 1024), 2u,
                             std::nullopt};
const QPointF start(500, 500);
const QRectF windowFrame(300, 200, 640, 480);

constexpr qint64 leftOption = 58, rightOption = 61, leftShift = 56, escape = 53, letterA = 0;

// 80 points from the centre towards a sector, in screen coordinates (y down).
QPointF towards(RadialDirection direction, double distance = 80) {
    const double angle = RadialModel::sectorAngle(direction) * std::numbers::pi / 180;
    return QPointF(distance * std::cos(angle), -distance * std::sin(angle));
}

class RadialSnapControllerTest : public AppFixture {
protected:
    RadialSnapControllerTest() {
        platform->fakePermissions->accessibility = true;
        platform->fakeScreens->setScreens({display, sideDisplay});
        platform->fakeScreens->setPointer(start);
        platform->defaults->set("layoutGap", 0.0);
        buildState();
        addWindow(100, 1, windowFrame);
        radial().start();
    }

    void addWindow(int32_t pid, uint32_t id, QRectF frame, bool focused = true) {
        corvane::testing::addWindow(*platform, {.pid = pid,
                                                .id = id,
                                                .frame = frame,
                                                .app = QStringLiteral("App%1").arg(pid),
                                                .focused = focused});
    }

    RadialSnapController& radial() { return state->radial(); }
    FakeEventMonitors& input() { return *platform->fakeEventMonitors; }
    QRectF frameOf(int32_t pid = 100, uint32_t id = 1) {
        return platform->fakeAccessibility->window(pid, id)->frame;
    }
    QRectF area() { return state->usableFrame(display); }
    bool ringShows() { return radial().ringPanel() && radial().ringPanel()->isVisible(); }

    // Holds the trigger (fn by default) at `at` until the ring is up.
    void bringUpRing(QPointF at = start, qint64 trigger = functionKeyCode) {
        input().movePointer(at);
        input().pressKey(trigger);
        scheduler.advance(Seconds(0.15));
        ASSERT_EQ(radial().phase(), Phase::active);
    }
    void snapTowards(QPointF offset) {
        bringUpRing();
        input().movePointer(start + offset);
        input().releaseKey(functionKeyCode);
    }
};

TEST_F(RadialSnapControllerTest, ATapShowsNothingAndPlacesNothing) {
    input().pressKey(functionKeyCode);
    EXPECT_EQ(radial().phase(), Phase::armed);
    EXPECT_EQ(radial().origin(), start);
    EXPECT_TRUE(input().isWatched(Scope::global, EventMask::mouseMoved));

    scheduler.advance(Seconds(0.1));
    input().releaseKey(functionKeyCode);
    scheduler.advance(Seconds(1));

    EXPECT_EQ(radial().phase(), Phase::idle);
    EXPECT_FALSE(input().isWatched(Scope::global, EventMask::mouseMoved));
    EXPECT_FALSE(ringShows());
    EXPECT_TRUE(platform->fakeAccessibility->writes().empty());
}

TEST_F(RadialSnapControllerTest, TheRingComesUpAfterTheHoldDelayOrOnceThePointerMovesMoreThanSixPoints) {
    // Held still: up when the delay has passed, centred on the pointer.
    input().pressKey(functionKeyCode);
    scheduler.advance(Seconds(0.14));
    EXPECT_EQ(radial().phase(), Phase::armed);
    scheduler.advance(Seconds(0.01));
    EXPECT_EQ(radial().phase(), Phase::active);
    EXPECT_TRUE(ringShows());
    EXPECT_EQ(radial().ringPanel()->geometry(), QRect(434, 434, 132, 132));
    input().tapKey(escape);
    input().releaseKey(functionKeyCode);

    // Moved: exactly six points is not enough, anything beyond is, at once; the ring grows in
    // after this turn.
    input().pressKey(functionKeyCode);
    input().movePointer(start + QPointF(6, 0));
    EXPECT_EQ(radial().phase(), Phase::armed);
    input().movePointer(start + QPointF(6, 0.5), Scope::local);
    EXPECT_EQ(radial().phase(), Phase::active);
    EXPECT_FALSE(radial().model().appeared());
    scheduler.runDue();
    EXPECT_TRUE(radial().model().appeared());
    input().tapKey(escape);
    input().releaseKey(functionKeyCode);

    // Without a delay: on the next turn.
    settings->setRadialHoldDelay(0);
    input().movePointer(start);
    input().pressKey(functionKeyCode);
    EXPECT_EQ(radial().phase(), Phase::armed);
    scheduler.runDue();
    EXPECT_EQ(radial().phase(), Phase::active);
}

TEST_F(RadialSnapControllerTest, ReleasingOnASectorSnapsTheFocusedWindowToThatSectorsFrame) {
    for (RadialDirection direction : allCases<RadialDirection>()) {
        if (direction == RadialDirection::center)
            continue;
        SCOPED_TRACE(rawValue(direction).toStdString());
        snapTowards(towards(direction));
        EXPECT_EQ(frameOf(), frame(*snapAction(direction), area(), 0));
        EXPECT_EQ(radial().phase(), Phase::idle);
        EXPECT_FALSE(input().isWatched(Scope::global, EventMask::mouseMoved));
    }
}

TEST_F(RadialSnapControllerTest, ReleasingInTheDeadZoneAppliesTheCentreAction) {
    // Fourteen points out is still the centre.
    snapTowards(QPointF(14, 0));
    EXPECT_EQ(frameOf(), area());

    settings->setRadialCenterAction(RadialCenterAction::almostMaximize);
    snapTowards(QPointF(0, -10));
    EXPECT_EQ(frameOf(), frame(SnapAction::almostMaximize, area(), 0));

    platform->fakeAccessibility->clearWrites();
    settings->setRadialCenterAction(RadialCenterAction::none);
    bringUpRing();
    EXPECT_FALSE(radial().model().centerHasAction());
    EXPECT_FALSE(radial().isPreviewVisible());
    input().releaseKey(functionKeyCode);
    EXPECT_TRUE(platform->fakeAccessibility->writes().empty());
}

TEST_F(RadialSnapControllerTest, AnyKeyCancelsWhileArmedButOnlyEscapeOnceTheRingIsUp) {
    input().pressKey(functionKeyCode);
    input().tapKey(letterA, Scope::local);
    EXPECT_EQ(radial().phase(), Phase::idle);
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(ringShows());
    input().releaseKey(functionKeyCode);

    bringUpRing();
    input().movePointer(start + towards(RadialDirection::left));
    input().tapKey(letterA);
    EXPECT_EQ(radial().phase(), Phase::active);
    input().tapKey(escape);
    EXPECT_EQ(radial().phase(), Phase::idle);
    EXPECT_FALSE(input().isWatched(Scope::global, EventMask::mouseMoved));
    input().releaseKey(functionKeyCode);
    animator.completeAll();

    EXPECT_FALSE(ringShows());
    EXPECT_EQ(frameOf(), windowFrame);
}

TEST_F(RadialSnapControllerTest, ARightHandTriggerFollowsItsOwnKeyAndTheFunctionTriggerItsFlagAlone) {
    settings->setRadialTrigger(RadialTrigger::rightOption);
    radial().start();
    EXPECT_FALSE(input().isFunctionKeyReserved());

    input().pressKey(leftOption);
    EXPECT_EQ(radial().phase(), Phase::idle);
    input().pressKey(rightOption);
    EXPECT_EQ(radial().phase(), Phase::armed);
    scheduler.advance(Seconds(0.15));
    // Releasing the right-hand key while the left-hand one is held leaves the option flag set.
    input().releaseKey(rightOption);
    EXPECT_EQ(radial().phase(), Phase::active);
    input().releaseKey(leftOption);
    EXPECT_EQ(radial().phase(), Phase::active);
    input().tapKey(escape);

    settings->setRadialTrigger(RadialTrigger::fn);
    radial().start();
    EXPECT_TRUE(input().isFunctionKeyReserved());
    bringUpRing();
    input().movePointer(start + towards(RadialDirection::right));
    input().tapKey(leftShift);
    EXPECT_EQ(radial().phase(), Phase::active);
    input().releaseKey(functionKeyCode);
    EXPECT_EQ(frameOf(), frame(SnapAction::rightHalf, area(), 0));
}

TEST_F(RadialSnapControllerTest, ANewGestureDuringTheRingsFadeKeepsItsRing) {
    snapTowards(towards(RadialDirection::left));
    ASSERT_FALSE(animator.pending().empty());

    bringUpRing();
    animator.completeAll();

    EXPECT_TRUE(ringShows());
    EXPECT_EQ(radial().ringPanel()->alphaValue(), 1.0);
    scheduler.runDue();
    EXPECT_TRUE(radial().model().appeared());

    input().movePointer(start + towards(RadialDirection::top));
    input().releaseKey(functionKeyCode);
    animator.completeAll();
    EXPECT_FALSE(ringShows());
    EXPECT_EQ(frameOf(), frame(SnapAction::topHalf, area(), 0));
}

TEST_F(RadialSnapControllerTest, ReleasingBeforeTheTargetIsKnownPlacesItOnceItIs) {
    axQueue.setMode(ManualExecutor::Mode::stepped);
    snapTowards(towards(RadialDirection::bottomLeft));
    EXPECT_EQ(frameOf(), windowFrame);

    axQueue.drain();
    EXPECT_EQ(frameOf(), frame(SnapAction::bottomLeft, area(), 0));
}

TEST_F(RadialSnapControllerTest, UnderTheCursorMeansTheWindowThereWhenTheRingCameUp) {
    settings->setRadialTarget(RadialTarget::underCursor);
    addWindow(200, 2, QRectF(1200, 600, 400, 300), false);

    bringUpRing(QPointF(1300, 700));
    input().movePointer(QPointF(1300, 700) + towards(RadialDirection::left, 400));
    input().releaseKey(functionKeyCode);

    EXPECT_EQ(frameOf(200, 2), frame(SnapAction::leftHalf, area(), 0));
    EXPECT_EQ(frameOf(), windowFrame);
}

TEST_F(RadialSnapControllerTest, ThePreviewGrowsOutOfTheWindowAndFollowsTheSelection) {
    bringUpRing();
    ASSERT_TRUE(radial().isPreviewVisible());
    EXPECT_EQ(radial().previewPanel()->frame(), windowFrame.toRect());
    EXPECT_EQ(radial().previewTargetFrame(), area().toRect());

    input().movePointer(start + towards(RadialDirection::right));
    EXPECT_EQ(radial().previewTargetFrame(), frame(SnapAction::rightHalf, area(), 0).toRect());

    // On the other display in the same direction: the frame of that display.
    const QPointF far(2500, 500);
    input().movePointer(far);
    EXPECT_EQ(radial().model().direction(), RadialDirection::right);
    EXPECT_EQ(radial().previewTargetFrame(),
              frame(SnapAction::rightHalf, state->usableFrame(sideDisplay), 0).toRect());

    // Turned off, the preview stays as it is until the gesture ends.
    settings->setRadialShowPreview(false);
    input().movePointer(start + towards(RadialDirection::left));
    EXPECT_TRUE(radial().isPreviewVisible());
    EXPECT_EQ(radial().previewTargetFrame(),
              frame(SnapAction::rightHalf, state->usableFrame(sideDisplay), 0).toRect());

    input().tapKey(escape);
    EXPECT_FALSE(radial().isPreviewVisible());
    animator.completeAll();
    EXPECT_FALSE(radial().previewPanel()->isVisible());
}

TEST_F(RadialSnapControllerTest, TheWheelIsArmedOnlyWhenEnabledAndTrustedAndStoppingEndsAGesture) {
    EXPECT_EQ(input().monitorCount(Scope::global), 2);
    EXPECT_EQ(input().monitorCount(Scope::local), 2);

    bringUpRing();
    settings->setRadialEnabled(false);
    radial().start();
    EXPECT_EQ(radial().phase(), Phase::idle);
    EXPECT_EQ(input().monitorCount(Scope::global), 0);
    EXPECT_EQ(input().monitorCount(Scope::local), 0);
    EXPECT_FALSE(input().isFunctionKeyReserved());
    animator.completeAll();
    EXPECT_FALSE(ringShows());

    input().pressKey(functionKeyCode);
    EXPECT_EQ(radial().phase(), Phase::idle);
}

} // namespace
} // namespace corvane::testing
