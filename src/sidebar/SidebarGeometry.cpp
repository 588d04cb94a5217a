#include "sidebar/SidebarGeometry.h"

#include <algorithm>
#include <cmath>

namespace corvane::SidebarGeometry {

namespace {
constexpr double hiddenShare = 0.7;
constexpr double keepMargin = 24;
constexpr double previewReach = 520;
} // namespace

QRect stripFrame(const QRectF& visibleFrame, double width, double naturalHeight, SidebarEdge edge) {
    const double height = std::min(maximumHeightShare * visibleFrame.height(), naturalHeight);
    const double x = edge == SidebarEdge::right ? visibleFrame.right() - edgeInset - width
                                                : visibleFrame.left() + edgeInset;
    const double y = visibleFrame.center().y() - height / 2;
    return QRectF(x, y, width, height).toAlignedRect();
}

QRect hiddenFrame(const QRect& frame, SidebarEdge edge) {
    const int shift = static_cast<int>(std::lround(hiddenShare * frame.width()));
    return frame.translated(edge == SidebarEdge::right ? shift : -shift, 0);
}

bool isAtEdge(QPointF point, const QRectF& screenFrame, SidebarEdge edge) {
    if (point.y() < screenFrame.top() || point.y() > screenFrame.bottom())
        return false;
    if (edge == SidebarEdge::right)
        return point.x() >= screenFrame.right() - 5 && point.x() <= screenFrame.right() + 1;
    return point.x() >= screenFrame.left() - 1 && point.x() <= screenFrame.left() + 4;
}

QRectF keepZone(const QRectF& stripFrame, bool previewVisible) {
    QRectF zone = stripFrame.adjusted(-keepMargin, -keepMargin, keepMargin, keepMargin);
    if (previewVisible)
        zone = zone.united(stripFrame.adjusted(-previewReach, 0, previewReach, 0));
    return zone;
}

} // namespace corvane::SidebarGeometry
