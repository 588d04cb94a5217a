#include "support/AppFixture.h"

#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeRunningApplications.h"
#include "platform/fake/FakeWindowList.h"
#include "snapping/SnapController.h"
#include "support/FakeWindows.h"
#include "windows/WindowService.h"

#include <QCoreApplication>
#include <QWidget>

namespace corvane::testing {
namespace {

const ScreenInfo display{"DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 0, 1920, 1080), 1u, std::nullopt};
const ScreenInfo sideDisplay{"DP-2", QRectF(1920, 0, 1280, 1024), QRectF(1920, 0, 1280, 1024), 2u,
                             std::nullopt};

class SnapControllerTest : public AppFixture {
protected:
    SnapControllerTest() {
        platform->fakePermissions->accessibility = true;
        platform->fakeScreens->setScreens({display, sideDisplay});
        platform->fakeScreens->setPointer(QPointF(500, 500));
        platform->defaults->set("layoutGap", 0.0);
        buildState();
    }

    // A window the program reports and the window list shows; the last one added is focused.
    void addWindow(int32_t pid, uint32_t id, QRectF frame, bool focused = true) {
        corvane::testing::addWindow(*platform, {.pid = pid,
                                                .id = id,
                                                .frame = frame,
                                                .app = QStringLiteral("App%1").arg(pid),
                                                .bundleID = QStringLiteral("app.%1").arg(pid),
                                                .focused = focused});
    }
    QRectF frameOf(int32_t pid, uint32_t id) { return platform->fakeAccessibility->window(pid, id)->frame; }
    SnapController& snap() { return state->snap(); }
};

TEST_F(SnapControllerTest, LeftHalfCyclesThroughHalfTwoThirdsAndAThird) {
    addWindow(100, 1, QRectF(300, 200, 640, 480));
    const double widths[] = {960, 1280, 640, 960};
    for (double width : widths) {
        snap().snap(SnapAction::leftHalf);
        EXPECT_EQ(frameOf(100, 1), QRectF(0, 0, width, 1080)) << "expected width " << width;
    }

    settings->setCycleSnapSizes(false);
    snap().snap(SnapAction::leftHalf);
    snap().snap(SnapAction::leftHalf);
    EXPECT_EQ(frameOf(100, 1), QRectF(0, 0, 960, 1080));
}

TEST_F(SnapControllerTest, ASnapReadsTheWindowAndWritesItsFrameInOneQueueTask) {
    addWindow(100, 1, QRectF(300, 200, 640, 480));
    // For every read of the window's frame, how many writes had gone before it.
    std::vector<size_t> writesBeforeRead;
    FakeAccessibility& ax = *platform->fakeAccessibility;
    ax.onAttributeRead = [&](const AXElement&, FakeAXAttribute attribute) {
        if (attribute == FakeAXAttribute::position || attribute == FakeAXAttribute::size)
            writesBeforeRead.push_back(ax.writes().size());
    };
    const QStringList oneFrameWrite{"size 1 960x1080", "position 1 0,0", "size 1 960x1080"};

    const int posted = axQueue.postedCount();
    snap().snap(SnapAction::leftHalf);
    EXPECT_EQ(axQueue.postedCount() - posted, 1);
    EXPECT_EQ(QStringList(ax.writes().begin(), ax.writes().end()), oneFrameWrite);
    EXPECT_EQ(writesBeforeRead, (std::vector<size_t>{0, 0})) << "the frame is read once, before the write";

    // Cycling still goes by the placement recorded after the task, settled frame included.
    scheduler.advance(Seconds(SnapController::settleDelay));
    snap().snap(SnapAction::leftHalf);
    EXPECT_EQ(frameOf(100, 1), QRectF(0, 0, 1280, 1080));
    EXPECT_EQ(axQueue.postedCount() - posted, 3); // the settled frame's read-back, then the second snap
}

TEST_F(SnapControllerTest, WithItsOwnWindowInFrontTheSnapMovesThatWindowItself) {
    QWidget own;
    own.setGeometry(300, 200, 640, 480);
    own.show();
    own.activateWindow();
    QCoreApplication::processEvents();
    const auto number = static_cast<uint32_t>(own.winId());
    platform->fakeAccessibility->addWindow(ownPID, {.number = number, .frame = own.frameGeometry()});
    platform->fakeAccessibility->program(ownPID)->focusedWindow = number;
    platform->fakeRunningApplications->frontmost = ownPID;

    snap().snap(SnapAction::leftHalf);
    QCoreApplication::processEvents();
    EXPECT_EQ(own.frameGeometry(), QRect(0, 0, 960, 1080));
    EXPECT_TRUE(platform->fakeAccessibility->writes().empty());
    EXPECT_EQ(platform->fakeHost->beepCount, 0);
}

TEST_F(SnapControllerTest, RestoreReturnsTheFrameFromBeforeTheFirstPlacementOnce) {
    addWindow(100, 1, QRectF(300, 200, 640, 480));
    snap().snap(SnapAction::rightHalf);
    snap().snap(SnapAction::maximize);

    snap().restore();
    EXPECT_EQ(frameOf(100, 1), QRectF(300, 200, 640, 480));
    EXPECT_EQ(platform->fakeHost->beepCount, 0);

    snap().restore();
    EXPECT_EQ(platform->fakeHost->beepCount, 1);
}

TEST_F(SnapControllerTest, NoTargetBeepsAndMovesNothing) {
    snap().snap(SnapAction::leftHalf);
    EXPECT_EQ(platform->fakeHost->beepCount, 1);

    platform->fakeRunningApplications->add(100, "Empty");
    platform->fakeRunningApplications->frontmost = 100;
    platform->fakeAccessibility->addProgram(100);
    snap().snap(SnapAction::leftHalf);
    snap().restore();
    EXPECT_EQ(platform->fakeHost->beepCount, 3);
    EXPECT_TRUE(platform->fakeAccessibility->writes().empty());
}

TEST_F(SnapControllerTest, TilingMovesTheTwelveMostRecentWindowsOfThePointersScreen) {
    for (uint32_t id = 1; id <= 15; ++id)
        addWindow(static_cast<int32_t>(100 + id), id, QRectF(40 * id, 40, 400, 300), false);
    addWindow(300, 99, QRectF(2000, 100, 400, 300), false); // on the other display
    scheduler.advance(Seconds(1));

    snap().tileScreen(LayoutPreset::grid);

    // New windows are stamped front to back, so the list's first twelve are the most recent.
    int moved = 0;
    for (uint32_t id = 1; id <= 15; ++id)
        moved += frameOf(static_cast<int32_t>(100 + id), id) != QRectF(40 * id, 40, 400, 300);
    EXPECT_EQ(moved, 12);
    for (uint32_t id = 13; id <= 15; ++id)
        EXPECT_EQ(frameOf(static_cast<int32_t>(100 + id), id), QRectF(40 * id, 40, 400, 300));
    EXPECT_EQ(frameOf(300, 99), QRectF(2000, 100, 400, 300));

    // A tiled window goes back to where it was before the tiling.
    platform->fakeRunningApplications->frontmost = 101;
    platform->fakeAccessibility->program(101)->focusedWindow = 1;
    snap().restore();
    EXPECT_EQ(frameOf(101, 1), QRectF(40, 40, 400, 300));
}

TEST_F(SnapControllerTest, PlacingAWindowWithoutANumberRecordsNothing) {
    addWindow(100, 1, QRectF(300, 200, 640, 480));
    snap().place(SnapController::Target{100, std::nullopt, QRectF(300, 200, 640, 480)},
                 QRectF(0, 0, 800, 600));
    EXPECT_TRUE(snap().originalFrames().empty());
    EXPECT_EQ(frameOf(100, 1), QRectF(0, 0, 800, 600)); // the focused window moved
}

} // namespace
} // namespace corvane::testing
