#include "snapping/RadialModel.h"

#include <QGuiApplication>
#include <QPalette>

#include <cmath>

namespace corvane {

RadialModel::RadialModel(QObject* parent)
    : QObject(parent), m_accent(QGuiApplication::palette().color(QPalette::Highlight)) {}

double RadialModel::sectorAngle(RadialDirection direction) {
    switch (direction) {
    case RadialDirection::center:
    case RadialDirection::right:
        return 0;
    case RadialDirection::topRight:
        return 45;
    case RadialDirection::top:
        return 90;
    case RadialDirection::topLeft:
        return 135;
    case RadialDirection::left:
        return 180;
    case RadialDirection::bottomLeft:
        return 225;
    case RadialDirection::bottom:
        return 270;
    case RadialDirection::bottomRight:
        return 315;
    }
    return 0;
}

void RadialModel::setDirection(RadialDirection direction) {
    if (direction == m_direction)
        return;
    if (direction != RadialDirection::center) {
        // On screen y grows downward, so a sector's counter-clockwise angle turns clockwise here.
        const double target = -sectorAngle(direction);
        if (m_direction == RadialDirection::center) {
            setHighlightAngle(target);
        } else {
            // The remainder keeps the dividend's sign; half a turn keeps its sign too.
            double turn = std::fmod(target - m_highlightAngle, 360.0);
            if (turn > 180)
                turn -= 360;
            if (turn < -180)
                turn += 360;
            setHighlightAngle(m_highlightAngle + turn);
        }
    }
    assignDirection(direction);
}

void RadialModel::assignDirection(RadialDirection direction) {
    if (direction == m_direction)
        return;
    m_direction = direction;
    Q_EMIT directionChanged();
}

void RadialModel::setCenterHasAction(bool hasAction) {
    if (hasAction == m_centerHasAction)
        return;
    m_centerHasAction = hasAction;
    Q_EMIT centerHasActionChanged();
}

void RadialModel::setAccent(const QColor& accent) {
    if (accent == m_accent)
        return;
    m_accent = accent;
    Q_EMIT accentChanged();
}

void RadialModel::setHighlightAngle(double angle) {
    if (angle == m_highlightAngle)
        return;
    m_highlightAngle = angle;
    Q_EMIT highlightAngleChanged();
}

void RadialModel::setAppeared(bool appeared) {
    if (appeared == m_appeared)
        return;
    m_appeared = appeared;
    Q_EMIT appearedChanged();
}

} // namespace corvane
