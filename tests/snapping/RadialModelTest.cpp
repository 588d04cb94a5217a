#include "snapping/RadialModel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(RadialModelTest, FromTheCentreASectorGetsItsOwnAngleAndTheCentreLeavesTheAngleAlone) {
    RadialModel model;
    model.setHighlightAngle(720);

    model.setDirection(RadialDirection::bottomRight);
    EXPECT_EQ(model.highlightAngle(), -315);

    model.setDirection(RadialDirection::center);
    EXPECT_EQ(model.direction(), RadialDirection::center);
    EXPECT_EQ(model.highlightAngle(), -315);

    // Assigning the direction moves the selection only.
    model.assignDirection(RadialDirection::top);
    EXPECT_EQ(model.highlightAngle(), -315);
}

TEST(RadialModelTest, BetweenSectorsTheHighlightTurnsTheShortWay) {
    RadialModel model;
    model.setDirection(RadialDirection::top);
    ASSERT_EQ(model.highlightAngle(), -90);

    // -315 is reached from -90 by a 135-degree turn clockwise, at 45.
    model.setDirection(RadialDirection::bottomRight);
    EXPECT_EQ(model.highlightAngle(), 45);

    // Half a turn keeps the sign the remainder gives, there and back.
    model.setDirection(RadialDirection::top);
    model.setDirection(RadialDirection::right);
    const double atRight = model.highlightAngle();
    model.setDirection(RadialDirection::left);
    EXPECT_EQ(model.highlightAngle(), atRight - 180);
    model.setDirection(RadialDirection::right);
    EXPECT_EQ(model.highlightAngle(), atRight);
}

TEST(RadialModelTest, GoingRoundTheRingAccumulatesWholeTurns) {
    RadialModel model;
    const RadialDirection clockwise[] = {RadialDirection::right,  RadialDirection::bottomRight,
                                         RadialDirection::bottom, RadialDirection::bottomLeft,
                                         RadialDirection::left,   RadialDirection::topLeft,
                                         RadialDirection::top,    RadialDirection::topRight};
    for (int turn = 0; turn < 2; ++turn)
        for (RadialDirection direction : clockwise)
            model.setDirection(direction);
    model.setDirection(RadialDirection::right);

    // Sixteen steps of 45 degrees clockwise on screen: two whole turns.
    EXPECT_EQ(model.highlightAngle(), 720);

    // Back through the centre, the sector's own angle again: whole turns apart from before.
    model.setDirection(RadialDirection::center);
    model.setDirection(RadialDirection::right);
    EXPECT_EQ(model.highlightAngle(), 0);
}

TEST(RadialModelTest, AssigningTheSameValueNotifiesNobody) {
    RadialModel model;
    model.setDirection(RadialDirection::left);
    model.setAccent(QColor(Qt::red));
    QSignalSpy direction(&model, &RadialModel::directionChanged);
    QSignalSpy angle(&model, &RadialModel::highlightAngleChanged);
    QSignalSpy accent(&model, &RadialModel::accentChanged);
    QSignalSpy appeared(&model, &RadialModel::appearedChanged);

    model.setDirection(RadialDirection::left);
    model.setAccent(QColor(255, 0, 0));
    model.setAppeared(false);
    EXPECT_EQ(direction.count() + angle.count() + accent.count() + appeared.count(), 0);

    model.setDirection(RadialDirection::right);
    EXPECT_EQ(direction.count(), 1);
    EXPECT_EQ(angle.count(), 1);
}

} // namespace
} // namespace corvane::testing
