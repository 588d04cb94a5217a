#include "sidebar/SidebarLayout.h"

#include <algorithm>

namespace corvane {

SidebarLayout SidebarLayout::make(const SidebarMetrics& metrics, QSizeF size, int workspaceCount) {
    const double width = size.width();
    auto band = [width](double top, double height) { return QRectF(0, top, width, std::max(0.0, height)); };

    SidebarLayout layout;
    double top = SidebarMetrics::topGap;
    if (metrics.showWorkspaces) {
        layout.workspaces = band(top, metrics.workspacesHeight(workspaceCount));
        top = layout.workspaces.bottom();
        layout.workspacesSeparator = band(top, SidebarMetrics::separatorHeight);
        top = layout.workspacesSeparator.bottom();
    }

    // The sections under the list stand at the bottom; the list takes what lies between.
    double bottom = size.height();
    layout.footer = band(bottom - metrics.bottomHeight(), metrics.bottomHeight());
    bottom = layout.footer.top();
    if (metrics.spaceCount >= 1) {
        const double grid = metrics.spacesHeight() - SidebarMetrics::separatorHeight;
        layout.spaces = band(bottom - grid, grid);
        layout.spacesSeparator =
            band(layout.spaces.top() - SidebarMetrics::separatorHeight, SidebarMetrics::separatorHeight);
        bottom = layout.spacesSeparator.top();
    }
    if (metrics.fileRowCount >= 1) {
        const double rows = metrics.filesHeight() - SidebarMetrics::separatorHeight;
        layout.shelfRows = band(bottom - rows, rows);
        layout.filesSeparator =
            band(layout.shelfRows.top() - SidebarMetrics::separatorHeight, SidebarMetrics::separatorHeight);
        bottom = layout.filesSeparator.top();
    }
    layout.windowList = band(top, bottom - top);
    return layout;
}

} // namespace corvane
