#pragma once

#include <QList>
#include <QString>

// The retention periods offered by the history section, raw values 0 to 9.
enum class HistoryRetentionPreset {
    day,
    week,
    twoWeeks,
    threeWeeks,
    month,
    twoMonths,
    threeMonths,
    sixMonths,
    year,
    keepForever, // "forever": the name is a Qt macro
};

namespace HistoryRetentionPresets {
const QList<HistoryRetentionPreset>& allCases();
int rawValue(HistoryRetentionPreset preset);
// 1, 7, 14, 21, 30, 60, 90, 180, 365, 0 (forever).
int days(HistoryRetentionPreset preset);
// "1 Day" … "Forever", localised.
QString title(HistoryRetentionPreset preset);
// "1d" … "∞", localised.
QString shortTitle(HistoryRetentionPreset preset);
// The case whose days differ least; on a tie the earlier case wins.
HistoryRetentionPreset nearestDays(int days);
// Rounded half away from zero and clamped to 0...9.
HistoryRetentionPreset fromSliderIndex(double index);
} // namespace HistoryRetentionPresets
