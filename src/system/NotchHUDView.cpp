#include "system/NotchHUDView.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace corvane {

namespace {

const QColor volumeTint = QColor::fromRgbF(0.30f, 0.85f, 0.45f);
const QColor brightnessTint = QColor::fromRgbF(1.00f, 0.80f, 0.20f);

// A loudspeaker with up to three waves, or struck through.
void paintSpeaker(QPainter& p, const QRectF& box, int waves, bool slashed) {
    const double u = box.height() / 10;
    QPainterPath body;
    body.moveTo(box.left() + 1 * u, box.top() + 3.5 * u);
    body.lineTo(box.left() + 3 * u, box.top() + 3.5 * u);
    body.lineTo(box.left() + 5.5 * u, box.top() + 1 * u);
    body.lineTo(box.left() + 5.5 * u, box.top() + 9 * u);
    body.lineTo(box.left() + 3 * u, box.top() + 6.5 * u);
    body.lineTo(box.left() + 1 * u, box.top() + 6.5 * u);
    body.closeSubpath();
    p.fillPath(body, Qt::white);
    p.setPen(QPen(Qt::white, 1.2 * u, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < waves; ++i) {
        const double r = (2.0 + 1.6 * i) * u;
        p.drawArc(QRectF(box.left() + 5.5 * u - r, box.top() + 5 * u - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
    if (slashed)
        p.drawLine(QPointF(box.left() + 7 * u, box.top() + 3 * u),
                   QPointF(box.left() + 10 * u, box.top() + 7 * u));
}

// A sun: a disc with rays, the rays longer for the brighter one.
void paintSun(QPainter& p, const QRectF& box, bool bright) {
    const QPointF c = box.center();
    const double u = box.height() / 10;
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 2.4 * u, 2.4 * u);
    p.setPen(QPen(Qt::white, 1.1 * u, Qt::SolidLine, Qt::RoundCap));
    const double inner = 3.6 * u, outer = (bright ? 5.0 : 4.3) * u;
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * inner,
                   c + QPointF(std::cos(a), std::sin(a)) * outer);
    }
}

} // namespace

NotchHUDView::NotchHUDView(NotchModel& model, double notchWidth, double height, QWidget* parent)
    : QWidget(parent), m_model(&model), m_notchWidth(notchWidth), m_height(height) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&model, &NotchModel::changed, this, qOverload<>(&QWidget::update));
}

QString NotchHUDView::symbolName(NotchModel::Kind kind, bool muted, float level) {
    if (kind == NotchModel::Kind::brightness)
        return level < 0.5f ? QStringLiteral("sun.min.fill") : QStringLiteral("sun.max.fill");
    if (muted || level <= 0.001f)
        return QStringLiteral("speaker.slash.fill");
    if (level < 0.34f)
        return QStringLiteral("speaker.wave.1.fill");
    if (level < 0.67f)
        return QStringLiteral("speaker.wave.2.fill");
    return QStringLiteral("speaker.wave.3.fill");
}

QString NotchHUDView::label(NotchModel::Kind kind, bool muted) {
    if (kind == NotchModel::Kind::brightness)
        return QStringLiteral("Brightness");
    return muted ? QStringLiteral("Muted") : QStringLiteral("Volume");
}

double NotchHUDView::fillWidth(bool muted, float level) {
    const double shown = muted ? 0.0 : double(level);
    if (!(shown > 0))
        return 0;
    return std::max(barWidth * shown, 4.0);
}

QString NotchHUDView::numberText(bool muted, float level) {
    if (muted || !std::isfinite(level))
        return QStringLiteral("0");
    return QString::number(std::llround(100.0 * double(level)));
}

QPainterPath NotchHUDView::outline(bool unfolded) const {
    const double width = unfolded ? m_notchWidth + 2 * columnWidth : m_notchWidth;
    const QRectF box((this->width() - width) / 2, 0, width, m_height);
    const double radius = 0.42 * m_height;
    QPainterPath path;
    path.moveTo(box.topLeft());
    path.lineTo(box.topRight());
    path.lineTo(box.right(), box.bottom() - radius);
    path.quadTo(box.bottomRight(), QPointF(box.right() - radius, box.bottom()));
    path.lineTo(box.left() + radius, box.bottom());
    path.quadTo(box.bottomLeft(), QPointF(box.left(), box.bottom() - radius));
    path.closeSubpath();
    return path;
}

void NotchHUDView::paintEvent(QPaintEvent*) {
    if (!m_model)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::black);
    const NotchModel& model = *m_model;
    const double h = m_height;
    const double left = (width() - m_notchWidth) / 2 - columnWidth;
    const double right = (width() + m_notchWidth) / 2;

    // Left column: the symbol and the word.
    const QRectF symbolBox(left + 0.45 * h, (h - 0.6 * h) / 2, 0.6 * h, 0.6 * h);
    const QString symbol = symbolName(model.kind(), model.muted(), model.level());
    if (model.kind() == NotchModel::Kind::brightness)
        paintSun(p, symbolBox, symbol == QLatin1String("sun.max.fill"));
    else
        paintSpeaker(p, symbolBox,
                     symbol.endsWith(QLatin1String("3.fill"))   ? 3
                     : symbol.endsWith(QLatin1String("2.fill")) ? 2
                     : symbol.endsWith(QLatin1String("1.fill")) ? 1
                                                                : 0,
                     symbol == QLatin1String("speaker.slash.fill"));
    QFont font = p.font();
    font.setPixelSize(std::max(1, int(std::lround(0.36 * h))));
    font.setWeight(QFont::Medium);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(symbolBox.right() + 7, 0, columnWidth, h), Qt::AlignLeft | Qt::AlignVCenter,
               label(model.kind(), model.muted()));

    // Right column: the level bar and the number.
    const QColor tint = model.kind() == NotchModel::Kind::volume ? volumeTint : brightnessTint;
    const double numberRight = right + columnWidth - 0.45 * h;
    const QRectF number(numberRight - 26, 0, 26, h);
    const QRectF track(number.left() - 8 - barWidth, (h - 4) / 2, barWidth, 4);
    QColor faint = tint;
    faint.setAlphaF(0.25f);
    p.setPen(Qt::NoPen);
    p.setBrush(faint);
    p.drawRoundedRect(track, 2, 2);
    p.setBrush(tint);
    const double fill = fillWidth(model.muted(), model.level());
    if (fill > 0)
        p.drawRoundedRect(QRectF(track.topLeft(), QSizeF(fill, 4)), 2, 2);
    font.setPixelSize(std::max(1, int(std::lround(0.38 * h))));
    font.setWeight(QFont::DemiBold);
    font.setStyleHint(QFont::Monospace);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(number, Qt::AlignRight | Qt::AlignVCenter, numberText(model.muted(), model.level()));
}

} // namespace corvane
