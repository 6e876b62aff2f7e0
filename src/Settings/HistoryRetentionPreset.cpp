#include "Settings/HistoryRetentionPreset.h"

#include "Util/Localization.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace HistoryRetentionPresets {

namespace {

struct PresetInfo {
    int days;
    const char* title;
    const char* shortTitle;
};

// Indexed by raw value.
constexpr PresetInfo presetInfo[] = {
    {1, "1 Day", "1d"},    {7, "1 Week", "1w"},    {14, "2 Weeks", "2w"},  {21, "3 Weeks", "3w"},
    {30, "1 Month", "1m"}, {60, "2 Months", "2m"}, {90, "3 Months", "3m"}, {180, "6 Months", "6m"},
    {365, "1 Year", "1y"}, {0, "Forever", "∞"},
};
constexpr int lastIndex = static_cast<int>(std::size(presetInfo)) - 1;

const PresetInfo& info(HistoryRetentionPreset preset)
{
    return presetInfo[rawValue(preset)];
}

} // namespace

const QList<HistoryRetentionPreset>& allCases()
{
    static const QList<HistoryRetentionPreset> cases = [] {
        QList<HistoryRetentionPreset> list;
        for (int raw = 0; raw <= lastIndex; ++raw)
            list.append(static_cast<HistoryRetentionPreset>(raw));
        return list;
    }();
    return cases;
}

int rawValue(HistoryRetentionPreset preset)
{
    return static_cast<int>(preset);
}

int days(HistoryRetentionPreset preset)
{
    return info(preset).days;
}

QString title(HistoryRetentionPreset preset)
{
    return Localization::string(QString::fromUtf8(info(preset).title));
}

QString shortTitle(HistoryRetentionPreset preset)
{
    return Localization::string(QString::fromUtf8(info(preset).shortTitle));
}

HistoryRetentionPreset nearestDays(int days)
{
    HistoryRetentionPreset best = HistoryRetentionPreset::day;
    qint64 bestDistance = -1;
    for (HistoryRetentionPreset preset : allCases()) {
        const qint64 distance = std::llabs(qint64(days) - HistoryRetentionPresets::days(preset));
        if (bestDistance < 0 || distance < bestDistance) {
            best = preset;
            bestDistance = distance;
        }
    }
    return best;
}

HistoryRetentionPreset fromSliderIndex(double index)
{
    // A slider never reports NaN; should one arrive, it reads as the first case.
    if (std::isnan(index))
        return HistoryRetentionPreset::day;
    const double clamped = std::clamp(std::round(index), 0.0, double(lastIndex));
    return static_cast<HistoryRetentionPreset>(static_cast<int>(clamped));
}

} // namespace HistoryRetentionPresets
