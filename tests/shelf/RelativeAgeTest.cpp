#include "shelf/RelativeAge.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(RelativeAge, EachUnitTakesOverAtItsFirstWholeCount) {
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1773144000, Qt::UTC);
    const auto label = [&](qint64 age) { return relativeAgeLabel(now.addSecs(-age), now); };
    EXPECT_EQ(label(59), QStringLiteral("now"));
    EXPECT_EQ(label(60), QStringLiteral("1m"));
    EXPECT_EQ(label(3599), QStringLiteral("59m"));
    EXPECT_EQ(label(3600), QStringLiteral("1h"));
    EXPECT_EQ(label(86399), QStringLiteral("23h"));
    EXPECT_EQ(label(86400), QStringLiteral("1d"));
    EXPECT_EQ(label(604799), QStringLiteral("6d"));
    EXPECT_FALSE(label(604800).endsWith(QLatin1Char('d')));
}
