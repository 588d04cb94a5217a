#pragma once

#include "core/SettingsEnums.h"
#include "shelf/ShelfSource.h"
#include "sidebar/StripServices.h"

#include <vector>

namespace corvane {

// The strip's sizes, and every height the strip is built from. The panel's height and the
// view's section layout are both computed here, so the two cannot drift apart: a strip sized by
// `panelHeight` lays its window list out exactly as tall as `windowListHeight`, without scrolling.
struct SidebarMetrics {
    double thumbWidth = 88;
    bool showTitles = false;
    bool showFooter = true;
    int spaceCount = 0;
    int fileRowCount = 0;
    bool showWorkspaces = true;
    bool iconsOnly = false;
    // The tallest the strip may be on its screen; 0 when unknown, which leaves the chip area
    // unbounded.
    double greatestHeight = 0;

    bool operator==(const SidebarMetrics&) const = default;

    // --- Fixed sizes of the strip, in points ---
    static constexpr double topGap = 10;
    static constexpr double separatorHeight = 13;
    static constexpr double chipSide = 22;       // workspace chips and the add chip
    static constexpr double chipSpacing = 6;     // between chip columns and chip rows
    static constexpr double spaceChipWidth = 22; // desktop chips
    static constexpr double spaceChipHeight = 16;
    static constexpr double shelfRowHeight = 18;
    static constexpr double shelfRowSpacing = 2;
    static constexpr double cellSpacing = 8;
    static constexpr double listPadding = 4; // above the first cell and below the last
    static constexpr double titleRowHeight = 12;
    static constexpr double titleSpacing = 3;
    static constexpr double footerHeight = 26;
    static constexpr double bottomGap = 8; // in place of the footer
    static constexpr double sideInset = 8; // between the strip's edges and its column

    // 64, 88 or 120 points.
    static double thumbWidthFor(ThumbnailSize size);
    // The metrics the preferences ask for now, with the desktops and shelf rows of `state`.
    static SidebarMetrics current(const StripServices& services);
    // The shelf sources the strip lists: the tray and the folders, each when the strip shows it.
    static std::vector<ShelfSource> stripSources(const StripServices& services);

    // The strip's width: the column plus its insets.
    double panelWidth() const { return thumbWidth + 2 * sideInset; }
    // Columns of the chip grids: 2, 3 and 4 for the three widths.
    int chipsPerRow() const;

    // --- One window cell ---
    // Halves round away from zero.
    double thumbnailHeight() const; // 0.66 x width
    double iconTileSide() const;    // 0.62 x width
    double tileHeight() const { return iconsOnly ? iconTileSide() : thumbnailHeight(); }
    double cellHeight() const { return tileHeight() + (showTitles ? titleRowHeight + titleSpacing : 0); }

    // --- Sections, top to bottom ---
    // Rows of chips the chip area shows at most: as many whole rows as fit in a third of the
    // greatest height (at least one); unbounded without a greatest height.
    int workspaceRowLimit() const;
    // The chip area: the whole grid up to `workspaceRowLimit` rows; beyond, it stops growing and
    // scrolls, so the windows keep their room whatever the number of workspaces.
    double workspacesHeight(int workspaceCount) const;
    // Rows of the whole grid.
    int workspaceRows(int workspaceCount) const;
    // The grid and its separator; 0 when the row is off.
    double workspacesSectionHeight(int workspaceCount) const;
    // Cells, the spacing between them and the list's padding; an empty list is one cell high.
    double windowListHeight(int windowCount) const;
    // The separator and the shelf rows; 0 without rows.
    double filesHeight() const;
    // The separator and the desktop chip grid; 0 without desktops.
    double spacesHeight() const;
    double bottomHeight() const { return showFooter ? footerHeight : bottomGap; }

    // The strip's natural height.
    double panelHeight(int windowCount, int workspaceCount) const;
};

// Rounds halves away from zero.
double roundedPoints(double value);

} // namespace corvane
