#include "sidebar/StripMotion.h"
#include "SidebarFixture.h"
#include "platform/fake/FakeDesktops.h"
#include "support/MotionReference.h"
#include "windows/SpacesService.h"

#include "platform/fake/FakeWindowList.h"
#include "sidebar/DesktopChip.h"
#include "sidebar/SidebarModel.h"
#include "sidebar/SidebarView.h"
#include "sidebar/ThumbnailCell.h"
#include "sidebar/WorkspaceChip.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QTest>

#include <gmock/gmock.h>

namespace corvane::testing {
namespace {

class StripMotionTest : public SidebarFixture {
protected:
    std::unique_ptr<SidebarView> makeView() {
        auto view = std::make_unique<SidebarView>(state->stripServices(), model);
        view->resize(view->sizeHint());
        view->show();
        return view;
    }

    void addWindows(int from, int to) {
        for (int i = from; i <= to; ++i)
            addWindow(100 + i, static_cast<uint32_t>(i), QStringLiteral("App %1").arg(i));
        refresh();
    }

    void closeWindow(uint32_t id) {
        std::erase_if(platform->fakeWindowList->entries(),
                      [id](const auto& entry) { return entry.id == id; });
        refresh();
    }

    // The widget frames of the list's cells, in list order.
    std::vector<QRect> frames(const SidebarView& view) {
        std::vector<QRect> result;
        for (const WindowInfo& window : view.visibleWindows())
            result.push_back(view.cell(window.windowID)->geometry());
        return result;
    }

    // Clicks the strip at `point` (its own coordinates) as the pointer would: on the widget drawn there.
    static void clickAt(SidebarView& view, QPoint point) {
        QWidget* under = view.childAt(point);
        ASSERT_NE(under, nullptr);
        QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(&view, point));
    }

    void saveScreenshot(SidebarView& view, const QString& name) {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
        QDir().mkpath(folder);
        EXPECT_TRUE(view.grab().save(folder + QLatin1Char('/') + name));
    }

    SidebarModel model;
};

TEST_F(StripMotionTest, ARemovedCellFadesAndTheOthersCloseUpWhileClicksHitWhereCellsGo) {
    addWindows(1, 3);
    auto view = makeView();
    const std::vector<QRect> atRest = frames(*view);
    ASSERT_EQ(atRest.size(), 3u);
    std::map<uint32_t, QRect> before;
    for (std::size_t i = 0; i < 3; ++i)
        before[view->visibleWindows()[i].windowID] = atRest[i];
    const uint32_t middle = view->visibleWindows()[1].windowID;
    QPointer<ThumbnailCell> leaving = view->cell(middle);

    closeWindow(middle);

    // The closed window's cell fades where it stands; the others have not moved yet.
    ASSERT_NE(leaving, nullptr);
    EXPECT_EQ(view->cell(middle), nullptr);
    EXPECT_EQ(leaving->geometry(), atRest[1]);
    const std::vector<WindowInfo> staying = view->visibleWindows();
    ASSERT_EQ(staying.size(), 2u);
    for (const WindowInfo& window : staying)
        EXPECT_EQ(view->cell(window.windowID)->geometry(), before[window.windowID]);

    const QPoint contentOrigin = view->cell(staying[1].windowID)->mapTo(view.get(), QPoint(0, 0)) -
                                 before[staying[1].windowID].topLeft();

    // Mid-way each cell stands between where it was and where it goes.
    animator.advanceProperties(0.3);
    for (std::size_t i = 0; i < 2; ++i) {
        const int from = before[staying[i].windowID].top();
        const int to = atRest[i].top();
        const int now = view->cell(staying[i].windowID)->geometry().top();
        EXPECT_GE(now, std::min(from, to)) << i;
        EXPECT_LE(now, std::max(from, to)) << i;
        if (from != to) {
            EXPECT_NE(now, from) << i;
            EXPECT_NE(now, to) << i;
        }
    }
    EXPECT_LT(leaving->presence(), 1.0);
    saveScreenshot(*view, QStringLiteral("strip-closing-midway.png"));

    // A click mid-way on the place a cell is going to means that cell, whatever is drawn there.
    const QPoint place = contentOrigin + atRest[1].center();
    EXPECT_EQ(view->cellAt(place), view->cell(staying[1].windowID));
    platform->fakeAccessibility->clearWrites();
    clickAt(*view, place);
    EXPECT_THAT(platform->fakeAccessibility->writes(),
                ::testing::Contains(QStringLiteral("raise %1").arg(staying[1].windowID)));

    // At rest the frames are the layout's, and the closed window's cell is gone.
    animator.completeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(leaving, nullptr);
    EXPECT_EQ(frames(*view), (std::vector<QRect>{atRest[0], atRest[1]}));
    saveScreenshot(*view, QStringLiteral("strip-closing-at-rest.png"));
}

TEST_F(StripMotionTest, AnInsertedCellGrowsInAndOpensRoom) {
    addWindows(1, 2);
    auto view = makeView();
    const std::vector<QRect> before = frames(*view);

    // A pinned window comes first, pushing the others down.
    addWindow(103, 3, QStringLiteral("App 3"));
    state->windows().togglePin(3);
    refresh();
    ThumbnailCell* arriving = view->cell(3);
    ASSERT_NE(arriving, nullptr);
    ASSERT_EQ(view->visibleWindows().front().windowID, 3u);
    EXPECT_DOUBLE_EQ(arriving->presence(), 0.0);
    EXPECT_DOUBLE_EQ(arriving->arrivalScale(), 0.8);
    EXPECT_EQ(arriving->geometry(), before[0]);
    const uint32_t pushed = view->visibleWindows()[1].windowID;
    EXPECT_EQ(view->cell(pushed)->geometry(), before[0]);
    EXPECT_EQ(view->cellAt(arriving->mapTo(view.get(), arriving->cellRect().center().toPoint())), arriving);

    animator.advanceProperties(0.5);
    saveScreenshot(*view, QStringLiteral("strip-inserting-midway.png"));

    animator.completeAll();
    EXPECT_DOUBLE_EQ(arriving->presence(), 1.0);
    EXPECT_DOUBLE_EQ(arriving->arrivalScale(), 1.0);
    const std::vector<QRect> after = frames(*view);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[2].top() - after[1].top(), before[1].top() - before[0].top());
}

TEST_F(StripMotionTest, ChipsComeAndGoOnTheListsSpring) {
    platform->fakeDesktops->setDesktops(2, 0);
    state->spaces().refresh();
    settings->setShowSpaces(true);
    auto view = makeView();
    animator.completeAll();
    // A workspace saved while the strip shows: its chip fades and grows in on the spring of
    // response 0.32 s and damping 0.86, at three points, and stands within 1 % by 0.35 s
    const Workspace work = addWorkspace(QStringLiteral("Work"));
    WorkspaceChip* chip = view->workspaceChip(work.id);
    ASSERT_NE(chip, nullptr);
    EXPECT_EQ(chip->presence(), 0.0);
    const double springTime = StripMotion::listChange().duration().count();
    for (double t : {0.04, 0.08, 0.16, 0.35}) {
        animator.advanceProperties(t / springTime);
        EXPECT_NEAR(chip->presence(), spring(0.32, 0.86, t), 0.005) << t;
    }
    EXPECT_NEAR(chip->presence(), 1.0, 0.01);
    animator.completeAll();

    // A desktop added comes in the same way; one removed fades where it stands, then goes
    platform->fakeDesktops->setDesktops(3, 0);
    state->spaces().refresh();
    DesktopChip* third = view->desktopChip(state->spaces().spaces().at(2).id);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->presence(), 0.0);
    animator.completeAll();
    EXPECT_EQ(third->presence(), 1.0);
    QPointer<WorkspaceChip> going(chip);
    state->workspaces().remove(work.id);
    EXPECT_EQ(view->workspaceChip(work.id), nullptr);
    ASSERT_TRUE(going);
    animator.advanceProperties(0.1);
    EXPECT_LT(going->presence(), 1.0);
    EXPECT_TRUE(going->testAttribute(Qt::WA_TransparentForMouseEvents));
    animator.completeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(going);
}

TEST_F(StripMotionTest, HoverSelectionDropTargetAndCurrentDesktopMoveToTheirState) {
    addWindows(1, 1);
    const Workspace work = addWorkspace(QStringLiteral("Work"));
    auto view = makeView();
    ThumbnailCell* cell = view->cell(1);
    WorkspaceChip* chip = view->workspaceChip(work.id);
    ASSERT_NE(chip, nullptr);

    model.setHoveredID(1);
    model.setSelectionID(1);
    model.setDropTargetWorkspace(work.id);
    // The state reads at once; the drawing follows.
    EXPECT_DOUBLE_EQ(cell->tileScale(), 1.045);
    EXPECT_DOUBLE_EQ(cell->border().width, 3);
    EXPECT_DOUBLE_EQ(cell->drawnScale(), 1.0);
    EXPECT_DOUBLE_EQ(cell->drawnBorder().width, 1.5); // the hover's border
    EXPECT_DOUBLE_EQ(chip->drawnScale(), 1.0);

    animator.advanceProperties(0.5);
    EXPECT_GT(cell->drawnBorder().width, 1.5);
    EXPECT_LT(cell->drawnBorder().width, 3.0);
    EXPECT_GT(chip->drawnScale(), 1.0);

    animator.completeAll();
    EXPECT_DOUBLE_EQ(cell->drawnScale(), 1.045);
    EXPECT_EQ(cell->drawnBorder(), cell->border());
    EXPECT_DOUBLE_EQ(chip->drawnScale(), 1.25);
}

} // namespace
} // namespace corvane::testing
