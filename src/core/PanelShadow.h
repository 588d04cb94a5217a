#pragma once

#include <QImage>
#include <QMargins>
#include <QPainterPath>
#include <QPointF>
#include <QSize>

class QPainter;

namespace corvane {

// A soft black shadow cast by a shape: `opacity` where the shape is, fading out over `radius`
// points beyond its edge, the whole moved by `offset` (positive y is down). Drawn by the panels
// themselves inside their own windows, so that it follows their outline wherever a compositing
// manager shows translucency; no compositing manager adds one of its own.
struct PanelShadow {
    double opacity = 0;
    double radius = 0;
    QPointF offset;

    // No shadow at all.
    static PanelShadow none() { return {}; }
    // The one shadow every floating panel that has one casts: black at 25 %, radius 12 points,
    // 4 points down.
    static PanelShadow soft() { return {0.25, 12, QPointF(0, 4)}; }

    bool isNone() const { return !(opacity > 0); }
    // How far beyond an outline the shadow reaches on each side, in whole points.
    QMargins margins() const;

    // Draws the shadow `outline` casts (in the painter's coordinates), outside the outline only:
    // a translucent panel does not show it through itself. The painter may translate and scale.
    void paint(QPainter& painter, const QPainterPath& outline) const;
    // The same shadow as a picture of `size` device pixels, `outline` given in device pixels.
    QImage picture(const QPainterPath& outline, QSize size, double pixelRatio) const;

    friend bool operator==(const PanelShadow&, const PanelShadow&) = default;
};

} // namespace corvane
