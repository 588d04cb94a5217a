#include "SidebarFixture.h"

#include "core/Settings.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeDesktops.h"
#include "settings/SettingsWindowController.h"
#include "shelf/FileShelf.h"
#include "sidebar/AddWorkspaceChip.h"
#include "sidebar/DesktopChip.h"
#include "sidebar/SidebarFooter.h"
#include "sidebar/SidebarModel.h"
#include "sidebar/SidebarView.h"
#include "sidebar/ThumbnailCell.h"
#include "sidebar/WorkspaceChip.h"
#include "windows/SpacesService.h"
#include "windows/ThumbnailService.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gmock/gmock.h>

namespace corvane::testing {
namespace {

// One shelf row's worth of widget.
class ShelfRowsStandIn : public QWidget {
public:
    QSize sizeHint() const override { return QSize(88, 18); }
};

class SidebarViewTest : public SidebarFixture {
protected:
    std::unique_ptr<SidebarView> makeView() {
        auto view = std::make_unique<SidebarView>(state->stripServices(), model);
        view->resize(view->sizeHint());
        view->show();
        return view;
    }

    void addWindows(int count) {
        for (int i = 1; i <= count; ++i)
            addWindow(100 + i, static_cast<uint32_t>(i), QStringLiteral("App %1").arg(i));
        refresh();
    }

    // Sends a drag of `text` into `target` and drops it; whether the drop was accepted.
    static bool drop(QWidget& target, const QString& text, QPoint at = QPoint(10, 10)) {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &enter);
        QDropEvent dropped(QPointF(at), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &dropped);
        return dropped.isAccepted();
    }

    static QPoint centreOf(const ThumbnailCell& cell) { return cell.cellRect().center().toPoint(); }

    SidebarModel model;
};

TEST_F(SidebarViewTest, RendersTheWindowsAsCells) {
    // Given three windows with pictures and program icons
    addWindows(3);
    const QColor colours[] = {QColor(220, 60, 60), QColor(60, 160, 90), QColor(60, 90, 220)};
    for (uint32_t id = 1; id <= 3; ++id) {
        QImage picture(400, 300, QImage::Format_ARGB32_Premultiplied);
        picture.fill(colours[id - 1]);
        state->thumbnails().box(id)->setImage(picture);
        QPixmap icon(32, 32);
        icon.fill(Qt::yellow);
        platform->fakeApplications->iconsByPID[100 + id] = QIcon(icon);
    }
    state->windows().togglePin(2);
    addWorkspace(QStringLiteral("Work"));

    // When the strip is drawn
    auto view = makeView();
    const QImage drawn = view->grab().toImage();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(drawn.save(folder + QStringLiteral("/sidebar-view.png")));

    // Then each cell shows its own picture, at the height the strip was sized for
    ASSERT_EQ(view->visibleWindows().size(), 3u);
    EXPECT_EQ(view->visibleWindows().front().windowID, 2u); // pinned first
    EXPECT_EQ(view->windowList()->verticalScrollBar()->maximum(), 0);
    for (uint32_t id = 1; id <= 3; ++id) {
        ThumbnailCell* cell = view->cell(id);
        ASSERT_NE(cell, nullptr);
        const QPoint centre = cell->mapTo(view.get(), centreOf(*cell));
        const QColor pixel = drawn.pixelColor(centre * drawn.devicePixelRatio());
        EXPECT_EQ(pixel, colours[id - 1]) << id;
    }

    // and the list lies on the panel's own material: beside a cell nothing is drawn
    QImage over(view->size(), QImage::Format_ARGB32_Premultiplied);
    over.fill(Qt::transparent);
    view->render(&over, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRect first = view->cell(2)->geometry();
    const QPoint beside = view->cell(2)->parentWidget()->mapTo(view.get(), QPoint(1, first.center().y()));
    EXPECT_EQ(qAlpha(over.pixel(beside)), 0);
}

TEST_F(SidebarViewTest, AClickOnACellFocusesItsWindow) {
    addWindows(2);
    auto view = makeView();
    platform->fakeAccessibility->clearWrites();

    ThumbnailCell* second = view->cell(2);
    QTest::mouseClick(second, Qt::LeftButton, {}, centreOf(*second));

    EXPECT_THAT(platform->fakeAccessibility->writes(), ::testing::Contains(QStringLiteral("raise 2")));
    // A press in the cell's margin is not a click on it.
    platform->fakeAccessibility->clearWrites();
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(platform->fakeAccessibility->writes().empty());
}

TEST_F(SidebarViewTest, DroppingAWindowOnAnotherPinsBothDraggedOneFirst) {
    addWindows(3);
    auto view = makeView();

    // Dropping onto itself or without a window number changes nothing
    EXPECT_FALSE(drop(*view->cell(3), QStringLiteral("3")));
    EXPECT_FALSE(drop(*view->cell(3), QStringLiteral("abc")));
    EXPECT_TRUE(state->windows().pinned().empty());

    // Dropping window 1 on unpinned window 3 pins 3 and places 1 just before it
    EXPECT_TRUE(drop(*view->cell(3), QStringLiteral("1")));
    EXPECT_EQ(state->windows().pinned(), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(view->visibleWindows().front().windowID, 1u);
}

TEST_F(SidebarViewTest, DroppingWindowsOnAChipAddsEachToItsWorkspace) {
    addWindows(3);
    const Workspace work = addWorkspace(QStringLiteral("Work"));
    auto view = makeView();
    WorkspaceChip* chip = view->workspaceChip(work.id);
    ASSERT_NE(chip, nullptr);

    EXPECT_TRUE(drop(*chip, QStringLiteral("3\nabc\n1")));
    const std::vector<WorkspaceItem> items = state->workspaces().workspace(work.id)->items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].bundleID, QStringLiteral("org.example.App 3"));
    EXPECT_EQ(items[1].bundleID, QStringLiteral("org.example.App 1"));
    EXPECT_EQ(model.dropTargetWorkspace(), std::nullopt);

    EXPECT_FALSE(drop(*view->workspaceChip(work.id), QStringLiteral("abc")));
    EXPECT_EQ(state->workspaces().workspace(work.id)->items.size(), 2u);
}

TEST_F(SidebarViewTest, LeavingAChipKeepsTheMarkOfTheChipEnteredMeanwhile) {
    const Workspace a = addWorkspace(QStringLiteral("A"));
    const Workspace b = addWorkspace(QStringLiteral("B"));
    auto view = makeView();

    view->workspaceDragEntered(a.id);
    view->workspaceDragEntered(b.id);
    view->workspaceDragLeft(a.id);
    EXPECT_EQ(model.dropTargetWorkspace(), b.id);
    EXPECT_TRUE(view->workspaceChip(b.id)->isTargeted());
    EXPECT_FALSE(view->workspaceChip(a.id)->isTargeted());

    view->workspaceDragLeft(b.id);
    EXPECT_EQ(model.dropTargetWorkspace(), std::nullopt);
}

TEST_F(SidebarViewTest, HoverHitsOnlyCellsThatShowInTheList) {
    // Given a strip too short for its ten windows, scrolled so that the first cell lies under the
    // workspace chip, out of sight
    addWindows(10);
    addWorkspace(QStringLiteral("Work"));
    auto view = makeView();
    view->resize(view->width(), view->sizeHint().height() / 2);
    view->windowList()->verticalScrollBar()->setValue(40);
    const QRectF chipArea = view->sectionLayout().workspaces;
    const QPointF overChip = chipArea.center();
    ASSERT_TRUE(model.cellFrames().at(view->visibleWindows().front().windowID).contains(overChip));

    // When the pointer rests on the chip
    std::vector<std::optional<uint32_t>> changes;
    model.onHoverChange = [&](std::optional<uint32_t> id) { changes.push_back(id); };
    model.setMouse(overChip);
    model.updateHover();

    // Then no window is hovered
    EXPECT_EQ(model.hoveredID(), std::nullopt);
    EXPECT_TRUE(changes.empty());

    // And a cell that shows is hovered where it is drawn
    const QPointF inList = view->sectionLayout().windowList.center();
    model.setMouse(inList);
    model.updateHover();
    ASSERT_TRUE(model.hoveredID().has_value());
    ThumbnailCell* cell = view->cell(*model.hoveredID());
    const QRectF drawnAt = cell->cellRect().translated(cell->mapTo(view.get(), QPoint()));
    EXPECT_TRUE(drawnAt.contains(inList));
    EXPECT_TRUE(cell->isHovered());
}

TEST_F(SidebarViewTest, ScrollingUnderAStillPointerMovesTheHover) {
    addWindows(10);
    auto view = makeView();
    view->resize(view->width(), view->sizeHint().height() / 2);
    const QRectF list = view->sectionLayout().windowList;
    model.setMouse(QPointF(list.center().x(), list.top() + 30));
    model.updateHover();
    const std::optional<uint32_t> before = model.hoveredID();
    ASSERT_TRUE(before.has_value());

    view->windowList()->verticalScrollBar()->setValue(200);

    EXPECT_TRUE(model.hoveredID().has_value());
    EXPECT_NE(model.hoveredID(), before);
}

TEST_F(SidebarViewTest, SectionsFollowThePreferences) {
    // No windows: the placeholder stands in for one cell
    settings->setStripIconsOnly(true);
    settings->setThumbnailSize(ThumbnailSize::small);
    auto view = makeView();
    EXPECT_EQ(view->sizeHint().height(), static_cast<int>(view->metrics().panelHeight(0, 0)));
    EXPECT_DOUBLE_EQ(view->metrics().cellHeight(), 40);

    // Workspaces off: no chips and no add chip; the list starts under the top gap
    addWorkspace(QStringLiteral("Work"));
    settings->setStripShowWorkspaces(false);
    EXPECT_FALSE(view->addChip()->isVisibleTo(view.get()));
    EXPECT_EQ(view->sectionLayout().windowList.top(), SidebarMetrics::topGap);

    // Footer off: an 8-point gap at the bottom
    settings->setShowFooter(false);
    EXPECT_FALSE(view->footer()->isVisibleTo(view.get()));
    EXPECT_DOUBLE_EQ(view->sectionLayout().footer.height(), 8);

    // Desktops on but none read: no desktops section
    settings->setShowSpaces(true);
    EXPECT_EQ(view->metrics().spaceCount, 0);
    EXPECT_TRUE(view->sectionLayout().spacesSeparator.isEmpty());
}

TEST_F(SidebarViewTest, ThousandsOfWorkspacesScrollInABoundedAreaAndTheWindowsKeepTheirRoom) {
    // Given a strip at most 972 points tall (a third is 324: eleven rows of chips) and three windows
    addWindows(3);
    auto view = makeView();
    view->setGreatestHeight([] { return 972.0; });
    std::vector<Workspace> many(20'000);
    for (Workspace& workspace : many) {
        workspace.id = QUuid::createUuid();
        workspace.name = QStringLiteral("Saved");
    }
    state->workspaces().setWorkspaces(std::move(many));
    view->resize(view->sizeHint());

    // Then the chip area stops at eleven rows, only their chips exist, and the list keeps its height
    const double elevenRows = 11 * 22 + 10 * 6;
    EXPECT_DOUBLE_EQ(view->sectionLayout().workspaces.height(), elevenRows);
    EXPECT_EQ(view->findChildren<WorkspaceChip*>().size(), 33);
    EXPECT_DOUBLE_EQ(view->sectionLayout().windowList.height(), view->metrics().windowListHeight(3));
    EXPECT_FALSE(view->addChip()->isVisibleTo(view.get()));

    // When the wheel turns down over the chips, they move by a row; scrolled to the end, the add
    // chip shows in the last row
    QWheelEvent wheel(QPointF(20, 20), view->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.get(), &wheel);
    EXPECT_EQ(view->firstChipRow(), 1);
    view->scrollChipRows(1'000'000);
    EXPECT_EQ(view->firstChipRow(), (20'001 + 2) / 3 - 11); // rows of three, the add chip last
    EXPECT_TRUE(view->addChip()->isVisibleTo(view.get()));
    EXPECT_TRUE(view->sectionLayout().workspaces.contains(view->addChip()->geometry()));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QImage drawn = view->grab().toImage();
    EXPECT_NE(drawn.pixel(drawn.width() / 2, 20), drawn.pixel(drawn.width() / 2, drawn.height() / 2));
    EXPECT_TRUE(drawn.save(folder + QStringLiteral("/sidebar-many-workspaces.png")));
}

TEST_F(SidebarViewTest, ShelfRowsStandUnderTheListAtTheirOwnHeight) {
    // The tray is listed by default; no folder is pinned here.
    state->files().setFolders({});
    addWindows(2);
    auto view = makeView();
    ASSERT_EQ(view->metrics().fileRowCount, 1);
    auto* rows = new ShelfRowsStandIn;

    view->setShelfRows(rows);

    EXPECT_EQ(rows->parentWidget(), view.get());
    EXPECT_TRUE(rows->isVisibleTo(view.get()));
    EXPECT_EQ(rows->geometry().top(), static_cast<int>(view->sectionLayout().shelfRows.top()));
    EXPECT_EQ(rows->height(), rows->sizeHint().height());

    settings->setStripShowTray(false);
    EXPECT_FALSE(rows->isVisibleTo(view.get()));
}

TEST_F(SidebarViewTest, ChipMenuAddChipAndGearReachTheirActions) {
    const Workspace work = addWorkspace(QStringLiteral("Work"));
    auto view = makeView();

    std::unique_ptr<QMenu> menu(view->makeWorkspaceMenu(work));
    EXPECT_EQ(titles(*menu), (QStringList{"Restore \u201CWork\u201D", "Update with Current Windows",
                                          "Edit\u2026", "-", "Delete"}));
    item(*menu, QStringLiteral("Edit\u2026"))->trigger();
    EXPECT_EQ(state->settingsWindow().nav().tab(), SettingsTab::workspaces);
    EXPECT_EQ(state->settingsWindow().nav().selectedWorkspace(), work.id);

    // Delete acts at once, without asking
    item(*menu, QStringLiteral("Delete"))->trigger();
    EXPECT_TRUE(state->workspaces().workspaces().empty());
    EXPECT_EQ(view->workspaceChip(work.id), nullptr);

    const int shown = state->settingsWindow().showCount();
    SidebarFooter* footer = view->footer();
    QTest::mouseClick(footer, Qt::LeftButton, {}, footer->gearRect().center().toPoint());
    EXPECT_EQ(state->settingsWindow().showCount(), shown + 1);
}

TEST_F(SidebarViewTest, DesktopChipsMarkTheShownDesktopAndSwitchOnClick) {
    // Given three desktops, the first one shown
    platform->fakeDesktops->setDesktops(3, 0);
    state->spaces().refresh();
    settings->setShowSpaces(true);
    auto view = makeView();
    ASSERT_EQ(view->metrics().spaceCount, 3);
    const uint64_t second = state->spaces().spaces().at(1).id;
    EXPECT_TRUE(view->desktopChip(state->spaces().spaces().at(0).id)->isCurrent());
    // (no overview here: the tooltip promises nothing a double-click does not do)
    EXPECT_EQ(view->desktopChip(second)->toolTip(), QStringLiteral("Desktop 2"));

    // When the second chip is clicked
    QTest::mouseClick(view->desktopChip(second), Qt::LeftButton);

    // Then the desktop switches and the chips follow
    // The window manager counts desktops from 0.
    EXPECT_EQ(platform->fakeDesktops->switches(), std::vector<int>{1});
    EXPECT_TRUE(view->desktopChip(second)->isCurrent());
}

} // namespace
} // namespace corvane::testing
