#pragma once

#include "Models/ClipItem.h"
#include "Settings/HistoryRetentionMode.h"

#include <QDateTime>
#include <QList>

// Which history clips the retention preferences remove: those past the number kept, or older
// than the days kept and past the ceiling.
namespace HistoryRetention {

// Never fewer clips are kept than this, nor more than the ceiling.
constexpr int minimumLimit = 20;
constexpr int ceiling = 5000;

// Indexes into the history (newest first), ascending.
QList<qsizetype> removals(const QList<ClipItem>& history, HistoryRetentionMode mode, int limit, int days,
                          const QDateTime& now);

} // namespace HistoryRetention
