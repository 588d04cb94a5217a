#include "support/AppFixture.h"

#include "core/AppIcons.h"
#include "core/FloatingPanel.h"
#include "platform/fake/FakeWindowCapture.h"
#include "sidebar/HoverPreviewController.h"
#include "sidebar/HoverPreviewModel.h"
#include "sidebar/HoverPreviewView.h"
#include "windows/ThumbnailService.h"

#include <QSignalSpy>

namespace corvane::testing {
namespace {

const ScreenInfo display{"DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 30, 1920, 1050), 1u, std::nullopt};
// A strip at the left edge and one at the right, 104 points wide.
const QRectF leftStrip(8, 300, 104, 400);
const QRectF rightStrip(1808, 300, 104, 400);

WindowInfo window(uint32_t id, QRectF frame = QRectF(100, 100, 1600, 900)) {
    WindowInfo info;
    info.windowID = id;
    info.pid = 100;
    info.appName = QStringLiteral("Editor");
    info.frame = frame;
    return info;
}

class HoverPreviewTest : public AppFixture {
protected:
    HoverPreviewTest() {
        platform->fakeScreens->setScreens({display});
        buildState();
        state->thumbnails().canCapture = [] { return true; };
        preview = std::make_unique<HoverPreviewController>(*platform->panelWindowing, animator, *settings,
                                                           state->thumbnails(), state->icons());
    }

    // The fade the card is running, which the test then ends.
    const ManualAnimator::Fade& lastFade() { return animator.pending().back(); }

    std::unique_ptr<HoverPreviewController> preview;
};

TEST_F(HoverPreviewTest, TheCardKeepsTheWindowsShapeWithinItsBounds) {
    // A wide window gives a picture in proportion, a very wide one the smallest picture, a tall
    // one the largest, and one without a width a typical picture.
    EXPECT_DOUBLE_EQ(HoverPreviewController::cardHeight(QRectF(0, 0, 1600, 900)), 328);
    EXPECT_DOUBLE_EQ(HoverPreviewController::cardHeight(QRectF(0, 0, 2000, 500)), 238);
    EXPECT_DOUBLE_EQ(HoverPreviewController::cardHeight(QRectF(0, 0, 600, 1200)), 478);
    EXPECT_NEAR(HoverPreviewController::cardHeight(QRectF(0, 0, 0, 700)), 355.6, 1e-9);

    // The fractional height is rounded outwards, never cut.
    const QRect frame = HoverPreviewController::cardFrame(355.6, SidebarEdge::left, display.visibleFrame,
                                                          QRectF(16, 500, 88, 58), leftStrip);
    EXPECT_EQ(frame.height(), 356);
}

TEST_F(HoverPreviewTest, TheCardStandsBesideTheStripLevelWithTheCellAndInsideTheScreen) {
    const QRectF cell(16, 500, 88, 58); // middle at y = 529

    // Beside a left strip: 10 points right of it, centred on the cell
    const QRect left =
        HoverPreviewController::cardFrame(328, SidebarEdge::left, display.visibleFrame, cell, leftStrip);
    EXPECT_EQ(left, QRect(122, 365, 480, 328));

    // Beside a right strip: its right edge 10 points left of the strip
    const QRect right =
        HoverPreviewController::cardFrame(328, SidebarEdge::right, display.visibleFrame, cell, rightStrip);
    EXPECT_EQ(right.x() + right.width(), 1808 - 10);

    // A cell near the bottom: the card's bottom stays 8 points above the visible bottom
    const QRect low = HoverPreviewController::cardFrame(328, SidebarEdge::left, display.visibleFrame,
                                                        QRectF(16, 1040, 88, 30), leftStrip);
    EXPECT_EQ(low.y() + low.height(), 1080 - 8);

    // A cell near the top: the card's top stays 8 points under the visible top
    const QRect high = HoverPreviewController::cardFrame(328, SidebarEdge::left, display.visibleFrame,
                                                         QRectF(16, 35, 88, 30), leftStrip);
    EXPECT_EQ(high.y(), 30 + 8);

    // A screen too short for the card: its top wins
    const QRectF shortVisible(0, 0, 1920, 300);
    const QRect squeezed =
        HoverPreviewController::cardFrame(478, SidebarEdge::left, shortVisible, cell, leftStrip);
    EXPECT_EQ(squeezed.y(), 8);
}

TEST_F(HoverPreviewTest, ShowingSlidesTheCardInAndHidingFadesItOutAndForgetsTheWindow) {
    FloatingPanel& panel = preview->panel();
    const WindowInfo shown = window(1);
    const QRectF cell(16, 500, 88, 58);
    const QRect final =
        HoverPreviewController::cardFrame(328, SidebarEdge::left, display.visibleFrame, cell, leftStrip);

    // When the card shows beside a left strip
    preview->show(shown, SidebarEdge::left, display, cell, leftStrip);

    // Then it starts 8 points nearer the strip, transparent, and fades in over 0.16 s
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.frame().topLeft(), final.topLeft() - QPoint(8, 0));
    EXPECT_DOUBLE_EQ(lastFade().alpha, 1.0);
    EXPECT_DOUBLE_EQ(lastFade().duration.count(), 0.16);
    EXPECT_EQ(preview->model().window(), shown);
    animator.completeAll();
    EXPECT_EQ(panel.frame(), final);

    // When it hides, it fades out over 0.12 s and then leaves the screen and forgets the window
    preview->hide();
    EXPECT_FALSE(preview->isVisible());
    EXPECT_DOUBLE_EQ(lastFade().alpha, 0.0);
    EXPECT_DOUBLE_EQ(lastFade().duration.count(), 0.12);
    EXPECT_TRUE(panel.isVisible());
    animator.completeAll();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(preview->model().window());

    // And hiding again does nothing
    preview->hide();
    EXPECT_TRUE(animator.pending().empty());
}

TEST_F(HoverPreviewTest, MovingBetweenCellsMovesTheCardWithoutFading) {
    // Given a card shown for one cell
    preview->show(window(1), SidebarEdge::left, display, QRectF(16, 300, 88, 58), leftStrip);
    animator.completeAll();

    // When another cell is hovered while it shows
    const QRectF lower(16, 600, 88, 58);
    preview->show(window(2), SidebarEdge::left, display, lower, leftStrip);

    // Then the card moves in 0.14 s at full opacity, showing the new window
    EXPECT_DOUBLE_EQ(lastFade().alpha, 1.0);
    EXPECT_DOUBLE_EQ(lastFade().duration.count(), 0.14);
    EXPECT_EQ(preview->model().window()->windowID, 2u);
    animator.completeAll();
    EXPECT_EQ(preview->panel().frame(), HoverPreviewController::cardFrame(
                                            328, SidebarEdge::left, display.visibleFrame, lower, leftStrip));
}

TEST_F(HoverPreviewTest, ShowingAgainDuringTheFadeOutKeepsTheCardAndItsWindow) {
    // Given a card fading out
    preview->show(window(1), SidebarEdge::right, display, QRectF(1816, 500, 88, 58), rightStrip);
    animator.completeAll();
    preview->hide();

    // When it is shown again before the fade ends, and every fade then ends
    preview->show(window(1), SidebarEdge::right, display, QRectF(1816, 500, 88, 58), rightStrip);
    // From the right strip's side it slides leftwards, away from the strip
    EXPECT_EQ(preview->panel().frame().x(), preview->targetFrame().x() + 8);
    animator.completeAll();

    // Then the card stays on screen, opaque, with its window
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->panel().isVisible());
    EXPECT_DOUBLE_EQ(preview->panel().alphaValue(), 1.0);
    ASSERT_TRUE(preview->model().window());
    EXPECT_EQ(preview->model().window()->windowID, 1u);
}

TEST_F(HoverPreviewTest, TheContentIsBuiltOnceAndRebuiltOnlyForANewStyle) {
    preview->show(window(1), SidebarEdge::left, display, QRectF(16, 500, 88, 58), leftStrip);
    QWidget* first = preview->panel().contentView();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(preview->style(), settings->panelStyle());

    // Showing again keeps the content
    preview->show(window(2), SidebarEdge::left, display, QRectF(16, 600, 88, 58), leftStrip);
    EXPECT_EQ(preview->panel().contentView(), first);

    // A changed style, or a cleared one, builds it anew for the style in force
    settings->setPanelStyle(PanelStyle::dark);
    preview->updateContent();
    QWidget* dark = preview->panel().contentView();
    EXPECT_NE(dark, first);
    preview->setStyle(std::nullopt);
    preview->updateContent();
    EXPECT_NE(preview->panel().contentView(), dark);
    EXPECT_EQ(preview->style(), PanelStyle::dark);
}

TEST_F(HoverPreviewTest, TheModelNotifiesOnlyRealChanges) {
    HoverPreviewModel model;
    QSignalSpy changes(&model, &HoverPreviewModel::windowChanged);
    model.setWindow(std::nullopt);
    model.setWindow(window(1));
    model.setWindow(window(1));
    WindowInfo retitled = window(1);
    retitled.title = QStringLiteral("Other");
    model.setWindow(retitled);
    model.setWindow(std::nullopt);
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(HoverPreviewTest, ThePicturePrefersTheLargeCaptureOfTheSameWindow) {
    ThumbnailService& thumbnails = state->thumbnails();
    FakeWindowCapture& capture = *platform->fakeWindowCapture;
    AppIcons icons(*platform->applications);
    HoverPreviewView view(preview->model(), thumbnails, icons);
    const WindowInfo a = window(1, QRectF(0, 0, 400, 300));
    const WindowInfo b = window(2, QRectF(0, 0, 400, 300));
    capture.addWindow(1, a.frame);
    capture.addWindow(2, b.frame);

    // Without a window, or a window without pictures, there is nothing to draw
    EXPECT_FALSE(view.picture());
    preview->model().setWindow(a);
    EXPECT_FALSE(view.picture());

    // With a small picture, that one
    thumbnails.setActive(true);
    thumbnails.setVisible({a, b});
    capture.succeedAll();
    ASSERT_TRUE(view.picture());
    EXPECT_EQ(view.picture()->cacheKey(), thumbnails.box(1)->image()->cacheKey());

    // With the large capture of another window, still the small picture
    thumbnails.setHovered(b);
    capture.succeed(2);
    EXPECT_EQ(thumbnails.hoverImageID(), 2u);
    EXPECT_EQ(view.picture()->cacheKey(), thumbnails.box(1)->image()->cacheKey());

    // With its own large capture, the large one
    thumbnails.setHovered(a);
    capture.succeed(1);
    EXPECT_EQ(view.picture()->cacheKey(), thumbnails.hoverImage()->cacheKey());
}

} // namespace
} // namespace corvane::testing
