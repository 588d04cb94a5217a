#include "settings/WorkspaceList.h"

#include "core/Colors.h"
#include "workspaces/WorkspaceManager.h"

#include <QDropEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <set>

namespace corvane {

namespace {

// Draws a row: the colour dot, the name, and the shortcut text at the trailing edge.
class WorkspaceRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        plain.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRect area = option.rect.adjusted(8, 0, -8, 0);
        const QRectF dot(area.left(), area.center().y() - 5.5, 12, 12);
        painter->setPen(Qt::NoPen);
        painter->setBrush(colorFromHex(index.data(WorkspaceList::colorRole).toString()));
        painter->drawEllipse(dot);

        const bool selected = option.state & QStyle::State_Selected;
        const QColor ink = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const QString shortcut = index.data(WorkspaceList::shortcutRole).toString();
        int trailing = area.right();
        if (!shortcut.isEmpty()) {
            QFont small = option.font;
            small.setPixelSize(10);
            painter->setFont(small);
            QColor secondary = ink;
            secondary.setAlphaF(0.6f);
            painter->setPen(secondary);
            const int width = painter->fontMetrics().horizontalAdvance(shortcut);
            painter->drawText(QRect(trailing - width, area.top(), width, area.height()), Qt::AlignVCenter,
                              shortcut);
            trailing -= width + 8;
        }
        painter->setFont(option.font);
        painter->setPen(ink);
        const QRect nameArea(static_cast<int>(dot.right()) + 8, area.top(),
                             trailing - static_cast<int>(dot.right()) - 8, area.height());
        const QString name = painter->fontMetrics().elidedText(index.data(Qt::DisplayRole).toString(),
                                                               Qt::ElideRight, nameArea.width());
        painter->drawText(nameArea, Qt::AlignVCenter | Qt::TextSingleLine, name);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), 26));
        return size;
    }
};

} // namespace

WorkspaceList::WorkspaceList(WorkspaceManager& manager, ShortcutText shortcutText, QWidget* parent)
    : QListWidget(parent), m_manager(manager), m_shortcutText(std::move(shortcutText)) {
    setItemDelegate(new WorkspaceRowDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setFrameShape(QFrame::NoFrame);
    reload();
}

int WorkspaceList::rowOf(const QUuid& id) const {
    for (int row = 0; row < count(); ++row)
        if (item(row)->data(idRole).toUuid() == id)
            return row;
    return -1;
}

void WorkspaceList::reload() {
    const QSignalBlocker blocker(this);
    const QListWidgetItem* chosen = currentItem();
    const QUuid selected = chosen && chosen->isSelected() ? chosen->data(idRole).toUuid() : QUuid();
    clear();
    for (const Workspace& workspace : m_manager.workspaces()) {
        auto* row = new QListWidgetItem(workspace.name, this);
        row->setData(idRole, workspace.id);
        row->setData(colorRole, workspace.colorHex);
        if (workspace.hotkeyIndex && m_shortcutText)
            row->setData(shortcutRole, m_shortcutText(*workspace.hotkeyIndex).value_or(QString()));
    }
    if (const int row = selected.isNull() ? -1 : rowOf(selected); row >= 0)
        setCurrentRow(row);
}

void WorkspaceList::dropEvent(QDropEvent* event) {
    const int from = currentRow();
    if (event->source() != this || from < 0) {
        event->ignore();
        return;
    }
    const QModelIndex target = indexAt(event->position().toPoint());
    int destination = target.isValid() ? target.row() : count();
    if (target.isValid() && dropIndicatorPosition() == QAbstractItemView::BelowItem)
        ++destination;
    // The manager moves the workspace; the list is rebuilt from it, so the view moves nothing.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    moveRow(from, destination);
}

void WorkspaceList::moveRow(int from, int destination) {
    m_manager.move(std::set<int>{from}, destination);
}

} // namespace corvane
