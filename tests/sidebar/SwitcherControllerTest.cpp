#include "sidebar/SidebarFixture.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Registry.h"
#include "platform/fake/FakeEventMonitors.h"
#include "platform/fake/FakeKeyGrabs.h"
#include "platform/fake/FakePanelWindowing.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarModel.h"
#include "sidebar/SidebarPanel.h"
#include "sidebar/SwitcherController.h"
#include "windows/ThumbnailBox.h"
#include "windows/ThumbnailService.h"

namespace corvane::testing {
namespace {

constexpr qint64 tabKey = 48;
constexpr qint64 escapeKey = 53;
constexpr qint64 shiftKey = 56;
constexpr qint64 optionKey = 58;
constexpr qint64 controlKey = 59;

class SwitcherControllerTest : public SidebarFixture {
protected:
    SwitcherController& switcher() { return state->switcher(); }
    FakeEventMonitors& keys() { return *platform->fakeEventMonitors; }

    // Windows 1…count of programs 101…, the first of them in front.
    void addWindows(int count, bool firstInFront = true) {
        for (int i = 1; i <= count; ++i)
            addWindow(100 + i, uint32_t(i), QStringLiteral("App%1").arg(i));
        if (firstInFront)
            platform->fakeRunningApplications->frontmost = 101;
        refresh();
    }
    std::optional<uint32_t> selected() { return state->sidebar().model().selectionID(); }
    uint32_t listedID(int index) { return state->windows().windows()[size_t(index)].windowID; }
    bool raised(uint32_t id) {
        const auto& writes = platform->fakeAccessibility->writes();
        return std::find(writes.begin(), writes.end(), QStringLiteral("raise %1").arg(id)) != writes.end();
    }
    // Holds the modifier and presses the shortcut's key `presses` times.
    void open(int presses = 1, qint64 modifier = optionKey) {
        keys().pressKey(modifier);
        for (int i = 0; i < presses; ++i)
            switcher().advance();
    }
};

TEST_F(SwitcherControllerTest, TheFirstPressSelectsTheWindowAfterTheOneInFrontAndPressesWrapAround) {
    addWindows(3);
    ASSERT_TRUE(state->windows().windows().front().isActive);

    open();
    EXPECT_TRUE(switcher().isActive());
    EXPECT_TRUE(state->sidebar().isPeeking());
    EXPECT_EQ(switcher().index(), 1);
    EXPECT_EQ(selected(), listedID(1));

    std::vector<int> indexes;
    for (int i = 0; i < 4; ++i) {
        switcher().advance();
        indexes.push_back(switcher().index());
    }
    EXPECT_EQ(indexes, (std::vector<int>{2, 0, 1, 2}));
}

TEST_F(SwitcherControllerTest, WithoutAWindowInFrontTheFirstIsSelectedAndOneWindowStaysSelected) {
    addWindows(2, /*firstInFront=*/false);
    open();
    EXPECT_EQ(switcher().index(), 0);
    keys().releaseKey(optionKey);

    auto& entries = platform->fakeWindowList->entries();
    entries.erase(entries.begin() + 1);
    refresh();
    ASSERT_EQ(state->windows().windows().size(), 1u);
    open(3);
    EXPECT_EQ(switcher().index(), 0);
    EXPECT_EQ(selected(), listedID(0));
}

TEST_F(SwitcherControllerTest, ReleasingARequiredModifierCommitsAndShiftDoesNot) {
    addWindows(3);
    open();
    keys().pressKey(shiftKey);
    keys().releaseKey(shiftKey);
    EXPECT_TRUE(switcher().isActive());

    platform->fakeAccessibility->clearWrites();
    const uint32_t chosen = listedID(1);
    keys().releaseKey(optionKey);
    EXPECT_FALSE(switcher().isActive());
    EXPECT_FALSE(state->sidebar().isPeeking());
    EXPECT_EQ(selected(), std::nullopt);
    EXPECT_TRUE(raised(chosen));
}

TEST_F(SwitcherControllerTest, AControlShortcutCommitsOnControlAndNeverOnAlt) {
    addWindows(2);
    state->shortcuts().setShortcut(
        ShortcutKit::Shortcut(ShortcutKit::Key::tab, ShortcutKit::ModifierFlags::control),
        AppShortcuts::windowSwitcher());
    keys().pressKey(optionKey);
    open(1, controlKey);
    keys().releaseKey(optionKey);
    EXPECT_TRUE(switcher().isActive());
    keys().releaseKey(controlKey);
    EXPECT_FALSE(switcher().isActive());

    // A shortcut with none of Control, Alt and Super never commits on a release.
    EXPECT_EQ(SwitcherController::releaseMask(ShortcutKit::ModifierFlags::shift), 0u);
    EXPECT_EQ(SwitcherController::releaseMask(std::nullopt), EventModifier::option);
}

TEST_F(SwitcherControllerTest, EscapeAndTheTimeoutCloseWithoutSwitching) {
    addWindows(2);
    open();
    platform->fakeAccessibility->clearWrites();
    keys().tapKey(escapeKey);
    EXPECT_FALSE(switcher().isActive());
    keys().releaseKey(optionKey);
    EXPECT_FALSE(raised(listedID(1)));

    // An opening closes eight seconds after it opened, even while Alt is held.
    open();
    scheduler.advance(Seconds(7.9));
    EXPECT_TRUE(switcher().isActive());
    scheduler.advance(Seconds(0.2));
    EXPECT_FALSE(switcher().isActive());
    EXPECT_TRUE(platform->fakeAccessibility->writes().empty());
    keys().releaseKey(optionKey);
}

TEST_F(SwitcherControllerTest, WhileOpenItTakesEscapeAndItsShortcutAndGivesThemBackHoweverItCloses) {
    addWindows(3);
    const FakeKeyGrabs& grabs = *platform->fakeKeyGrabs;
    constexpr qint64 option = HotKeyModifier::option;
    state->shortcuts().setShortcut(
        ShortcutKit::Shortcut(ShortcutKit::Key::tab, ShortcutKit::ModifierFlags::option),
        AppShortcuts::windowSwitcher());
    open();
    EXPECT_EQ(grabs.taken(), (std::set<KeyCombination>{{escapeKey, option}, {tabKey, option}}));
    keys().tapKey(escapeKey);
    EXPECT_TRUE(grabs.taken().empty());
    keys().releaseKey(optionKey);

    open();
    keys().releaseKey(optionKey);
    EXPECT_TRUE(grabs.taken().empty());
    open();
    scheduler.advance(Seconds(8.1));
    EXPECT_TRUE(grabs.taken().empty());
    keys().releaseKey(optionKey);

    // With Shift in the shortcut, Escape is taken with Shift let go too.
    constexpr qint64 controlShift = HotKeyModifier::control | HotKeyModifier::shift;
    state->shortcuts().setShortcut(
        ShortcutKit::Shortcut(ShortcutKit::Key::tab,
                              ShortcutKit::ModifierFlags::control | ShortcutKit::ModifierFlags::shift),
        AppShortcuts::windowSwitcher());
    open(1, controlKey);
    EXPECT_EQ(grabs.taken(),
              (std::set<KeyCombination>{
                  {escapeKey, controlShift}, {escapeKey, HotKeyModifier::control}, {tabKey, controlShift}}));
    keys().releaseKey(controlKey);
    EXPECT_TRUE(grabs.taken().empty());
}

TEST_F(SwitcherControllerTest, AnEarlierOpeningsTimeoutLeavesANewerOneOpen) {
    addWindows(2);
    open();
    scheduler.advance(Seconds(5));
    keys().releaseKey(optionKey);
    open();
    scheduler.advance(Seconds(4)); // the first opening's eight seconds are over
    EXPECT_TRUE(switcher().isActive());
    scheduler.advance(Seconds(4.1));
    EXPECT_FALSE(switcher().isActive());
    keys().releaseKey(optionKey);
}

TEST_F(SwitcherControllerTest, APressWithAnEmptyListOnlyRefreshesAndTheListsComingOpensNothing) {
    const int before = state->windows().refreshCount();
    open();
    EXPECT_FALSE(switcher().isActive());
    EXPECT_FALSE(state->sidebar().isPeeking());
    EXPECT_GT(state->windows().refreshCount(), before);

    // The list comes while Alt is still held, then Alt goes up: nothing opens, nothing is raised
    addWindows(3);
    EXPECT_FALSE(switcher().isActive());
    EXPECT_FALSE(state->sidebar().isPeeking());
    EXPECT_EQ(selected(), std::nullopt);
    keys().releaseKey(optionKey);
    EXPECT_TRUE(platform->fakeAccessibility->writes().empty());

    // The next press opens
    open();
    EXPECT_TRUE(switcher().isActive());
    const uint32_t next = listedID(1);
    EXPECT_EQ(selected(), next);
    keys().releaseKey(optionKey);
    EXPECT_TRUE(raised(next));
}

TEST_F(SwitcherControllerTest, AReleaseBeforeTheSwitcherOpensSwitchesAtOnceWithoutShowingTheStrip) {
    // A quick tap: Alt is up again by the time the press is handled
    settings->setAutoHide(true);
    addWindows(3);
    const uint32_t next = listedID(1);
    keys().pressKey(optionKey);
    keys().releaseKey(optionKey);
    switcher().advance();
    EXPECT_FALSE(switcher().isActive());
    EXPECT_FALSE(state->sidebar().isPeeking());
    EXPECT_TRUE(raised(next));
    EXPECT_EQ(keys().monitorCount(FakeEventMonitors::Scope::global), 0);
    // The switch waited on no painting: the hidden strip was never shown.
    const SidebarPanel* panel = state->sidebar().panel();
    EXPECT_FALSE(panel && panel->isVisible());
}

TEST_F(SwitcherControllerTest, TheHiddenStripIsPaintedAsTheSwitcherShowsItAndAnewWhenWhatItShowsChanges) {
    FakePanelWindowing& windowing = *platform->fakePanelWindowing;
    // Without a compositing manager the first picture holds the content, not only its shadow.
    windowing.setCompositing(false);
    settings->setAutoHide(true);
    addWindows(3);
    state->sidebar().start();
    animator.completeAll();
    const auto settle = [&] { scheduler.advance(Seconds(1)); };
    const auto openAndClose = [&] {
        open();
        keys().releaseKey(optionKey);
        animator.completeAll();
    };
    // The strip shows once, and hides
    openAndClose();
    settle();
    SidebarPanel* panel = state->sidebar().panel();
    ASSERT_TRUE(panel->isPaintedWhileHidden());
    const QImage ahead = windowing.firstPictures.value(panel->windowHandle());
    ASSERT_FALSE(ahead.isNull());

    // The very picture an opening paints there and then
    panel->dropPaintedAhead();
    open();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 0);
    EXPECT_TRUE(windowing.firstPictures.value(panel->windowHandle()) == ahead);
    keys().releaseKey(optionKey);
    animator.completeAll();
    settle();
    open();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 1);
    keys().releaseKey(optionKey);
    animator.completeAll();
    settle();

    // A window's new picture while hidden: the old one goes at once, the new one a moment later
    ASSERT_TRUE(panel->isPaintedWhileHidden());
    QImage red(320, 200, QImage::Format_ARGB32_Premultiplied);
    red.fill(Qt::red);
    state->thumbnails().box(listedID(2))->setImage(red);
    EXPECT_FALSE(panel->isPaintedWhileHidden());
    settle();
    ASSERT_TRUE(panel->isPaintedWhileHidden());
    const QImage withRed = windowing.firstPictures.value(panel->windowHandle());
    EXPECT_FALSE(withRed == ahead);
    panel->dropPaintedAhead();
    open();
    EXPECT_TRUE(windowing.firstPictures.value(panel->windowHandle()) == withRed);
    keys().releaseKey(optionKey);
    animator.completeAll();
    settle();

    // A window more: the strip grows, and is painted at its new size
    addWindow(110, 10, QStringLiteral("Late"));
    refresh();
    EXPECT_FALSE(panel->isPaintedWhileHidden());
    settle();
    ASSERT_TRUE(panel->isPaintedWhileHidden());
    open();
    EXPECT_EQ(windowing.firstPicturesGivenAgain, 2);
    EXPECT_EQ(windowing.firstPictures.value(panel->windowHandle()).size(),
              panel->size() * panel->devicePixelRatio());
}

TEST_F(SwitcherControllerTest,
       AnotherWindowOfTheProgramInFrontComingUpWhileTheStripIsHiddenReordersTheSwitcher) {
    settings->setAutoHide(true);
    addWindow(101, 1, QStringLiteral("Editor"));
    addWindow(101, 2, QStringLiteral("Editor"));
    addWindow(102, 3, QStringLiteral("Viewer"));
    platform->fakeRunningApplications->frontmost = 101;
    refresh();
    state->sidebar().start();
    ASSERT_EQ(listedID(0), 1u);
    // The program's second window comes to the front: the program in front stays the same
    std::vector<WindowListEntry>& entries = platform->fakeWindowList->entries();
    std::rotate(entries.begin(), entries.begin() + 1, entries.begin() + 2);
    platform->fakeWindowList->announceChange();
    ASSERT_EQ(listedID(0), 2u);
    // Alt+Tab goes back to the window used before it
    open();
    EXPECT_EQ(selected(), 1u);
}

} // namespace
} // namespace corvane::testing
