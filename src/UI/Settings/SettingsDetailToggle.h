#pragma once

#include "UI/Settings/SettingsDetailRow.h"

class SettingsSwitch;

// A row with a switch at its right edge. The switch carries the title as its accessible name
// only; it keeps its natural size.
class SettingsDetailToggle : public SettingsDetailRow {
    Q_OBJECT
public:
    explicit SettingsDetailToggle(const QString& title, QWidget* parent = nullptr);

    bool isOn() const;
    // Programmatic: emits nothing.
    void setOn(bool on);
    SettingsSwitch* settingsSwitch() const;

signals:
    // Only when the user flips the switch.
    void toggled(bool on);
};
