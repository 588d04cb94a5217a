#pragma once

#include "sidebar/SidebarMetrics.h"

#include <QRectF>

namespace corvane {

// Where each section of the strip goes in a strip of a given size: fixed sections take their
// heights from the metrics and the window list takes what is left. Rectangles are in the strip's
// own coordinates (origin top left) and span its full width; empty ones are absent sections.
struct SidebarLayout {
    QRectF workspaces;          // the chip grid
    QRectF workspacesSeparator; // below the grid
    QRectF windowList;          // the scrolling list's viewport
    QRectF filesSeparator;
    QRectF shelfRows;
    QRectF spacesSeparator;
    QRectF spaces; // the desktop chip grid
    QRectF footer; // the footer row, or the bottom gap

    static SidebarLayout make(const SidebarMetrics& metrics, QSizeF size, int workspaceCount);
};

} // namespace corvane
