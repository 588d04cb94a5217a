#include "snapping/RadialRingView.h"

#include "core/FloatingPanel.h"
#include "core/PanelShadow.h"

#include "snapping/RadialModel.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {
constexpr double hairline = 0.5;
const QColor hairlineColor(0, 0, 0, 31);    // 12 %
const QColor sheenColor(255, 255, 255, 89); // 35 %
// Black at 30 %, radius 8, 3 points down.
const PanelShadow ringShadow{0.3, 8, QPointF(0, 3)};

// The band between two centred circles.
QPainterPath annulus(double outerRadius, double innerRadius) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addEllipse(QPointF(0, 0), outerRadius, outerRadius);
    path.addEllipse(QPointF(0, 0), innerRadius, innerRadius);
    return path;
}

// A line of `width` laid wholly inside the circle of `radius`.
void strokeInside(QPainter& painter, double radius, double width, const QColor& color) {
    painter.setPen(QPen(color, width));
    painter.setBrush(Qt::NoBrush);
    const double r = radius - width / 2;
    painter.drawEllipse(QPointF(0, 0), r, r);
}
} // namespace

namespace {
const Seconds frameInterval(0.016);
} // namespace

RadialRingView::RadialRingView(RadialModel& model, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent), m_model(&model), m_angle(0.22, 0.72, 0.01), m_presence(0.25, 0.7, 0.001),
      m_arcOpacity(0.12), m_bandOpacity(0.12), m_scheduler(scheduler) {
    setFixedSize(side, side);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);

    // The material's own colour, for the panel to lay under the band where nothing shows through.
    setProperty(groundColorProperty, palette().color(QPalette::Window));

    for (auto signal : {&RadialModel::directionChanged, &RadialModel::centerHasActionChanged,
                        &RadialModel::highlightAngleChanged, &RadialModel::appearedChanged})
        connect(&model, signal, this, &RadialRingView::retarget);
    connect(&model, &RadialModel::accentChanged, this, qOverload<>(&QWidget::update));

    retarget();
    m_angle.jumpTo(m_angle.target());
    m_presence.jumpTo(m_presence.target());
    m_arcOpacity.jumpTo(m_arcOpacity.target());
    m_bandOpacity.jumpTo(m_bandOpacity.target());
    m_frames.invalidate();
}

void RadialRingView::retarget() {
    if (!m_model)
        return;
    const bool onSector = m_model->direction() != RadialDirection::center;
    m_arcOpacity.setTarget(onSector ? 1 : 0);
    m_bandOpacity.setTarget(!onSector && m_model->centerHasAction() ? 1 : 0);
    // An arc nobody sees need not travel: it starts where it is wanted.
    if (m_arcOpacity.value() == 0)
        m_angle.jumpTo(m_model->highlightAngle());
    else
        m_angle.setTarget(m_model->highlightAngle());
    // Where no compositing manager runs, the panel lays the band's colour under the ring at full
    // size: a ring growing in would show as a smaller ring inside a flat one. It is whole from its
    // first frame, as a panel that cannot fade is, and stays whole until its panel goes.
    const auto* panel = qobject_cast<const FloatingPanel*>(window());
    if (!panel || panel->showsOpacity())
        m_presence.setTarget(m_model->appeared() ? 1 : 0);
    else if (m_model->appeared())
        m_presence.jumpTo(1);
    if (!m_frames.isValid()) {
        m_lastFrame = m_scheduler.now();
        // The view owns the handle: no frame comes once it is gone.
        m_frames = m_scheduler.scheduleRepeating(frameInterval, Seconds(0), [this] { tick(); });
    }
    update();
}

void RadialRingView::tick() {
    const Instant now = m_scheduler.now();
    // The springs follow the clock (they step finely themselves): frames that come late on a busy
    // machine must not play the ring in slow motion.
    const double seconds = Seconds(now - m_lastFrame).count();
    m_lastFrame = now;
    m_angle.advance(seconds);
    m_presence.advance(seconds);
    m_arcOpacity.advance(seconds);
    m_bandOpacity.advance(seconds);
    if (m_angle.isSettled() && m_presence.isSettled() && m_arcOpacity.isSettled() &&
        m_bandOpacity.isSettled())
        m_frames.invalidate();
    update();
}

QPainterPath RadialRingView::bandOutline(const QSize& size) {
    // A point of slack either side keeps the antialiased edges and hairlines whole.
    const double outer = outerDiameter / 2 + 1;
    const double inner = outer - bandWidth - 2;
    QPainterPath band = annulus(outer, inner);
    band.translate(size.width() / 2.0, size.height() / 2.0);
    return band;
}

void RadialRingView::paintEvent(QPaintEvent*) {
    if (!m_model)
        return;
    const double presence = m_presence.value();
    const double opacity = std::clamp(presence, 0.0, 1.0);
    if (opacity <= 0)
        return;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const double scale = 0.6 + 0.4 * presence;
    painter.scale(scale, scale);

    const double outer = outerDiameter / 2;
    const double inner = outer - bandWidth;
    const QPainterPath band = annulus(outer, inner);

    painter.setOpacity(opacity);
    // The shadow grows and fades with the ring, inside the view's square. Only a compositing
    // manager shows it: without one the panel is cut to the band.
    if (const auto* panel = qobject_cast<const FloatingPanel*>(window()); !panel || panel->showsOpacity())
        ringShadow.paint(painter, band);
    // No blur behind our windows: the material is a translucent fill in the palette's colour.
    QColor material = palette().color(QPalette::Window);
    material.setAlphaF(0.8f);
    painter.fillPath(band, material);
    painter.setCompositionMode(QPainter::CompositionMode_Overlay);
    painter.fillPath(band, sheenColor);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    const QColor accent = m_model->accent();
    if (const double shown = m_bandOpacity.value(); shown > 0) {
        painter.setOpacity(opacity * shown);
        painter.fillPath(band, accent);
    }
    if (const double shown = m_arcOpacity.value(); shown > 0) {
        painter.setOpacity(opacity * shown);
        painter.setPen(QPen(accent, bandWidth, Qt::SolidLine, Qt::FlatCap));
        painter.setBrush(Qt::NoBrush);
        // The arc spans 22.5 degrees either side of the highlight angle, which turns clockwise
        // on screen; Qt's angles turn the other way and come in sixteenths of a degree.
        const double angle = std::fmod(m_angle.value(), 360.0);
        const double middle = outer - bandWidth / 2;
        painter.drawArc(QRectF(-middle, -middle, 2 * middle, 2 * middle),
                        static_cast<int>(std::lround((22.5 - angle) * 16)), -45 * 16);
    }

    painter.setOpacity(opacity);
    strokeInside(painter, outer, hairline, hairlineColor);
    strokeInside(painter, inner, hairline, hairlineColor);
}

} // namespace corvane
