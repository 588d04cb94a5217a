#include "sidebar/SidebarMetrics.h"

#include "core/Settings.h"
#include "platform/Platform.h"
#include "shelf/FileShelf.h"
#include "sidebar/StripServices.h"
#include "windows/SpacesService.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane {

double roundedPoints(double value) {
    return std::round(value);
}

double SidebarMetrics::thumbWidthFor(ThumbnailSize size) {
    switch (size) {
    case ThumbnailSize::small:
        return 64;
    case ThumbnailSize::medium:
        return 88;
    case ThumbnailSize::large:
        return 120;
    }
    return 88;
}

std::vector<ShelfSource> SidebarMetrics::stripSources(const StripServices& services) {
    const Settings& settings = services.settings;
    std::vector<ShelfSource> shown;
    for (ShelfSource& source : shelfSources(settings, services.shelf.files)) {
        const bool passes =
            source.kind == ShelfSource::Kind::tray ? settings.stripShowTray() : settings.stripShowFolders();
        if (passes)
            shown.push_back(std::move(source));
    }
    return shown;
}

SidebarMetrics SidebarMetrics::current(const StripServices& services) {
    const Settings& settings = services.settings;
    SidebarMetrics metrics;
    metrics.thumbWidth = thumbWidthFor(settings.thumbnailSize());
    metrics.showTitles = settings.showTitles();
    metrics.showFooter = settings.showFooter();
    metrics.spaceCount = settings.showSpaces() ? static_cast<int>(services.spaces.spaces().size()) : 0;
    metrics.fileRowCount = static_cast<int>(stripSources(services).size());
    metrics.showWorkspaces = settings.stripShowWorkspaces();
    metrics.iconsOnly = settings.stripIconsOnly();
    return metrics;
}

int SidebarMetrics::chipsPerRow() const {
    return std::max(1, static_cast<int>((thumbWidth + chipSpacing) / (chipSide + chipSpacing)));
}

double SidebarMetrics::thumbnailHeight() const {
    return roundedPoints(thumbWidth * 0.66);
}

double SidebarMetrics::iconTileSide() const {
    return roundedPoints(thumbWidth * 0.62);
}

namespace {

int rowsFor(int count, int perRow) {
    return (count + perRow - 1) / perRow;
}

// `count` items of `size` with `spacing` between them.
double stacked(int count, double size, double spacing) {
    return count < 1 ? 0 : count * size + (count - 1) * spacing;
}

} // namespace

int SidebarMetrics::workspaceRows(int workspaceCount) const {
    return rowsFor(std::max(0, workspaceCount) + 1, chipsPerRow());
}

int SidebarMetrics::workspaceRowLimit() const {
    if (!(greatestHeight > 0))
        return std::numeric_limits<int>::max();
    const double room = greatestHeight / 3;
    return std::max(1, static_cast<int>((room + chipSpacing) / (chipSide + chipSpacing)));
}

double SidebarMetrics::workspacesHeight(int workspaceCount) const {
    return stacked(std::min(workspaceRows(workspaceCount), workspaceRowLimit()), chipSide, chipSpacing);
}

double SidebarMetrics::workspacesSectionHeight(int workspaceCount) const {
    return showWorkspaces ? workspacesHeight(workspaceCount) + separatorHeight : 0;
}

double SidebarMetrics::windowListHeight(int windowCount) const {
    const int cells = std::max(1, windowCount);
    return stacked(cells, cellHeight(), cellSpacing) + 2 * listPadding;
}

// The rows follow the separator directly; the row spacing lies only between rows.
double SidebarMetrics::filesHeight() const {
    if (fileRowCount < 1)
        return 0;
    return separatorHeight + stacked(fileRowCount, shelfRowHeight, shelfRowSpacing);
}

double SidebarMetrics::spacesHeight() const {
    if (spaceCount < 1)
        return 0;
    return separatorHeight + stacked(rowsFor(spaceCount, chipsPerRow()), spaceChipHeight, chipSpacing);
}

double SidebarMetrics::panelHeight(int windowCount, int workspaceCount) const {
    return topGap + workspacesSectionHeight(workspaceCount) + windowListHeight(windowCount) + filesHeight() +
           spacesHeight() + bottomHeight();
}

} // namespace corvane
