#include "WindowServiceFixture.h"

#include <QSignalSpy>

namespace corvane::testing {
namespace {

using ::testing::ElementsAre;

class WindowOrderingTest : public WindowServiceFixture {
protected:
    // Windows 1..count of one unreadable program, all new in one pass.
    void listWindows(int count) {
        for (int id = 1; id <= count; ++id)
            list().add(uint32_t(id), 100, QRectF(0, 0, 400, 300));
        refresh();
    }
};

TEST_F(WindowOrderingTest, RecentOrderingIsNewestActivationFirstWithTiesByDescendingID) {
    // Given four windows, two of them activated at the same moment and one later
    listWindows(4);
    const QDateTime base = scheduler.wallNow();
    service->setActivation(1, base.addSecs(5));
    service->setActivation(2, base.addSecs(10));
    service->setActivation(3, base.addSecs(5));
    service->setActivation(4, base.addSecs(1));

    // When the next refresh carries the stamps over
    refresh();

    // Then the newest comes first and the tie is broken by the larger id
    EXPECT_THAT(ids(service->windows()), ElementsAre(2, 3, 1, 4));
}

TEST_F(WindowOrderingTest, StableOrderingIsFirstSeenWithTiesByAscendingID) {
    // Given windows 3 and 1 seen first, then window 2 later, under the stable ordering
    settings->setOrdering(WindowOrdering::stable);
    list().add(3, 100, QRectF(0, 0, 400, 300));
    list().add(1, 100, QRectF(0, 0, 400, 300));
    refresh();
    scheduler.advance(Seconds(10));
    list().entries().insert(list().entries().begin(),
                            WindowListEntry{2, 100, {}, {}, QRectF(0, 0, 400, 300)});
    refresh();

    // Then the earlier ones come first, equal first sightings by ascending id, whatever the stacking
    EXPECT_THAT(ids(service->windows()), ElementsAre(1, 3, 2));
}

TEST_F(WindowOrderingTest, PinsComeFirstInPinOrderAndAreMarkedOnlyInTheVisibleList) {
    listWindows(4);
    QSignalSpy pinnedChanged(service.get(), &WindowService::pinnedChanged);

    // When the third window is pinned, then another
    service->togglePin(3);
    EXPECT_THAT(ids(service->windows()), ElementsAre(3, 1, 2, 4));
    service->togglePin(4);
    EXPECT_THAT(ids(service->windows()), ElementsAre(3, 4, 1, 2));
    EXPECT_TRUE(service->windows()[0].isPinned);
    EXPECT_FALSE(service->windows()[2].isPinned);
    // The merged list keeps its records unmarked
    ASSERT_TRUE(service->window(3).has_value());
    EXPECT_FALSE(service->window(3)->isPinned);
    EXPECT_FALSE(service->window(99).has_value());

    // When the first pin is removed, the rest fall back into their order
    service->togglePin(3);
    EXPECT_THAT(ids(service->windows()), ElementsAre(4, 1, 2, 3));
    EXPECT_EQ(pinnedChanged.count(), 3);

    // A pin of a window that is not listed shows nothing and is dropped by the next refresh
    service->togglePin(99);
    EXPECT_THAT(service->pinned(), ElementsAre(4, 99));
    EXPECT_THAT(ids(service->windows()), ElementsAre(4, 1, 2, 3));
    refresh();
    EXPECT_THAT(service->pinned(), ElementsAre(4));
}

TEST_F(WindowOrderingTest, MovePinnedPlacesBeforeTheTargetOrAtTheEnd) {
    listWindows(4);
    for (uint32_t id : {2u, 3u, 1u})
        service->togglePin(id);
    QSignalSpy pinnedChanged(service.get(), &WindowService::pinnedChanged);

    // Moving 1 before 2 when the pins are 2, 3, 1
    service->movePinned(1, 2);
    EXPECT_THAT(service->pinned(), ElementsAre(1, 2, 3));
    EXPECT_THAT(ids(service->windows()), ElementsAre(1, 2, 3, 4));

    // Moving onto itself changes nothing
    service->movePinned(1, 1);
    EXPECT_THAT(service->pinned(), ElementsAre(1, 2, 3));
    EXPECT_EQ(pinnedChanged.count(), 1);

    // Moving before an unpinned window appends; an unpinned window moved becomes pinned
    service->movePinned(1, 4);
    EXPECT_THAT(service->pinned(), ElementsAre(2, 3, 1));
    service->movePinned(4, 3);
    EXPECT_THAT(service->pinned(), ElementsAre(2, 4, 3, 1));
    EXPECT_THAT(ids(service->windows()), ElementsAre(2, 4, 3, 1));
}

TEST_F(WindowOrderingTest, SidebarDisplayScopeKeepsPinnedWindowsFromOtherDisplays) {
    // Given windows on two displays side by side, one of those on the other display pinned
    list().add(1, 100, QRectF(0, 0, 400, 300));
    list().add(2, 100, QRectF(2000, 0, 400, 300));
    list().add(3, 100, QRectF(2100, 0, 400, 300));
    refresh();
    service->togglePin(3);

    // When the scope is the sidebar's display (the left one) and the filter is installed
    settings->setWindowScope(WindowScope::sidebarDisplay);
    service->displayFilter = [](const QRectF& frame) { return frame.left() < 1920; };
    service->rebuildVisible();

    // Then the unpinned window elsewhere is left out and the pinned one stays
    EXPECT_THAT(ids(service->windows()), ElementsAre(3, 1));

    // With all displays in scope, every window is back
    settings->setWindowScope(WindowScope::allDisplays);
    service->rebuildVisible();
    EXPECT_THAT(ids(service->windows()), ElementsAre(3, 1, 2));
}

TEST_F(WindowOrderingTest, UnchangedListIsNotAnnounced) {
    // Given a listed desktop
    QSignalSpy windowsChanged(service.get(), &WindowService::windowsChanged);
    listWindows(2);
    ASSERT_EQ(windowsChanged.count(), 1);

    // When nothing changes over later refreshes and rebuilds
    scheduler.advance(Seconds(10));
    refresh();
    service->rebuildVisible();
    EXPECT_EQ(windowsChanged.count(), 1);

    // When a title changes, it is announced
    list().entries()[1].title = QStringLiteral("Renamed");
    refresh();
    EXPECT_EQ(windowsChanged.count(), 2);
}

TEST_F(WindowOrderingTest, WindowAtFindsTheFrontmostEligibleWindowUnderThePoint) {
    // Given, front to back: a transparent window, a window of the skipped pid, a panel layer,
    // then two overlapping ordinary windows
    list().add(1, 100, QRectF(0, 0, 500, 500)).alpha = 0;
    list().add(2, 200, QRectF(0, 0, 500, 500));
    list().add(3, 100, QRectF(0, 0, 500, 500)).layer = 5;
    list().add(4, 100, QRectF(100, 100, 100, 100));
    list().add(5, 300, QRectF(0, 0, 500, 500));
    const auto idAt = [&](QPointF point) -> std::optional<uint32_t> {
        const std::optional<CGWindowRecord> found = service->windowAt(point, 200);
        if (!found)
            return std::nullopt;
        return found->id;
    };

    // Then the front eligible window answers, small windows included
    EXPECT_EQ(idAt(QPointF(150, 150)), 4u);
    EXPECT_EQ(idAt(QPointF(50, 50)), 5u);
    // A window's right and bottom edges belong to what lies beyond it
    EXPECT_EQ(idAt(QPointF(200, 150)), 5u);
    EXPECT_EQ(idAt(QPointF(600, 50)), std::nullopt);

    // When the window manager lists nothing, there is nothing under any point
    list().setEntries({});
    EXPECT_EQ(idAt(QPointF(150, 150)), std::nullopt);
}

} // namespace
} // namespace corvane::testing
