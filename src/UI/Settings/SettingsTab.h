#pragma once

#include <QList>
#include <QString>
#include <optional>

// The panes of the settings window, stored by their raw values.
enum class SettingsTab { general, model, updates, privacy, about };

namespace SettingsTabs {
// All panes in order: general, model, updates, privacy, about.
const QList<SettingsTab>& allCases();
// "general", "model", "updates", "privacy", "about".
QString rawValue(SettingsTab tab);
// Exactly the five raw values; none for anything else.
std::optional<SettingsTab> fromRawValue(const QString& raw);
// The pane's English label ("General"…), the key of its localised title.
QString title(SettingsTab tab);
} // namespace SettingsTabs
