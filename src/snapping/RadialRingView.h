#pragma once

#include "snapping/EasedValue.h"
#include "snapping/SpringValue.h"

#include "runtime/Scheduler.h"

#include <QPainterPath>
#include <QPointer>
#include <QWidget>

namespace corvane {

class RadialModel;

// Draws a snap wheel from its model: a translucent ring with a hole, the selected sector (or
// the whole ring for the centre) in the accent colour, hairlines along both edges and a soft
// shadow. The ring grows in and fades in when the model appears and shrinks and fades out when it
// goes (where a compositing manager shows it; without one it is whole at once); the highlight
// springs round the ring and fades in and out as the selection comes and goes. A view made over a
// model starts from the model's state as it is, without animating.
class RadialRingView final : public QWidget {
    Q_OBJECT
public:
    // The space the view takes, with the ring centred in it.
    static constexpr int side = 132;
    static constexpr double outerDiameter = 92;
    static constexpr double bandWidth = 22;

    // The ring's band at full size in a view of `side` points: where translucency cannot show,
    // the panel is cut to it, so that no square stands around the ring.
    static QPainterPath bandOutline(const QSize& size);

    // The model is shared with its owner and must outlive the view, or at least its painting. The
    // scheduler runs the animation's frames.
    RadialRingView(RadialModel& model, Scheduler& scheduler, QWidget* parent = nullptr);

    QSize sizeHint() const override { return QSize(side, side); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The model changed: each animated value heads for its new target.
    void retarget();
    void tick();

    QPointer<RadialModel> m_model;
    SpringValue m_angle;
    SpringValue m_presence;
    EasedValue m_arcOpacity;
    EasedValue m_bandOpacity;
    Scheduler& m_scheduler;
    TimerHandle m_frames;
    Instant m_lastFrame{};
};

} // namespace corvane
