#include "UI/Settings/SettingsPages.h"

#include "UI/Settings/AboutView.h"
#include "UI/Settings/GeneralSettings.h"
#include "UI/Settings/ModelSettingsView.h"
#include "UI/Settings/PrivacySettings.h"
#include "UI/Settings/UpdateSettingsView.h"

QWidget* makeSettingsPage(SettingsTab tab)
{
    QWidget* page = nullptr;
    switch (tab) {
    case SettingsTab::general:
        page = new GeneralSettings;
        break;
    case SettingsTab::model:
        page = new ModelSettingsView;
        break;
    case SettingsTab::updates:
        page = new UpdateSettingsView;
        break;
    case SettingsTab::privacy:
        page = new PrivacySettings;
        break;
    case SettingsTab::about:
        page = new AboutView;
        break;
    }
    page->setObjectName(QStringLiteral("Vellora.Settings.page.") + SettingsTabs::rawValue(tab));
    return page;
}
