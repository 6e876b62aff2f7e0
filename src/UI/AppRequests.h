#pragma once

#include "UI/Settings/PrivacySupportPage.h"
#include "UI/Settings/SettingsTab.h"

#include <functional>

// What windows that the application's controllers don't build themselves ask of it: the
// settings pages and the privacy and support window. The settings window's presenter hands
// them down; a request left empty does nothing.
struct AppRequests {
    std::function<void(SettingsTab tab)> showSettings;
    std::function<void()> toggleCloudSync;
    std::function<void(PrivacySupportPage page)> showPrivacySupport;
};
