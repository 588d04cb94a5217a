#include "shelf/ShelfRow.h"

#include "core/Settings.h"
#include "platform/SystemShell.h"
#include "shelf/FileContextMenu.h"
#include "shelf/FileShelf.h"
#include "shelf/FileShelfController.h"
#include "shelf/ShelfPath.h"
#include "shelf/ShelfSymbol.h"
#include "shelf/ShelfTransfer.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

#include <cmath>

namespace corvane {

namespace {

constexpr qreal inset = 5;
constexpr qreal spacing = 5;
constexpr qreal symbolWidth = 13;
constexpr qreal minimumGap = 2;
constexpr qreal dotSide = 4;
constexpr qreal badgeInset = 4;
constexpr qreal badgeMinWidth = 14;
constexpr qreal badgeHeight = 12;

// Folders show in a fixed blue whatever the accent.
const QColor folderBlue = QColor::fromRgbF(0.27f, 0.6f, 0.98f, 1.0f);

// A font of a fractional pixel size.
QFont rowFont(const QWidget& widget, qreal pixels, QFont::Weight weight) {
    QFont font = widget.font();
    font.setPointSizeF(pixels * 72.0 / widget.logicalDpiY());
    font.setWeight(weight);
    return font;
}

} // namespace

ShelfRow::ShelfRow(ShelfSource source, const ShelfServices& services, QColor accent, qreal width,
                   QWidget* parent)
    : QWidget(parent), m_source(std::move(source)), m_services(services), m_accent(std::move(accent)),
      m_width(width) {
    setAcceptDrops(true);
    setFixedSize(sizeHint());
    setToolTip(m_source.isTray() ? QStringLiteral("Tray — drop files here, click to see them")
                                 : name() + QStringLiteral(" — click to see files"));
    // The count and the menu follow the Tray as it changes.
    if (m_source.isTray())
        connect(&m_services.files, &FileShelf::trayChanged, this, qOverload<>(&QWidget::update));
}

void ShelfRow::setAccent(const QColor& accent) {
    if (accent == m_accent)
        return;
    m_accent = accent;
    update();
}

void ShelfRow::setRowWidth(qreal width) {
    if (width == m_width)
        return;
    m_width = width;
    setFixedSize(sizeHint());
    update();
}

QSize ShelfRow::sizeHint() const {
    return QSize(static_cast<int>(std::lround(m_width)), rowHeight);
}

QString ShelfRow::name() const {
    return m_source.isTray() ? QStringLiteral("Tray") : shelfDisplayName(m_source.path);
}

QString ShelfRow::symbolName() const {
    if (m_targeted)
        return QStringLiteral("tray.and.arrow.down.fill");
    return m_source.isTray() ? QStringLiteral("tray.fill") : QStringLiteral("folder.fill");
}

std::optional<qsizetype> ShelfRow::badgeCount() const {
    if (!m_source.isTray() || m_services.files.tray().isEmpty())
        return std::nullopt;
    return m_services.files.tray().size();
}

bool ShelfRow::showsFloatingDot() const {
    return m_services.panels.hasFloatingPanel(m_source);
}

std::unique_ptr<QMenu> ShelfRow::makeContextMenu() {
    auto menu = std::make_unique<QMenu>();
    const QString floatingTitle = showsFloatingDot() ? QStringLiteral("Close Floating Window")
                                                     : QStringLiteral("Open as Floating Window");
    menu->addAction(floatingTitle, this, &ShelfRow::toggleFloating);
    if (!m_source.isTray()) {
        const QString path = m_source.path;
        menu->addAction(QStringLiteral("Open in File Manager"), this, [this, path] {
            const ShellOutcome outcome = m_services.shell.openUrl(QUrl::fromLocalFile(path).toString());
            if (outcome.failure)
                m_services.panels.reportFailure(folderFailureMessage(path, *outcome.failure));
        });
    }
    if (badgeCount())
        menu->addAction(QStringLiteral("Empty Tray"), this, [this] { m_services.files.clearTray(); });
    return menu;
}

void ShelfRow::toggleFloating() {
    FileShelfController& controller = m_services.panels;
    if (controller.hasFloatingPanel(m_source)) {
        controller.closeFloating(m_source);
    } else {
        controller.closePopover();
        controller.openFloating(m_source);
    }
    update();
}

void ShelfRow::setHovered(bool hovered) {
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    update();
}

void ShelfRow::setTargeted(bool targeted) {
    if (targeted == m_targeted)
        return;
    m_targeted = targeted;
    update();
}

void ShelfRow::enterEvent(QEnterEvent* event) {
    setHovered(true);
    QWidget::enterEvent(event);
}

void ShelfRow::leaveEvent(QEvent* event) {
    setHovered(false);
    QWidget::leaveEvent(event);
}

void ShelfRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressed = true;
    event->accept();
}

void ShelfRow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed)
        return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    event->accept();
    // A click is a press and a release over the row; dragging off the row before letting go is not.
    if (rect().contains(event->position().toPoint()))
        m_services.actions.showShelfPanel(m_source);
}

void ShelfRow::dragEnterEvent(QDragEnterEvent* event) {
    // Only the Tray takes files; a folder row neither highlights nor accepts them.
    if (!m_source.isTray() || localFileUrls(*event->mimeData()).isEmpty())
        return event->ignore();
    setTargeted(true);
    event->acceptProposedAction();
}

void ShelfRow::dragLeaveEvent(QDragLeaveEvent* event) {
    setTargeted(false);
    QWidget::dragLeaveEvent(event);
}

void ShelfRow::dropEvent(QDropEvent* event) {
    setTargeted(false);
    const QList<QUrl> files = localFileUrls(*event->mimeData());
    if (!m_source.isTray() || files.isEmpty())
        return event->ignore();
    m_services.files.addToTray(files);
    event->acceptProposedAction();
}

void ShelfRow::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu = makeContextMenu();
    menu->exec(event->globalPos());
}

ShelfRow::Layout ShelfRow::layout() const {
    Layout layout;
    const QRectF bounds(0, 0, m_width, rowHeight);
    const QRectF content = bounds.adjusted(inset, 0, -inset, 0);
    qreal left = content.left();
    qreal right = content.right();

    // The symbol's box is 13 wide; the symbol itself is drawn at about its font's size.
    const qreal symbolSide = 10;
    layout.symbol =
        QRectF(left + (symbolWidth - symbolSide) / 2, (rowHeight - symbolSide) / 2, symbolSide, symbolSide);
    left += symbolWidth + spacing;

    // The trailing marks stand at the right edge; the name takes what is left.
    if (showsFloatingDot()) {
        layout.dot = QRectF(right - dotSide, (rowHeight - dotSide) / 2, dotSide, dotSide);
        right -= dotSide + spacing;
    }
    if (const auto count = badgeCount()) {
        layout.badgeText = QString::number(*count);
        const qreal width = std::max(
            badgeMinWidth, QFontMetricsF(badgeFont()).horizontalAdvance(layout.badgeText) + 2 * badgeInset);
        layout.badge = QRectF(right - width, (rowHeight - badgeHeight) / 2, width, badgeHeight);
        right -= width + spacing;
    }
    right -= minimumGap + spacing;
    layout.name = QRectF(left, 0, std::max<qreal>(0, right - left), rowHeight);
    return layout;
}

QFont ShelfRow::nameFont() const {
    return rowFont(*this, 10, QFont::Medium);
}

QFont ShelfRow::badgeFont() const {
    return rowFont(*this, 8.5, QFont::Bold);
}

QString ShelfRow::shownName() const {
    return QFontMetricsF(nameFont())
        .elidedText(corvane::shownName(name()), Qt::ElideRight, layout().name.width());
}

void ShelfRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::WindowText);

    QColor background = Qt::transparent;
    if (m_targeted) {
        background = m_accent;
        background.setAlphaF(0.25f);
    } else if (m_hovered) {
        background = text;
        background.setAlphaF(0.1f);
    }
    if (background.alpha() > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(background);
        painter.drawRoundedRect(QRectF(0, 0, m_width, rowHeight), 5, 5);
    }

    const Layout parts = layout();
    drawShelfSymbol(painter, symbolName(), parts.symbol, m_source.isTray() ? m_accent : folderBlue);
    if (parts.dot) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_accent);
        painter.drawEllipse(*parts.dot);
    }
    if (parts.badge) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_accent);
        painter.drawRoundedRect(*parts.badge, badgeHeight / 2, badgeHeight / 2);
        painter.setFont(badgeFont());
        painter.setPen(Qt::white);
        painter.drawText(*parts.badge, Qt::AlignCenter, parts.badgeText);
    }
    painter.setFont(nameFont());
    painter.setPen(text);
    painter.drawText(parts.name, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownName());
}

} // namespace corvane
