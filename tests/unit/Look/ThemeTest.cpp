#include "UI/Theme.h"
#include "UI/Appearance.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyle>
#include <gtest/gtest.h>

namespace {

struct Named {
    const char* name;
    AdaptiveColor color;
    quint32 light;
    quint32 dark;
};

// The values the views are designed around; the rest are ours and only need to be sane.
TEST(ThemeTest, GivenColoursHaveTheirLightAndDarkValues)
{
    for (const Named& c : {Named{"window", Theme::window(), 0xFFFFFF, 0x1C1F26},
                           Named{"sidebar", Theme::sidebar(), 0xF5F6F8, 0x191C22},
                           Named{"chat", Theme::chat(), 0xFAFBFC, 0x1B1E24},
                           Named{"cardBody", Theme::cardBody(), 0xFFFFFF, 0x252A33},
                           Named{"selection", Theme::selection(), 0x315BD6, 0xA5BAFF},
                           Named{"chromeTextPrimary", Theme::chromeTextPrimary(), 0x20232B, 0xEEF0F5},
                           Named{"chromeTextTertiary", Theme::chromeTextTertiary(), 0x626A78, 0xA0A9BA}}) {
        EXPECT_EQ(c.color.resolved(false), QColor(QRgb(0xFF000000 | c.light))) << c.name;
        EXPECT_EQ(c.color.resolved(true), QColor(QRgb(0xFF000000 | c.dark))) << c.name;
    }
}

TEST(ThemeTest, SecondaryTextSitsBetweenPrimaryAndTertiary)
{
    for (bool dark : {false, true}) {
        const int primary = Theme::chromeTextPrimary().resolved(dark).lightness();
        const int secondary = Theme::chromeTextSecondary().resolved(dark).lightness();
        const int tertiary = Theme::chromeTextTertiary().resolved(dark).lightness();
        EXPECT_LT(std::min(primary, tertiary), secondary) << dark;
        EXPECT_GT(std::max(primary, tertiary), secondary) << dark;
    }
}

// Warnings are text: they read (4.5:1) on every background they sit on, the bar's included.
TEST(ThemeTest, WarningIsAWarmOrangeThatReadsOnEveryBackground)
{
    constexpr double readableContrast = 4.5;
    for (bool dark : {false, true}) {
        const QColor warning = Theme::warning().resolved(dark);
        EXPECT_GE(warning.hslHue(), 15) << dark;
        EXPECT_LE(warning.hslHue(), 40) << dark;
        EXPECT_GT(warning.hslSaturation(), 150) << dark;
        for (const AdaptiveColor& background :
             {Theme::window(), Theme::sidebar(), Theme::chat(), Theme::cardBody(), Theme::barBackground()})
            EXPECT_GE(Theme::contrastRatio(warning, background.resolved(dark)), readableContrast)
                << dark << " on " << background.resolved(dark).name().toStdString();
    }
}

TEST(ThemeTest, AdaptiveNsKeepsTwentyFourBitsAndIsOpaque)
{
    const AdaptiveColor color = Theme::adaptiveNS(0x12345678, 0xAB000001);
    EXPECT_EQ(color.resolved(false), QColor(0x34, 0x56, 0x78));
    EXPECT_EQ(color.resolved(true), QColor(0x00, 0x00, 0x01));
    EXPECT_EQ(color.resolved(true).alpha(), 255);
}

TEST(ThemeTest, ColourResolvesByTheAppearanceInEffect)
{
    Appearance& appearance = Appearance::shared();
    const AdaptiveColor chat = Theme::chat();
    appearance.applyForThisRun(AppearanceMode::dark);
    EXPECT_EQ(QColor(chat), QColor(0x1B, 0x1E, 0x24));
    appearance.applyForThisRun(AppearanceMode::light);
    EXPECT_EQ(QColor(chat), QColor(0xFA, 0xFB, 0xFC));
}

TEST(ThemeTest, ApplyingSetsAFusionPaletteFromTheTheme)
{
    Appearance& appearance = Appearance::shared();
    appearance.applyForThisRun(AppearanceMode::dark);
    const auto* style = qobject_cast<const QProxyStyle*>(QApplication::style());
    ASSERT_TRUE(style);
    EXPECT_EQ(style->baseStyle()->name().toLower(), QStringLiteral("fusion"));
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), Theme::window().resolved(true));
    EXPECT_EQ(QApplication::palette().color(QPalette::Text), Theme::chromeTextPrimary().resolved(true));
    EXPECT_EQ(QApplication::palette().color(QPalette::Highlight), Theme::selection().resolved(true));
    appearance.applyForThisRun(AppearanceMode::light);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), Theme::window().resolved(false));
    EXPECT_EQ(QApplication::palette().color(QPalette::Base), Theme::cardBody().resolved(false));
}

TEST(ThemeTest, HighlightedTextContrastsWithTheAccent)
{
    for (bool dark : {false, true}) {
        const QPalette palette = Appearance::palette(dark);
        const int accent = palette.color(QPalette::Highlight).lightness();
        const int text = palette.color(QPalette::HighlightedText).lightness();
        EXPECT_GT(std::abs(accent - text), 100) << dark;
    }
}

} // namespace
