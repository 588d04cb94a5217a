#include "sidebar/SidebarModel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

namespace corvane {
namespace {

class SidebarModelTest : public ::testing::Test {
protected:
    SidebarModelTest() {
        model.setCellFrames({{1, QRectF(8, 100, 88, 58)}, {2, QRectF(8, 166, 88, 58)}});
        model.onHoverChange = [this](std::optional<uint32_t> id) { calls.push_back(id); };
    }

    void pointAt(std::optional<QPointF> point) {
        model.setMouse(point);
        model.updateHover();
    }

    SidebarModel model;
    std::vector<std::optional<uint32_t>> calls;
};

TEST_F(SidebarModelTest, CellsOwnTheirLeftAndTopEdgesOnly) {
    pointAt(QPointF(8, 100));
    EXPECT_EQ(model.hoveredID(), 1u);

    pointAt(QPointF(96, 120)); // right edge
    EXPECT_EQ(model.hoveredID(), std::nullopt);

    pointAt(QPointF(50, 158)); // bottom edge of the first, in the gap before the second
    EXPECT_EQ(model.hoveredID(), std::nullopt);

    pointAt(QPointF(50, 166));
    EXPECT_EQ(model.hoveredID(), 2u);
}

TEST_F(SidebarModelTest, TheCallbackRunsOncePerChangeAndWhenThePointerLeaves) {
    QSignalSpy hovered(&model, &SidebarModel::hoveredIDChanged);

    pointAt(QPointF(50, 120));
    pointAt(QPointF(60, 130)); // same cell
    pointAt(std::nullopt);

    EXPECT_EQ(calls, (std::vector<std::optional<uint32_t>>{1u, std::nullopt}));
    EXPECT_EQ(hovered.count(), 2);
    EXPECT_EQ(model.hoveredID(), std::nullopt);
}

TEST_F(SidebarModelTest, CellsOutsideTheVisibleAreaAreNeverHovered) {
    // Given a list scrolled so that cell 1 lies above its viewport, under the chips
    model.setCellFrames({{1, QRectF(8, -20, 88, 58)}, {2, QRectF(8, 46, 88, 58)}});
    model.setVisibleCellArea(QRectF(0, 40, 104, 200));

    // When the pointer rests on a chip over the hidden part of cell 1
    pointAt(QPointF(50, 20));

    // Then nothing is hovered; the part of cell 2 that shows still is
    EXPECT_EQ(model.hoveredID(), std::nullopt);
    EXPECT_TRUE(calls.empty());
    pointAt(QPointF(50, 60));
    EXPECT_EQ(model.hoveredID(), 2u);
}

TEST_F(SidebarModelTest, ObservedValuesSignalOnlyRealChanges) {
    QSignalSpy selection(&model, &SidebarModel::selectionIDChanged);
    QSignalSpy target(&model, &SidebarModel::dropTargetWorkspaceChanged);
    QSignalSpy dragging(&model, &SidebarModel::isDraggingChanged);
    const QUuid workspace = QUuid::createUuid();

    model.setSelectionID(std::nullopt);
    model.setSelectionID(5u);
    model.setSelectionID(5u);
    model.setDropTargetWorkspace(workspace);
    model.setDropTargetWorkspace(workspace);
    model.setDragging(false);
    model.setDragging(true);

    EXPECT_EQ(selection.count(), 1);
    EXPECT_EQ(target.count(), 1);
    EXPECT_EQ(dragging.count(), 1);
}

} // namespace
} // namespace corvane
