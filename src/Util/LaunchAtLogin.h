#pragma once

class Settings;

// Starting the application at login, following the launchAtLogin preference.
namespace LaunchAtLogin {

// Registers the application as a login item (unless it already is) or removes it (only when
// it is registered). A failure writes one line to the system log and is otherwise ignored:
// the preference keeps its new value.
void set(bool enabled);

// Makes changes of the preference reach the login item.
void connectSettings(Settings& settings);

} // namespace LaunchAtLogin
