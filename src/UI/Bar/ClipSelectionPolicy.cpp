#include "UI/Bar/ClipSelectionPolicy.h"

namespace {
constexpr int firstQuickPasteNumber = 1;
constexpr int lastQuickPasteNumber = 9;
} // namespace

namespace ClipSelectionPolicy {

std::optional<qsizetype> selectedIndex(const QList<ClipItem>& shown, const QList<QUuid>& selection)
{
    if (shown.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (selection.contains(shown[i].id))
            return i;
    }
    return 0;
}

std::optional<qsizetype> moved(std::optional<qsizetype> current, int step, qsizetype count)
{
    if (count <= 0)
        return std::nullopt;
    const qsizetype from = current.value_or(0);
    return qBound<qsizetype>(0, from + step, count - 1);
}

std::optional<qsizetype> quickPasteIndex(int number, qsizetype firstInView, qsizetype count)
{
    if (number < firstQuickPasteNumber || number > lastQuickPasteNumber || firstInView < 0)
        return std::nullopt;
    const qsizetype index = firstInView + number - firstQuickPasteNumber;
    if (index >= count)
        return std::nullopt;
    return index;
}

} // namespace ClipSelectionPolicy
