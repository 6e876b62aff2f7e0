#include "UI/Settings/SettingsPages.h"

#include "AI/AISharingConsentStore.h"
#include "PublicConfiguration/PublicConfigurationStore.h"
#include "Store/FileAccessStore.h"
#include "UI/Settings/AboutView.h"
#include "UI/Settings/GeneralSettings.h"
#include "UI/Settings/ModelSettingsView.h"
#include "UI/Settings/PrivacySettings.h"
#include "UI/Settings/UpdateSettingsView.h"

QWidget* makeSettingsPage(SettingsTab tab, const SettingsPageServices& services)
{
    QWidget* page = nullptr;
    switch (tab) {
    case SettingsTab::general:
        page = new GeneralSettings({services.settings, services.store, services.requests.toggleCloudSync,
                                    PastePermissionSettingsState::defaultOperations()});
        break;
    case SettingsTab::model:
        page = new ModelSettingsView;
        break;
    case SettingsTab::updates:
        page = new UpdateSettingsView;
        break;
    case SettingsTab::privacy:
        page =
            new PrivacySettings(services.settings, AISharingConsentStore::shared(), FileAccessStore::shared(),
                                services.store, services.requests.showPrivacySupport);
        break;
    case SettingsTab::about:
        page = new AboutView(PublicConfigurationStore::shared(), services.requests.showPrivacySupport);
        break;
    }
    page->setObjectName(QStringLiteral("Vellora.Settings.page.") + SettingsTabs::rawValue(tab));
    return page;
}
