#include "core/Colors.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

void expectRGB(const QString& text, double r, double g, double b) {
    const RGB rgb = hexComponents(text);
    EXPECT_DOUBLE_EQ(rgb.r, r) << text.toStdString();
    EXPECT_DOUBLE_EQ(rgb.g, g) << text.toStdString();
    EXPECT_DOUBLE_EQ(rgb.b, b) << text.toStdString();
}

} // namespace

TEST(ColorsTest, HexComponentsReadsSixDigitsWhateverSurroundsThem) {
    for (const char* text : {"#D22027", "D22027", "  #D22027\n", "d22027", "(#D22027);"})
        expectRGB(QString::fromLatin1(text), 210 / 255.0, 32 / 255.0, 39 / 255.0);
}

TEST(ColorsTest, HexComponentsGivesGreyForOtherLengthsAndBlackForNonDigits) {
    expectRGB(QStringLiteral("#FFF"), 0.5, 0.5, 0.5);
    expectRGB(QStringLiteral("0xD22027"), 0.5, 0.5, 0.5); // eight characters once trimmed
    expectRGB(QString(), 0.5, 0.5, 0.5);
    expectRGB(QStringLiteral("#"), 0.5, 0.5, 0.5);
    expectRGB(QStringLiteral("GGGGGG"), 0, 0, 0);
    // Digits are read up to the first non-digit
    expectRGB(QStringLiteral("12GGGG"), 0, 0, 0x12 / 255.0);
    expectRGB(QStringLiteral("# 12 34 56"), 0.5, 0.5, 0.5);
}

TEST(ColorsTest, BrandColorIsTheBrandRedAtFullOpacity) {
    const QColor color = brandColor();
    EXPECT_EQ(color.red(), 210);
    EXPECT_EQ(color.green(), 32);
    EXPECT_EQ(color.blue(), 39);
    EXPECT_EQ(color.alpha(), 255);
}
