#include "UI/Settings/SettingsDetailToggle.h"

#include "UI/Settings/SettingsSwitch.h"

SettingsDetailToggle::SettingsDetailToggle(const QString& title, QWidget* parent)
    : SettingsDetailRow(title, new SettingsSwitch, parent)
{
    auto* toggle = settingsSwitch();
    toggle->setText(title);
    toggle->setAccessibleName(title);
    // `clicked` comes only from the user (mouse, keyboard, click()); setChecked never sends it.
    connect(toggle, &QAbstractButton::clicked, this, &SettingsDetailToggle::toggled);
}

bool SettingsDetailToggle::isOn() const
{
    return settingsSwitch()->isChecked();
}

void SettingsDetailToggle::setOn(bool on)
{
    settingsSwitch()->setChecked(on);
}

SettingsSwitch* SettingsDetailToggle::settingsSwitch() const
{
    return static_cast<SettingsSwitch*>(content());
}
