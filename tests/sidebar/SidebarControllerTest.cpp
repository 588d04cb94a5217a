#include "support/AppFixture.h"

#include "core/TrackingHostingView.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakePanelWindowing.h"
#include "platform/fake/FakeRunningApplications.h"
#include "platform/fake/FakeWindowList.h"
#include "sidebar/HoverPreviewModel.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarMetrics.h"
#include "sidebar/SidebarModel.h"
#include "sidebar/SidebarPanel.h"
#include "sidebar/SidebarView.h"
#include "support/FakeWindows.h"
#include "windows/SpacesService.h"
#include "windows/ThumbnailService.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"

#include <QEnterEvent>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

namespace corvane::testing {
namespace {

const ScreenInfo mainDisplay{"DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 30, 1920, 1050), 1u,
                             QString("uuid-1")};
const ScreenInfo sideDisplay{"DP-2", QRectF(1920, 0, 1280, 1024), QRectF(1920, 0, 1280, 1024), 2u,
                             std::nullopt};
const QPointF awayFromEdges(900, 500);

// The x just past a frame's right edge.
double rightOf(const QRect& frame) {
    return frame.x() + frame.width();
}

class SidebarControllerTest : public AppFixture {
protected:
    SidebarControllerTest() {
        platform->fakePermissions->accessibility = true;
        platform->fakeScreens->setScreens({mainDisplay, sideDisplay});
        platform->fakeScreens->setPointer(awayFromEdges);
    }

    SidebarController& strip() { return state->sidebar(); }

    // A window of a running program, listed on screen and known to window access.
    void addWindow(int32_t pid, uint32_t id, QRectF frame = QRectF(200, 200, 800, 600)) {
        const QString app = QStringLiteral("App%1").arg(pid);
        corvane::testing::addWindow(*platform, {.pid = pid,
                                                .id = id,
                                                .frame = frame,
                                                .app = app,
                                                .bundleID = QStringLiteral("org.example.") + app,
                                                .namesOwner = true});
    }
    void refreshWindows() { state->windows().refresh(true); }

    // Starts the strip and ends its first slide.
    void startStrip() {
        strip().start();
        animator.completeAll();
    }
    // A pointer move, far enough after the last one that the strip does not skip it.
    void movePointer(QPointF location) {
        scheduler.advance(Seconds(0.05));
        platform->fakeEventMonitors->movePointer(location);
    }
    // The pointer resting over a window cell, or leaving the cells, as the strip's view reports it.
    void hoverCell(std::optional<QPointF> point) {
        strip().model().setMouse(point);
        strip().model().updateHover();
    }
    // Window cells where the strip's view would have laid them out, all in sight.
    void setCells(CellFramesKey::Value frames) {
        strip().model().setCellFrames(std::move(frames));
        strip().model().setVisibleCellArea(std::nullopt);
    }
    // Two listed windows in a started strip, with the pointer resting on the first one's cell long
    // enough for its card.
    void showCardOfFirstOfTwoWindows() {
        buildState();
        addWindow(100, 1);
        addWindow(200, 2);
        refreshWindows();
        startStrip();
        setCells({{1u, QRectF(8, 40, 88, 58)}, {2u, QRectF(8, 106, 88, 58)}});
        hoverCell(QPointF(40, 60));
        scheduler.advance(Seconds(1));
    }
    double naturalHeight(int windows, int workspaces = 0) {
        return SidebarMetrics::current(state->stripServices()).panelHeight(windows, workspaces);
    }
};

TEST_F(SidebarControllerTest, TheStripPicksItsScreenByThePreference) {
    buildState();
    platform->fakeScreens->setPointer(QPointF(2500, 500));

    // main: the first screen, wherever the pointer is
    startStrip();
    EXPECT_EQ(strip().currentScreen(), mainDisplay);

    // mouse: the screen under the pointer
    settings->setSidebarDisplay(SidebarDisplay::mouse);
    strip().reload();
    EXPECT_EQ(strip().currentScreen(), sideDisplay);

    // specific: the screen with that identifier, else the first
    settings->setSidebarDisplay(SidebarDisplay::specific);
    settings->setSpecificDisplayID(QStringLiteral("DP-2"));
    strip().reload();
    EXPECT_EQ(strip().currentScreen(), sideDisplay);
    settings->setSpecificDisplayID(QStringLiteral("gone"));
    strip().reload();
    EXPECT_EQ(strip().currentScreen(), mainDisplay);
}

TEST_F(SidebarControllerTest, TheStripStandsEightPointsFromItsEdgeCentredOnTheVisibleFrame) {
    buildState();
    addWindow(100, 1);
    addWindow(100, 2);
    refreshWindows();
    startStrip();

    // Left edge: 8 points in, 88 + 16 wide, as tall as its content, centred vertically
    const QRect left = strip().panel()->frame();
    EXPECT_EQ(left.x(), 8);
    EXPECT_EQ(left.width(), 104);
    EXPECT_EQ(left.height(), static_cast<int>(std::ceil(naturalHeight(2))));
    EXPECT_NEAR(left.center().y(), mainDisplay.visibleFrame.center().y(), 1.0);

    // Right edge: 8 points from the right of the visible frame
    settings->setSidebarEdge(SidebarEdge::right);
    strip().reload();
    animator.completeAll();
    const QRect right = strip().panel()->frame();
    EXPECT_EQ(right.x() + right.width(), 1920 - 8);
    EXPECT_EQ(right.y(), left.y());

    // Workspaces saved while it shows: enough for a second row of chips makes it taller at once
    scheduler.advance(Seconds(0));
    const int workspaces = SidebarMetrics::current(state->stripServices()).chipsPerRow();
    for (int i = 0; i < workspaces; ++i) {
        Workspace workspace;
        workspace.id = QUuid::createUuid();
        workspace.name = QStringLiteral("W%1").arg(i);
        state->workspaces().add(workspace);
    }
    ASSERT_GT(naturalHeight(2, workspaces), naturalHeight(2));
    scheduler.advance(Seconds(0));
    animator.completeAll();
    EXPECT_EQ(strip().panel()->frame().height(), static_cast<int>(std::ceil(naturalHeight(2, workspaces))));
}

TEST_F(SidebarControllerTest, AStripOfManyWindowsIsCappedToNineTenthsOfTheScreenAndStaysCentred) {
    const ScreenInfo small{"LVDS-1", QRectF(0, 0, 1024, 600), QRectF(0, 24, 1024, 576), 3u, std::nullopt};
    platform->fakeScreens->setScreens({small});
    buildState();
    for (uint32_t id = 1; id <= 40; ++id)
        addWindow(100 + static_cast<int32_t>(id), id, QRectF(10 * id, 30, 300, 200));
    // A count past the settings page's range, written by hand, lists every window.
    settings->setMaxVisible(100);
    refreshWindows();
    ASSERT_EQ(strip().visibleWindows().size(), 40u);
    ASSERT_GT(naturalHeight(20), 0.9 * 576);

    startStrip();

    const QRect frame = strip().panel()->frame();
    // Rounded outwards to whole points.
    EXPECT_NEAR(frame.height(), 0.9 * 576, 2.0);
    EXPECT_NEAR(frame.center().y(), small.visibleFrame.center().y(), 1.0);
    // The list holds them all and scrolls to the last.
    const auto* view = strip().panel()->findChild<SidebarView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->visibleWindows().size(), 40u);
    ASSERT_NE(view->cell(40), nullptr);
    EXPECT_GT(view->windowList()->verticalScrollBar()->maximum(), 0);
}

TEST_F(SidebarControllerTest, ReservedWidthIsThePanelAndItsMarginOnlyWhileTheStripStaysOut) {
    buildState();
    // Medium thumbnails: 88 + 16 + 8
    EXPECT_DOUBLE_EQ(strip().reservedWidth(), 112);
    settings->setThumbnailSize(ThumbnailSize::large);
    EXPECT_DOUBLE_EQ(strip().reservedWidth(), 144);

    settings->setAutoHide(true);
    EXPECT_DOUBLE_EQ(strip().reservedWidth(), 0);
    settings->setAutoHide(false);
    settings->setSidebarEnabled(false);
    EXPECT_DOUBLE_EQ(strip().reservedWidth(), 0);
}

TEST_F(SidebarControllerTest, AFullscreenActiveWindowOnTheStripsScreenTucksItAwayOnlyWithTheSwitchOn) {
    buildState();
    settings->setAutoHideInFullscreen(true);
    startStrip();
    ASSERT_TRUE(strip().isRevealed());
    const auto setFullscreen = [&](std::optional<QRectF> frame) {
        platform->fakeWindowList->setActiveFullscreen(frame);
        scheduler.advance(Seconds(0));
        animator.completeAll();
    };

    // A full-screen window on the other screen leaves the strip alone
    setFullscreen(sideDisplay.frame);
    EXPECT_TRUE(strip().isRevealed());
    // On the strip's screen it tucks the strip away, and the strip comes back when it ends
    setFullscreen(mainDisplay.frame);
    EXPECT_FALSE(strip().isRevealed());
    setFullscreen(std::nullopt);
    EXPECT_TRUE(strip().isRevealed());

    // With the switch off the strip stays
    settings->setAutoHideInFullscreen(false);
    animator.completeAll();
    setFullscreen(mainDisplay.frame);
    EXPECT_TRUE(strip().isRevealed());
    // The desktops stay as they are: never full-screen
    for (const SpaceInfo& space : state->spaces().spaces())
        EXPECT_FALSE(space.isFullscreen);
}

TEST_F(SidebarControllerTest, RefreshingRunsExactlyWhileTheStripShows) {
    buildState();
    settings->setShowSpaces(true);

    // When the always-shown strip starts
    startStrip();

    // Then it shows, and the window list and desktops refresh; the thumbnails, work for the X
    // server the window manager needs while it takes the strip in, wait until it is on screen
    EXPECT_TRUE(strip().isRevealed());
    EXPECT_TRUE(strip().panel()->isVisible());
    EXPECT_DOUBLE_EQ(strip().panel()->alphaValue(), 1.0);
    EXPECT_TRUE(state->windows().isTimerRunning());
    EXPECT_TRUE(state->spaces().isTimerRunning());
    EXPECT_FALSE(state->thumbnails().isActive());
    platform->fakePanelWindowing->expose(*strip().panel()->windowHandle());
    EXPECT_TRUE(state->thumbnails().isActive());

    // With icons only the thumbnails stop; without the desktop row the desktop poll stops
    settings->setStripIconsOnly(true);
    settings->setShowSpaces(false);
    strip().reload();
    EXPECT_FALSE(state->thumbnails().isActive());
    EXPECT_FALSE(state->spaces().isTimerRunning());
    EXPECT_TRUE(state->windows().isTimerRunning());

    // When the strip is switched off, everything stops and the panel leaves once faded
    settings->setStripIconsOnly(false);
    strip().toggle();
    EXPECT_FALSE(settings->sidebarEnabled());
    strip().reload();
    EXPECT_FALSE(strip().isRevealed());
    EXPECT_FALSE(state->windows().isTimerRunning());
    EXPECT_FALSE(state->thumbnails().isActive());
    EXPECT_FALSE(state->spaces().isTimerRunning());
    EXPECT_TRUE(strip().panel()->isVisible());
    animator.completeAll();
    EXPECT_FALSE(strip().panel()->isVisible());
}

TEST_F(SidebarControllerTest, TheStripHasAnAlphaChannelExactlyWhileACompositingManagerRuns) {
    FakePanelWindowing& windowing = *platform->fakePanelWindowing;
    buildState();
    settings->setAutoHide(true);
    startStrip();
    ASSERT_FALSE(strip().isRevealed());
    ASSERT_TRUE(strip().panel()->isTranslucent());
    const QPointer<QWidget> content = strip().panel()->contentView();

    // The compositing manager stops while the strip is hidden: it is made anew, content and all,
    // before its next showing is painted ahead
    windowing.setCompositing(false);
    scheduler.advance(Seconds(1));
    const QPointer<SidebarPanel> opaque = strip().panel();
    EXPECT_FALSE(opaque->isTranslucent());
    EXPECT_EQ(opaque->contentView(), content);
    EXPECT_TRUE(opaque->isPaintedWhileHidden());
    strip().toggle();
    animator.completeAll();
    // Mapped with that picture, it shows once the window manager has put it on the screen
    EXPECT_TRUE(opaque->isShowing());
    windowing.expose(*opaque->windowHandle());
    EXPECT_TRUE(opaque->isVisible());

    // One starts while the strip shows: it is made anew where it stands, still showing
    const QRect frame = opaque->frame();
    windowing.setCompositing(true);
    EXPECT_FALSE(opaque);
    EXPECT_TRUE(strip().panel()->isTranslucent());
    EXPECT_TRUE(strip().panel()->isVisible());
    EXPECT_EQ(strip().panel()->frame(), frame);
    EXPECT_EQ(strip().panel()->contentView(), content);

    // It stops while the strip slides away: the strip goes first, and is made anew then
    strip().toggle();
    windowing.setCompositing(false);
    EXPECT_TRUE(strip().panel()->isTranslucent());
    animator.completeAll();
    EXPECT_FALSE(strip().panel()->isVisible());
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(strip().panel()->isTranslucent());
}

TEST_F(SidebarControllerTest, TheSwitcherShowsTheStripWhateverElseSaysWhileItRuns) {
    buildState();
    settings->setAutoHide(true);
    startStrip();

    // When the switcher runs, the auto-hidden strip shows and the pointer does not conceal it
    strip().setPeeking(true);
    strip().applyVisibility(true);
    EXPECT_TRUE(strip().isRevealed());
    movePointer({1500, 500});
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(strip().isRevealed());
    EXPECT_FALSE(strip().isConcealPending());

    // When it ends, the strip goes back to hiding
    strip().setPeeking(false);
    strip().applyVisibility(true);
    EXPECT_FALSE(strip().isRevealed());

    // Even a strip switched off shows while the switcher runs
    settings->setAutoHide(false);
    settings->setSidebarEnabled(false);
    strip().reload();
    strip().setPeeking(true);
    strip().applyVisibility(true);
    EXPECT_TRUE(strip().isRevealed());
}

TEST_F(SidebarControllerTest, TheEdgeThatRevealsIsTheOutermostFewPointsOfTheStripsScreen) {
    buildState();
    startStrip();

    // Left edge of a screen from x = 0: -1 ... 4, between its top and bottom inclusive
    EXPECT_TRUE(strip().isAtEdge({-1, 500}));
    EXPECT_TRUE(strip().isAtEdge({4, 500}));
    EXPECT_FALSE(strip().isAtEdge({5, 500}));
    EXPECT_TRUE(strip().isAtEdge({0, 0}));
    EXPECT_TRUE(strip().isAtEdge({0, 1080}));
    EXPECT_FALSE(strip().isAtEdge({0, -1}));
    EXPECT_FALSE(strip().isAtEdge({0, 1081}));

    // Right edge of a screen ending at x = 1920: 1915 ... 1921
    settings->setSidebarEdge(SidebarEdge::right);
    EXPECT_TRUE(strip().isAtEdge({1915, 500}));
    EXPECT_TRUE(strip().isAtEdge({1921, 500}));
    EXPECT_FALSE(strip().isAtEdge({1914, 500}));
}

TEST_F(SidebarControllerTest, AnAutoHidingStripRevealsAtTheEdgeAndConcealsSoonAfterThePointerLeaves) {
    buildState();
    settings->setAutoHide(true);
    startStrip();

    // Given an auto-hiding strip: hidden, its refreshing off, watching the pointer
    EXPECT_FALSE(strip().isRevealed());
    EXPECT_FALSE(strip().panel()->isVisible());
    EXPECT_FALSE(state->windows().isTimerRunning());
    EXPECT_TRUE(strip().hasMouseMonitors());

    // When the pointer touches the edge, the strip slides in
    movePointer({5, 500});
    EXPECT_FALSE(strip().isRevealed());
    movePointer({2, 500});
    EXPECT_TRUE(strip().isRevealed());
    EXPECT_TRUE(state->windows().isTimerRunning());
    animator.completeAll();
    const QRect shown = strip().panel()->frame();
    EXPECT_EQ(shown.x(), 8);

    // When the pointer leaves the keep-zone and comes back within 0.6 s, the strip stays
    movePointer({rightOf(shown) + 40, 500});
    EXPECT_TRUE(strip().isConcealPending());
    movePointer({rightOf(shown) + 10, 500});
    EXPECT_FALSE(strip().isConcealPending());
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(strip().isRevealed());

    // When it leaves for good, the strip conceals 0.6 s later
    movePointer({rightOf(shown) + 40, 500});
    scheduler.advance(Seconds(0.59));
    EXPECT_TRUE(strip().isRevealed());
    scheduler.advance(Seconds(0.02));
    EXPECT_FALSE(strip().isRevealed());
    EXPECT_FALSE(state->windows().isTimerRunning());
    animator.completeAll();
    EXPECT_FALSE(strip().panel()->isVisible());
}

TEST_F(SidebarControllerTest, PointerEventsCloserThanAThirtiethOfASecondAreSkipped) {
    buildState();
    settings->setAutoHide(true);
    startStrip();
    platform->fakeEventMonitors->movePointer({600, 500});

    // A move to the edge 1/40 s after the last processed one is skipped
    scheduler.advance(Seconds(1.0 / 40));
    platform->fakeEventMonitors->movePointer({0, 500});
    EXPECT_FALSE(strip().isRevealed());

    // One 1/20 s after the last processed one counts
    scheduler.advance(Seconds(1.0 / 20 - 1.0 / 40));
    platform->fakeEventMonitors->movePointer({0, 500});
    EXPECT_TRUE(strip().isRevealed());
}

TEST_F(SidebarControllerTest, AHotkeyRevealWaitsForThePointerToVisitBeforeConcealing) {
    buildState();
    settings->setAutoHide(true);
    startStrip();

    // When the hotkey reveals the strip and the pointer stays far away
    strip().toggle();
    EXPECT_TRUE(strip().isRevealed());
    EXPECT_TRUE(strip().isHotkeyRevealed());
    EXPECT_TRUE(settings->sidebarEnabled());
    animator.completeAll();
    const QRect shown = strip().panel()->frame();
    movePointer({1500, 500});
    scheduler.advance(Seconds(30));

    // Then it stays up
    EXPECT_TRUE(strip().isRevealed());

    // Once the pointer has been near it and leaves, it conceals 0.6 s later
    movePointer({rightOf(shown) + 20, 500});
    movePointer({1500, 500});
    scheduler.advance(Seconds(0.6));
    EXPECT_FALSE(strip().isRevealed());

    // The hotkey reveals again, and a second press conceals at once
    strip().toggle();
    EXPECT_TRUE(strip().isRevealed());
    strip().toggle();
    EXPECT_FALSE(strip().isRevealed());
    EXPECT_FALSE(strip().isHotkeyRevealed());
}

TEST_F(SidebarControllerTest, ADragAMenuOrTheHoverCardKeepsTheStripUp) {
    buildState();
    addWindow(100, 1);
    refreshWindows();
    settings->setAutoHide(true);
    startStrip();
    movePointer({0, 500});
    animator.completeAll();
    const QRect shown = strip().panel()->frame();

    // While a drag from the strip runs, the pointer may go anywhere
    strip().model().setDragging(true);
    movePointer({1500, 500});
    scheduler.advance(Seconds(2));
    EXPECT_TRUE(strip().isRevealed());
    strip().model().setDragging(false);

    // While a menu of the product is open, likewise; closing it checks the pointer again
    QMenu menu;
    menu.addAction(QStringLiteral("Focus"));
    menu.popup(QPoint(40, 500));
    EXPECT_TRUE(strip().isMenuOpen());
    movePointer({1500, 500});
    scheduler.advance(Seconds(2));
    EXPECT_TRUE(strip().isRevealed());
    menu.hide();
    EXPECT_FALSE(strip().isMenuOpen());
    EXPECT_TRUE(strip().isConcealPending());
    movePointer({rightOf(shown) - 10, 500});
    EXPECT_FALSE(strip().isConcealPending());

    // Without the card, 25 points sideways already starts the conceal
    movePointer({rightOf(shown) + 25, 500});
    EXPECT_TRUE(strip().isConcealPending());

    // With the card showing, the band 520 points beside the strip keeps it
    setCells({{1u, QRectF(8, 40, 88, 58)}});
    movePointer({40, shown.y() + 60.0});
    hoverCell(QPointF(40, 60));
    scheduler.advance(Seconds(0.3));
    ASSERT_TRUE(strip().preview().isVisible());
    movePointer({rightOf(shown) + 500, shown.y() + 10.0});
    EXPECT_FALSE(strip().isConcealPending());
    // Above the strip's top the band ends
    movePointer({rightOf(shown) + 500, shown.y() - 30.0});
    EXPECT_TRUE(strip().isConcealPending());
}

TEST_F(SidebarControllerTest, TheHoverCardShowsAfterTheDelaySwapsAtOnceAndHidesShortlyAfterLeaving) {
    buildState();
    addWindow(100, 1);
    addWindow(200, 2);
    refreshWindows();
    startStrip();
    setCells({{1u, QRectF(8, 40, 88, 58)}, {2u, QRectF(8, 106, 88, 58)}});
    const QRect shown = strip().panel()->frame();

    // A hover shorter than the delay shows nothing
    hoverCell(QPointF(40, 60));
    scheduler.advance(Seconds(0.2));
    hoverCell(std::nullopt);
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(strip().preview().isVisible());

    // A hover of the full delay shows the card beside the strip for that window, and the
    // thumbnails keep its large picture fresh
    hoverCell(QPointF(40, 60));
    scheduler.advance(Seconds(0.29));
    EXPECT_FALSE(strip().preview().isVisible());
    scheduler.advance(Seconds(0.01));
    ASSERT_TRUE(strip().preview().isVisible());
    EXPECT_EQ(strip().preview().model().window()->windowID, 1u);
    EXPECT_EQ(strip().preview().targetFrame().x(), rightOf(shown) + 10);
    ASSERT_TRUE(state->thumbnails().hovered());
    EXPECT_EQ(state->thumbnails().hovered()->windowID, 1u);

    // Moving to the next cell swaps the card at once
    hoverCell(QPointF(40, 130));
    EXPECT_EQ(strip().preview().model().window()->windowID, 2u);
    EXPECT_EQ(state->thumbnails().hovered()->windowID, 2u);

    // Leaving the cells hides it 0.09 s later and ends the hover
    hoverCell(std::nullopt);
    scheduler.advance(Seconds(0.08));
    EXPECT_TRUE(strip().preview().isVisible());
    scheduler.advance(Seconds(0.01));
    EXPECT_FALSE(strip().preview().isVisible());
    EXPECT_FALSE(state->thumbnails().hovered());
}

TEST_F(SidebarControllerTest, TheCardStaysWhileAMenuIsOpenAndComesBackOnlyWhereThePointerIs) {
    showCardOfFirstOfTwoWindows();
    ASSERT_TRUE(strip().preview().isVisible());

    auto* host = strip().panel()->findChild<TrackingHostingView*>();
    ASSERT_NE(host, nullptr);
    QEnterEvent enter(QPointF(40, 60), QPointF(40, 60), QPointF(40, 60));
    QCoreApplication::sendEvent(host, &enter);

    // A menu of the strip opens and takes the pointer, so the strip hears a leave: the card
    // stays, and follows the hover as ever
    QMenu menu;
    menu.addAction(QStringLiteral("New Workspace\u2026"));
    menu.popup(QPoint(0, 0));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(host, &leave);
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(strip().preview().isVisible());
    hoverCell(QPointF(40, 130));
    scheduler.advance(Seconds(1));
    ASSERT_TRUE(strip().preview().isVisible());
    EXPECT_EQ(strip().preview().model().window()->windowID, 2u);

    // It closes with the pointer gone off the strip: the other window's cell laid out where the
    // pointer last was over the strip (the first one pinned from the menu) brings no card back
    movePointer({1500, 500});
    menu.hide();
    setCells({{2u, QRectF(8, 40, 88, 58)}, {1u, QRectF(8, 106, 88, 58)}});
    strip().model().updateHover();
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(strip().preview().isVisible());
    EXPECT_EQ(strip().model().hoveredID(), std::nullopt);
}

TEST_F(SidebarControllerTest, NoCardForAWindowThatLeftTheListOrWithTheCardSwitchedOff) {
    buildState();
    addWindow(100, 1);
    refreshWindows();
    startStrip();

    // A cell whose window is no longer listed
    setCells({{1u, QRectF(8, 40, 88, 58)}, {9u, QRectF(8, 106, 88, 58)}});
    hoverCell(QPointF(40, 130));
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(strip().preview().isVisible());

    // The preference off
    hoverCell(std::nullopt);
    settings->setHoverPreview(false);
    hoverCell(QPointF(40, 60));
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(strip().preview().isVisible());
}

TEST_F(SidebarControllerTest, TheCardGoesWithItsWindowsCell) {
    showCardOfFirstOfTwoWindows();
    ASSERT_TRUE(strip().preview().isVisible());

    // Another window going leaves the card; its own window going takes it away
    platform->fakeWindowList->entries().pop_back();
    refreshWindows();
    scheduler.advance(Seconds(0.01));
    EXPECT_TRUE(strip().preview().isVisible());
    platform->fakeWindowList->entries().clear();
    refreshWindows();
    scheduler.advance(Seconds(0.01));
    EXPECT_FALSE(strip().preview().isVisible());
}

TEST_F(SidebarControllerTest, FollowingThePointerMovesTheStripToItsScreenAtOnce) {
    buildState();
    settings->setSidebarDisplay(SidebarDisplay::mouse);
    platform->fakeScreens->setPointer(QPointF(900, 500));
    startStrip();
    ASSERT_EQ(strip().currentScreen(), mainDisplay);
    const QRect onMain = strip().panel()->frame();

    // A move next to the strip never switches screens
    movePointer({rightOf(onMain) + 15, 500});
    EXPECT_EQ(strip().currentScreen(), mainDisplay);

    // A move onto the other screen takes the strip there without a slide
    movePointer({2500, 500});
    EXPECT_EQ(strip().currentScreen(), sideDisplay);
    EXPECT_EQ(strip().panel()->frame().x(), 1920 + 8);
    EXPECT_FALSE(strip().isConcealPending());
}

TEST_F(SidebarControllerTest, ARevealOvertakingAConcealLeavesTheStripShown) {
    buildState();
    settings->setAutoHide(true);
    startStrip();
    strip().toggle();
    animator.completeAll();

    // When a conceal starts and a reveal comes before its fade ends
    strip().toggle();
    EXPECT_FALSE(strip().isRevealed());
    strip().toggle();
    animator.completeAll();

    // Then the strip is up, opaque, on its frame
    EXPECT_TRUE(strip().isRevealed());
    EXPECT_TRUE(strip().panel()->isVisible());
    EXPECT_DOUBLE_EQ(strip().panel()->alphaValue(), 1.0);
    EXPECT_EQ(strip().panel()->frame(), strip().panelFrame());
}

TEST_F(SidebarControllerTest, TheDisplayFilterKeepsWindowsOfTheStripsScreen) {
    buildState();
    startStrip();
    ASSERT_TRUE(state->windows().displayFilter);
    EXPECT_TRUE(state->windows().displayFilter(QRectF(100, 100, 400, 300)));
    EXPECT_FALSE(state->windows().displayFilter(QRectF(2100, 100, 400, 300)));
    // A window on no screen at all is where the pointer is
    const QRectF nowhere(5000, 5000, 400, 300);
    EXPECT_TRUE(state->windows().displayFilter(nowhere));
    platform->fakeScreens->setPointer(QPointF(2500, 500));
    EXPECT_FALSE(state->windows().displayFilter(nowhere));
}

TEST_F(SidebarControllerTest, NewWindowsResizeTheShownStrip) {
    buildState();
    startStrip();
    const int before = strip().panel()->frame().height();

    // When windows arrive, the strip grows on the next turn, around its middle
    addWindow(100, 1);
    addWindow(200, 2);
    addWindow(300, 3);
    refreshWindows();
    scheduler.runDue();
    animator.completeAll();

    const QRect after = strip().panel()->frame();
    EXPECT_GT(after.height(), before);
    EXPECT_EQ(after, strip().panelFrame());
    EXPECT_NEAR(after.center().y(), mainDisplay.visibleFrame.center().y(), 1.0);
}

TEST_F(SidebarControllerTest, AMenuClosingWithThePointerOverTheStripsShadowForgetsWhereItWas) {
    showCardOfFirstOfTwoWindows();
    const QRect frame = strip().panel()->frame();
    ASSERT_GT(strip().panel()->shadowMargins().right(), 2);
    QMenu menu;
    menu.addAction(QStringLiteral("New Workspace\u2026"));
    menu.popup(QPoint(0, 0));

    // The shadow takes no pointer input: a pointer there is off the strip
    movePointer(QPointF(rightOf(frame) + 1, frame.center().y()));
    menu.hide();
    setCells({{2u, QRectF(8, 40, 88, 58)}, {1u, QRectF(8, 106, 88, 58)}});
    strip().model().updateHover();
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(strip().preview().isVisible());
    EXPECT_EQ(strip().model().hoveredID(), std::nullopt);
}

} // namespace
} // namespace corvane::testing
