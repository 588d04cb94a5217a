#include "shelf/NotchDropView.h"

#include "core/Animator.h"
#include "core/Colors.h"
#include "core/Settings.h"
#include "core/SymbolImage.h"
#include "shelf/FileListGlyph.h"
#include "shelf/NotchDropModel.h"
#include "shelf/ShelfSymbol.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

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
                             double notchHeight, Animator* animator, QWidget* parent)
    : QWidget(parent), m_model(model), m_settings(settings), m_notchWidth(notchWidth),
      m_notchHeight(notchHeight), m_animator(animator) {
    setAttribute(Qt::WA_TranslucentBackground);
    m_open = !m_model.phase().is(NotchDropModel::Phase::Kind::hidden);
    m_presence = m_open ? 1 : 0;
    connect(&m_model, &NotchDropModel::changed, this, &NotchDropView::follow);
}

QString NotchDropView::traySymbol(bool targeted) {
    return targeted ? QStringLiteral("tray.and.arrow.down.fill") : QStringLiteral("tray.and.arrow.down");
}

double NotchDropView::bounceScale(double stage) {
    return 1 + 0.25 * std::sin(std::numbers::pi * std::clamp(stage, 0.0, 1.0));
}

QSizeF NotchDropView::scaleAt(double presence) {
    return QSizeF(0.55 + 0.45 * presence, 0.3 + 0.7 * presence);
}

void NotchDropView::follow() {
    update();
    const auto drive = [this](const char* property, double from, double to, const Motion& motion) {
        if (from >= 0)
            setProperty(property, from);
        animateOrSet(m_animator, *this, property, to, motion);
    };
    const bool open = !m_model.phase().is(NotchDropModel::Phase::Kind::hidden);
    if (open != m_open) {
        m_open = open;
        drive("presence", -1, open ? 1.0 : 0.0, phaseMotion());
    }
    const bool targeted = m_model.phase().is(NotchDropModel::Phase::Kind::targeted);
    const bool airdrop = targeted && m_model.zone() == DropZone::airdrop;
    const bool tray = targeted && m_model.zone() == DropZone::tray;
    if (airdrop != m_airdropTargeted) {
        m_airdropTargeted = airdrop;
        drive("airdropTarget", -1, airdrop ? 1.0 : 0.0, zoneMotion());
        drive("airdropBounce", 0, 1, bounceMotion());
    }
    if (tray != m_trayTargeted) {
        m_trayTargeted = tray;
        drive("trayTarget", -1, tray ? 1.0 : 0.0, zoneMotion());
        drive("trayBounce", 0, 1, bounceMotion());
    }
}

void NotchDropView::setPresence(double value) {
    if (value == m_presence)
        return;
    m_presence = value;
    update();
    Q_EMIT outlineChanged();
}

void NotchDropView::setAirdropTarget(double value) {
    m_airdropTarget = value;
    update();
}

void NotchDropView::setTrayTarget(double value) {
    m_trayTarget = value;
    update();
}

void NotchDropView::setAirdropBounce(double value) {
    m_airdropBounce = value;
    update();
}

void NotchDropView::setTrayBounce(double value) {
    m_trayBounce = value;
    update();
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
    if (!(m_presence > 0.001))
        return path;
    // Square at the top where it meets the screen's edge, rounded below; it grows from the top
    // centre.
    const QRectF full = cardRect();
    const QSizeF scale = scaleAt(m_presence);
    const QSizeF size(full.width() * scale.width(), full.height() * scale.height());
    const QRectF card(full.center().x() - size.width() / 2, full.top(), size.width(), size.height());
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
    p.setOpacity(std::clamp(m_presence, 0.0, 1.0));
    p.fillPath(path, Qt::black);
    // The content scales with the card, about its top centre.
    const QRectF card = cardRect();
    const QSizeF scale = scaleAt(m_presence);
    p.translate(card.center().x(), card.top());
    p.scale(scale.width(), scale.height());
    p.translate(-card.center().x(), -card.top());
    const QRectF row(card.left(), card.top() + m_notchHeight, card.width(), 56);
    const NotchDropModel::Phase& phase = m_model.phase();
    if (phase.is(NotchDropModel::Phase::Kind::added)) {
        paintAdded(p, row);
        return;
    }
    const QRectF zones = row.adjusted(12, 4, -12, -4);
    if (m_model.showAirDrop()) {
        const double half = (zones.width() - 8) / 2;
        paintZone(p, QRectF(zones.left(), zones.top(), half, zones.height()), true, m_airdropTarget,
                  m_airdropBounce);
        paintZone(p, QRectF(zones.right() - half, zones.top(), half, zones.height()), false, m_trayTarget,
                  m_trayBounce);
    } else {
        paintZone(p, zones, false, m_trayTarget, m_trayBounce);
    }
}

namespace {

QColor mix(const QColor& from, const QColor& to, double t) {
    const auto at = [t](float a, float b) { return float(a + (b - a) * t); };
    return QColor::fromRgbF(at(from.redF(), to.redF()), at(from.greenF(), to.greenF()),
                            at(from.blueF(), to.blueF()), at(from.alphaF(), to.alphaF()));
}

} // namespace

void NotchDropView::paintZone(QPainter& p, const QRectF& box, bool airdrop, double blend,
                              double bounce) const {
    // Past the middle of its ease the zone reads as targeted: solid border, its targeted title.
    const double t = std::clamp(blend, 0.0, 1.0);
    const bool targeted = t >= 0.5;
    const QColor colour = airdrop ? airDropColor : accentColor(m_settings.sidebarAccent());
    QColor targetFill = colour;
    targetFill.setAlphaF(0.22f);
    const QColor fill = mix(QColor::fromRgbF(1, 1, 1, 0.06f), targetFill, t);
    QPainterPath shape;
    const double line = 1.2 + 0.8 * t;
    shape.addRoundedRect(box.adjusted(line / 2, line / 2, -line / 2, -line / 2), 14, 14);
    p.fillPath(shape, fill);
    QPen border(mix(QColor::fromRgbF(1, 1, 1, 0.25f), colour, t), line);
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
    const QRectF rest(left, box.center().y() - symbol / 2, symbol, symbol);
    const double grown = symbol * bounceScale(bounce);
    const QRectF symbolBox(rest.center().x() - grown / 2, rest.center().y() - grown / 2, grown, grown);
    const QColor tint = mix(QColor(Qt::white), colour, t);
    if (airdrop)
        paintRadioWaves(p, symbolBox, tint);
    else if (targeted > 0)
        drawShelfSymbol(p, traySymbol(true), symbolBox, tint);
    else
        drawFileListGlyph(p, traySymbol(false), symbolBox, tint);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(rest.right() + 8, box.top(), textWidth + 2, box.height()), Qt::AlignVCenter, title);
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
