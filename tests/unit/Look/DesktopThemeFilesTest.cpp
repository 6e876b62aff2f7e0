#include "Platform/linux/DesktopThemeFiles.h"

#include <gtest/gtest.h>

namespace {

using namespace Platform::DesktopThemeFiles;

struct Case {
    const char* text;
    std::optional<bool> dark;
};

TEST(DesktopThemeFilesTest, PortalColorScheme)
{
    EXPECT_EQ(colorSchemePrefersDark(0), std::nullopt);
    EXPECT_EQ(colorSchemePrefersDark(1), true);
    EXPECT_EQ(colorSchemePrefersDark(2), false);
    EXPECT_EQ(colorSchemePrefersDark(3), std::nullopt);
}

TEST(DesktopThemeFilesTest, GtkThemeVariable)
{
    for (const Case& c : {Case{"", std::nullopt}, Case{"  ", std::nullopt}, Case{"Adwaita", false},
                          Case{"Adwaita:dark", true}, Case{"Adwaita-dark", true}, Case{"Yaru-Dark", true},
                          Case{"Darkish", false}, Case{"Adwaita:light", false}}) {
        EXPECT_EQ(gtkThemePrefersDark(QString::fromUtf8(c.text)), c.dark) << c.text;
    }
}

TEST(DesktopThemeFilesTest, GtkSettingsFile)
{
    for (const Case& c : {
             Case{"", std::nullopt},
             Case{"not an ini file at all", std::nullopt},
             Case{"[Settings]\ngtk-application-prefer-dark-theme=1\n", true},
             Case{"[Settings]\ngtk-application-prefer-dark-theme = true\ngtk-theme-name=Adwaita\n", true},
             Case{"[Settings]\ngtk-application-prefer-dark-theme=0\n", false},
             Case{"[Settings]\ngtk-application-prefer-dark-theme=0\ngtk-theme-name=Arc-Dark\n", true},
             Case{"[Settings]\ngtk-theme-name=Adwaita\n", false},
             Case{"[Settings]\r\ngtk-theme-name=Breeze-dark\r\n", true},
             Case{"# gtk-application-prefer-dark-theme=1\n[Settings]\n", std::nullopt},
             Case{"[Other]\ngtk-application-prefer-dark-theme=1\n", std::nullopt},
             Case{"[Settings]\ngtk-application-prefer-dark-theme=maybe\n", std::nullopt},
         }) {
        EXPECT_EQ(gtkSettingsPrefersDark(QString::fromUtf8(c.text)), c.dark) << c.text;
    }
}

TEST(DesktopThemeFilesTest, KdeGlobals)
{
    for (const Case& c : {
             Case{"", std::nullopt},
             Case{"[General]\nColorScheme=BreezeDark\n", true},
             Case{"[General]\nColorScheme=BreezeLight\n", false},
             Case{"[Colors:Window]\nBackgroundNormal=32,35,38\n", true},
             Case{"[Colors:Window]\nBackgroundNormal=239,240,241\n", false},
             // The actual colours win over a misleading scheme name.
             Case{"[General]\nColorScheme=MyDarkScheme\n[Colors:Window]\nBackgroundNormal=250,250,250\n",
                  false},
             Case{"[General]\nColorScheme=Custom\n[Colors:Window]\nBackgroundNormal=300,1,1\n", false},
             Case{"[Colors:Window]\nBackgroundNormal=12,12\n", std::nullopt},
             Case{"[Colors:View]\nBackgroundNormal=0,0,0\n", std::nullopt},
         }) {
        EXPECT_EQ(kdeGlobalsPrefersDark(QString::fromUtf8(c.text)), c.dark) << c.text;
    }
}

} // namespace
