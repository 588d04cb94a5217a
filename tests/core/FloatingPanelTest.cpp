#include "core/FloatingPanel.h"
#include "core/PanelBackground.h"
#include "core/PanelShadow.h"
#include "core/QtAnimator.h"
#include "core/TrackingHostingView.h"
#include "platform/fake/FakePanelWindowing.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

// Readable points in failure messages.
static void PrintTo(const QPointF& point, std::ostream* os) {
    *os << "(" << point.x() << ", " << point.y() << ")";
}

using namespace corvane;
using namespace std::chrono_literals;

namespace {

// A panel that may take keyboard focus, as a file panel does.
class KeyPanel : public FloatingPanel {
public:
    explicit KeyPanel(PanelWindowing& windowing)
        : FloatingPanel(windowing, QRect(0, 0, 100, 100), PanelLevel::status, false, true) {}
};

QImage rendered(QWidget& widget, QSize size) {
    widget.resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

using Reports = std::vector<std::optional<QPointF>>;

void fill(QWidget& content, const QColor& colour) {
    QPalette palette;
    palette.setColor(QPalette::Window, colour);
    content.setPalette(palette);
}

// The panel's content: a widget that fills itself with `colour`.
QWidget& filledContent(FloatingPanel& panel, const QColor& colour) {
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    fill(*content, colour);
    panel.setContentView(content);
    return *content;
}

} // namespace

TEST(FloatingPanelTest, WithoutACompositorARoundedPanelIsCutToItsOutlineAndFollowsOneStarting) {
    FakePanelWindowing windowing;
    windowing.setCompositing(false);
    FloatingPanel panel(windowing, QRect(0, 0, 200, 60), PanelLevel::status, true);
    panel.setContentView(makePanelBackground(PanelStyle::frosted, nullptr, 30));
    panel.show();
    ASSERT_TRUE(panel.isShapedToOutline());
    // A capsule: the corners are cut, the middle and the ends' middles are kept
    EXPECT_FALSE(panel.mask().contains(QPoint(1, 1)));
    EXPECT_TRUE(panel.mask().contains(QPoint(100, 30)));
    EXPECT_TRUE(panel.mask().contains(QPoint(2, 30)));
    EXPECT_EQ(panel.geometry(), QRect(0, 0, 200, 60));
    windowing.setCompositing(true);
    EXPECT_FALSE(panel.isShapedToOutline());
    EXPECT_TRUE(panel.mask().isEmpty());
}

TEST(FloatingPanelTest, WhereTranslucencyShowsAPanelCastsItsOwnShadowInAMarginThatTakesNoInput) {
    FakePanelWindowing windowing;
    FloatingPanel panel(windowing, QRect(300, 200, 200, 60), PanelLevel::status, false);
    panel.setContentView(makePanelBackground(PanelStyle::frosted, nullptr, 30));
    const QMargins margins = PanelShadow::soft().margins();
    ASSERT_FALSE(margins.isNull());
    // The frame stays the caller's; the window gains the margin around it, the content stays in the frame
    EXPECT_EQ(panel.frame(), QRect(300, 200, 200, 60));
    EXPECT_EQ(panel.shadowMargins(), margins);
    EXPECT_EQ(panel.geometry(), QRect(300, 200, 200, 60).marginsAdded(margins));
    EXPECT_EQ(panel.contentView()->geometry(), QRect(QPoint(margins.left(), margins.top()), QSize(200, 60)));
    panel.setFrame(QRect(10, 20, 240, 60));
    EXPECT_EQ(panel.frame(), QRect(10, 20, 240, 60));
    // No compositing manager adds a shadow of its own
    EXPECT_FALSE(windowing.shadows.value(panel.windowHandle(), true));

    // Input only inside the outline: not in the margin, not in the cut corner
    const QPoint origin(margins.left(), margins.top());
    const QRegion input = windowing.inputShapes.value(panel.windowHandle());
    EXPECT_TRUE(input.contains(origin + QPoint(120, 30)));
    EXPECT_TRUE(input.contains(origin + QPoint(2, 30)));
    EXPECT_FALSE(input.contains(origin + QPoint(0, 0)));
    EXPECT_FALSE(input.contains(origin + QPoint(120, 62)));
    EXPECT_FALSE(input.contains(origin + QPoint(120, -2)));

    // Drawn soft below the outline, gone towards the window's edge, not over the panel's own fill
    const QImage picture = rendered(panel, panel.size());
    const auto shade = [&](QPoint at) { return qAlpha(picture.pixel(origin + at)); };
    EXPECT_GT(shade(QPoint(120, 62)), 30);
    EXPECT_GT(shade(QPoint(120, 62)), shade(QPoint(120, 60 + margins.bottom() - 4)));
    EXPECT_LT(qAlpha(picture.pixel(1, picture.height() / 2)), 8);
    EXPECT_LT(qAlpha(picture.pixel(picture.width() / 2, 0)), 8);
    EXPECT_GT(shade(QPoint(120, 62)), shade(QPoint(120, -2)));
    FloatingPanel bare(windowing, QRect(300, 200, 200, 60), PanelLevel::status, false);
    bare.setContentView(makePanelBackground(PanelStyle::frosted, nullptr, 30));
    bare.setHasShadow(false);
    EXPECT_EQ(bare.geometry(), bare.frame());
    EXPECT_EQ(rendered(bare, bare.size()).pixel(120, 30), picture.pixel(origin + QPoint(120, 30)));

    // A fade is painted: the window's own opacity, which some compositing managers shade for, stays whole
    panel.setAlphaValue(0.5);
    EXPECT_EQ(panel.shownOpacity(), 0.5);
    EXPECT_EQ(panel.windowOpacity(), 1.0);
    EXPECT_LT(qAlpha(rendered(panel, panel.size()).pixel(origin + QPoint(120, 62))), shade(QPoint(120, 62)));
    panel.setAlphaValue(1);

    // Without a compositing manager: no shadow, no margin, the frame kept, input wherever the shape lets it
    windowing.setCompositing(false);
    EXPECT_TRUE(panel.shadowMargins().isNull());
    EXPECT_EQ(panel.geometry(), QRect(10, 20, 240, 60));
    EXPECT_TRUE(panel.isShapedToOutline());
    EXPECT_TRUE(windowing.inputShapes.value(panel.windowHandle()).isEmpty());
    windowing.setCompositing(true);
    EXPECT_EQ(panel.frame(), QRect(10, 20, 240, 60));
    EXPECT_EQ(panel.shadowMargins(), margins);
}

TEST(FloatingPanelTest, FlagsFollowTheLevelTheMouseChoiceAndTheFocusChoice) {
    FakePanelWindowing windowing;

    // A status-level panel that ignores the mouse
    FloatingPanel toast(windowing, QRect(0, 0, 100, 100), PanelLevel::status, true);
    const Qt::WindowFlags flags = toast.windowFlags();
    EXPECT_TRUE(flags.testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput));
    EXPECT_TRUE(toast.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(toast.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(toast.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(toast.canBecomeKeyWindow());
    // Its native window exists before the first show, at the caller's frame
    ASSERT_NE(toast.windowHandle(), nullptr);
    EXPECT_TRUE(toast.windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(toast.frame(), QRect(0, 0, 100, 100));

    // A normal-level panel that takes the mouse still never takes focus
    FloatingPanel strip(windowing, QRect(10, 20, 30, 40), PanelLevel::normal, false);
    EXPECT_FALSE(strip.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(strip.windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_FALSE(strip.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(strip.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(strip.frame(), QRect(10, 20, 30, 40));
    // Never the active window, it shows its tooltips all the same
    EXPECT_TRUE(strip.testAttribute(Qt::WA_AlwaysShowToolTips));

    // Only a subclass that asks may take focus
    KeyPanel filePanel(windowing);
    EXPECT_TRUE(filePanel.canBecomeKeyWindow());
    EXPECT_FALSE(filePanel.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    // It still shows without the keyboard: the desktop is told before its window first maps
    EXPECT_TRUE(filePanel.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(windowing.quietShows.contains(filePanel.windowHandle()));
}

TEST(FloatingPanelTest, AsksForEveryDesktopEachTimeItIsShownAndKeepsOneContentView) {
    FakePanelWindowing windowing;
    FloatingPanel panel(windowing, QRect(0, 0, 100, 100), PanelLevel::status, true);
    EXPECT_EQ(windowing.requestCount(panel.windowHandle()), 0);

    // Every show asks again: the window manager forgets a withdrawn window's desktop
    panel.show();
    panel.hide();
    panel.show();
    EXPECT_EQ(windowing.requestCount(panel.windowHandle()), 2);
    // Each raise while shown puts it above a full-screen window in front
    const auto shownAbove = windowing.aboveFullScreen.count(panel.windowHandle());
    EXPECT_GE(shownAbove, 2);
    panel.raise();
    EXPECT_EQ(windowing.aboveFullScreen.count(panel.windowHandle()), shownAbove + 1);

    // A new content view replaces and deletes the previous one
    QPointer<QWidget> first = new QLabel(QStringLiteral("first"));
    panel.setContentView(first);
    EXPECT_EQ(first->parentWidget(), &panel);
    auto* second = new QLabel(QStringLiteral("second"));
    panel.setContentView(second);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(panel.contentView(), second);
    panel.hide();
}

TEST(FloatingPanelTest, EachShowingHandsTheDesktopItsFinishedPictureBeforeTheWindowMaps) {
    FakePanelWindowing windowing;
    FloatingPanel panel(windowing, QRect(0, 0, 120, 40), PanelLevel::status, true);
    QWidget& content = filledContent(panel, Qt::red);

    panel.show();
    // The picture is the whole window's, a shadow's margin included where one is drawn
    const qreal ratio = panel.windowHandle()->devicePixelRatio();
    const QImage first = windowing.firstPictures.value(panel.windowHandle());
    ASSERT_EQ(first.size(), panel.size() * ratio);
    const QPoint centre = (panel.frame().center() - panel.geometry().topLeft()) * ratio;
    EXPECT_EQ(QColor(first.pixel(centre)), QColor(Qt::red));

    // Hidden, it has none; shown again with other content, the new picture
    panel.hide();
    EXPECT_TRUE(windowing.firstPictures.value(panel.windowHandle()).isNull());
    fill(content, Qt::blue);
    panel.show();
    EXPECT_EQ(QColor(windowing.firstPictures.value(panel.windowHandle()).pixel(centre)), QColor(Qt::blue));
    panel.hide();

    // Painted while hidden: shown with that picture once, mapped as the showing begins with its
    // hints given first and not again; painted anew when its size changed
    EXPECT_TRUE(windowing.mappedNow.isEmpty());
    panel.paintWhileHidden();
    ASSERT_TRUE(panel.isPaintedWhileHidden());
    const int hintsBefore = windowing.requestCount(panel.windowHandle());
    panel.show();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 1);
    ASSERT_EQ(windowing.mappedNow.size(), 1);
    EXPECT_EQ(windowing.mappedNow[0].first, panel.windowHandle());
    EXPECT_EQ(windowing.mappedNow[0].second, panel.geometry());
    EXPECT_EQ(windowing.hintsAtMapNow[0], hintsBefore + 1);
    EXPECT_EQ(windowing.requestCount(panel.windowHandle()), hintsBefore + 1);
    panel.hide();
    panel.show();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 1);
    panel.hide();
    panel.paintWhileHidden();
    panel.resize(panel.size() + QSize(10, 0));
    panel.show();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 1);
    EXPECT_EQ(windowing.firstPictures.value(panel.windowHandle()).size(), panel.size() * ratio);
    panel.hide();
    // Where the desktop cannot map it yet, Qt's showing does, the picture given then
    windowing.managedWindowsMapNow = false;
    panel.paintWhileHidden();
    panel.show();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 2);
    EXPECT_EQ(windowing.mappedNow.size(), 1);
    panel.hide();

    // A window no window manager takes in is mapped as soon as its picture is in place, painted
    // as it shows
    panel.setWindowFlag(Qt::BypassWindowManagerHint);
    panel.show();
    ASSERT_EQ(windowing.mappedNow.size(), 2);
    EXPECT_EQ(windowing.mappedNow[1].first, panel.windowHandle());
    EXPECT_EQ(windowing.mappedNow[1].second, panel.geometry());
    panel.hide();
}

TEST(FloatingPanelTest, APanelShownAgainBeforeQtHeardItsWindowGoHasItsPictureBeforeTheMap) {
    FakePanelWindowing windowing;
    FloatingPanel panel(windowing, QRect(0, 0, 120, 40), PanelLevel::status, true);
    QWidget& content = filledContent(panel, Qt::red);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    // Hidden and shown again at once (a toast after a toast on a loaded machine): Qt still counts
    // the window exposed, but the server has it unmapped and maps it anew with its picture.
    panel.hide();
    fill(content, Qt::blue);
    ASSERT_TRUE(panel.windowHandle()->isExposed());
    panel.show();
    const QImage picture = windowing.firstPictures.value(panel.windowHandle());
    ASSERT_FALSE(picture.isNull());
    const qreal ratio = panel.windowHandle()->devicePixelRatio();
    EXPECT_EQ(QColor(picture.pixel((panel.frame().center() - panel.geometry().topLeft()) * ratio)),
              QColor(Qt::blue));
    panel.hide();
}

TEST(FloatingPanelTest, APanelMappedAheadShowsToQtOnceTheWindowManagerHasItsWindow) {
    FakePanelWindowing windowing;
    FloatingPanel panel(windowing, QRect(0, 0, 120, 40), PanelLevel::status, true);
    panel.show();
    panel.hide();
    int onScreen = 0;
    const auto counted = [&] { ++onScreen; };

    // Mapped with its picture painted while hidden; shown to Qt once the window is on the screen,
    // whatever was waiting for it run then, once each
    panel.paintWhileHidden();
    panel.showPaintedAhead(counted);
    ASSERT_EQ(windowing.mappedNow.size(), 1);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(panel.isShowing());
    panel.showPaintedAhead(counted);
    EXPECT_EQ(windowing.mappedNow.size(), 1);
    windowing.expose(*panel.windowHandle());
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(onScreen, 2);
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 1);
    panel.hide();

    // Hidden before the window manager had it: taken off the screen again, and once more when the
    // window manager maps it after all; nothing left to run
    panel.paintWhileHidden();
    panel.showPaintedAhead(counted);
    ASSERT_EQ(windowing.mappedNow.size(), 2);
    panel.hide();
    ASSERT_EQ(windowing.unmappedNow.size(), 1);
    EXPECT_EQ(windowing.unmappedNow[0], panel.windowHandle());
    EXPECT_FALSE(panel.isShowing());
    EXPECT_TRUE(windowing.firstPictures.value(panel.windowHandle()).isNull());
    windowing.expose(*panel.windowHandle());
    EXPECT_EQ(windowing.unmappedNow.size(), 2);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(onScreen, 2);

    // Shown the plain way meanwhile: shown at once, and not mapped again
    panel.paintWhileHidden();
    panel.showPaintedAhead(counted);
    panel.show();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(windowing.mappedNow.size(), 3);
    windowing.expose(*panel.windowHandle());
    EXPECT_EQ(onScreen, 3);
    EXPECT_EQ(windowing.unmappedNow.size(), 2);
    panel.hide();

    // A window no window manager takes in shows to Qt at once
    panel.setWindowFlag(Qt::BypassWindowManagerHint);
    panel.show();
    panel.hide();
    panel.paintWhileHidden();
    panel.showPaintedAhead(counted);
    EXPECT_TRUE(panel.isVisible());
}

TEST(FloatingPanelTest, AReplacedFadeStillCompletesLaterWhileThePanelHeadsForTheNewerTarget) {
    FakePanelWindowing windowing;
    FloatingPanel panel(windowing, QRect(0, 0, 100, 100), PanelLevel::status, true);
    QtAnimator animator;
    std::vector<QString> completed;

    // Given a long fade out under way
    animator.fade(panel, 0.0, 60s, [&] { completed.push_back(QStringLiteral("out")); });
    EXPECT_EQ(panel.alphaValue(), 0.0);

    // When a fade in replaces it
    animator.fade(panel, 1.0, 60s, [&] { completed.push_back(QStringLiteral("in")); });

    // Then the panel heads for the newer target, and the older completion runs on a later turn
    EXPECT_EQ(panel.alphaValue(), 1.0);
    EXPECT_TRUE(completed.empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(completed, std::vector<QString>{QStringLiteral("out")});
}

TEST(FloatingPanelTest, BackgroundIsARoundedShapeInTheStyleWithTheContentOnTop) {
    // Dark: a dark fill, transparent outside the rounded corners, light text for the content
    auto* label = new QLabel(QStringLiteral("content"));
    std::unique_ptr<QWidget> dark(makePanelBackground(PanelStyle::dark, label, 12));
    EXPECT_EQ(label->parentWidget(), dark.get());
    const QImage darkImage = rendered(*dark, QSize(120, 40));
    EXPECT_EQ(qAlpha(darkImage.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(darkImage.pixel(119, 39)), 0);
    const QColor darkFill = darkImage.pixelColor(60, 3);
    EXPECT_GT(darkFill.alpha(), 150);
    EXPECT_LT(darkFill.lightness(), 80);
    EXPECT_GT(label->palette().color(QPalette::WindowText).lightness(), 200);

    // Frosted: a light fill under the application's light palette
    std::unique_ptr<QWidget> frosted(makePanelBackground(PanelStyle::frosted, new QWidget, 12));
    EXPECT_GT(rendered(*frosted, QSize(120, 40)).pixelColor(60, 20).lightness(), 150);

    // A radius beyond half the height gives a capsule with round ends, not elliptic ones: the
    // middle of the left edge is filled and the corners stay clear
    std::unique_ptr<QWidget> capsule(makePanelBackground(PanelStyle::glass, new QWidget, 500));
    const QImage capsuleImage = rendered(*capsule, QSize(200, 40));
    EXPECT_GT(qAlpha(capsuleImage.pixel(2, 20)), 100);
    EXPECT_GT(qAlpha(capsuleImage.pixel(20, 3)), 100);
    EXPECT_EQ(qAlpha(capsuleImage.pixel(1, 1)), 0);
}

TEST(FloatingPanelTest, APanelPaintedAheadActsOnceOnScreenAndForgetsThatWhenHiddenFirst) {
    FakePanelWindowing windowing;
    KeyPanel panel(windowing);
    int onScreen = 0;
    panel.showPaintedAhead([&] { ++onScreen; });
    const QWindow* window = panel.windowHandle();
    // It waits for the window to come onto the screen
    ASSERT_TRUE(windowing.exposeActions.value(window));
    EXPECT_EQ(onScreen, 0);
    // Hidden before that, it has nothing to do at its next showing
    panel.hide();
    EXPECT_FALSE(windowing.exposeActions.value(window));
    EXPECT_EQ(onScreen, 0);
}

TEST(TrackingHostingViewTest, ReportsEntryAndMovesAsPointsAndEachExitOnce) {
    TrackingHostingView view;
    view.resize(100, 50);
    Reports reports;
    view.onMouse = [&](std::optional<QPointF> point) { reports.push_back(point); };

    QEnterEvent enter(QPointF(5, 6), QPointF(5, 6), QPointF(105, 106));
    QApplication::sendEvent(&view, &enter);
    QMouseEvent move(QEvent::MouseMove, QPointF(7, 8), QPointF(107, 108), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);
    QApplication::sendEvent(&view, &leave); // a repeated leave is not a second exit

    EXPECT_EQ(reports, (Reports{QPointF(5, 6), QPointF(7, 8), std::nullopt}));

    // Without an owner's callback nothing happens
    view.onMouse = nullptr;
    QApplication::sendEvent(&view, &enter);
    QApplication::sendEvent(&view, &leave);
}

TEST(TrackingHostingViewTest, AnExitOnlyItsWindowIsToldOfIsReported) {
    // Qt tells only the window of an exit when the widget that last had the pointer was deleted
    QWidget window;
    auto* view = new TrackingHostingView(new QWidget);
    (new QVBoxLayout(&window))->addWidget(view);
    Reports reports;
    view->onMouse = [&](std::optional<QPointF> point) { reports.push_back(point); };
    QEnterEvent enter(QPointF(5, 6), QPointF(5, 6), QPointF(105, 106));
    QApplication::sendEvent(view, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&window, &leave);
    EXPECT_EQ(reports, (Reports{QPointF(5, 6), std::nullopt}));
}

TEST(TrackingHostingViewTest, MovesOverTheContentReachTheViewInItsOwnCoordinates) {
    // Given content with a label inset by 20 points; the label tracks the mouse itself and lets
    // moves pass on to its parents, the content does not track
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(20, 20, 20, 20);
    auto* label = new QLabel(QStringLiteral("inner"));
    label->setMouseTracking(true);
    layout->addWidget(label);
    TrackingHostingView view(content);
    view.resize(200, 100);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    Reports reports;
    view.onMouse = [&](std::optional<QPointF> point) { reports.push_back(point); };

    // When the pointer enters over the label, then moves on it
    QTest::mouseMove(label, QPoint(3, 4));
    QTest::mouseMove(label, QPoint(9, 5));

    // Then the view reports the entry, then each move once, in its own coordinates
    EXPECT_EQ(reports, (Reports{QPointF(23, 24), QPointF(23, 24), QPointF(29, 25)}));
}
