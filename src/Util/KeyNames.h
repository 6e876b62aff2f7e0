#pragma once

#include <QString>

// The texts that name a shortcut, as this desktop writes them.
namespace KeyNames {

// The shortcut as the desktop writes it: "Ctrl", "Alt", "Shift", "Super" for Command,
// Option, Shift and Control, in that order, each followed by "+", then the key's name:
// "Ctrl+Shift+V".
QString describe(int keyCode, int modifiers);
// The name of a virtual key code: its capital letter, digit, punctuation, "F1"…"F20", a
// word such as "Return", "Esc" or "Left", or the localised "Space"; "?" for a key outside
// the table.
QString name(int keyCode);
// Whether name() knows the key.
bool isKnown(int keyCode);

} // namespace KeyNames
