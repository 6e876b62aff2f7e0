#pragma once

#include <QtGlobal>
#include <optional>

namespace Platform {

// Whether a key event's native scan code names a key: events made up by Qt or another program
// may carry none.
bool isNativeScanCode(quint32 nativeScanCode);
// The stored key code (A = 0, S = 1, …, see the shortcut value) of the key that a key event's
// native scan code names, whatever the keyboard layout; none when the event carries no scan
// code or it names a key that no stored code stands for.
std::optional<int> keyCodeOfNativeScanCode(quint32 nativeScanCode);

} // namespace Platform
