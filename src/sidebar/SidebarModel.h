#pragma once

#include "sidebar/CellFramesKey.h"

#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QUuid>

#include <cstdint>
#include <functional>
#include <optional>

namespace corvane {

// What the strip's view, its controller and the window switcher share: the hovered, selected and
// drop-targeted items, whether a drag from the strip is under way, where the window cells are and
// where the pointer is. Each observed value signals only when it really changes.
// Main thread only.
class SidebarModel : public QObject {
    Q_OBJECT
public:
    SidebarModel() = default;

    // --- Observed ---
    // The window whose cell is under the pointer.
    std::optional<uint32_t> hoveredID() const { return m_hoveredID; }
    void setHoveredID(std::optional<uint32_t> id);
    // The window the keyboard switcher highlights.
    std::optional<uint32_t> selectionID() const { return m_selectionID; }
    void setSelectionID(std::optional<uint32_t> id);
    // The workspace whose chip a dragged window is over.
    std::optional<QUuid> dropTargetWorkspace() const { return m_dropTargetWorkspace; }
    void setDropTargetWorkspace(std::optional<QUuid> id);
    // A drag that started in the strip is in progress; the strip stays up meanwhile.
    bool isDragging() const { return m_isDragging; }
    void setDragging(bool dragging);

    // --- Plain storage, in the strip's coordinates (origin at the top left of its content) ---
    // Every listed cell's frame, also of cells scrolled out of sight (the preview anchors to them).
    const CellFramesKey::Value& cellFrames() const { return m_cellFrames; }
    void setCellFrames(CellFramesKey::Value frames) { m_cellFrames = std::move(frames); }
    // The part of the strip where cells can be seen: the window list's viewport. Cells are only
    // hit where they show, so a pointer over the chips above a scrolled list hovers nothing.
    // None: no clipping.
    const std::optional<QRectF>& visibleCellArea() const { return m_visibleCellArea; }
    void setVisibleCellArea(std::optional<QRectF> area) { m_visibleCellArea = std::move(area); }
    // The pointer over the strip; none once it has left.
    const std::optional<QPointF>& mouse() const { return m_mouse; }
    void setMouse(std::optional<QPointF> point) { m_mouse = std::move(point); }

    // Called after `updateHover` changed the hovered window.
    std::function<void(std::optional<uint32_t>)> onHoverChange;

    // Re-evaluates the hovered window from the pointer and the cells that show. Left and top
    // edges of a cell belong to it, right and bottom edges do not.
    void updateHover();
    // The window whose visible cell holds `point`, if any.
    std::optional<uint32_t> cellAt(const QPointF& point) const;

Q_SIGNALS:
    void hoveredIDChanged();
    void selectionIDChanged();
    void dropTargetWorkspaceChanged();
    void isDraggingChanged();

private:
    std::optional<uint32_t> m_hoveredID;
    std::optional<uint32_t> m_selectionID;
    std::optional<QUuid> m_dropTargetWorkspace;
    bool m_isDragging = false;
    CellFramesKey::Value m_cellFrames;
    std::optional<QRectF> m_visibleCellArea;
    std::optional<QPointF> m_mouse;
};

} // namespace corvane
