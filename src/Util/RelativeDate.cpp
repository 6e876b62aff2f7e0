#include "Util/RelativeDate.h"

#include "Util/AppLanguage.h"
#include "Util/Localization.h"

#include <QLocale>

namespace {

constexpr qint64 secondsPerMinute = 60;
constexpr qint64 secondsPerHour = 60 * secondsPerMinute;
// Up to this many calendar days back the text counts days; older dates show the date.
constexpr qint64 maxCountedDays = 6;

QLocale languageLocale()
{
    return QLocale(AppLanguages::rawValue(Localization::shared().resolvedLanguage()));
}

} // namespace

namespace RelativeDate {

QString text(const QDateTime& date, const QDateTime& now)
{
    const qint64 seconds = date.secsTo(now);
    if (seconds < secondsPerMinute)
        return Localization::string(QStringLiteral("Just now"));
    if (seconds < secondsPerHour)
        return Localization::format(QStringLiteral("%lld min ago"), seconds / secondsPerMinute);
    const qint64 days = date.toLocalTime().date().daysTo(now.toLocalTime().date());
    if (days == 0)
        return Localization::format(QStringLiteral("%lld h ago"), seconds / secondsPerHour);
    if (days == 1)
        return Localization::string(QStringLiteral("Yesterday"));
    if (days <= maxCountedDays)
        return Localization::format(QStringLiteral("%lld days ago"), days);
    return languageLocale().toString(date.toLocalTime().date(), QLocale::ShortFormat);
}

} // namespace RelativeDate
