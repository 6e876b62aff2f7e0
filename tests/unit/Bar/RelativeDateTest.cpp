#include "Util/RelativeDate.h"
#include "Util/Localization.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

// A fixed local afternoon, so that "today" and "yesterday" are calendar days.
const QDateTime now(QDate(2026, 3, 10), QTime(15, 0), Qt::LocalTime);

struct Case {
    QDateTime date;
    const char* english;
    const char* japanese;
};

class RelativeDateTest : public testing::TestWithParam<Case> {
protected:
    void TearDown() override { Localization::shared().setLanguage(AppLanguage::english); }
};

TEST_P(RelativeDateTest, NamesTheTimeInEachLanguage)
{
    Localization::shared().setLanguage(AppLanguage::english);
    EXPECT_EQ(RelativeDate::text(GetParam().date, now), QString::fromUtf8(GetParam().english));
    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(RelativeDate::text(GetParam().date, now), QString::fromUtf8(GetParam().japanese));
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, RelativeDateTest,
    testing::Values(Case{now, "Just now", "たった今"}, Case{now.addSecs(30), "Just now", "たった今"},
                    Case{now.addSecs(-59), "Just now", "たった今"},
                    Case{now.addSecs(-60), "1 min ago", "1 分前"},
                    Case{now.addSecs(-59 * 60 - 59), "59 min ago", "59 分前"},
                    Case{now.addSecs(-60 * 60), "1 h ago", "1 時間前"},
                    Case{QDateTime(QDate(2026, 3, 10), QTime(0, 0), Qt::LocalTime), "15 h ago", "15 時間前"},
                    Case{QDateTime(QDate(2026, 3, 9), QTime(23, 59), Qt::LocalTime), "Yesterday", "昨日"},
                    Case{QDateTime(QDate(2026, 3, 9), QTime(0, 0), Qt::LocalTime), "Yesterday", "昨日"},
                    Case{QDateTime(QDate(2026, 3, 8), QTime(23, 0), Qt::LocalTime), "2 days ago", "2 日前"},
                    Case{QDateTime(QDate(2026, 3, 4), QTime(1, 0), Qt::LocalTime), "6 days ago", "6 日前"}));

TEST(RelativeDate, OlderDatesShowTheDateInTheLanguageInEffect)
{
    const QDateTime weekAgo(QDate(2026, 3, 3), QTime(12, 0), Qt::LocalTime);
    Localization::shared().setLanguage(AppLanguage::english);
    EXPECT_EQ(RelativeDate::text(weekAgo, now),
              QLocale(QStringLiteral("en")).toString(weekAgo.date(), QLocale::ShortFormat));
    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(RelativeDate::text(weekAgo, now),
              QLocale(QStringLiteral("ja")).toString(weekAgo.date(), QLocale::ShortFormat));
    EXPECT_TRUE(RelativeDate::text(weekAgo, now).contains(QStringLiteral("3")));
    Localization::shared().setLanguage(AppLanguage::english);
}

TEST(RelativeDate, UtcAndLocalTimesOfTheSameMomentReadTheSame)
{
    const QDateTime earlier = now.addSecs(-3 * 60 * 60);
    EXPECT_EQ(RelativeDate::text(earlier.toUTC(), now), RelativeDate::text(earlier, now.toUTC()));
}

} // namespace
