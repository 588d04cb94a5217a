#include "shelf/FileRowView.h"

#include "shelf/FileContextMenu.h"
#include "shelf/FileShelf.h"
#include "shelf/RelativeAge.h"
#include "shelf/ShelfListModel.h"
#include "shelf/ShelfPath.h"
#include "shelf/ShelfTransfer.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr auto selectingModifiers = Qt::ShiftModifier | Qt::ControlModifier;

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(alpha);
    return color;
}

} // namespace

FileRowView::FileRowView(ShelfFile file, ShelfListModel& model, FileShelf& shelf, SystemShell& shell,
                         FileListActions actions, QWidget* parent)
    : QWidget(parent), m_file(std::move(file)), m_model(model), m_shelf(shelf), m_shell(shell),
      m_actions(std::move(actions)), m_icon(shelf.icons().icon(m_file)) {
    m_id = m_file.id();
    setFixedHeight(rowHeight);
    setMouseTracking(true);
    setToolTip(shownName(m_id));
    connect(&m_model, &ShelfListModel::selectionChanged, this, qOverload<>(&QWidget::update));
    connect(&m_model, &ShelfListModel::hoveredChanged, this, qOverload<>(&QWidget::update));
}

void FileRowView::setFile(ShelfFile file) {
    if (file == m_file)
        return;
    m_file = std::move(file);
    if (m_file.id() != m_id) {
        // Another file in this row: a press on the one before does not drag this one.
        m_id = m_file.id();
        m_pressAt.reset();
        setToolTip(shownName(m_id));
    }
    m_icon = m_shelf.icons().icon(m_file);
    update();
}

void FileRowView::setAccent(const QColor& accent) {
    m_accent = accent;
    update();
}

bool FileRowView::isSelected() const {
    return m_model.selection().contains(m_id);
}

bool FileRowView::isHovered() const {
    return m_model.hoveredID() == m_id;
}

QString FileRowView::ageLabel() const {
    return relativeAgeLabel(m_file.date, QDateTime::currentDateTime());
}

void FileRowView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_file.exists ? 1.0 : 0.4);
    const bool selected = isSelected();
    const QColor text = palette().color(QPalette::WindowText);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 6, 6);
    if (selected)
        painter.fillPath(shape, m_accent);
    else if (isHovered())
        painter.fillPath(shape, withAlpha(text, 0.09));

    const QRectF content = QRectF(rect()).adjusted(6, 0, -6, 0);
    const QRectF iconBox(content.left(), content.center().y() - 9, 18, 18);
    m_icon.paint(&painter, iconBox.toRect());

    QFont ageFont = font();
    ageFont.setPointSizeF(7.5);
    const QString age = ageLabel();
    const qreal ageWidth = age.isEmpty() ? 0 : QFontMetricsF(ageFont).horizontalAdvance(age);
    const QRectF ageBox(content.right() - ageWidth, content.top(), ageWidth, content.height());

    QFont nameFont = font();
    nameFont.setPointSizeF(9);
    painter.setFont(nameFont);
    painter.setPen(selected ? QColor(Qt::white) : text);
    const QRectF nameBox(iconBox.right() + 7, content.top(), ageBox.left() - 7 - iconBox.right() - 7,
                         content.height());
    const QString name =
        QFontMetricsF(nameFont).elidedText(shownName(m_file.name), Qt::ElideMiddle, nameBox.width());
    painter.drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter, name);

    if (!age.isEmpty()) {
        painter.setFont(ageFont);
        painter.setPen(selected ? withAlpha(Qt::white, 0.8) : withAlpha(text, 0.5));
        painter.drawText(ageBox, Qt::AlignRight | Qt::AlignVCenter, age);
    }
}

void FileRowView::enterEvent(QEnterEvent* event) {
    m_model.setHoveredID(m_id);
    QWidget::enterEvent(event);
}

void FileRowView::leaveEvent(QEvent* event) {
    // When the pointer crosses to the next row, its entry may come first: leave it hovered.
    if (!m_model.hoveredID() || m_model.hoveredID() == m_id)
        m_model.setHoveredID(std::nullopt);
    QWidget::leaveEvent(event);
}

void FileRowView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressAt = event->position().toPoint();
    event->accept();
    if (m_actions.focusList)
        m_actions.focusList();
    const bool keepsMultiSelection =
        !(event->modifiers() & selectingModifiers) && m_model.selection().size() >= 2 && isSelected();
    if (!keepsMultiSelection)
        m_model.click(m_file, event->modifiers());
}

void FileRowView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    event->accept();
    m_pressAt.reset();
    const ShellOutcome outcome = m_model.open(m_file);
    if (outcome.failure && m_actions.reportFailure)
        m_actions.reportFailure(openFailureMessage({m_file}, *outcome.failure));
}

void FileRowView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    event->accept();
    // A press on a row of a multi-selection released without dragging picks that row alone.
    if (m_pressAt && !(event->modifiers() & selectingModifiers) && m_model.selection().size() >= 2 &&
        isSelected())
        m_model.click(m_file, Qt::NoModifier);
    m_pressAt.reset();
}

void FileRowView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressAt || !(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    const QPointF moved = event->position() - QPointF(*m_pressAt);
    if (std::hypot(moved.x(), moved.y()) <= dragThreshold)
        return;
    m_pressAt.reset();
    startDrag();
}

void FileRowView::startDrag() {
    m_model.ensureSelected(m_file);
    const QList<QUrl> urls = m_model.selectedURLs();
    if (urls.isEmpty())
        return;
    // The first five icons fan out down and to the right; the rest lie under the fifth.
    const int fanned = std::min<int>(static_cast<int>(urls.size()), 5);
    const int side = 28, step = 3;
    QPixmap picture(side + step * (fanned - 1), side + step * (fanned - 1));
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        for (int i = fanned - 1; i >= 0; --i)
            m_shelf.icons().icon(urls[i]).paint(&painter, QRect(step * i, step * i, side, side));
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(fileMimeData(urls));
    drag->setPixmap(picture);
    drag->setHotSpot(QPoint(side / 2, side / 2));
    // Other programs may copy or link the files; nothing here ever moves or deletes them.
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}

void FileRowView::contextMenuEvent(QContextMenuEvent* event) {
    m_model.ensureSelected(m_file);
    const std::unique_ptr<QMenu> menu =
        makeFileContextMenu(m_model.selectedFiles(), m_model.source(), m_shelf, m_shell, m_actions);
    menu->exec(event->globalPos());
}

} // namespace corvane
