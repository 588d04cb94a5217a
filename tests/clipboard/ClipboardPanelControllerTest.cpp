#include "clipboard/ClipboardPanelController.h"
#include "clipboard/ClipCard.h"
#include "clipboard/ClipboardHistory.h"
#include "core/StatusItems.h"
#include "platform/fake/FakePanelWindowing.h"
#include "support/AppFixture.h"
#include "support/MotionReference.h"

#include <QEnterEvent>
#include <QLineEdit>
#include <QTemporaryDir>

namespace corvane::testing {
namespace {

class ClipboardPanelControllerTest : public AppFixture {
protected:
    ClipboardPanelControllerTest() {
        settings = std::make_unique<Settings>(*platform->defaults, notifications);
        platform->fakeScreens->setScreens(
            {ScreenInfo{"one", QRectF(0, 0, 1000, 800), QRectF(0, 0, 1000, 760)}});
        history =
            std::make_unique<ClipboardHistory>(*settings, scheduler, background, *platform->pasteboard,
                                               *platform->runningApplications, ClipboardStore(home.path()));
        history->setEnabled(true);
        controller = std::make_unique<ClipboardPanelController>(
            ClipboardPanelController::Services{*settings,
                                               scheduler,
                                               *history,
                                               *platform->screens,
                                               *platform->panelWindowing,
                                               *platform->pasteKeystroke,
                                               animator,
                                               statusItems,
                                               {},
                                               [this] { return shortcut; },
                                               platform->fakeHotKeys,
                                               nullptr,
                                               platform->fakeEventMonitors});
        for (const char* text : {"alpha", "Beta report", "gamma"}) {
            platform->fakePasteboard->copyText(text);
            scheduler.advance(ClipboardHistory::pollInterval);
        }
    }
    ~ClipboardPanelControllerTest() override { controller.reset(); }

    QTemporaryDir home;
    StatusItems statusItems{*platform->tray, scheduler};
    QString shortcut = QStringLiteral("Alt+Shift+V");
    std::unique_ptr<ClipboardHistory> history;
    std::unique_ptr<ClipboardPanelController> controller;
};

TEST_F(ClipboardPanelControllerTest, TheStripRisesAlongItsCurveAndFadesWhereACompositorShows) {
    const int top = 760 - 12 - 230;
    controller->show();
    ASSERT_EQ(animator.pendingMoves().size(), 1u);
    EXPECT_DOUBLE_EQ(animator.pendingMoves()[0].duration.count(), 0.18);
    EXPECT_EQ(controller->panel()->frame().y(), top + 24);
    // Three points of the rise against the curve with control points (0.2, 0.9) and (0.3, 1)
    for (double t : {0.25, 0.5, 0.75}) {
        animator.advanceMoves(Seconds(0.18 * t));
        const double expected = top + 24 - 24 * cubicBezier(0.2, 0.9, 0.3, 1.0, t);
        EXPECT_NEAR(controller->panel()->frame().y(), expected, 0.6) << t;
    }
    ASSERT_EQ(animator.pending().size(), 1u);
    EXPECT_DOUBLE_EQ(animator.pending()[0].duration.count(), 0.18);
    animator.completeAll();
    EXPECT_EQ(controller->panel()->frame(), QRect(16, top, 968, 230));

    EXPECT_TRUE(controller->panel()->isTranslucent());

    // Without a compositing manager a fade in would show nothing: the strip comes by its rise
    // alone (it still goes when its fade out would end), in a window made anew without an alpha
    // channel and cut to its outline
    platform->fakePanelWindowing->setCompositing(false);
    controller->hide();
    ASSERT_EQ(animator.pending().size(), 1u);
    EXPECT_DOUBLE_EQ(animator.pending()[0].duration.count(), 0.12);
    animator.completeAll();
    EXPECT_FALSE(controller->panel()->isVisible());
    controller->show();
    EXPECT_FALSE(controller->panel()->isTranslucent());
    EXPECT_TRUE(controller->panel()->isShapedToOutline());
    EXPECT_EQ(animator.pending()[0].duration.count(), 0.0);
    ASSERT_EQ(animator.pendingMoves().size(), 1u);
    EXPECT_DOUBLE_EQ(animator.pendingMoves()[0].duration.count(), 0.18);
}

TEST_F(ClipboardPanelControllerTest, KeysSearchAndTheStripsGeometry) {
    controller->show();
    animator.completeAll();
    ASSERT_TRUE(controller->isShown());
    // 1000 wide less the margins, standing 12 above the visible bottom
    EXPECT_EQ(controller->panel()->frame(), QRect(16, 760 - 12 - 230, 968, 230));
    EXPECT_EQ(controller->view()->cards().size(), 3u);

    // The arrows clamp at both ends
    controller->handleKey(Qt::Key_Left);
    EXPECT_EQ(controller->model().selectedIndex(), 0);
    for (int i = 0; i < 4; ++i)
        controller->handleKey(Qt::Key_Right);
    EXPECT_EQ(controller->model().selectedIndex(), 2);
    EXPECT_FALSE(controller->handleKey(Qt::Key_A));

    // Typing selects the first card again; case is ignored; blanks around the query do not count
    controller->model().setSearchText(" \u00A0REPORT\t");
    EXPECT_EQ(controller->model().selectedIndex(), 0);
    ASSERT_EQ(controller->view()->cards().size(), 1u);
    EXPECT_EQ(controller->view()->cards()[0]->item().text, "Beta report");
    controller->model().setSearchText("nothing like it");
    EXPECT_EQ(controller->view()->emptyMessage(), "No matches");
    EXPECT_TRUE(controller->view()->showsClear());
    // Return with no card to choose does nothing but is taken
    EXPECT_TRUE(controller->handleKey(Qt::Key_Return));
    EXPECT_TRUE(controller->isShown());

    controller->handleKey(Qt::Key_Escape);
    animator.completeAll();
    scheduler.runDue();
    EXPECT_FALSE(controller->panel()->isVisible());
}

TEST_F(ClipboardPanelControllerTest, AnotherOpeningKeepsTheViewAndItsEntriesAndStartsItAsANewOne) {
    controller->show();
    animator.completeAll();
    ClipboardView* view = controller->view();
    ASSERT_EQ(view->cards().size(), 3u);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(view->cards()[0], &enter);
    ASSERT_TRUE(view->cards()[0]->isHovered());
    controller->handleKey(Qt::Key_Right);
    view->searchField()->setText("report");
    controller->model().setSearchText("report");
    controller->handleKey(Qt::Key_Escape);
    animator.completeAll();
    scheduler.runDue();

    // Entries past their age go at the next copy, not at an opening
    settings->setClipboardRetentionDays(1);
    scheduler.advance(Seconds(2 * 86400));
    controller->show();
    animator.completeAll();
    EXPECT_EQ(controller->view(), view);
    EXPECT_TRUE(view->searchField()->text().isEmpty());
    EXPECT_EQ(controller->model().selectedIndex(), 0);
    ASSERT_EQ(view->cards().size(), 3u);
    EXPECT_TRUE(view->cards()[0]->isSelected());
    for (ClipCard* card : view->cards())
        EXPECT_FALSE(card->isHovered());
    EXPECT_EQ(view->rowScroll(), 0);
}

TEST_F(ClipboardPanelControllerTest,
       TheClosedStripIsPaintedAsItsNextOpeningShowsAndAnewWhenItsEntriesChange) {
    FakePanelWindowing& windowing = *platform->fakePanelWindowing;
    // Where a compositing manager shows it, the strip's first picture is its shadow alone: its
    // content fades in.
    windowing.setCompositing(false);
    const auto closeAndWait = [&] {
        controller->handleKey(Qt::Key_Escape);
        animator.completeAll();
        scheduler.advance(ClipboardPanelController::paintAheadDelay);
    };
    controller->show();
    animator.completeAll();
    controller->handleKey(Qt::Key_Right);
    controller->view()->searchField()->setText("report");
    controller->model().setSearchText("report");
    closeAndWait();
    FilePanel* panel = controller->panel();
    ASSERT_TRUE(panel->isPaintedWhileHidden());
    const QImage ahead = windowing.firstPictures.value(panel->windowHandle());
    ASSERT_FALSE(ahead.isNull());

    // The same as an opening that paints it there and then
    panel->dropPaintedAhead();
    controller->show();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 0);
    EXPECT_TRUE(windowing.firstPictures.value(panel->windowHandle()) == ahead);
    animator.completeAll();
    closeAndWait();
    controller->show();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 1);
    EXPECT_FALSE(panel->isPaintedWhileHidden());
    animator.completeAll();

    // A copy made while it is closed
    closeAndWait();
    ASSERT_TRUE(panel->isPaintedWhileHidden());
    platform->fakePasteboard->copyText("delta");
    scheduler.advance(ClipboardHistory::pollInterval);
    scheduler.advance(ClipboardPanelController::paintAheadDelay);
    ASSERT_EQ(history->items().size(), 4u);
    ASSERT_TRUE(panel->isPaintedWhileHidden());
    const QImage withDelta = windowing.firstPictures.value(panel->windowHandle());
    EXPECT_FALSE(withDelta == ahead);
    panel->dropPaintedAhead();
    controller->show();
    EXPECT_TRUE(windowing.firstPictures.value(panel->windowHandle()) == withDelta);
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 1);
    animator.completeAll();

    // Another accent, chosen while it is closed: an opening at once paints it anew
    closeAndWait();
    ASSERT_TRUE(panel->isPaintedWhileHidden());
    settings->setSidebarAccent(AccentChoice::system);
    EXPECT_FALSE(panel->isPaintedWhileHidden());
    controller->show();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 1);
    EXPECT_FALSE(windowing.firstPictures.value(panel->windowHandle()) == withDelta);
}

TEST_F(ClipboardPanelControllerTest, ChoosingPastesOnlyOnceTheWindowInFrontHasTheKeyboardBack) {
    FakePasteKeystroke& keys = *platform->fakePasteKeystroke;
    platform->fakePanelWindowing->active = 77;
    controller->show();
    controller->handleKey(Qt::Key_Right);
    controller->handleKey(Qt::Key_Return);
    // The chosen entry is on the clipboard and in front, the keyboard given back to window 77
    EXPECT_EQ(platform->fakePasteboard->data("text/plain"), "Beta report");
    EXPECT_EQ(history->items()[0].text, "Beta report");
    EXPECT_EQ(platform->fakePanelWindowing->keyboardGifts.last(), 77u);
    EXPECT_EQ(keys.watched, std::vector<uint32_t>{77});

    // No paste while the focus has not arrived; it comes, the paste follows
    scheduler.advance(Seconds(0.5));
    EXPECT_TRUE(keys.pastesInto.empty());
    keys.focused = 77;
    scheduler.advance(Seconds(0.05));
    EXPECT_EQ(keys.pastesInto, std::vector<uint32_t>{77});

    // A window that never gets the keyboard back gets no paste at all
    keys.focused.reset();
    controller->show();
    controller->handleKey(Qt::Key_Return);
    scheduler.advance(Seconds(5));
    EXPECT_EQ(keys.pastesInto.size(), 1u);
    // Nor does anything when pasting directly is off
    settings->setClipboardPasteDirectly(false);
    keys.focused = 77;
    controller->show();
    controller->handleKey(Qt::Key_Return);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(keys.pastesInto.size(), 1u);
}

TEST_F(ClipboardPanelControllerTest, AClickInAnotherProgramClosesTheStripWhateverHasTheKeyboard) {
    FakeEventMonitors& mouse = *platform->fakeEventMonitors;
    platform->fakePanelWindowing->active = 77;
    controller->show();
    animator.completeAll();
    // Another window of ours takes the keyboard: the strip stays, as it does for clicks in our own
    // windows
    QWidget settingsWindow;
    settingsWindow.show();
    settingsWindow.activateWindow();
    QCoreApplication::processEvents();
    scheduler.runDue();
    mouse.pressLeftButton(FakeEventMonitors::Scope::global, true);
    mouse.pressRightButton(FakeEventMonitors::Scope::global, true);
    scheduler.runDue();
    EXPECT_TRUE(controller->isShown());
    // A click in another program closes it, and gives the keyboard to nobody: the click took it
    const qsizetype gifts = platform->fakePanelWindowing->keyboardGifts.size();
    mouse.pressRightButton();
    animator.completeAll();
    EXPECT_FALSE(controller->panel()->isVisible());
    EXPECT_EQ(platform->fakePanelWindowing->keyboardGifts.size(), gifts);
    // Closed, it watches clicks no more
    EXPECT_FALSE(mouse.isWatched(FakeEventMonitors::Scope::global, EventMask::leftMouseDown));
    controller->show();
    mouse.pressLeftButton();
    animator.completeAll();
    EXPECT_FALSE(controller->panel()->isVisible());
}

TEST_F(ClipboardPanelControllerTest, KeysTypedWhileTheStripOpensWaitForItAndGoNowhereElse) {
    FakeHotKeys& hotKeys = *platform->fakeHotKeys;
    platform->fakePanelWindowing->active = 77;
    // The keyboard is held before anything else, before the screen is looked for
    std::optional<bool> heldAtLookup;
    platform->fakeScreens->onLookup = [&] {
        if (!heldAtLookup)
            heldAtLookup = hotKeys.isHoldingKeyboard();
    };
    controller->show();
    platform->fakeScreens->onLookup = {};
    EXPECT_EQ(heldAtLookup, std::optional<bool>(true));
    EXPECT_TRUE(hotKeys.isHoldingKeyboard());
    // The strip gets the keyboard: what was typed meanwhile goes to it
    QCoreApplication::processEvents();
    ASSERT_TRUE(controller->panel()->isActiveWindow());
    EXPECT_FALSE(hotKeys.isHoldingKeyboard());
    EXPECT_EQ(hotKeys.releasedTo(), std::vector<quint64>{controller->panel()->winId()});
    // Already in front with the keyboard: nothing to hold
    controller->show();
    EXPECT_FALSE(hotKeys.isHoldingKeyboard());

    // Closed with the keyboard, the strip gives it back to the program that was in front itself,
    // in turn with its own requests, not through a window manager that may act on it late
    controller->hide();
    const QList<quint64> gifts{controller->panel()->winId(), 77};
    EXPECT_EQ(platform->fakePanelWindowing->keyboardGifts, gifts);
    EXPECT_TRUE(platform->fakePanelWindowing->activations.isEmpty());
    animator.completeAll();
    scheduler.runDue();
    // (the window's hiding reported, as the event loop does before the next opening)
    QCoreApplication::processEvents();
    // Closed before it had the keyboard: the keys are dropped, not handed to anyone
    controller->show();
    controller->hide();
    EXPECT_EQ(hotKeys.releasedTo().back(), 0u);
    // Never given the keyboard: the hold ends after its limit, the keys going to the strip
    controller->show();
    scheduler.advance(ClipboardPanelController::keyboardHoldLimit);
    EXPECT_FALSE(hotKeys.isHoldingKeyboard());
    EXPECT_EQ(hotKeys.releasedTo().back(), controller->panel()->winId());

    // With no screen to open on, it opens nothing and holds nothing
    controller->hide();
    platform->fakeScreens->setScreens({});
    controller->show();
    EXPECT_FALSE(hotKeys.isHoldingKeyboard());
}

TEST_F(ClipboardPanelControllerTest, TheStatusItemFollowsItsSettingAndNamesTheShortcutOfTheMoment) {
    const auto toolTip = [&] { return platform->fakeTray->icon("corvane.clipboard")->toolTip(); };
    controller->updateStatusItem();
    EXPECT_EQ(toolTip(), "Clipboard history (Alt+Shift+V)");
    settings->setShowClipboardIcon(false);
    controller->updateStatusItem();
    EXPECT_FALSE(controller->hasStatusItem());
    // Made again after the user recorded another shortcut: it names that one
    shortcut = QStringLiteral("Ctrl+B");
    settings->setShowClipboardIcon(true);
    controller->updateStatusItem();
    EXPECT_EQ(toolTip(), "Clipboard history (Ctrl+B)");
}

} // namespace
} // namespace corvane::testing
