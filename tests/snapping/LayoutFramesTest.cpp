#include "snapping/LayoutFrames.h"

#include "snapping/RectPrinting.h"

#include <gtest/gtest.h>

#include <limits>

using namespace corvane;

namespace {

using Frames = std::vector<QRectF>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const QRectF kArea(0, 0, 1000, 800); // inset by gap 10: (10, 10, 980, 780)

} // namespace

TEST(LayoutPresetFrames, EachPresetForTwoThreeFourAndSevenWindows) {
    struct Case {
        LayoutPreset preset;
        int count;
        Frames expected;
    };
    // Three rows of 780 - 2 x 10 = 760 are 253.33 high each; the third ends exactly at the area's
    // bottom (790), whatever noise the sum of the splits carries.
    // clang-format off
    const Case cases[] = {
        {LayoutPreset::halves, 2, {{10, 10, 485, 780}, {505, 10, 485, 780}}},
        {LayoutPreset::halves, 3, {{10, 10, 485, 780}, {505, 10, 485, 385}, {505, 405, 485, 385}}},
        {LayoutPreset::halves, 4, {{10, 10, 485, 385}, {10, 405, 485, 385}, {505, 10, 485, 385}, {505, 405, 485, 385}}},
        {LayoutPreset::halves, 7, {{10, 10, 485, 254}, {10, 273, 485, 254}, {10, 536, 485, 254},
                                   {505, 10, 485, 188}, {505, 207, 485, 188}, {505, 405, 485, 188}, {505, 602, 485, 188}}},
        {LayoutPreset::sixtyForty, 2, {{10, 10, 582, 780}, {602, 10, 388, 780}}},
        {LayoutPreset::sixtyForty, 3, {{10, 10, 582, 780}, {602, 10, 388, 385}, {602, 405, 388, 385}}},
        {LayoutPreset::sixtyForty, 4, {{10, 10, 582, 385}, {10, 405, 582, 385}, {602, 10, 388, 385}, {602, 405, 388, 385}}},
        {LayoutPreset::sixtyForty, 7, {{10, 10, 582, 254}, {10, 273, 582, 254}, {10, 536, 582, 254},
                                       {602, 10, 388, 188}, {602, 207, 388, 188}, {602, 405, 388, 188}, {602, 602, 388, 188}}},
        // Two windows use only the first two of the three equal weights: the halves.
        {LayoutPreset::thirds, 2, {{10, 10, 485, 780}, {505, 10, 485, 780}}},
        {LayoutPreset::thirds, 3, {{10, 10, 320, 780}, {340, 10, 320, 780}, {670, 10, 320, 780}}},
        // Surplus windows go to the rightmost columns.
        {LayoutPreset::thirds, 4, {{10, 10, 320, 780}, {340, 10, 320, 780}, {670, 10, 320, 385}, {670, 405, 320, 385}}},
        {LayoutPreset::thirds, 5, {{10, 10, 320, 780}, {340, 10, 320, 385}, {340, 405, 320, 385},
                                   {670, 10, 320, 385}, {670, 405, 320, 385}}},
        {LayoutPreset::thirds, 7, {{10, 10, 320, 385}, {10, 405, 320, 385}, {340, 10, 320, 385}, {340, 405, 320, 385},
                                   {670, 10, 320, 254}, {670, 273, 320, 254}, {670, 536, 320, 254}}},
        {LayoutPreset::mainStack, 2, {{10, 10, 582, 780}, {602, 10, 388, 780}}},
        {LayoutPreset::mainStack, 3, {{10, 10, 582, 780}, {602, 10, 388, 385}, {602, 405, 388, 385}}},
        {LayoutPreset::mainStack, 4, {{10, 10, 582, 780}, {602, 10, 388, 254}, {602, 273, 388, 254}, {602, 536, 388, 254}}},
        {LayoutPreset::mainStack, 7, {{10, 10, 582, 780}, {602, 10, 388, 122}, {602, 141, 388, 123}, {602, 273, 388, 122},
                                      {602, 405, 388, 122}, {602, 536, 388, 123}, {602, 668, 388, 122}}},
        {LayoutPreset::grid, 2, {{10, 10, 485, 780}, {505, 10, 485, 780}}},
        // A short last row has wider cells.
        {LayoutPreset::grid, 3, {{10, 10, 485, 385}, {505, 10, 485, 385}, {10, 405, 980, 385}}},
        {LayoutPreset::grid, 4, {{10, 10, 485, 385}, {505, 10, 485, 385}, {10, 405, 485, 385}, {505, 405, 485, 385}}},
        {LayoutPreset::grid, 5, {{10, 10, 320, 385}, {340, 10, 320, 385}, {670, 10, 320, 385},
                                 {10, 405, 485, 385}, {505, 405, 485, 385}}},
        {LayoutPreset::grid, 7, {{10, 10, 320, 254}, {340, 10, 320, 254}, {670, 10, 320, 254},
                                 {10, 273, 320, 254}, {340, 273, 320, 254}, {670, 273, 320, 254}, {10, 536, 980, 254}}},
        {LayoutPreset::maximize, 4, Frames(4, {10, 10, 980, 780})},
        {LayoutPreset::maximize, 7, Frames(7, {10, 10, 980, 780})},
    };
    // clang-format on

    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.preset).toStdString() + " x " + std::to_string(c.count));
        EXPECT_EQ(frames(c.preset, c.count, kArea, 10), c.expected);
    }
}

TEST(LayoutPresetFrames, OneWindowOrNoneAndDegenerateInput) {
    for (LayoutPreset preset : allCases<LayoutPreset>()) {
        SCOPED_TRACE(rawValue(preset).toStdString());
        // A single window gets the whole inset area, whatever the preset
        EXPECT_EQ(frames(preset, 1, kArea, 10), Frames{QRectF(10, 10, 980, 780)});
        // No windows, or an area without width or height, give nothing
        EXPECT_TRUE(frames(preset, 0, kArea, 10).empty());
        EXPECT_TRUE(frames(preset, -3, kArea, 10).empty());
        EXPECT_TRUE(frames(preset, 3, QRectF(0, 0, 0, 800), 10).empty());
        EXPECT_TRUE(frames(preset, 3, QRectF(0, 0, 1000, -1), 10).empty());
        EXPECT_TRUE(frames(preset, 3, QRectF(0, 0, kNaN, 800), 10).empty());

        // A gap wider than the area, or a tiny area, still gives one frame per window, none with a
        // negative or NaN size
        for (const auto& [area, gap] : {std::pair{kArea, 900.0}, std::pair{QRectF(5, 5, 3, 1), 8.0}}) {
            const Frames result = frames(preset, 7, area, gap);
            ASSERT_EQ(result.size(), 7u);
            for (const QRectF& f : result)
                EXPECT_TRUE(hasSaneSize(f)) << ::testing::PrintToString(f);
        }
    }

    // A negative or NaN gap counts as none: the halves touch and reach the edges
    const Frames touching{{0, 0, 500, 800}, {500, 0, 500, 800}};
    EXPECT_EQ(frames(LayoutPreset::halves, 2, kArea, -10), touching);
    EXPECT_EQ(frames(LayoutPreset::halves, 2, kArea, kNaN), touching);
}

TEST(SplitColumns, WeightsShareTheWidthAndSurplusWindowsGoRight) {
    // The area handed in is used as it is: the caller has inset it already
    const QRectF inset(10, 10, 980, 780);
    struct Case {
        const char* name;
        std::vector<double> weights;
        int count;
        Frames expected;
    };
    const Case cases[] = {
        {"uneven weights", {3, 1}, 2, {{10, 10, 728, 780}, {747, 10, 243, 780}}},
        {"surplus to the right", {1, 1}, 3, {{10, 10, 485, 780}, {505, 10, 485, 385}, {505, 405, 485, 385}}},
        {"fewer windows than weights use the first",
         {1, 3, 100},
         2,
         {{10, 10, 243, 780}, {262, 10, 728, 780}}},
        {"weights summing to zero", {1, -1}, 2, {}},
        {"a NaN weight", {1, kNaN}, 2, {}},
        {"no windows", {1, 1}, 0, {}},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitColumns(c.weights, c.count, inset, 10), c.expected);
    }
}
