#pragma once

#include "Settings/SettingsTab.h"

#include <functional>

// What windows that no controller of the application built ask of it (the privacy and
// support window, the settings pages made by the settings window). The application installs
// these once at start-up; a request made before that does nothing.
struct AppRequests {
    std::function<void(SettingsTab tab)> showSettings;
    std::function<void()> toggleCloudSync;

    static AppRequests& installed();
};
