#pragma once

#include <QtGlobal>
#include <optional>

// The stored virtual key codes (A = 0, S = 1, …) name keys by their place on the keyboard.
// These functions find the key at the same place on a PC keyboard, so that a shortcut keeps
// its key whatever the layout: first the evdev scan code, then the X key code.
namespace Platform::EvdevKeyMap {

// The evdev scan code of the key, or none for a code without a key here (modifier keys,
// keys that PC keyboards lack).
std::optional<int> scanCode(int virtualKeyCode);
// The X key code of that key: the scan code plus the X server's evdev offset of 8.
std::optional<quint8> x11KeyCode(int virtualKeyCode);
// The X modifier mask of a stored modifier mask: Command is Control, Control is Mod4
// (Super), Option is Mod1 (Alt), Shift is Shift; other bits are ignored.
quint16 x11Modifiers(int modifiers);

} // namespace Platform::EvdevKeyMap
