#include "snapping/SnapAction.h"

#include "snapping/RectPrinting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace corvane;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

} // namespace

TEST(SnapActionFrame, EveryActionOnA1920By1080AreaWithGap8) {
    // Given a full-HD area and the default gap: inset area (8, 8, 1904, 1064), a third 629.33 wide
    const QRectF area(0, 0, 1920, 1080);
    const std::pair<SnapAction, QRectF> cases[] = {
        {SnapAction::leftHalf, {8, 8, 948, 1064}},
        {SnapAction::rightHalf, {964, 8, 948, 1064}},
        {SnapAction::topHalf, {8, 8, 1904, 528}},
        {SnapAction::bottomHalf, {8, 544, 1904, 528}},
        {SnapAction::topLeft, {8, 8, 948, 528}},
        {SnapAction::topRight, {964, 8, 948, 528}},
        {SnapAction::bottomLeft, {8, 544, 948, 528}},
        {SnapAction::bottomRight, {964, 544, 948, 528}},
        // Fractional thirds round outward: each covers its exact frame.
        {SnapAction::leftThird, {8, 8, 630, 1064}},
        {SnapAction::centerThird, {645, 8, 630, 1064}},
        {SnapAction::rightThird, {1282, 8, 630, 1064}},
        {SnapAction::leftTwoThirds, {8, 8, 1267, 1064}},
        {SnapAction::rightTwoThirds, {645, 8, 1267, 1064}},
        {SnapAction::maximize, {8, 8, 1904, 1064}},
        {SnapAction::almostMaximize, {96, 54, 1728, 972}},
        {SnapAction::center, {384, 162, 1152, 756}},
    };
    ASSERT_EQ(std::size(cases), allCases<SnapAction>().size());

    for (const auto& [action, expected] : cases) {
        SCOPED_TRACE(rawValue(action).toStdString());
        // When the action's frame is computed without a present frame
        // Then it is the expected frame on whole points
        EXPECT_EQ(frame(action, area, 8), expected);
    }
}

TEST(SnapActionFrame, WorkedExamplesOnOffsetAndOddSizedAreas) {
    struct Case {
        const char* name;
        QRectF area;
        double gap;
        SnapAction action;
        std::optional<QRectF> current;
        QRectF expected;
    };
    const QRectF area(0, 0, 1000, 800);
    const Case cases[] = {
        {"leftHalf", area, 10, SnapAction::leftHalf, {}, {10, 10, 485, 780}},
        {"centerThird", area, 10, SnapAction::centerThird, {}, {340, 10, 320, 780}},
        {"rightTwoThirds", area, 10, SnapAction::rightTwoThirds, {}, {340, 10, 650, 780}},
        {"almostMaximize ignores the gap", area, 10, SnapAction::almostMaximize, {}, {50, 40, 900, 720}},
        {"center default size", area, 10, SnapAction::center, {}, {200, 120, 600, 560}},
        {"center keeps its size",
         area,
         10,
         SnapAction::center,
         QRectF(700, 600, 400, 300),
         {300, 250, 400, 300}},
        {"center shrinks to fit", area, 10, SnapAction::center, QRectF(0, 0, 1200, 300), {10, 250, 980, 300}},
        // Odd sizes: halves of 981 x 781 are 485.5 x 385.5, so neighbouring halves share a point.
        {"odd leftHalf", {0, 0, 1001, 801}, 10, SnapAction::leftHalf, {}, {10, 10, 486, 781}},
        {"odd rightHalf", {0, 0, 1001, 801}, 10, SnapAction::rightHalf, {}, {505, 10, 486, 781}},
        // A second screen to the right, below a top panel: the area's origin carries through.
        {"offset topRight", {1920, 27, 1280, 997}, 8, SnapAction::topRight, {}, {2564, 35, 628, 487}},
        {"offset center", {1920, 27, 1280, 997}, 8, SnapAction::center, {}, {2176, 176, 768, 699}},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(frame(c.action, c.area, c.gap, c.current), c.expected);
    }
}

TEST(SnapActionFrame, UnusableGapsAndAreasNeverGiveNegativeOrNanSizes) {
    const QRectF area(0, 0, 1000, 800);

    // Given a negative, NaN or infinite gap, when halving the area, then it behaves as gap 0:
    // the halves touch and reach the area's edges
    for (double gap : {-10.0, kNaN, kInfinity, -kInfinity}) {
        SCOPED_TRACE(gap);
        EXPECT_EQ(frame(SnapAction::leftHalf, area, gap), QRectF(0, 0, 500, 800));
        EXPECT_EQ(frame(SnapAction::rightHalf, area, gap), QRectF(500, 0, 500, 800));
    }

    // Given a gap wider than the area, or an area without size, when any action is computed,
    // then every frame has a finite size of 0 or more
    const QRectF tiny(100, 100, 3, 2);
    struct Input {
        QRectF area;
        double gap;
    };
    const Input inputs[] = {
        {area, 600}, {tiny, 8}, {{0, 0, 0, 0}, 8}, {{0, 0, -50, 20}, 0}, {{0, 0, kNaN, 800}, 8}};
    for (const auto& [a, gap] : inputs) {
        for (SnapAction action : allCases<SnapAction>()) {
            SCOPED_TRACE(rawValue(action).toStdString());
            const QRectF result = frame(action, a, gap, QRectF(0, 0, kNaN, -40));
            EXPECT_TRUE(hasSaneSize(result)) << ::testing::PrintToString(result);
        }
    }

    // Given a gap of 600 in a 1000-point-wide area, then the frames collapse onto the middle
    EXPECT_EQ(frame(SnapAction::leftHalf, area, 600), QRectF(500, 400, 0, 0));
}

TEST(SnapActionCycled, StepsHalfTwoThirdsThirdWhenWithinSixPoints) {
    const QRectF area(0, 0, 1000, 800);
    const double gap = 10;
    const QRectF leftHalf = frame(SnapAction::leftHalf, area, gap);
    const QRectF rightHalf = frame(SnapAction::rightHalf, area, gap);
    struct Case {
        const char* name;
        SnapAction action;
        std::optional<QRectF> current;
        SnapAction expected;
    };
    const Case cases[] = {
        {"at the half", SnapAction::leftHalf, leftHalf, SnapAction::leftTwoThirds},
        {"at two thirds", SnapAction::leftHalf, frame(SnapAction::leftTwoThirds, area, gap),
         SnapAction::leftThird},
        {"at the third wraps", SnapAction::leftHalf, frame(SnapAction::leftThird, area, gap),
         SnapAction::leftHalf},
        {"6 points right still matches", SnapAction::leftHalf, leftHalf.translated(6, 0),
         SnapAction::leftTwoThirds},
        {"7 points right does not", SnapAction::leftHalf, leftHalf.translated(7, 0), SnapAction::leftHalf},
        {"one point narrower, unrounded", SnapAction::leftHalf, leftHalf.adjusted(0, 0, -0.5, -1),
         SnapAction::leftTwoThirds},
        {"7 points taller does not", SnapAction::leftHalf, leftHalf.adjusted(0, 0, 0, 7),
         SnapAction::leftHalf},
        {"no present frame", SnapAction::leftHalf, std::nullopt, SnapAction::leftHalf},
        {"a NaN frame matches nothing", SnapAction::leftHalf, QRectF(kNaN, 10, 485, 780),
         SnapAction::leftHalf},
        {"left half asked at the right half", SnapAction::leftHalf, rightHalf, SnapAction::leftHalf},
        {"right at the half", SnapAction::rightHalf, rightHalf, SnapAction::rightTwoThirds},
        {"right at the third wraps", SnapAction::rightHalf, frame(SnapAction::rightThird, area, gap),
         SnapAction::rightHalf},
        {"topHalf never cycles", SnapAction::topHalf, frame(SnapAction::topHalf, area, gap),
         SnapAction::topHalf},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cycled(c.action, c.current, area, gap), c.expected);
    }
}

TEST(SnapActionRawValues, AreTheCaseNamesInDeclarationOrder) {
    // The raw values are stored with shortcuts: their spelling and order are fixed
    const char* expected[] = {"leftHalf",       "rightHalf",   "topHalf",        "bottomHalf",
                              "topLeft",        "topRight",    "bottomLeft",     "bottomRight",
                              "leftThird",      "centerThird", "rightThird",     "leftTwoThirds",
                              "rightTwoThirds", "maximize",    "almostMaximize", "center"};
    const auto actions = allCases<SnapAction>();
    ASSERT_EQ(actions.size(), std::size(expected));
    for (std::size_t i = 0; i < actions.size(); ++i) {
        EXPECT_EQ(rawValue(actions[i]), QString::fromLatin1(expected[i]));
        EXPECT_EQ(fromRawValue<SnapAction>(QString::fromLatin1(expected[i])), actions[i]);
    }

    // Near misses construct nothing
    EXPECT_EQ(fromRawValue<SnapAction>(QStringLiteral("LeftHalf")), std::nullopt);
    EXPECT_EQ(fromRawValue<SnapAction>(QString()), std::nullopt);
}
