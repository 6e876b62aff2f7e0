#pragma once

#include <QString>

enum class HistoryRetentionMode { itemCount, timeInterval };

namespace HistoryRetentionModes {
// "itemCount", "timeInterval".
QString rawValue(HistoryRetentionMode mode);
// Any text other than "timeInterval" reads as itemCount.
HistoryRetentionMode fromStored(const QString& raw);
} // namespace HistoryRetentionModes
