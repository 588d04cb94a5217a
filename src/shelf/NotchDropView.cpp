#include "shelf/NotchDropView.h"

#include "core/Colors.h"
#include "core/Settings.h"
#include "core/SymbolImage.h"
#include "shelf/NotchDropModel.h"
#include "shelf/ShelfSymbol.h"

#include <QPainter>

#include <algorithm>

namespace corvane {

namespace {

const QColor airDropColor = QColor::fromRgbF(0.2f, 0.6f, 1.0f);

void paintRadioWaves(QPainter& p, const QRectF& box, const QColor& tint) {
    p.save();
    p.setPen(QPen(tint, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(tint);
    const QPointF c = box.center();
    p.drawEllipse(c, 2.0, 2.0);
    p.setBrush(Qt::NoBrush);
    for (double r : {5.0, 8.5}) {
        const QRectF arc(c.x() - r, c.y() - r, 2 * r, 2 * r);
        p.drawArc(arc, 135 * 16, 90 * 16);
        p.drawArc(arc, -45 * 16, 90 * 16);
    }
    p.restore();
}

} // namespace

NotchDropView::NotchDropView(NotchDropModel& model, const Settings& settings, double notchWidth,
                             double notchHeight, QWidget* parent)
    : QWidget(parent), m_model(model), m_settings(settings), m_notchWidth(notchWidth),
      m_notchHeight(notchHeight) {
    setAttribute(Qt::WA_TranslucentBackground);
    connect(&m_model, &NotchDropModel::changed, this, qOverload<>(&QWidget::update));
}

QString NotchDropView::confirmation(int count, bool airdrop) {
    return airdrop ? QStringLiteral("Sharing %1 via AirDrop\u2026").arg(count)
                   : QStringLiteral("%1 added to Tray").arg(count);
}

QRectF NotchDropView::cardRect() const {
    const double width = m_notchWidth + 260;
    const double height = m_notchHeight + 64;
    return QRectF(width < this->width() ? (this->width() - width) / 2 : 0, 0, width, height);
}

QPainterPath NotchDropView::outline() const {
    QPainterPath path;
    if (m_model.phase().is(NotchDropModel::Phase::Kind::hidden))
        return path;
    // Square at the top where it meets the screen's edge, rounded below.
    const QRectF card = cardRect();
    const double r = 22;
    path.moveTo(card.topLeft());
    path.lineTo(card.topRight());
    path.lineTo(card.right(), card.bottom() - r);
    path.quadTo(card.bottomRight(), QPointF(card.right() - r, card.bottom()));
    path.lineTo(card.left() + r, card.bottom());
    path.quadTo(card.bottomLeft(), QPointF(card.left(), card.bottom() - r));
    path.closeSubpath();
    return path;
}

void NotchDropView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = outline();
    if (path.isEmpty()) {
        // At rest only the notch itself is there, almost invisible, so that clicks land on it.
        p.fillRect(rect(), QColor::fromRgbF(0, 0, 0, 0.01f));
        return;
    }
    p.fillPath(path, Qt::black);
    const QRectF card = cardRect();
    const QRectF row(card.left(), card.top() + m_notchHeight, card.width(), 56);
    const NotchDropModel::Phase& phase = m_model.phase();
    if (phase.is(NotchDropModel::Phase::Kind::added)) {
        paintAdded(p, row);
        return;
    }
    const bool targeted = phase.is(NotchDropModel::Phase::Kind::targeted);
    const QRectF zones = row.adjusted(12, 4, -12, -4);
    if (m_model.showAirDrop()) {
        const double half = (zones.width() - 8) / 2;
        paintZone(p, QRectF(zones.left(), zones.top(), half, zones.height()), true,
                  targeted && m_model.zone() == DropZone::airdrop);
        paintZone(p, QRectF(zones.right() - half, zones.top(), half, zones.height()), false,
                  targeted && m_model.zone() == DropZone::tray);
    } else {
        paintZone(p, zones, false, targeted && m_model.zone() == DropZone::tray);
    }
}

void NotchDropView::paintZone(QPainter& p, const QRectF& box, bool airdrop, bool targeted) const {
    const QColor colour = airdrop ? airDropColor : accentColor(m_settings.sidebarAccent());
    QColor fill = targeted ? colour : QColor(Qt::white);
    fill.setAlphaF(targeted ? 0.22f : 0.06f);
    QPainterPath shape;
    const double line = targeted ? 2.0 : 1.2;
    shape.addRoundedRect(box.adjusted(line / 2, line / 2, -line / 2, -line / 2), 14, 14);
    p.fillPath(shape, fill);
    QPen border(targeted ? colour : QColor::fromRgbF(1, 1, 1, 0.25f), line);
    if (!targeted)
        border.setDashPattern({5 / line, 4 / line});
    border.setCapStyle(Qt::FlatCap);
    p.strokePath(shape, border);

    QFont font = p.font();
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    const QString title = airdrop
                              ? (targeted ? QStringLiteral("Send via AirDrop") : QStringLiteral("AirDrop"))
                              : (targeted ? QStringLiteral("Add to Tray") : QStringLiteral("Tray"));
    const double textWidth = QFontMetricsF(font).horizontalAdvance(title);
    const double symbol = 18;
    const double left = box.center().x() - (symbol + 8 + textWidth) / 2;
    const QRectF symbolBox(left, box.center().y() - symbol / 2, symbol, symbol);
    const QColor tint = targeted ? colour : QColor(Qt::white);
    if (airdrop)
        paintRadioWaves(p, symbolBox, tint);
    else
        drawShelfSymbol(p,
                        targeted ? QStringLiteral("tray.and.arrow.down.fill") : QStringLiteral("tray.fill"),
                        symbolBox, tint);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(symbolBox.right() + 8, box.top(), textWidth + 2, box.height()), Qt::AlignVCenter,
               title);
}

void NotchDropView::paintAdded(QPainter& p, const QRectF& row) const {
    const NotchDropModel::Phase& phase = m_model.phase();
    const qsizetype icons = std::min<qsizetype>(m_model.icons().size(), 3);
    QFont font = p.font();
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    const QString text = confirmation(phase.count, phase.zone == DropZone::airdrop);
    const double textWidth = QFontMetricsF(font).horizontalAdvance(text);
    const double iconsWidth = icons > 0 ? 28 + (icons - 1) * 18 : 0;
    const double total = iconsWidth + (icons > 0 ? 10 : 0) + textWidth + 10 + 16;
    double x = row.center().x() - total / 2;
    for (qsizetype i = 0; i < icons; ++i)
        m_model.icons()[i].paint(&p, QRectF(x + i * 18, row.center().y() - 14, 28, 28).toRect());
    x += iconsWidth + (icons > 0 ? 10 : 0);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(x, row.top(), textWidth + 2, row.height()), Qt::AlignVCenter, text);
    x += textWidth + 10;
    p.drawPixmap(QPointF(x, row.center().y() - 8), symbolImage(QStringLiteral("checkmark.circle.fill"),
                                                               QColor(52, 199, 89), 16, devicePixelRatioF()));
}

} // namespace corvane
