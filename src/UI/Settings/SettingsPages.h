#pragma once

#include "Settings/SettingsTab.h"

class QWidget;

// The page shown for a pane of the settings window, without a parent.
QWidget* makeSettingsPage(SettingsTab tab);
