#include "Store/HistoryRetention.h"

#include <algorithm>
#include <optional>

namespace HistoryRetention {

namespace {
constexpr qint64 secondsPerDay = 86400;
} // namespace

QList<qsizetype> removals(const QList<ClipItem>& history, HistoryRetentionMode mode, int limit, int days,
                          const QDateTime& now)
{
    const bool byCount = mode == HistoryRetentionMode::itemCount;
    const qsizetype keep = byCount ? std::max(limit, minimumLimit) : ceiling;
    const std::optional<QDateTime> cutoff =
        !byCount && days >= 1 ? std::optional(now.addSecs(-qint64(days) * secondsPerDay)) : std::nullopt;
    QList<qsizetype> indexes;
    qsizetype kept = 0;
    for (qsizetype i = 0; i < history.size(); ++i) {
        if ((cutoff && history[i].createdAt < *cutoff) || ++kept > keep)
            indexes.append(i);
    }
    return indexes;
}

} // namespace HistoryRetention
