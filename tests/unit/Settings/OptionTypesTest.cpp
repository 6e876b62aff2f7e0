#include "unit/Settings/LanguageScope.h"

#include "Settings/HistoryRetentionMode.h"
#include "Settings/HistoryRetentionPreset.h"
#include "Settings/ShortcutModifier.h"
#include "Util/ClipColorTheme.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using P = HistoryRetentionPreset;

struct PresetRow {
    P preset;
    int raw;
    int days;
    QString title;
    QString shortTitle;
    QString japaneseTitle;
};

TEST(HistoryRetentionPresetTest, CasesDaysAndTitles)
{
    const PresetRow rows[] = {
        {P::day, 0, 1, "1 Day", "1d", "1日"},
        {P::week, 1, 7, "1 Week", "1w", "1週間"},
        {P::twoWeeks, 2, 14, "2 Weeks", "2w", "2週間"},
        {P::threeWeeks, 3, 21, "3 Weeks", "3w", "3週間"},
        {P::month, 4, 30, "1 Month", "1m", "1か月"},
        {P::twoMonths, 5, 60, "2 Months", "2m", "2か月"},
        {P::threeMonths, 6, 90, "3 Months", "3m", "3か月"},
        {P::sixMonths, 7, 180, "6 Months", "6m", "6か月"},
        {P::year, 8, 365, "1 Year", "1y", "1年"},
        {P::keepForever, 9, 0, "Forever", QString::fromUtf8("∞"), "無期限"},
    };
    const QList<P>& cases = HistoryRetentionPresets::allCases();
    ASSERT_EQ(cases.size(), 10);
    for (int i = 0; i < 10; ++i) {
        const PresetRow& row = rows[i];
        EXPECT_EQ(cases[i], row.preset) << i;
        EXPECT_EQ(HistoryRetentionPresets::rawValue(row.preset), row.raw);
        EXPECT_EQ(HistoryRetentionPresets::days(row.preset), row.days);
        {
            LanguageScope english(AppLanguage::english);
            EXPECT_EQ(HistoryRetentionPresets::title(row.preset), row.title);
            EXPECT_EQ(HistoryRetentionPresets::shortTitle(row.preset), row.shortTitle);
        }
        LanguageScope japanese(AppLanguage::japanese);
        EXPECT_EQ(HistoryRetentionPresets::title(row.preset), row.japaneseTitle);
    }
}

TEST(HistoryRetentionPresetTest, NearestDaysPrefersTheEarlierCaseOnATie)
{
    const std::pair<int, P> cases[] = {
        {0, P::keepForever},
        {-5, P::keepForever}, // 0 is nearer than 1
        {std::numeric_limits<int>::min(), P::keepForever},
        {1, P::day},
        {4, P::day}, // tie between 1 and 7
        {5, P::week},
        {10, P::week},
        {11, P::twoWeeks},
        {17, P::twoWeeks},
        {18, P::threeWeeks},
        {25, P::threeWeeks},
        {26, P::month},
        {45, P::month}, // tie between 30 and 60
        {46, P::twoMonths},
        {75, P::twoMonths},    // tie between 60 and 90
        {135, P::threeMonths}, // tie between 90 and 180
        {136, P::sixMonths},
        {272, P::sixMonths},
        {273, P::year},
        {365, P::year},
        {std::numeric_limits<int>::max(), P::year},
    };
    for (const auto& [days, expected] : cases)
        EXPECT_EQ(HistoryRetentionPresets::nearestDays(days), expected) << days;
}

TEST(HistoryRetentionPresetTest, EveryPresetIsNearestToItsOwnDays)
{
    for (P preset : HistoryRetentionPresets::allCases())
        EXPECT_EQ(HistoryRetentionPresets::nearestDays(HistoryRetentionPresets::days(preset)), preset);
}

TEST(HistoryRetentionPresetTest, SliderIndexRoundsHalfAwayFromZeroAndClamps)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, P> cases[] = {
        {0.0, P::day},         {0.49, P::day},        {0.5, P::week},
        {1.5, P::twoWeeks},    {2.5, P::threeWeeks},  {3.4999, P::threeWeeks},
        {7.5, P::year},        {8.49, P::year},       {8.5, P::keepForever},
        {9.0, P::keepForever}, {9.6, P::keepForever}, {100.0, P::keepForever},
        {inf, P::keepForever}, {-0.49, P::day},       {-0.5, P::day},
        {-7.0, P::day},        {-inf, P::day},        {std::numeric_limits<double>::quiet_NaN(), P::day},
    };
    for (const auto& [index, expected] : cases)
        EXPECT_EQ(HistoryRetentionPresets::fromSliderIndex(index), expected) << index;
}

TEST(ShortcutModifierTest, CasesMasksAndTitles)
{
    // Titles name the key caps a Linux user presses, in every language.
    struct Row {
        ShortcutModifier modifier;
        int mask;
        QString title;
    };
    const Row rows[] = {
        {ShortcutModifier::command, 256, "Ctrl"},
        {ShortcutModifier::option, 2048, "Alt"},
        {ShortcutModifier::control, 4096, "Super"},
        {ShortcutModifier::shift, 512, "Shift"},
    };
    const QList<ShortcutModifier>& cases = ShortcutModifiers::allCases();
    ASSERT_EQ(cases.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cases[i], rows[i].modifier);
        EXPECT_EQ(ShortcutModifiers::carbonValue(rows[i].modifier), rows[i].mask);
        for (const AppLanguage language : {AppLanguage::english, AppLanguage::chinese,
                                           AppLanguage::traditionalChinese, AppLanguage::japanese}) {
            LanguageScope scope(language);
            EXPECT_EQ(ShortcutModifiers::title(rows[i].modifier), rows[i].title)
                << AppLanguages::rawValue(language).toStdString();
        }
    }
}

TEST(ClipColorThemeTest, RawValuesAndStoredNumbers)
{
    EXPECT_EQ(ClipColorThemes::allCases(),
              QList<ClipColorTheme>(
                  {ClipColorTheme::defaultTheme, ClipColorTheme::vibrant, ClipColorTheme::accentShades}));
    EXPECT_EQ(ClipColorThemes::rawValue(ClipColorTheme::defaultTheme), 0);
    EXPECT_EQ(ClipColorThemes::rawValue(ClipColorTheme::vibrant), 1);
    EXPECT_EQ(ClipColorThemes::rawValue(ClipColorTheme::accentShades), 2);
    const std::pair<qint64, ClipColorTheme> stored[] = {
        {0, ClipColorTheme::defaultTheme},  {1, ClipColorTheme::vibrant},
        {2, ClipColorTheme::accentShades},  {3, ClipColorTheme::defaultTheme},
        {-1, ClipColorTheme::defaultTheme}, {(qint64(1) << 32) + 1, ClipColorTheme::defaultTheme},
    };
    for (const auto& [raw, theme] : stored)
        EXPECT_EQ(ClipColorThemes::fromStored(raw), theme) << raw;
}

TEST(HistoryRetentionModeTest, RawValuesAndStoredTexts)
{
    EXPECT_EQ(HistoryRetentionModes::rawValue(HistoryRetentionMode::itemCount), "itemCount");
    EXPECT_EQ(HistoryRetentionModes::rawValue(HistoryRetentionMode::timeInterval), "timeInterval");
    const std::pair<QString, HistoryRetentionMode> stored[] = {
        {"timeInterval", HistoryRetentionMode::timeInterval},
        {"itemCount", HistoryRetentionMode::itemCount},
        {"", HistoryRetentionMode::itemCount},
        {"TimeInterval", HistoryRetentionMode::itemCount},
        {"timeInterval ", HistoryRetentionMode::itemCount},
    };
    for (const auto& [raw, mode] : stored)
        EXPECT_EQ(HistoryRetentionModes::fromStored(raw), mode) << raw.toStdString();
}

} // namespace
