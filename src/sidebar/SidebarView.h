#pragma once

#include "sidebar/SidebarLayout.h"
#include "sidebar/SidebarMetrics.h"
#include "sidebar/StripServices.h"
#include "windows/SpaceInfo.h"
#include "windows/ThumbnailBox.h"
#include "windows/WindowInfo.h"
#include "workspaces/Workspace.h"

#include <QColor>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QMenu;
class QPainter;
class QScrollArea;

namespace corvane {

class AddWorkspaceChip;
class DesktopChip;
class ListMotion;
class SidebarFooter;
class SidebarModel;
class ThumbnailCell;
class WorkspaceChip;

// The strip's content, top to bottom: the workspace chips, the scrolling list of window cells,
// the shelf rows, the desktops and the footer, laid out from `SidebarMetrics`. It follows the
// window list, the workspaces, the desktops, the preferences and the shared model, and turns
// clicks, drags, drops and context menus into the application's actions. It keeps the model's
// cell frames and visible cell area current (in its own coordinates), so the controller can hit
// test the pointer and anchor the preview; the pointer itself is reported by the controller.
class SidebarView : public QWidget {
    Q_OBJECT
public:
    SidebarView(const StripServices& services, SidebarModel& model, QWidget* parent = nullptr);
    ~SidebarView() override;

    // Places the shelf rows (one widget holding every row) below the window list. The view takes
    // the widget over; it shows while the strip lists shelf sources, at its size hint's height.
    // Passing null removes the current one.
    void setShelfRows(QWidget* rows);
    QWidget* shelfRows() const { return m_shelfRows; }

    // The tallest the strip may be on its screen, asked at every reload and resize; it bounds the
    // chip area (see `SidebarMetrics::workspaceRowLimit`). Without it the area is unbounded.
    void setGreatestHeight(std::function<double()> greatestHeight);
    // The first chip row the chip area shows; the area scrolls by whole rows when the chips do
    // not all fit. Chips exist only for the rows shown.
    int firstChipRow() const { return m_firstChipRow; }
    void scrollChipRows(int rows);

    // Reads everything it shows again. Called on its own for every change it follows; others may
    // call it after a change it does not follow (the shelf's folders).
    void reload();

    const SidebarMetrics& metrics() const { return m_metrics; }
    QColor accent() const { return m_accent; }
    // The windows listed: pinned first, then the others up to the preference's limit.
    const std::vector<WindowInfo>& visibleWindows() const { return m_visible; }
    SidebarLayout sectionLayout() const;
    // The natural size: the strip's width by `SidebarMetrics::panelHeight`.
    QSize sizeHint() const override;

    // --- The pieces, for the switcher and for tests ---
    ThumbnailCell* cell(uint32_t windowID) const;
    // The cell whose place, once the list's motion ends, holds `point` (in this view's
    // coordinates): what a click there means, wherever the cells are drawn mid-way.
    ThumbnailCell* cellAt(const QPointF& point) const;
    WorkspaceChip* workspaceChip(const QUuid& id) const;
    AddWorkspaceChip* addChip() const { return m_addChip; }
    DesktopChip* desktopChip(uint64_t id) const;
    SidebarFooter* footer() const { return m_footer; }
    QScrollArea* windowList() const { return m_list; }
    // Scrolls the list so that the window's cell shows.
    void ensureVisible(uint32_t windowID);

    // --- Gestures, as the strip performs them ---
    // Dropping window texts on a cell: pins the target when it is not, then puts the dragged
    // window just before it. Refused (false) without a window number or onto itself.
    bool dropOnWindow(uint32_t targetID, const QStringList& texts);
    // Dropping window texts on a chip adds each window to the workspace; refused (false) without
    // any window number.
    bool dropOnWorkspace(const Workspace& workspace, const QStringList& texts);
    // A drag entering or leaving a chip; leaving clears the mark only if it is still this chip's.
    void workspaceDragEntered(const QUuid& id);
    void workspaceDragLeft(const QUuid& id);
    // The menus the strip opens; built afresh each time. The caller owns them.
    QMenu* makeWindowMenu(const WindowInfo& window);
    QMenu* makeWorkspaceMenu(const Workspace& workspace);

Q_SIGNALS:
    // A menu of the strip opened or closed; the strip must not hide while one is open.
    void menuTrackingChanged(bool open);
    // Anything the view shows may look different: its lists, the model's states, a picture.
    void contentChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Press {
        QPointer<QWidget> target;
        QPointF globalPosition;
    };

    void rebuildWindowCells();
    void rebuildWorkspaceChips();
    // The grid positions the chip area shows, first to one past the last; the add chip stands at
    // the position after the last workspace.
    std::pair<int, int> shownChipRange() const;
    void rebuildDesktopChips();
    void applyModel();
    void relayout();
    void publishCellFrames();
    void paintChipScrollIndicator(QPainter& p, const SidebarLayout& layout) const;
    void runMenu(QMenu* menu, const QPoint& globalPosition);
    void startWindowDrag(ThumbnailCell& cell);
    // Whether `event` is the left release, over `hit`, of a press that began on `target`; ends the
    // press either way.
    bool completesClick(QWidget& target, QEvent* event, const QRectF& hit);
    bool handleCellEvent(ThumbnailCell& cell, QEvent* event);
    // Presses, releases and menus over the window list, sent on to the cell whose place is under
    // the pointer.
    bool handleListPointer(QWidget& receiver, QEvent* event);
    // The cell area of `cell` where it is going, in this view's coordinates.
    QRectF cellTarget(const ThumbnailCell& cell) const;
    bool handleChipEvent(WorkspaceChip& chip, QEvent* event);
    bool handleDesktopEvent(DesktopChip& chip, QEvent* event);
    std::shared_ptr<ThumbnailBox> boxFor(uint32_t windowID, bool always) const;

    StripServices m_services;
    SidebarModel& m_model;

    SidebarMetrics m_metrics;
    QColor m_accent;
    std::vector<WindowInfo> m_visible;
    std::vector<Workspace> m_workspaces;
    std::vector<SpaceInfo> m_spaces;

    QScrollArea* m_list = nullptr;
    QWidget* m_listContent = nullptr;
    QWidget* m_emptyState = nullptr;
    std::map<uint32_t, ThumbnailCell*> m_cells;
    std::unique_ptr<ListMotion> m_listMotion;
    std::map<QUuid, WorkspaceChip*> m_chips; // the shown ones only
    int m_firstChipRow = 0;
    bool m_scrollingChips = false;
    std::function<double()> m_greatestHeight;
    AddWorkspaceChip* m_addChip = nullptr;
    std::map<uint64_t, DesktopChip*> m_desktopChips;
    SidebarFooter* m_footer = nullptr;
    QPointer<QWidget> m_shelfRows;
    Press m_press;
};

} // namespace corvane
