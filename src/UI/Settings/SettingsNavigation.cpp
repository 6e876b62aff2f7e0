#include "UI/Settings/SettingsNavigation.h"

SettingsNavigation::SettingsNavigation(QObject* parent)
    : QObject(parent)
{}

SettingsNavigation& SettingsNavigation::shared()
{
    static SettingsNavigation instance;
    return instance;
}

void SettingsNavigation::setTab(SettingsTab tab)
{
    if (tab == tab_)
        return;
    tab_ = tab;
    emit tabChanged(tab);
}
