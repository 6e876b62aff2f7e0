#pragma once

#include "UI/AppRequests.h"
#include "UI/Settings/SettingsTab.h"

class ClipboardStore;
class QWidget;
class Settings;

// What the settings pages work on, handed down by the settings window's presenter.
struct SettingsPageServices {
    Settings& settings;
    ClipboardStore& store;
    AppRequests requests;
};

// The page shown for a pane of the settings window, without a parent.
QWidget* makeSettingsPage(SettingsTab tab, const SettingsPageServices& services);
