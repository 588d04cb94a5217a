#include "sidebar/SidebarModel.h"

namespace corvane {

void SidebarModel::setHoveredID(std::optional<uint32_t> id) {
    if (id == m_hoveredID)
        return;
    m_hoveredID = id;
    Q_EMIT hoveredIDChanged();
}

void SidebarModel::setSelectionID(std::optional<uint32_t> id) {
    if (id == m_selectionID)
        return;
    m_selectionID = id;
    Q_EMIT selectionIDChanged();
}

void SidebarModel::setDropTargetWorkspace(std::optional<QUuid> id) {
    if (id == m_dropTargetWorkspace)
        return;
    m_dropTargetWorkspace = id;
    Q_EMIT dropTargetWorkspaceChanged();
}

void SidebarModel::setDragging(bool dragging) {
    if (dragging == m_isDragging)
        return;
    m_isDragging = dragging;
    Q_EMIT isDraggingChanged();
}

namespace {

// Half-open, so that two touching cells never both hold a point.
bool holds(const QRectF& rect, const QPointF& point) {
    return rect.left() <= point.x() && point.x() < rect.right() && rect.top() <= point.y() &&
           point.y() < rect.bottom();
}

} // namespace

std::optional<uint32_t> SidebarModel::cellAt(const QPointF& point) const {
    // Cells scrolled out of the list still have frames, lying under the chips or the rows around
    // the list: only the part of a cell that shows can be hovered.
    if (m_visibleCellArea && !holds(*m_visibleCellArea, point))
        return std::nullopt;
    for (const auto& [id, frame] : m_cellFrames) {
        if (holds(frame, point))
            return id;
    }
    return std::nullopt;
}

void SidebarModel::updateHover() {
    const std::optional<uint32_t> candidate = m_mouse ? cellAt(*m_mouse) : std::nullopt;
    if (candidate == m_hoveredID)
        return;
    setHoveredID(candidate);
    if (onHoverChange)
        onHoverChange(candidate);
}

} // namespace corvane
