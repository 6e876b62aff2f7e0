#include "UI/VelloraTypography.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

TEST(VelloraTypographyTest, StylesHaveTheirPixelSizesAndWeights)
{
    struct Case {
        QFont font;
        int pixelSize;
        QFont::Weight weight;
    };
    const QString family = QGuiApplication::font().family();
    for (const Case& c : {Case{VelloraTypography::title(), 14, QFont::Medium},
                          Case{VelloraTypography::body(), 13, QFont::Normal},
                          Case{VelloraTypography::control(), 12, QFont::Medium},
                          Case{VelloraTypography::source(), 12, QFont::Normal},
                          Case{VelloraTypography::caption(), 11, QFont::Normal}}) {
        EXPECT_EQ(c.font.pixelSize(), c.pixelSize);
        EXPECT_EQ(c.font.weight(), c.weight);
        EXPECT_EQ(c.font.family(), family);
    }
}

TEST(VelloraTypographyTest, CodeIsMonospaced)
{
    const QFont code = VelloraTypography::code();
    EXPECT_EQ(code.pixelSize(), 11);
    EXPECT_EQ(code.styleHint(), QFont::Monospace);
    // Some monospaced fonts do not flag themselves as such; their glyphs tell.
    const QFontMetrics metrics(code);
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
}

TEST(VelloraTypographyTest, IsCodeLooksForItsThreeMarkersCaseSensitively)
{
    struct Case {
        const char* text;
        bool code;
    };
    for (const Case& c : {Case{"func main() {}", true}, Case{"@MainActor final class A", true},
                          Case{"build error: missing", true}, Case{"xfunc y", true}, Case{"error:", true},
                          Case{"func", false}, Case{"function call", false}, Case{"Func Main", false},
                          Case{"@mainactor", false}, Case{"ERROR: loud", false},
                          Case{"error : spaced", false}, Case{"", false}, Case{"plain words", false}}) {
        EXPECT_EQ(VelloraTypography::isCode(QString::fromUtf8(c.text)), c.code) << c.text;
    }
}

} // namespace
