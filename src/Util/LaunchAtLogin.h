#pragma once

// Starting the application at login; the application makes changes of the launchAtLogin
// preference reach it.
namespace LaunchAtLogin {

// Registers the application as a login item (unless it already is) or removes it (only when
// it is registered). A failure writes one line to the system log and is otherwise ignored:
// the preference keeps its new value.
void set(bool enabled);

} // namespace LaunchAtLogin
