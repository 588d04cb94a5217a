#include "support/AppFixture.h"
#include "support/MotionReference.h"

#include "core/FloatingPanel.h"
#include "platform/fake/FakeDragSource.h"
#include "platform/fake/FakeEventMonitors.h"
#include "platform/fake/FakeScreens.h"
#include "shelf/FileShelf.h"
#include "shelf/NotchDropController.h"
#include "shelf/NotchDropView.h"

#include <cmath>
#include <numbers>
#include <set>

namespace corvane::testing {
namespace {

using Kind = NotchDropModel::Phase::Kind;

// A 1512-point-wide display whose notch spans x 662 to 850 and is 32 points deep: the card is
// 448 by 96 from x 532.
ScreenInfo notchedScreen() {
    ScreenInfo screen{"eDP-1", QRectF(0, 0, 1512, 982), QRectF(0, 32, 1512, 950), 1u, std::nullopt};
    screen.safeAreaTop = 32;
    screen.auxiliaryTopLeft = QRectF(0, 0, 662, 32);
    screen.auxiliaryTopRight = QRectF(850, 0, 662, 32);
    return screen;
}

class NotchDropControllerTest : public AppFixture, public TrayPopoverOpener {
protected:
    NotchDropControllerTest() {
        buildState();
        platform->fakeScreens->setScreens({notchedScreen()});
    }

    NotchDropController& make(bool canShareNearby = false) {
        controller = std::make_unique<NotchDropController>(NotchDropController::Services{
            .settings = *settings,
            .screens = *platform->screens,
            .scheduler = scheduler,
            .windowing = *platform->panelWindowing,
            .animator = animator,
            .monitors = platform->eventMonitors.get(),
            .drags = *platform->dragSource,
            .files = state->files(),
            .trayOpener = *this,
            .shareNearby = canShareNearby ? std::function<void(const QList<QUrl>&)>(
                                                [this](const QList<QUrl>& urls) { shared += urls; })
                                          : nullptr,
            .icons = [](const QString&, FileKind) { return QIcon(); },
        });
        controller->start();
        return *controller;
    }
    void showTrayPopover(const QRectF& anchor) override { popovers.push_back(anchor); }

    FakeEventMonitors& mouse() { return *platform->fakeEventMonitors; }
    FakeDragSource& drags() { return *platform->fakeDragSource; }
    // Presses at a point, starts a drag of these files and moves to `to`.
    void dragFiles(QList<QUrl> files, QPointF to, QPointF from = QPointF(100, 500)) {
        mouse().movePointer(from);
        mouse().pressLeftButton();
        drags().beginDrag(std::move(files));
        mouse().movePointer(to);
    }
    void release() {
        drags().buttonDown = false;
        mouse().releaseLeftButton();
    }
    Kind phase() { return controller->model().phase().kind; }

    std::unique_ptr<NotchDropController> controller;
    std::vector<QRectF> popovers;
    QList<QUrl> shared;
    const QList<QUrl> twoFiles{QUrl::fromLocalFile("/tmp/a.txt"), QUrl::fromLocalFile("/tmp/b.png")};
};

TEST_F(NotchDropControllerTest, NothingIsInstalledWithoutANotchOrWithTheShelfOff) {
    platform->fakeScreens->setScreens(
        {ScreenInfo{"DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 25, 1920, 1055)}});
    NotchDropController& drop = make();
    EXPECT_FALSE(drop.panel());
    EXPECT_EQ(drop.monitorCount(), 0);
    dragFiles(twoFiles, QPointF(700, 40));
    EXPECT_EQ(phase(), Kind::hidden);

    platform->fakeScreens->setScreens({notchedScreen()});
    settings->setNotchTray(false);
    drop.start();
    EXPECT_FALSE(drop.panel());
    settings->setNotchTray(true);
    drop.start();
    ASSERT_TRUE(drop.panel());
    EXPECT_EQ(drop.panel()->geometry(), QRect(662, 0, 188, 32));
    EXPECT_EQ(drop.monitorCount(), 3);
}

TEST_F(NotchDropControllerTest, AFileDragOpensTheCardAndADropDeliversOnceToTheTray) {
    NotchDropController& drop = make();
    // Text is no file drag.
    dragFiles({}, QPointF(700, 40));
    EXPECT_EQ(phase(), Kind::hidden);
    release();

    dragFiles(twoFiles, QPointF(300, 400));
    EXPECT_EQ(phase(), Kind::waiting);
    EXPECT_EQ(drop.panel()->geometry(), QRect(532, 0, 448, 96));
    // Without a way to send files nearby only the Tray is offered, whatever the setting says.
    EXPECT_FALSE(drop.model().showAirDrop());
    // The margin of 6 points around the card (x 526 to 986, y -6 to 102): the left and lower
    // edges count, the right and upper ones do not.
    const std::pair<QPointF, bool> edges[] = {
        {{525.5, 50}, false}, {{526, 50}, true},   {{985.5, 50}, true}, {{986, 50}, false},
        {{700, -6}, false},   {{700, -5.5}, true}, {{700, 102}, true},  {{700, 102.5}, false},
    };
    for (const auto& [point, inside] : edges) {
        mouse().movePointer(point);
        EXPECT_EQ(phase(), inside ? Kind::targeted : Kind::waiting) << point.x() << ", " << point.y();
    }
    mouse().movePointer(QPointF(526, 50));
    EXPECT_EQ(drop.model().zone(), DropZone::tray);
    mouse().movePointer(QPointF(300, 400));
    EXPECT_EQ(phase(), Kind::waiting);
    EXPECT_EQ(drop.model().zone(), std::nullopt);

    // A drop on the card and the release seen in the same moment deliver once.
    mouse().movePointer(QPointF(600, 50));
    drop.deliver(twoFiles, DropZone::tray);
    release();
    EXPECT_EQ(drop.model().phase(), NotchDropModel::Phase::added(2, DropZone::tray));
    EXPECT_EQ(state->files().tray(), (QStringList{"/tmp/b.png", "/tmp/a.txt"}));
    EXPECT_EQ(drop.model().icons().size(), 2);
    EXPECT_EQ(NotchDropView::confirmation(2, false), QStringLiteral("2 added to Tray"));

    scheduler.advance(Seconds(1.59));
    EXPECT_EQ(phase(), Kind::added);
    scheduler.advance(Seconds(0.02));
    EXPECT_EQ(phase(), Kind::hidden);
    EXPECT_EQ(drop.panel()->geometry(), QRect(532, 0, 448, 96));
    scheduler.advance(NotchDropController::collapseDelay);
    EXPECT_EQ(drop.panel()->geometry(), QRect(662, 0, 188, 32));
}

TEST_F(NotchDropControllerTest, AReleaseOutsideHidesAndTheWatchCatchesAnUnreportedRelease) {
    NotchDropController& drop = make();
    dragFiles(twoFiles, QPointF(300, 400));
    release();
    EXPECT_FALSE(drop.isDragActive());
    EXPECT_EQ(phase(), Kind::waiting);
    scheduler.advance(NotchDropController::releaseHideDelay);
    EXPECT_EQ(phase(), Kind::hidden);
    EXPECT_TRUE(state->files().tray().isEmpty());

    // A release inside that no monitor reports: the watch delivers it.
    scheduler.advance(Seconds(1));
    dragFiles(twoFiles, QPointF(700, 60));
    drags().buttonDown = false;
    scheduler.advance(NotchDropController::releaseWatchInterval);
    EXPECT_EQ(drop.model().phase(), NotchDropModel::Phase::added(2, DropZone::tray));
}

TEST_F(NotchDropControllerTest, ASecondDragDuringTheConfirmationKeepsTheCardOpen) {
    NotchDropController& drop = make(true);
    dragFiles(twoFiles, QPointF(600, 50));
    EXPECT_TRUE(drop.model().showAirDrop());
    // The left half sends nearby, the middle and the right half go to the Tray.
    EXPECT_EQ(drop.model().zone(), DropZone::airdrop);
    mouse().movePointer(QPointF(756, 50));
    EXPECT_EQ(drop.model().zone(), DropZone::tray);
    mouse().movePointer(QPointF(600, 50));
    release();
    EXPECT_EQ(drop.model().phase(), NotchDropModel::Phase::added(2, DropZone::airdrop));
    QCoreApplication::processEvents();
    EXPECT_EQ(shared, twoFiles);

    scheduler.advance(Seconds(1.0));
    dragFiles({QUrl::fromLocalFile("/tmp/c")}, QPointF(900, 50));
    EXPECT_EQ(phase(), Kind::targeted);
    scheduler.advance(Seconds(1.0)); // past the first confirmation's end
    EXPECT_EQ(phase(), Kind::targeted);
    release();
    scheduler.advance(Seconds(1.5));
    EXPECT_EQ(drop.model().phase(), NotchDropModel::Phase::added(1, DropZone::tray));
    scheduler.advance(Seconds(0.2));
    EXPECT_EQ(phase(), Kind::hidden);
}

TEST_F(NotchDropControllerTest, AClickOnTheNotchOpensTheTrayOnlyWhileTheCardIsFolded) {
    NotchDropController& drop = make();
    drop.notchClicked();
    ASSERT_EQ(popovers.size(), 1u);
    EXPECT_EQ(popovers[0], QRectF(662, 0, 188, 32));
    dragFiles(twoFiles, QPointF(300, 400));
    drop.notchClicked();
    EXPECT_EQ(popovers.size(), 1u);
}

TEST_F(NotchDropControllerTest, TheCardSpringsOpenAndItsZoneEasesAndBounces) {
    NotchDropController& drop = make();
    dragFiles(twoFiles, QPointF(300, 400));
    auto* card = drop.panel()->contentView()->findChild<NotchDropView*>();
    ASSERT_TRUE(card);
    const QRectF full = card->cardRect();
    // From 0.55 by 0.3 of its size, hanging from the top centre, on a spring of response 0.3 s
    // and damping 0.8: three points, and within 1 % by 0.35 s
    const double openTime = NotchDropView::phaseMotion().duration().count();
    for (double t : {0.03, 0.06, 0.12, 0.35}) {
        animator.advanceProperties(t / openTime);
        const double p = spring(0.3, 0.8, t);
        EXPECT_NEAR(card->presence(), p, 0.005) << t;
        const QRectF outline = card->outline().boundingRect();
        EXPECT_NEAR(outline.width(), full.width() * (0.55 + 0.45 * p), 0.5) << t;
        EXPECT_NEAR(outline.height(), full.height() * (0.3 + 0.7 * p), 0.5) << t;
        EXPECT_NEAR(outline.center().x(), full.center().x(), 0.5);
        EXPECT_EQ(outline.top(), full.top());
    }
    EXPECT_NEAR(card->presence(), 1.0, 0.01);
    animator.completeAll();

    // Over the Tray: its look eases in over 0.12 s and its symbol swells once and settles
    mouse().movePointer(QPointF(900, 50));
    ASSERT_EQ(phase(), Kind::targeted);
    for (double f : {0.25, 0.5, 0.75}) {
        animator.advanceProperties(f);
        EXPECT_NEAR(card->trayTarget(), easeOut(f), 0.002) << f;
        EXPECT_NEAR(NotchDropView::bounceScale(card->trayBounce()),
                    1 + 0.25 * std::sin(std::numbers::pi * easeOut(f)), 0.002);
    }
    std::set<double> durations;
    for (const auto& motion : animator.pendingProperties())
        durations.insert(motion.motion.duration().count());
    EXPECT_EQ(durations, (std::set<double>{0.12, 0.5}));
    animator.completeAll();
    EXPECT_EQ(NotchDropView::bounceScale(card->trayBounce()), 1.0);
}

TEST_F(NotchDropControllerTest, TheCardDrawsItsZonesAndTheConfirmation) {
    NotchDropController& drop = make(true);
    dragFiles(twoFiles, QPointF(900, 50));
    animator.completeAll();
    auto* card = drop.panel()->contentView()->findChild<NotchDropView*>();
    ASSERT_TRUE(card);
    const QImage zones = card->grab().toImage();
    drop.deliver(twoFiles, DropZone::tray);
    const QImage added = card->grab().toImage();
    EXPECT_EQ(zones.size(), QSize(448, 96));
    // Black card, an outlined zone on each half, white text: more than one colour.
    EXPECT_NE(zones.pixelColor(100, 70), zones.pixelColor(20, 20));
    EXPECT_NE(zones, added);
    EXPECT_EQ(NotchDropView::traySymbol(false), "tray.and.arrow.down");
    EXPECT_EQ(NotchDropView::traySymbol(true), "tray.and.arrow.down.fill");
}

} // namespace
} // namespace corvane::testing
