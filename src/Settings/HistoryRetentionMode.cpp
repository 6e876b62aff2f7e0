#include "Settings/HistoryRetentionMode.h"

namespace HistoryRetentionModes {

namespace {
const QString itemCountRaw = QStringLiteral("itemCount");
const QString timeIntervalRaw = QStringLiteral("timeInterval");
} // namespace

QString rawValue(HistoryRetentionMode mode)
{
    return mode == HistoryRetentionMode::timeInterval ? timeIntervalRaw : itemCountRaw;
}

HistoryRetentionMode fromStored(const QString& raw)
{
    return raw == timeIntervalRaw ? HistoryRetentionMode::timeInterval : HistoryRetentionMode::itemCount;
}

} // namespace HistoryRetentionModes
