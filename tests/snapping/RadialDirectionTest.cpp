#include "snapping/RadialDirection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace corvane;

namespace {

constexpr double kDeadZone = 14;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A screen offset (y down) of length 100 at `degrees` counter-clockwise from the positive x axis.
QPointF screenOffset(double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return {100 * std::cos(radians), -100 * std::sin(radians)};
}

} // namespace

TEST(RadialDirectionFromVector, DeadZoneAndSectorCentresInScreenCoordinates) {
    struct Case {
        const char* name;
        double dx;
        double dy; // screen y, growing downward
        RadialDirection expected;
    };
    const Case cases[] = {
        {"inside the dead zone", 0, -10, RadialDirection::center},
        {"on the dead zone's edge", 0, -14, RadialDirection::center},
        {"just outside", 0, -14.000001, RadialDirection::top},
        {"up the screen", 0, -20, RadialDirection::top},
        {"down the screen", 0, 20, RadialDirection::bottom},
        {"down and right", 20, 20, RadialDirection::bottomRight},
        {"up and right", 20, -20, RadialDirection::topRight},
        {"right", 20, 0, RadialDirection::right},
        {"right with negative zero", 20, -0.0, RadialDirection::right},
        {"left", -20, 0, RadialDirection::left},
        {"NaN", kNaN, 30, RadialDirection::center},
        {"infinite with NaN", kInfinity, kNaN, RadialDirection::center},
        {"infinitely far down and right", kInfinity, kInfinity, RadialDirection::bottomRight},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fromVector(c.dx, c.dy, kDeadZone), c.expected);
    }
}

TEST(RadialDirectionFromVector, BorderAnglesBelongToTheCounterClockwiseSector) {
    // Given an offset whose angle computes to exactly 22.5 degrees above the x axis
    const double dx = 100;
    const double rise = 41.421356237309503;
    ASSERT_EQ(std::atan2(rise, dx) * 180.0 / std::numbers::pi, 22.5) << "precondition on this libm";

    // Then it is topRight, and its mirror below the axis (337.5 degrees) is right
    EXPECT_EQ(fromVector(dx, -rise, kDeadZone), RadialDirection::topRight);
    EXPECT_EQ(fromVector(dx, rise, kDeadZone), RadialDirection::right);

    // And around every border, just clockwise of it is the lower sector, just past it the next
    const RadialDirection sectors[] = {
        RadialDirection::right,   RadialDirection::topRight,    RadialDirection::top,
        RadialDirection::topLeft, RadialDirection::left,        RadialDirection::bottomLeft,
        RadialDirection::bottom,  RadialDirection::bottomRight,
    };
    for (int k = 0; k < 8; ++k) {
        const double border = 45.0 * k + 22.5;
        SCOPED_TRACE(border);
        const QPointF before = screenOffset(border - 0.01);
        const QPointF after = screenOffset(border + 0.01);
        EXPECT_EQ(fromVector(before.x(), before.y(), kDeadZone), sectors[k]);
        EXPECT_EQ(fromVector(after.x(), after.y(), kDeadZone), sectors[(k + 1) % 8]);
    }
}

TEST(RadialDirectionSnapAction, CentreHasNoActionAndSectorsSnapToTheirSide) {
    EXPECT_EQ(snapAction(RadialDirection::center), std::nullopt);
    EXPECT_EQ(snapAction(RadialDirection::top), SnapAction::topHalf);
    EXPECT_EQ(snapAction(RadialDirection::topLeft), SnapAction::topLeft);
    EXPECT_EQ(snapAction(RadialDirection::right), SnapAction::rightHalf);
}
