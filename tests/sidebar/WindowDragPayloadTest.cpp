#include "sidebar/WindowDragPayload.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(WindowDragPayloadTest, ReadsOnlyUnsignedThirtyTwoBitDecimals) {
    using WindowDragPayload::parse;
    EXPECT_EQ(parse(QStringLiteral("12")), 12u);
    EXPECT_EQ(parse(QStringLiteral("+12")), 12u);
    EXPECT_EQ(parse(QStringLiteral("007")), 7u);
    EXPECT_EQ(parse(QStringLiteral("-0")), 0u);
    EXPECT_EQ(parse(QStringLiteral("4294967295")), 4294967295u);

    for (const char* text :
         {"", "+", "-1", "4294967296", "99999999999999999999", "abc", " 12", "12 ", "1e3", "0x10"})
        EXPECT_EQ(parse(QString::fromLatin1(text)), std::nullopt) << text;
}

TEST(WindowDragPayloadTest, ADropsLinesAreItsTextsAndNonNumbersAreSkipped) {
    QMimeData data;
    data.setText(QStringLiteral("12\r\nabc\n13"));

    const std::vector<uint32_t> ids = WindowDragPayload::windowIDs(WindowDragPayload::texts(data));

    EXPECT_EQ(ids, (std::vector<uint32_t>{12, 13}));
    EXPECT_EQ(WindowDragPayload::mimeData(4000000000u)->text(), QStringLiteral("4000000000"));
}

} // namespace
} // namespace corvane
