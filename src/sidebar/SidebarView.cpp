#include "sidebar/SidebarView.h"

#include "sidebar/StripMotion.h"

#include <QWheelEvent>

#include <climits>

#include "shelf/FileShelf.h"

#include "core/AppIcons.h"
#include "core/Settings.h"
#include "platform/Platform.h"
#include "sidebar/AddWorkspaceChip.h"
#include "sidebar/DesktopChip.h"
#include "sidebar/ListMotion.h"
#include "sidebar/NoWindowsPlaceholder.h"
#include "sidebar/PinnedFirst.h"
#include "sidebar/ReconcileWidgets.h"
#include "sidebar/SidebarFooter.h"
#include "sidebar/SidebarModel.h"
#include "sidebar/SidebarPainting.h"
#include "sidebar/StripAccent.h"
#include "sidebar/StripServices.h"
#include "sidebar/ThumbnailCell.h"
#include "sidebar/WindowContextMenu.h"
#include "sidebar/WindowDragPayload.h"
#include "sidebar/WorkspaceChip.h"
#include "sidebar/WorkspaceChipMenu.h"
#include "windows/SpacesService.h"
#include "windows/ThumbnailService.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

namespace corvane {

using namespace SidebarPainting;

namespace {

constexpr double hairlineRadius = 14;

QRect toPixels(const QRectF& rect) {
    return QRect(static_cast<int>(std::lround(rect.left())), static_cast<int>(std::lround(rect.top())),
                 static_cast<int>(std::lround(rect.width())), static_cast<int>(std::lround(rect.height())));
}

// The top-left corner of item `index` of a centred grid of `columns` columns in `area`.
QPointF gridPosition(const QRectF& area, int index, int columns, QSizeF item, double spacing) {
    const double gridWidth = columns * item.width() + (columns - 1) * spacing;
    const double left = area.left() + (area.width() - gridWidth) / 2;
    const int row = index / columns;
    const int column = index % columns;
    return {left + column * (item.width() + spacing), area.top() + row * (item.height() + spacing)};
}

} // namespace

SidebarView::SidebarView(const StripServices& services, SidebarModel& model, QWidget* parent)
    : QWidget(parent), m_services(services), m_model(model),
      m_listMotion(std::make_unique<ListMotion>(services.animator)) {
    setAttribute(Qt::WA_TranslucentBackground);

    m_list = new QScrollArea(this);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setWidgetResizable(false);
    m_list->setAutoFillBackground(false);
    m_list->viewport()->setAutoFillBackground(false);
    m_listContent = new QWidget;
    m_listContent->installEventFilter(this);
    m_list->setWidget(m_listContent);
    // The scroll area fills the widget it is given with the window colour: the list lies on the
    // panel's own material instead.
    m_listContent->setAutoFillBackground(false);
    m_emptyState = new NoWindowsPlaceholder(m_listContent);
    connect(m_list->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { publishCellFrames(); });

    m_addChip = new AddWorkspaceChip(this);
    connect(m_addChip, &AddWorkspaceChip::clicked, this, [this] { m_services.actions.saveCurrentWindows(); });
    m_footer = new SidebarFooter(this);
    connect(m_footer, &SidebarFooter::settingsClicked, this, [this] { m_services.actions.openSettings(); });

    auto reloadView = [this] { reload(); };
    connect(&services.windows, &WindowService::windowsChanged, this, reloadView);
    connect(&services.workspaces, &WorkspaceManager::workspacesChanged, this, reloadView);
    connect(&services.workspaces, &WorkspaceManager::restoringIDChanged, this, [this] { applyModel(); });
    connect(&services.spaces, &SpacesService::spacesChanged, this, reloadView);
    connect(&services.spaces, &SpacesService::currentIDChanged, this, reloadView);
    connect(&services.settings, &Settings::changed, this, reloadView);
    connect(&services.shelf.files, &FileShelf::foldersChanged, this, reloadView);
    connect(&services.shelf.files, &FileShelf::trayChanged, this, reloadView);
    connect(&model, &SidebarModel::hoveredIDChanged, this, [this] { applyModel(); });
    connect(&model, &SidebarModel::selectionIDChanged, this, [this] { applyModel(); });
    connect(&model, &SidebarModel::dropTargetWorkspaceChanged, this, [this] { applyModel(); });

    reload();
    resize(sizeHint());
}

SidebarView::~SidebarView() = default;

void SidebarView::setShelfRows(QWidget* rows) {
    if (rows == m_shelfRows)
        return;
    if (m_shelfRows) {
        m_shelfRows->hide();
        m_shelfRows->deleteLater();
    }
    m_shelfRows = rows;
    if (rows)
        rows->setParent(this);
    relayout();
}

void SidebarView::setGreatestHeight(std::function<double()> greatestHeight) {
    m_greatestHeight = std::move(greatestHeight);
    reload();
}

void SidebarView::reload() {
    const Settings& settings = m_services.settings;
    m_metrics = SidebarMetrics::current(m_services);
    if (m_greatestHeight)
        m_metrics.greatestHeight = m_greatestHeight();
    m_accent = stripAccent(settings);
    m_visible = shownWindows(m_services.windows.windows(), settings);
    m_workspaces = m_metrics.showWorkspaces ? m_services.workspaces.workspaces() : std::vector<Workspace>{};
    m_spaces = m_metrics.spaceCount > 0 ? m_services.spaces.spaces() : std::vector<SpaceInfo>{};

    rebuildWindowCells();
    rebuildWorkspaceChips();
    rebuildDesktopChips();
    applyModel();
    updateGeometry();
    relayout();
    update();
}

std::shared_ptr<ThumbnailBox> SidebarView::boxFor(uint32_t windowID, bool always) const {
    if (!always && !m_services.settings.showThumbnails())
        return nullptr;
    return m_services.thumbnails.box(windowID);
}

void SidebarView::rebuildWindowCells() {
    reconcileWidgets(
        m_cells, m_visible, [](const WindowInfo& window) { return window.windowID; },
        [this](ThumbnailCell& cell, const WindowInfo& window) {
            cell.setWindow(window);
            cell.setBox(boxFor(window.windowID, false));
            cell.setMetrics(m_metrics);
            cell.setAccent(m_accent);
        },
        [this](const WindowInfo& window) {
            auto* cell = new ThumbnailCell(window, boxFor(window.windowID, false), m_metrics, false, false,
                                           m_accent, &m_services.icons, m_listContent);
            cell->setAcceptDrops(true);
            cell->installEventFilter(this);
            cell->setAnimator(&m_services.animator);
            connect(cell, &ThumbnailCell::pictureChanged, this, &SidebarView::contentChanged);
            m_listMotion->arrive(*cell);
            return cell;
        },
        [this](ThumbnailCell& cell) {
            cell.removeEventFilter(this);
            m_listMotion->leave(cell, isVisible());
        });
}

std::pair<int, int> SidebarView::shownChipRange() const {
    const int count = static_cast<int>(m_workspaces.size());
    const int columns = m_metrics.chipsPerRow();
    const int shownRows = std::min(m_metrics.workspaceRows(count), m_metrics.workspaceRowLimit());
    const int first = m_firstChipRow * columns;
    const int end =
        static_cast<int>(std::min<qint64>(count + 1, qint64(first) + qint64(shownRows) * columns));
    return {first, end};
}

void SidebarView::rebuildWorkspaceChips() {
    // However many workspaces there are, only the rows the area shows get widgets.
    const int count = static_cast<int>(m_workspaces.size());
    const int hiddenRows = m_metrics.workspaceRows(count) - m_metrics.workspaceRowLimit();
    m_firstChipRow = std::clamp(m_firstChipRow, 0, std::max(0, hiddenRows));
    const auto [first, end] = shownChipRange();
    const auto from = m_workspaces.begin() + std::clamp(first, 0, count);
    const std::vector<Workspace> shown(from, m_workspaces.begin() + std::clamp(end, first, count));
    reconcileWidgets(
        m_chips, shown, [](const Workspace& workspace) { return workspace.id; },
        [](WorkspaceChip& chip, const Workspace& workspace) { chip.setWorkspace(workspace); },
        [this](const Workspace& workspace) {
            auto* chip = new WorkspaceChip(workspace, false, false, this);
            chip->setAnimator(&m_services.animator);
            chip->setAcceptDrops(true);
            chip->installEventFilter(this);
            // What the strip shows at first, or scrolls to, is there; a workspace added comes in.
            if (isVisible() && !m_scrollingChips)
                StripMotion::arrive(m_services.animator, *chip);
            return chip;
        },
        [this](WorkspaceChip& chip) {
            StripMotion::leave(m_services.animator, chip, isVisible() && !m_scrollingChips);
        });
    m_addChip->setVisible(m_metrics.showWorkspaces && end == count + 1);
}

void SidebarView::scrollChipRows(int rows) {
    const int before = m_firstChipRow;
    m_firstChipRow = static_cast<int>(std::clamp<qint64>(qint64(m_firstChipRow) + rows, 0, INT_MAX));
    m_scrollingChips = true;
    rebuildWorkspaceChips();
    m_scrollingChips = false;
    if (m_firstChipRow == before)
        return;
    applyModel();
    relayout();
    update();
}

void SidebarView::wheelEvent(QWheelEvent* event) {
    const SidebarLayout layout = sectionLayout();
    const int steps = event->angleDelta().y() / 120;
    if (!layout.workspaces.contains(event->position()) || steps == 0) {
        QWidget::wheelEvent(event);
        return;
    }
    scrollChipRows(-steps);
    event->accept();
}

void SidebarView::rebuildDesktopChips() {
    const std::optional<uint64_t> current = m_services.spaces.currentID();
    const auto mark = [this, current](DesktopChip& chip, const SpaceInfo& space) {
        chip.setCurrent(current == space.id);
        chip.setAccent(m_accent);
    };
    reconcileWidgets(
        m_desktopChips, m_spaces, [](const SpaceInfo& space) { return space.id; },
        [mark](DesktopChip& chip, const SpaceInfo& space) {
            chip.setSpace(space);
            mark(chip, space);
        },
        [this, mark](const SpaceInfo& space) {
            auto* chip =
                new DesktopChip(space, false, m_accent, m_services.platform.desktops->hasOverview(), this);
            chip->installEventFilter(this);
            // A new chip shows as it is; only changes move.
            mark(*chip, space);
            chip->setAnimator(&m_services.animator);
            if (isVisible())
                StripMotion::arrive(m_services.animator, *chip);
            return chip;
        },
        [this](DesktopChip& chip) { StripMotion::leave(m_services.animator, chip, isVisible()); });
}

void SidebarView::applyModel() {
    for (auto& [id, cell] : m_cells) {
        cell->setHovered(m_model.hoveredID() == id);
        cell->setSelected(m_model.selectionID() == id);
    }
    const std::optional<QUuid> restoring = m_services.workspaces.restoringID();
    for (auto& [id, chip] : m_chips) {
        chip->setTargeted(m_model.dropTargetWorkspace() == id);
        chip->setRestoring(restoring == id);
    }
    Q_EMIT contentChanged();
}

SidebarLayout SidebarView::sectionLayout() const {
    return SidebarLayout::make(m_metrics, QSizeF(size()), static_cast<int>(m_workspaces.size()));
}

QSize SidebarView::sizeHint() const {
    const double height =
        m_metrics.panelHeight(static_cast<int>(m_visible.size()), static_cast<int>(m_workspaces.size()));
    return QSize(static_cast<int>(std::ceil(m_metrics.panelWidth())), static_cast<int>(std::ceil(height)));
}

void SidebarView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The strip is resized when it moves to another screen, whose height bounds the chip area.
    if (m_greatestHeight && m_greatestHeight() != m_metrics.greatestHeight) {
        reload();
        return;
    }
    relayout();
}

void SidebarView::relayout() {
    const SidebarLayout layout = sectionLayout();
    const int columns = m_metrics.chipsPerRow();

    // Workspace chips, then the add chip, in one grid.
    const QSizeF chipSize(SidebarMetrics::chipSide, SidebarMetrics::chipSide);
    const auto [firstChip, endChip] = shownChipRange();
    const int count = static_cast<int>(m_workspaces.size());
    for (int index = firstChip; index < std::min(endChip, count); ++index) {
        WorkspaceChip* chip = m_chips.at(m_workspaces[static_cast<size_t>(index)].id);
        const QPointF at = gridPosition(layout.workspaces, index - firstChip, columns, chipSize,
                                        SidebarMetrics::chipSpacing);
        chip->setGeometry(QRect(toPixels(QRectF(at, chipSize)).topLeft() -
                                    QPoint(WorkspaceChip::bleed, WorkspaceChip::bleed),
                                chip->sizeHint()));
    }
    if (m_metrics.showWorkspaces && endChip == count + 1) {
        const QPointF at = gridPosition(layout.workspaces, count - firstChip, columns, chipSize,
                                        SidebarMetrics::chipSpacing);
        m_addChip->setGeometry(toPixels(QRectF(at, chipSize)));
    }
    int index = 0;

    // The window list: its viewport is the list section, its content as tall as its cells.
    m_list->setGeometry(toPixels(layout.windowList));
    const double listWidth = layout.windowList.width();
    const double cellLeft = (listWidth - m_metrics.thumbWidth) / 2;
    const double contentHeight = m_metrics.windowListHeight(static_cast<int>(m_visible.size()));
    m_listContent->resize(static_cast<int>(std::lround(listWidth)),
                          static_cast<int>(std::ceil(contentHeight)));
    const QSizeF cellSize = ThumbnailCell::cellSize(m_metrics);
    m_emptyState->setVisible(m_visible.empty());
    m_emptyState->setGeometry(toPixels(QRectF(QPointF(cellLeft, SidebarMetrics::listPadding), cellSize)));
    double top = SidebarMetrics::listPadding;
    for (const WindowInfo& window : m_visible) {
        ThumbnailCell* cell = m_cells.at(window.windowID);
        const QPoint at = toPixels(QRectF(QPointF(cellLeft, top), cellSize)).topLeft();
        m_listMotion->place(*cell,
                            QRect(at - QPoint(ThumbnailCell::bleed, ThumbnailCell::bleed), cell->sizeHint()),
                            isVisible());
        top += cellSize.height() + SidebarMetrics::cellSpacing;
    }

    // The shelf rows, a column wide, at the top of their section.
    if (m_shelfRows) {
        const bool shown = m_metrics.fileRowCount >= 1;
        if (shown) {
            const int hinted = m_shelfRows->sizeHint().height();
            const double height = hinted >= 0 ? hinted : layout.shelfRows.height();
            const QRectF rows(SidebarMetrics::sideInset, layout.shelfRows.top(), m_metrics.thumbWidth,
                              height);
            m_shelfRows->setGeometry(toPixels(rows));
        }
        m_shelfRows->setVisible(shown);
    }

    const QSizeF spaceSize(SidebarMetrics::spaceChipWidth, SidebarMetrics::spaceChipHeight);
    index = 0;
    for (const SpaceInfo& space : m_spaces) {
        const QPointF at =
            gridPosition(layout.spaces, index++, columns, spaceSize, SidebarMetrics::chipSpacing);
        m_desktopChips.at(space.id)->setGeometry(toPixels(QRectF(at, spaceSize)));
    }

    m_footer->setVisible(m_metrics.showFooter);
    if (m_metrics.showFooter)
        m_footer->setGeometry(toPixels(layout.footer));

    publishCellFrames();
}

void SidebarView::publishCellFrames() {
    CellFramesKey::Value frames = CellFramesKey::defaultValue();
    // Where the cells are going, not where they are drawn: the pointer acts on those.
    for (const auto& [id, cell] : m_cells)
        CellFramesKey::reduce(frames, {{id, cellTarget(*cell)}});
    m_model.setCellFrames(std::move(frames));
    m_model.setVisibleCellArea(
        QRectF(m_list->viewport()->mapTo(this, QPoint(0, 0)), m_list->viewport()->size()));
    // The list may have moved under a still pointer.
    m_model.updateHover();
}

void SidebarView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const SidebarLayout layout = sectionLayout();
    const QColor separator = withAlpha(primary(*this), 0.12);
    for (const QRectF& box : {layout.workspacesSeparator, layout.filesSeparator, layout.spacesSeparator}) {
        if (box.isEmpty())
            continue;
        const double width = m_metrics.thumbWidth * 0.6;
        const QRectF capsule(box.center().x() - width / 2, box.center().y() - 0.5, width, 1);
        p.setPen(Qt::NoPen);
        p.setBrush(separator);
        p.drawRoundedRect(capsule, 0.5, 0.5);
    }
    paintChipScrollIndicator(p, layout);
    strokeInside(p, QRectF(rect()), hairlineRadius, withAlpha(Qt::white, 0.12), 0.5);
}

// A thin thumb beside the chip grid when it holds more rows than it shows.
void SidebarView::paintChipScrollIndicator(QPainter& p, const SidebarLayout& layout) const {
    const int rows = m_metrics.workspaceRows(static_cast<int>(m_workspaces.size()));
    const int shown = std::min(rows, m_metrics.workspaceRowLimit());
    if (rows <= shown || layout.workspaces.isEmpty())
        return;
    const QRectF track(layout.workspaces.right() - SidebarMetrics::sideInset / 2 - 1, layout.workspaces.top(),
                       2, layout.workspaces.height());
    const double share = static_cast<double>(shown) / rows;
    const QRectF thumb(track.left(), track.top() + track.height() * m_firstChipRow / rows, track.width(),
                       std::max(6.0, track.height() * share));
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(primary(*this), 0.35));
    p.drawRoundedRect(thumb, 1, 1);
}

ThumbnailCell* SidebarView::cell(uint32_t windowID) const {
    auto it = m_cells.find(windowID);
    return it == m_cells.end() ? nullptr : it->second;
}

WorkspaceChip* SidebarView::workspaceChip(const QUuid& id) const {
    auto it = m_chips.find(id);
    return it == m_chips.end() ? nullptr : it->second;
}

QRectF SidebarView::cellTarget(const ThumbnailCell& cell) const {
    const QPointF origin = m_listContent->mapTo(this, m_listMotion->target(cell).topLeft());
    return cell.cellRect().translated(origin);
}

ThumbnailCell* SidebarView::cellAt(const QPointF& point) const {
    if (!QRectF(m_list->viewport()->mapTo(this, QPoint(0, 0)), m_list->viewport()->size()).contains(point))
        return nullptr;
    for (const auto& [id, cell] : m_cells)
        if (cellTarget(*cell).contains(point))
            return cell;
    return nullptr;
}

DesktopChip* SidebarView::desktopChip(uint64_t id) const {
    auto it = m_desktopChips.find(id);
    return it == m_desktopChips.end() ? nullptr : it->second;
}

void SidebarView::ensureVisible(uint32_t windowID) {
    if (ThumbnailCell* found = cell(windowID)) {
        const QRect place = m_listMotion->target(*found);
        m_list->ensureVisible(place.center().x(), place.center().y(), place.width() / 2, place.height() / 2);
    }
}

// --- Gestures ---

bool SidebarView::dropOnWindow(uint32_t targetID, const QStringList& texts) {
    const std::vector<uint32_t> ids = WindowDragPayload::windowIDs(texts);
    if (ids.empty() || ids.front() == targetID)
        return false;
    WindowService& windows = m_services.windows;
    const auto& pinned = windows.pinned();
    if (std::find(pinned.begin(), pinned.end(), targetID) == pinned.end())
        windows.togglePin(targetID);
    windows.movePinned(ids.front(), targetID);
    return true;
}

bool SidebarView::dropOnWorkspace(const Workspace& workspace, const QStringList& texts) {
    const std::vector<uint32_t> ids = WindowDragPayload::windowIDs(texts);
    for (uint32_t id : ids)
        m_services.actions.addWindowToWorkspace(id, workspace.id);
    return !ids.empty();
}

void SidebarView::workspaceDragEntered(const QUuid& id) {
    m_model.setDropTargetWorkspace(id);
}

void SidebarView::workspaceDragLeft(const QUuid& id) {
    // A neighbour entered meanwhile keeps its mark.
    if (m_model.dropTargetWorkspace() == id)
        m_model.setDropTargetWorkspace(std::nullopt);
}

QMenu* SidebarView::makeWindowMenu(const WindowInfo& window) {
    return new WindowContextMenu(m_services, window);
}

QMenu* SidebarView::makeWorkspaceMenu(const Workspace& workspace) {
    return new WorkspaceChipMenu(m_services, workspace);
}

void SidebarView::runMenu(QMenu* menu, const QPoint& globalPosition) {
    Q_EMIT menuTrackingChanged(true);
    menu->exec(globalPosition);
    Q_EMIT menuTrackingChanged(false);
    menu->deleteLater();
}

void SidebarView::startWindowDrag(ThumbnailCell& cell) {
    const WindowInfo window = cell.window();
    // The drag shows the window's picture even when the list shows none.
    ThumbnailCell preview(window, boxFor(window.windowID, true), m_metrics, false, false, m_accent,
                          &m_services.icons);
    preview.setAttribute(Qt::WA_DontShowOnScreen);
    const QPixmap picture = preview.grab();

    auto* drag = new QDrag(this);
    drag->setMimeData(WindowDragPayload::mimeData(window.windowID).release());
    drag->setPixmap(picture);
    drag->setHotSpot(QPoint(picture.width() / 2, picture.height() / 2));
    m_model.setDragging(true);
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    m_model.setDragging(false);
}

bool SidebarView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_listContent)
        return handleListPointer(*m_listContent, event);
    if (auto* found = qobject_cast<ThumbnailCell*>(watched))
        return handleCellEvent(*found, event);
    if (auto* found = qobject_cast<WorkspaceChip*>(watched))
        return handleChipEvent(*found, event);
    if (auto* found = qobject_cast<DesktopChip*>(watched))
        return handleDesktopEvent(*found, event);
    return QWidget::eventFilter(watched, event);
}

namespace {

bool isLeftPress(QEvent* event) {
    return event->type() == QEvent::MouseButtonPress &&
           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
}

bool isLeftRelease(QEvent* event) {
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
}

QPointF mousePosition(QEvent* event) {
    return static_cast<QMouseEvent*>(event)->position();
}

QPointF globalPosition(QEvent* event) {
    return static_cast<QMouseEvent*>(event)->globalPosition();
}

bool acceptTextDrag(QEvent* event) {
    auto* drag = static_cast<QDragMoveEvent*>(event);
    if (!drag->mimeData()->hasText()) {
        drag->ignore();
        return false;
    }
    drag->acceptProposedAction();
    return true;
}

} // namespace

bool SidebarView::completesClick(QWidget& target, QEvent* event, const QRectF& hit) {
    const bool click =
        isLeftRelease(event) && m_press.target == &target && hit.contains(mousePosition(event));
    m_press = {};
    return click;
}

bool SidebarView::handleListPointer(QWidget& receiver, QEvent* event) {
    const bool mouse =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease;
    if (!mouse && event->type() != QEvent::ContextMenu)
        return false;
    const QPoint local =
        mouse ? mousePosition(event).toPoint() : static_cast<QContextMenuEvent*>(event)->pos();
    ThumbnailCell* hit = cellAt(receiver.mapTo(this, local));
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!isLeftPress(event))
            return false;
        if (hit)
            m_press = {hit, globalPosition(event)};
        return true;
    case QEvent::MouseButtonRelease: {
        const bool click = isLeftRelease(event) && hit && m_press.target == hit;
        m_press = {};
        if (click)
            m_services.actions.focusWindow(hit->window());
        return true;
    }
    default:
        if (hit)
            runMenu(makeWindowMenu(hit->window()), static_cast<QContextMenuEvent*>(event)->globalPos());
        return hit != nullptr;
    }
}

bool SidebarView::handleCellEvent(ThumbnailCell& cell, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::ContextMenu:
        return handleListPointer(cell, event);
    case QEvent::MouseMove: {
        // The drag carries the window pressed, which may be a neighbour of the one drawn here.
        auto* move = static_cast<QMouseEvent*>(event);
        auto* pressed = qobject_cast<ThumbnailCell*>(m_press.target.data());
        if (pressed && (move->buttons() & Qt::LeftButton) &&
            (move->globalPosition() - m_press.globalPosition).manhattanLength() >=
                QApplication::startDragDistance()) {
            m_press = {};
            startWindowDrag(*pressed);
        }
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
        acceptTextDrag(event);
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        // The window whose place is under the pointer, wherever the cells are drawn mid-way.
        const ThumbnailCell* target = cellAt(cell.mapTo(this, drop->position()));
        const uint32_t targetID = (target ? *target : cell).window().windowID;
        if (dropOnWindow(targetID, WindowDragPayload::texts(*drop->mimeData())))
            drop->acceptProposedAction();
        else
            drop->ignore();
        return true;
    }
    default:
        return false;
    }
}

bool SidebarView::handleChipEvent(WorkspaceChip& chip, QEvent* event) {
    const QUuid id = chip.workspace().id;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!isLeftPress(event))
            return false;
        if (chip.chipRect().contains(mousePosition(event)))
            m_press = {&chip, globalPosition(event)};
        return true;
    case QEvent::MouseButtonRelease: {
        if (completesClick(chip, event, chip.chipRect()))
            m_services.actions.restoreWorkspace(chip.workspace());
        return true;
    }
    case QEvent::ContextMenu:
        runMenu(makeWorkspaceMenu(chip.workspace()), static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::DragEnter:
        if (acceptTextDrag(event))
            workspaceDragEntered(id);
        return true;
    case QEvent::DragMove:
        acceptTextDrag(event);
        return true;
    case QEvent::DragLeave:
        workspaceDragLeft(id);
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        // The chip may go away with the workspace list changing below: act on a copy.
        const Workspace workspace = chip.workspace();
        workspaceDragLeft(id);
        if (dropOnWorkspace(workspace, WindowDragPayload::texts(*drop->mimeData())))
            drop->acceptProposedAction();
        else
            drop->ignore();
        return true;
    }
    default:
        return false;
    }
}

bool SidebarView::handleDesktopEvent(DesktopChip& chip, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (isLeftPress(event))
            m_press = {&chip, globalPosition(event)};
        return true;
    case QEvent::MouseButtonRelease: {
        if (completesClick(chip, event, chip.rect()))
            m_services.spaces.handleSpaceClick(chip.space().id, chip.space().index);
        return true;
    }
    default:
        return false;
    }
}

} // namespace corvane
