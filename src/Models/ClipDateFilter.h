#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// The bar's date filter, stored by its raw value.
enum class ClipDateFilter { anyTime, today, last7Days, last30Days };

namespace ClipDateFilters {
const QList<ClipDateFilter>& allCases();
// "anyTime", "today", "last7Days", "last30Days".
QString rawValue(ClipDateFilter filter);
std::optional<ClipDateFilter> fromRawValue(const QString& raw);
// Whether a clip created at `created` passes the filter at `now`: "today" is the local
// calendar day of `now`; the others count whole days of 86,400 s back from `now`.
bool includes(ClipDateFilter filter, const QDateTime& created, const QDateTime& now);
} // namespace ClipDateFilters
