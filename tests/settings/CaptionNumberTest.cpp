#include "settings/CaptionNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace corvane {
namespace {

TEST(CaptionNumberTest, TruncatesTowardZero) {
    EXPECT_EQ(truncatedWholeNumber(8.0), 8);
    EXPECT_EQ(truncatedWholeNumber(8.99), 8);
    EXPECT_EQ(truncatedWholeNumber(-8.99), -8);
    EXPECT_EQ(truncatedWholeNumber(-0.5), 0);
    EXPECT_EQ(wholeNumberCaption(23.7, QStringLiteral(" pt")), QStringLiteral("23 pt"));
    EXPECT_EQ(wholeNumberCaption(-0.5, QStringLiteral(" pt")), QStringLiteral("0 pt"));
}

TEST(CaptionNumberTest, ValuesNoIntegerCanHoldGiveASafeNumberInsteadOfUndefinedBehaviour) {
    using Limits = std::numeric_limits<long long>;
    const double infinity = std::numeric_limits<double>::infinity();

    // Given values a hand-edited preferences file can hold
    EXPECT_EQ(truncatedWholeNumber(std::nan("")), 0);
    EXPECT_EQ(truncatedWholeNumber(infinity), Limits::max());
    EXPECT_EQ(truncatedWholeNumber(-infinity), Limits::min());
    EXPECT_EQ(truncatedWholeNumber(1e300), Limits::max());
    EXPECT_EQ(truncatedWholeNumber(-1e300), Limits::min());

    // The edges of the range: 2^63 is one past the largest integer, -2^63 is the smallest
    EXPECT_EQ(truncatedWholeNumber(9223372036854775808.0), Limits::max());
    EXPECT_EQ(truncatedWholeNumber(-9223372036854775808.0), Limits::min());
    EXPECT_EQ(truncatedWholeNumber(9007199254740993.0), 9007199254740992LL);

    EXPECT_EQ(wholeNumberCaption(std::nan(""), QStringLiteral(" pt")), QStringLiteral("0 pt"));
}

} // namespace
} // namespace corvane
