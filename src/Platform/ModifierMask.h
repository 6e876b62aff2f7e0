#pragma once

// The stored modifier masks that hot keys and synthesized keys are given in. The values are
// the stored ones and never change; on Linux Command is Ctrl, Control is Super, Option is
// Alt and Shift is Shift.
namespace Platform::ModifierMask {

inline constexpr int command = 0x100;
inline constexpr int shift = 0x200;
inline constexpr int option = 0x800;
inline constexpr int control = 0x1000;

} // namespace Platform::ModifierMask
