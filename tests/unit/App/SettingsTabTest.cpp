#include "UI/Settings/SettingsTab.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsTab, fivePanesInOrderWithTheirRawValuesAndTitles)
{
    const struct {
        SettingsTab tab;
        const char* raw;
        const char* title;
    } expected[] = {
        {SettingsTab::general, "general", "General"}, {SettingsTab::model, "model", "Model"},
        {SettingsTab::updates, "updates", "Updates"}, {SettingsTab::privacy, "privacy", "Privacy"},
        {SettingsTab::about, "about", "About"},
    };
    ASSERT_EQ(SettingsTabs::allCases().size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(SettingsTabs::allCases().at(i), expected[i].tab) << i;
        EXPECT_EQ(SettingsTabs::rawValue(expected[i].tab), expected[i].raw);
        EXPECT_EQ(SettingsTabs::title(expected[i].tab), expected[i].title);
        EXPECT_EQ(SettingsTabs::fromRawValue(expected[i].raw), expected[i].tab);
    }
}

TEST(SettingsTab, acceptsExactlyTheFiveRawValues)
{
    for (const char* raw :
         {"", "General", "GENERAL", " general", "general ", "models", "update", "0", "about."})
        EXPECT_EQ(SettingsTabs::fromRawValue(raw), std::nullopt) << raw;
}

} // namespace
