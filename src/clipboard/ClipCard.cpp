#include "clipboard/ClipCard.h"

#include "core/Animator.h"
#include "core/SymbolImage.h"
#include "shelf/ShelfPath.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

namespace corvane {

namespace {

constexpr double radius = 12;
// How the card grows and shrinks as the pointer comes and goes.
const Motion hoverMotion = Motion::spring(0.22, 0.8);
const QColor secondary(255, 255, 255, 140);

QColor white(double alpha) {
    return QColor(255, 255, 255, static_cast<int>(alpha * 255));
}

QFont sized(double pixels, QFont::Weight weight = QFont::Normal) {
    QFont font = QApplication::font();
    font.setPixelSize(static_cast<int>(std::lround(pixels)));
    font.setWeight(weight);
    return font;
}

// Draws wrapped text into `box`, at most `maxLines` lines, the last one elided when more is left.
// Answers the height used.
double drawLines(QPainter& p, const QString& text, const QFont& font, const QRectF& box, int maxLines,
                 Qt::Alignment alignment = Qt::AlignLeft) {
    const QFontMetricsF metrics(font);
    QTextLayout layout(text, font);
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    double y = 0;
    int lines = 0;
    QStringList shown;
    while (lines < maxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(box.width());
        if (y + metrics.height() > box.height() + 0.5)
            break;
        QString part = text.mid(line.textStart(), line.textLength());
        const bool last = lines + 1 == maxLines || y + 2 * metrics.height() > box.height() + 0.5;
        if (last && line.textStart() + line.textLength() < text.size())
            part = metrics.elidedText(text.mid(line.textStart()).simplified(), Qt::ElideRight, box.width());
        p.setFont(font);
        p.drawText(QRectF(box.left(), box.top() + y, box.width(), metrics.height()), alignment | Qt::AlignTop,
                   part.trimmed());
        y += metrics.height();
        ++lines;
        if (last)
            break;
    }
    layout.endLayout();
    return y;
}

} // namespace

ClipCard::ClipCard(ClipItem item, bool selected, QColor accent, std::optional<QIcon> sourceIcon,
                   QPixmap preview, Actions actions, Animator& animator, QWidget* parent)
    : QWidget(parent), m_item(std::move(item)), m_selected(selected), m_accent(accent),
      m_sourceIcon(std::move(sourceIcon)), m_actions(std::move(actions)), m_preview(std::move(preview)),
      m_animator(animator) {
    setFixedSize(widgetSize);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setToolTip(m_item.searchText(300));
}

void ClipCard::redraw() {
    m_picture = QPixmap();
    update();
}

void ClipCard::setPreview(const QPixmap& preview) {
    m_preview = preview;
    redraw();
}

void ClipCard::setHoverScale(double scale) {
    if (scale == m_hoverScale)
        return;
    m_hoverScale = scale;
    update();
}

void ClipCard::setHovered(bool hovered) {
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    redraw();
    m_animator.animate(*this, "hoverScale", hovered ? hoveredScale : 1.0, hoverMotion);
}

void ClipCard::resetHover() {
    m_hovered = false;
    setHoverScale(1.0);
}

void ClipCard::setSelected(bool selected) {
    if (selected == m_selected)
        return;
    m_selected = selected;
    redraw();
}

void ClipCard::setAccent(const QColor& accent) {
    if (accent == m_accent)
        return;
    m_accent = accent;
    redraw();
}

void ClipCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Growing or shrinking under the pointer, it is drawn at each step.
    if (m_hoverScale != 1.0) {
        paintCard(painter);
        return;
    }
    const double ratio = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.devicePixelRatio() != ratio) {
        m_picture = QPixmap(size() * ratio);
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(Qt::transparent);
        QPainter picture(&m_picture);
        paintCard(picture);
    }
    painter.drawPixmap(0, 0, m_picture);
}

void ClipCard::paintCard(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_hoverScale != 1.0);
    const QRectF bounds = cardRect();
    const QPointF centre = bounds.center();
    p.translate(centre);
    p.scale(m_hoverScale, m_hoverScale);
    p.translate(-centre);
    QPainterPath outline;
    outline.addRoundedRect(bounds, radius, radius);
    p.save();
    p.setClipPath(outline);
    paintContent(p, bounds);
    paintFooter(p, bounds);
    p.restore();

    // The border lies inside the card's outline.
    const double width = m_selected ? 3 : 1;
    const QColor color = m_selected ? m_accent : white(m_hovered ? 0.35 : 0.1);
    p.setPen(QPen(color, width));
    p.setBrush(Qt::NoBrush);
    const double inset = width / 2;
    p.drawRoundedRect(bounds.adjusted(inset, inset, -inset, -inset), radius - inset, radius - inset);
}

void ClipCard::paintContent(QPainter& p, const QRectF& bounds) {
    const QRectF inner = bounds.adjusted(12, 12, -12, -12);
    switch (m_item.kind) {
    case ClipItem::Kind::text:
        p.fillRect(bounds, white(0.08));
        p.setPen(Qt::white);
        drawLines(p, m_item.text.left(400), sized(11.5), inner, 7);
        break;
    case ClipItem::Kind::link: {
        p.fillRect(bounds, white(0.08));
        p.drawPixmap(QPointF(inner.left(), inner.top()),
                     symbolImage("link", m_accent, 18, devicePixelRatioF()));
        const QString address = m_item.link.toString(QUrl::FullyEncoded);
        const QString host = m_item.link.host().isEmpty() ? address : m_item.link.host();
        const QFont hostFont = sized(13, QFont::DemiBold);
        p.setPen(Qt::white);
        p.setFont(hostFont);
        const double hostTop = inner.top() + 18 + 6;
        const QFontMetricsF metrics(hostFont);
        p.drawText(QRectF(inner.left(), hostTop, inner.width(), metrics.height()),
                   Qt::AlignLeft | Qt::AlignTop, metrics.elidedText(host, Qt::ElideRight, inner.width()));
        p.setPen(secondary);
        drawLines(
            p, address, sized(10.5),
            QRectF(inner.left(), hostTop + metrics.height() + 6, inner.width(), inner.bottom() - hostTop), 3);
        break;
    }
    case ClipItem::Kind::image:
        p.fillRect(bounds, white(0.9));
        if (!m_preview.isNull())
            p.drawPixmap(QPointF(bounds.center().x() - m_preview.width() / 2.0,
                                 bounds.center().y() - m_preview.height() / 2.0),
                         m_preview);
        break;
    case ClipItem::Kind::files: {
        p.fillRect(bounds, white(0.08));
        if (m_item.files.isEmpty())
            break;
        const QFileInfo first(m_item.files.first());
        // A folder copied as "…/name/" is still called by its name.
        QString name = shelfDisplayName(first.filePath());
        if (m_item.files.size() > 1)
            name += QStringLiteral(" +") + QString::number(m_item.files.size() - 1);
        const QFont font = sized(11, QFont::Medium);
        const double textHeight =
            std::min(2.0, std::ceil(QFontMetricsF(font).horizontalAdvance(name) / (bounds.width() - 24))) *
            QFontMetricsF(font).height();
        const QRectF area = bounds.adjusted(12, 0, -12, -26);
        const double top = area.center().y() - (52 + 8 + textHeight) / 2;
        const QIcon icon = QFileIconProvider().icon(first);
        p.drawPixmap(QPointF(area.center().x() - 26, top), icon.pixmap(52, 52));
        p.setPen(Qt::white);
        drawLines(p, name, font, QRectF(area.left(), top + 60, area.width(), area.bottom() - top - 60), 2,
                  Qt::AlignHCenter);
        break;
    }
    }
}

void ClipCard::paintFooter(QPainter& p, const QRectF& bounds) {
    const QFont font = sized(11, QFont::DemiBold);
    const QString caption = m_item.label();
    const double textWidth = QFontMetricsF(font).horizontalAdvance(caption);
    const bool withIcon = m_sourceIcon.has_value() && !m_sourceIcon->isNull();
    const double width = 9 + (withIcon ? 14 + 5 : 0) + textWidth + 9;
    const QRectF capsule(bounds.center().x() - width / 2, bounds.bottom() - 8 - 24, width, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, static_cast<int>(0.65 * 255)));
    p.drawRoundedRect(capsule, 12, 12);
    double x = capsule.left() + 9;
    if (withIcon) {
        p.drawPixmap(QPointF(x, capsule.center().y() - 7), m_sourceIcon->pixmap(14, 14));
        x += 14 + 5;
    }
    p.setPen(Qt::white);
    p.setFont(font);
    p.drawText(QRectF(x, capsule.top(), textWidth + 1, capsule.height()), Qt::AlignLeft | Qt::AlignVCenter,
               caption);
}

void ClipCard::enterEvent(QEnterEvent* event) {
    setHovered(true);
    QWidget::enterEvent(event);
}

void ClipCard::leaveEvent(QEvent* event) {
    setHovered(false);
    QWidget::leaveEvent(event);
}

void ClipCard::hideEvent(QHideEvent* event) {
    // A card scrolled or filtered out of view is no longer under the pointer, and keeps no picture
    // (one hidden with the strip stays as it was).
    setHovered(false);
    if (isHidden())
        m_picture = QPixmap();
    QWidget::hideEvent(event);
}

void ClipCard::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pressedAt = event->position().toPoint();
    QWidget::mousePressEvent(event);
}

void ClipCard::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressedAt &&
        (event->position().toPoint() - *m_pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
        m_pressedAt.reset();
        startDrag();
    }
}

void ClipCard::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressedAt.has_value() && event->button() == Qt::LeftButton;
    m_pressedAt.reset();
    if (click && cardRect().contains(event->position().toPoint()) && m_actions.choose)
        m_actions.choose();
}

void ClipCard::startDrag() {
    auto* mime = new QMimeData;
    switch (m_item.kind) {
    case ClipItem::Kind::text:
        mime->setText(m_item.text);
        break;
    case ClipItem::Kind::link:
        mime->setUrls({m_item.link});
        mime->setText(m_item.link.toString(QUrl::FullyEncoded));
        break;
    case ClipItem::Kind::image:
        mime->setImageData(m_item.fullImage());
        break;
    case ClipItem::Kind::files:
        // One file goes out, as one card stands for it.
        if (!m_item.files.isEmpty())
            mime->setUrls({QUrl::fromLocalFile(m_item.files.first())});
        break;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(grab(cardRect()).scaledToWidth(105, Qt::SmoothTransformation));
    drag->exec(Qt::CopyAction);
}

void ClipCard::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(tr("Paste"), this, [this] {
        if (m_actions.choose)
            m_actions.choose();
    });
    menu.addAction(tr("Copy Only"), this, [this] {
        if (m_actions.copyOnly)
            m_actions.copyOnly();
    });
    menu.addSeparator();
    menu.addAction(tr("Delete"), this, [this] {
        if (m_actions.remove)
            m_actions.remove();
    });
    menu.exec(event->globalPos());
}

} // namespace corvane
