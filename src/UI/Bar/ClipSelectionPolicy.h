#pragma once

#include "Models/ClipItem.h"

#include <QList>
#include <QUuid>
#include <optional>

// Which card of the strip is selected: the first card in the store's selection, else the
// first card; moving stops at both ends.
namespace ClipSelectionPolicy {

// The index of the selected card among the shown clips; none when no clip is shown.
std::optional<qsizetype> selectedIndex(const QList<ClipItem>& shown, const QList<QUuid>& selection);
// The index one step (negative: to the left) from `current`, kept within the clips.
std::optional<qsizetype> moved(std::optional<qsizetype> current, int step, qsizetype count);
// The card that quick-paste number `number` (1…9) names: counted from the first card in view.
std::optional<qsizetype> quickPasteIndex(int number, qsizetype firstInView, qsizetype count);

} // namespace ClipSelectionPolicy
