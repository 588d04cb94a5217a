#include "sidebar/SidebarMetrics.h"
#include "sidebar/CellFramesKey.h"
#include "sidebar/PinnedFirst.h"
#include "sidebar/SidebarLayout.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

SidebarMetrics mediumWithWorkspaces() {
    SidebarMetrics metrics;
    metrics.thumbWidth = 88;
    metrics.showTitles = false;
    metrics.showFooter = true;
    metrics.spaceCount = 0;
    metrics.fileRowCount = 0;
    metrics.showWorkspaces = true;
    metrics.iconsOnly = false;
    return metrics;
}

SidebarMetrics smallWithRowsAndDesktops() {
    SidebarMetrics metrics;
    metrics.thumbWidth = 64;
    metrics.showTitles = true;
    metrics.showFooter = false;
    metrics.spaceCount = 4;
    metrics.fileRowCount = 2;
    metrics.showWorkspaces = false;
    metrics.iconsOnly = true;
    return metrics;
}

TEST(SidebarMetricsTest, PanelHeightGivesTheWorkedResults) {
    // Medium, no titles, footer, 2 workspaces and 5 windows.
    EXPECT_DOUBLE_EQ(mediumWithWorkspaces().panelHeight(5, 2), 401);
    // Small, titles, no footer, 4 desktops, 2 shelf rows, icons only, no windows.
    EXPECT_DOUBLE_EQ(smallWithRowsAndDesktops().panelHeight(0, 0), 183);
}

TEST(SidebarMetricsTest, RowsAndColumnsFollowTheWidth) {
    SidebarMetrics metrics;
    for (auto [width, columns] : {std::pair{64.0, 2}, {88.0, 3}, {120.0, 4}}) {
        metrics.thumbWidth = width;
        EXPECT_EQ(metrics.chipsPerRow(), columns) << width;
    }

    // No saved workspace still leaves a row for the add chip.
    metrics = mediumWithWorkspaces();
    EXPECT_DOUBLE_EQ(metrics.workspacesSectionHeight(0), 22 + 13);
    // Three workspaces and the add chip need a second row of three.
    EXPECT_DOUBLE_EQ(metrics.workspacesHeight(3), 22 + 6 + 22);

    // On a strip at most 972 points tall the chip area keeps the formula up to eleven rows (a
    // third of that height), then stops growing
    metrics.greatestHeight = 972;
    EXPECT_DOUBLE_EQ(metrics.workspacesHeight(3), 22 + 6 + 22);
    EXPECT_DOUBLE_EQ(metrics.workspacesHeight(32), 11 * 22 + 10 * 6);
    EXPECT_DOUBLE_EQ(metrics.workspacesHeight(1'000'000), 11 * 22 + 10 * 6);
    EXPECT_DOUBLE_EQ(metrics.panelHeight(5, 2), 401);
    metrics.greatestHeight = 0;

    // An empty list and a list of one window are one cell high.
    EXPECT_DOUBLE_EQ(metrics.windowListHeight(0), metrics.windowListHeight(1));
}

TEST(SidebarMetricsTest, CellSizesRoundHalvesAwayFromZero) {
    SidebarMetrics metrics;
    metrics.thumbWidth = 100;
    EXPECT_DOUBLE_EQ(metrics.thumbnailHeight(), 66);
    EXPECT_DOUBLE_EQ(metrics.iconTileSide(), 62);

    // 64 x 0.62 = 39.68 and 120 x 0.62 = 74.4.
    metrics.iconsOnly = true;
    metrics.thumbWidth = 64;
    EXPECT_DOUBLE_EQ(metrics.cellHeight(), 40);
    metrics.thumbWidth = 120;
    EXPECT_DOUBLE_EQ(metrics.cellHeight(), 74);
    metrics.showTitles = true;
    EXPECT_DOUBLE_EQ(metrics.cellHeight(), 74 + 15);
}

TEST(SidebarMetricsTest, AStripOfItsNaturalHeightShowsEveryCellWithoutScrolling) {
    for (const SidebarMetrics& metrics : {mediumWithWorkspaces(), smallWithRowsAndDesktops()}) {
        // Given a strip sized by the height formula
        const int windows = 3;
        const int workspaces = 2;
        const QSizeF size(metrics.panelWidth(), metrics.panelHeight(windows, workspaces));

        // When the view lays its sections out in it
        const SidebarLayout layout = SidebarLayout::make(metrics, size, workspaces);

        // Then the list gets exactly the height of its cells, and the sections tile the strip
        EXPECT_DOUBLE_EQ(layout.windowList.height(), metrics.windowListHeight(windows));
        EXPECT_DOUBLE_EQ(layout.windowList.top(),
                         SidebarMetrics::topGap + metrics.workspacesSectionHeight(workspaces));
        EXPECT_DOUBLE_EQ(layout.footer.bottom(), size.height());
        if (metrics.fileRowCount > 0) {
            EXPECT_DOUBLE_EQ(layout.filesSeparator.top(), layout.windowList.bottom());
            EXPECT_DOUBLE_EQ(layout.shelfRows.height(), 2 * 18 + 2);
        }
        if (metrics.spaceCount > 0) {
            EXPECT_DOUBLE_EQ(layout.spaces.bottom(), layout.footer.top());
        }
    }
}

TEST(SidebarMetricsTest, ACappedStripShrinksOnlyTheWindowList) {
    const SidebarMetrics metrics = smallWithRowsAndDesktops();
    const double natural = metrics.panelHeight(20, 0);

    const SidebarLayout layout = SidebarLayout::make(metrics, QSizeF(80, natural - 100), 0);

    EXPECT_DOUBLE_EQ(layout.windowList.height(), metrics.windowListHeight(20) - 100);
    EXPECT_DOUBLE_EQ(layout.spaces.height(), metrics.spacesHeight() - SidebarMetrics::separatorHeight);
}

WindowInfo window(uint32_t id, bool pinned) {
    WindowInfo info;
    info.windowID = id;
    info.isPinned = pinned;
    return info;
}

std::vector<uint32_t> ids(const std::vector<WindowInfo>& windows) {
    std::vector<uint32_t> result;
    for (const WindowInfo& w : windows)
        result.push_back(w.windowID);
    return result;
}

TEST(PinnedFirstTest, KeepsEveryPinnedWindowThenFillsUpToTheLimit) {
    const std::vector<WindowInfo> list{window(1, true), window(2, false), window(3, true), window(4, false)};

    EXPECT_EQ(ids(pinnedFirst(list, 3)), (std::vector<uint32_t>{1, 3, 2}));
    EXPECT_EQ(ids(pinnedFirst(list, 1)), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(ids(pinnedFirst(list, -5)), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(ids(pinnedFirst(list, 100)), (std::vector<uint32_t>{1, 3, 2, 4}));
}

TEST(CellFramesKeyTest, ACellReportedTwiceKeepsItsLastFrame) {
    CellFramesKey::Value frames = CellFramesKey::defaultValue();
    CellFramesKey::reduce(frames, {{7, QRectF(0, 0, 10, 10)}, {8, QRectF(0, 20, 10, 10)}});
    CellFramesKey::reduce(frames, {{7, QRectF(0, 40, 10, 10)}});

    EXPECT_EQ(frames.at(7), QRectF(0, 40, 10, 10));
    EXPECT_EQ(frames.at(8), QRectF(0, 20, 10, 10));
}

} // namespace
} // namespace corvane
