#pragma once

#include "core/RawValueEnum.h"
#include "snapping/SnapAction.h"

#include <optional>

namespace corvane {

// The nine sectors of the snap wheel: the dead zone in the middle and eight 45-degree sectors
// around it, each centred on its compass direction.
enum class RadialDirection { center, right, topRight, top, topLeft, left, bottomLeft, bottom, bottomRight };

template <> struct EnumCases<RadialDirection> {
    static constexpr std::array<std::pair<RadialDirection, std::string_view>, 9> cases{{
        {RadialDirection::center, "center"},
        {RadialDirection::right, "right"},
        {RadialDirection::topRight, "topRight"},
        {RadialDirection::top, "top"},
        {RadialDirection::topLeft, "topLeft"},
        {RadialDirection::left, "left"},
        {RadialDirection::bottomLeft, "bottomLeft"},
        {RadialDirection::bottom, "bottom"},
        {RadialDirection::bottomRight, "bottomRight"},
    }};
};

// The sector of the pointer offset (dx, dy) from the wheel's centre, in screen coordinates as they
// come (y grows downward: a negative dy points to `top`). An offset no longer than `deadZone`, or
// one whose length or angle is not a number, is `center`. A border angle belongs to the sector
// counter-clockwise of it: exactly 22.5 degrees above the x axis is `topRight`, exactly 22.5
// degrees below it is `right`.
RadialDirection fromVector(double dx, double dy, double deadZone);

// The snap action of a sector; none for `center`.
std::optional<SnapAction> snapAction(RadialDirection direction);

} // namespace corvane
