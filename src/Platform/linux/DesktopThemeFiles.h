#pragma once

#include <QString>
#include <optional>

// What the desktop's own settings say about a dark look. Each answer is none when the
// source says nothing either way.
namespace Platform::DesktopThemeFiles {

// The portal's "color-scheme": 1 prefers dark, 2 prefers light, anything else says nothing.
std::optional<bool> colorSchemePrefersDark(quint32 colorScheme);
// The GTK_THEME variable: "Name:dark" or a name ending in "-dark" is dark.
std::optional<bool> gtkThemePrefersDark(const QString& gtkTheme);
// A GTK settings.ini: "gtk-application-prefer-dark-theme", then "gtk-theme-name".
std::optional<bool> gtkSettingsPrefersDark(const QString& iniText);
// KDE's kdeglobals: the window background colour, then the colour scheme's name.
std::optional<bool> kdeGlobalsPrefersDark(const QString& iniText);

} // namespace Platform::DesktopThemeFiles
