#pragma once

#include <QList>
#include <QString>

// A modifier the user can pick for the bar's quick-paste and plain-text keys.
enum class ShortcutModifier { command, option, control, shift };

namespace ShortcutModifiers {
const QList<ShortcutModifier>& allCases();
// The stored modifier mask: 256, 2048, 4096, 512.
int carbonValue(ShortcutModifier modifier);
// The key a Linux user presses: "Ctrl", "Alt", "Super", "Shift" (the looked-up "Command",
// "Option", "Control", "Shift").
QString title(ShortcutModifier modifier);
} // namespace ShortcutModifiers
