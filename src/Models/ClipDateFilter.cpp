#include "Models/ClipDateFilter.h"

namespace ClipDateFilters {

namespace {
constexpr qint64 secondsPerDay = 86400;
} // namespace

const QList<ClipDateFilter>& allCases()
{
    static const QList<ClipDateFilter> cases{ClipDateFilter::anyTime, ClipDateFilter::today,
                                             ClipDateFilter::last7Days, ClipDateFilter::last30Days};
    return cases;
}

QString rawValue(ClipDateFilter filter)
{
    switch (filter) {
    case ClipDateFilter::anyTime:
        return QStringLiteral("anyTime");
    case ClipDateFilter::today:
        return QStringLiteral("today");
    case ClipDateFilter::last7Days:
        return QStringLiteral("last7Days");
    case ClipDateFilter::last30Days:
        return QStringLiteral("last30Days");
    }
    return {};
}

std::optional<ClipDateFilter> fromRawValue(const QString& raw)
{
    for (ClipDateFilter filter : allCases()) {
        if (rawValue(filter) == raw)
            return filter;
    }
    return std::nullopt;
}

bool includes(ClipDateFilter filter, const QDateTime& created, const QDateTime& now)
{
    switch (filter) {
    case ClipDateFilter::anyTime:
        return true;
    case ClipDateFilter::today:
        return created.toLocalTime().date() == now.toLocalTime().date();
    case ClipDateFilter::last7Days:
        return created >= now.addSecs(-7 * secondsPerDay);
    case ClipDateFilter::last30Days:
        return created >= now.addSecs(-30 * secondsPerDay);
    }
    return true;
}

} // namespace ClipDateFilters
