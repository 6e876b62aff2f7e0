#include "Util/ColorHex.h"

#include <QColor>
#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* text;
    std::optional<QRgb> argb; // none: the text gives no colour
};

class ColorFromHexTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ColorFromHexTest, ParsesOnlySixOrEightDigits)
{
    const ParseCase& c = GetParam();
    const std::optional<QColor> color = colorFromHex(QString::fromUtf8(c.text));
    ASSERT_EQ(color.has_value(), c.argb.has_value()) << c.text;
    if (c.argb) {
        EXPECT_EQ(color->rgba(), *c.argb) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColorFromHexTest,
    ::testing::Values(ParseCase{"#FF5A9F", 0xFFFF5A9F}, ParseCase{"FF5A9F", 0xFFFF5A9F},
                      ParseCase{"ff5a9f", 0xFFFF5A9F}, ParseCase{"  #ff5a9f\n", 0xFFFF5A9F},
                      ParseCase{"\t00000000 ", 0x00000000}, ParseCase{"#11223380", 0x80112233},
                      ParseCase{"#FFFFFF", 0xFFFFFFFF}, ParseCase{"", std::nullopt},
                      ParseCase{"#", std::nullopt}, ParseCase{"##FF5A9F", std::nullopt},
                      ParseCase{"#FFF", std::nullopt}, ParseCase{"#FF5A9", std::nullopt},
                      ParseCase{"#FF5A9F0", std::nullopt}, ParseCase{"#FF5A9F000", std::nullopt},
                      ParseCase{"#GG5A9F", std::nullopt}, ParseCase{"#FF 5A9F", std::nullopt},
                      ParseCase{"# FF5A9F", std::nullopt}, ParseCase{"0xFF5A9F", std::nullopt},
                      ParseCase{"+F5A9F", std::nullopt}, ParseCase{"#FF5A9F#", std::nullopt},
                      ParseCase{"#ＦＦ5A9F", std::nullopt}));

TEST(HexStringTest, WritesUpperCaseRgbWithoutAlpha)
{
    EXPECT_EQ(hexString(QColor(0xFF, 0x5A, 0x9F)), QStringLiteral("#FF5A9F"));
    EXPECT_EQ(hexString(QColor(0x0A, 0x0B, 0x0C, 0x10)), QStringLiteral("#0A0B0C"));
    EXPECT_EQ(hexString(QColor(Qt::black)), QStringLiteral("#000000"));
    EXPECT_EQ(hexString(QColor(Qt::white)), QStringLiteral("#FFFFFF"));
}

TEST(HexStringTest, RoundsEachComponentToTheNearest)
{
    struct Case {
        float component;
        const char* digits;
    };
    // 0.5 x 255 = 127.5 rounds up to 128; 0.498 x 255 = 126.99 to 127; 0.001 x 255 to 0.
    for (const Case& c : {Case{0.5f, "80"}, Case{0.498f, "7F"}, Case{0.001f, "00"}, Case{0.999f, "FF"},
                          Case{0.0039f, "01"}}) {
        const QColor color = QColor::fromRgbF(c.component, 0.0f, 1.0f);
        EXPECT_EQ(hexString(color), QLatin1Char('#') + QLatin1String(c.digits) + QLatin1String("00FF"))
            << c.component;
    }
}

TEST(HexStringTest, ConvertsOtherSpecsAndKeepsExtendedComponentsInRange)
{
    EXPECT_EQ(hexString(QColor::fromHsv(0, 255, 255)), QStringLiteral("#FF0000"));
    EXPECT_EQ(hexString(QColor::fromCmyk(0, 0, 0, 255)), QStringLiteral("#000000"));
    const QColor extended = QColor::fromRgbF(1.4f, -0.2f, 0.5f).toExtendedRgb();
    EXPECT_EQ(hexString(extended).size(), 7);
    EXPECT_TRUE(colorFromHex(hexString(extended)).has_value());
}

TEST(HexStringTest, RoundTripsThroughTheParser)
{
    for (const char* text : {"#000000", "#FFFFFF", "#315BD6", "#A5BAFF", "#FF2D55"}) {
        const auto color = colorFromHex(QString::fromLatin1(text));
        ASSERT_TRUE(color);
        EXPECT_EQ(hexString(*color), QString::fromLatin1(text));
    }
}

} // namespace
