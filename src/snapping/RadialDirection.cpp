#include "snapping/RadialDirection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane {

namespace {

// Sector k is centred on 45k degrees counter-clockwise from the positive x axis.
constexpr std::array<RadialDirection, 8> kSectors{
    RadialDirection::right,   RadialDirection::topRight,    RadialDirection::top,
    RadialDirection::topLeft, RadialDirection::left,        RadialDirection::bottomLeft,
    RadialDirection::bottom,  RadialDirection::bottomRight,
};

} // namespace

RadialDirection fromVector(double dx, double dy, double deadZone) {
    // The sectors are measured counter-clockwise with y pointing up; screen y grows downward.
    const double up = -dy;

    // "Not greater than" rather than "<=", so that a NaN length lands in the dead zone.
    if (!(std::hypot(dx, up) > deadZone))
        return RadialDirection::center;

    double angle = std::atan2(up, dx) * 180.0 / std::numbers::pi;
    // hypot() is infinite when either component is, even if the other is NaN; the angle is then
    // NaN and has no sector.
    if (std::isnan(angle))
        return RadialDirection::center;
    if (angle < 0)
        angle += 360.0;

    const double sector = std::trunc(std::fmod(angle + 22.5, 360.0) / 45.0);
    const int index = std::clamp(static_cast<int>(sector), 0, 7);
    return kSectors[static_cast<std::size_t>(index)];
}

std::optional<SnapAction> snapAction(RadialDirection direction) {
    switch (direction) {
    case RadialDirection::center:
        return std::nullopt;
    case RadialDirection::right:
        return SnapAction::rightHalf;
    case RadialDirection::topRight:
        return SnapAction::topRight;
    case RadialDirection::top:
        return SnapAction::topHalf;
    case RadialDirection::topLeft:
        return SnapAction::topLeft;
    case RadialDirection::left:
        return SnapAction::leftHalf;
    case RadialDirection::bottomLeft:
        return SnapAction::bottomLeft;
    case RadialDirection::bottom:
        return SnapAction::bottomHalf;
    case RadialDirection::bottomRight:
        return SnapAction::bottomRight;
    }
    return std::nullopt;
}

} // namespace corvane
