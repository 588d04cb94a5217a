#pragma once

#include "snapping/RadialDirection.h"

#include <QColor>
#include <QObject>

namespace corvane {

// What one snap wheel shows: the selected sector, whether the centre does anything, the accent,
// the angle of the highlight and whether the ring is up. Each property announces its own
// changes; assigning the value a property already has announces nothing. Main thread only.
class RadialModel final : public QObject {
    Q_OBJECT
public:
    explicit RadialModel(QObject* parent = nullptr);

    RadialDirection direction() const { return m_direction; }
    bool centerHasAction() const { return m_centerHasAction; }
    QColor accent() const { return m_accent; }
    // Degrees, 0 pointing right and growing clockwise on screen. It is not kept within one turn:
    // it accumulates as the highlight travels around the ring, so that it always turns the short way.
    double highlightAngle() const { return m_highlightAngle; }
    bool appeared() const { return m_appeared; }

    // Selects a sector and turns the highlight to it: the short way from another sector, straight
    // to the sector's own angle from the centre. Selecting the centre leaves the angle alone.
    void setDirection(RadialDirection direction);
    // Changes the selection without turning the highlight.
    void assignDirection(RadialDirection direction);
    void setCenterHasAction(bool hasAction);
    void setAccent(const QColor& accent);
    void setHighlightAngle(double angle);
    void setAppeared(bool appeared);

    // The angle of a sector's middle, counter-clockwise from pointing right (0 for the centre).
    static double sectorAngle(RadialDirection direction);

Q_SIGNALS:
    void directionChanged();
    void centerHasActionChanged();
    void accentChanged();
    void highlightAngleChanged();
    void appearedChanged();

private:
    RadialDirection m_direction = RadialDirection::center;
    bool m_centerHasAction = true;
    QColor m_accent;
    double m_highlightAngle = 0;
    bool m_appeared = false;
};

} // namespace corvane
