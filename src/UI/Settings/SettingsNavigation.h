#pragma once

#include "UI/Settings/SettingsTab.h"

#include <QObject>

// The selected pane of the settings window, shared by the window controller and its root
// view for the whole run. Starts at General; nothing is stored in the preferences.
class SettingsNavigation final : public QObject {
    Q_OBJECT
public:
    explicit SettingsNavigation(QObject* parent = nullptr);

    static SettingsNavigation& shared();

    SettingsTab tab() const { return tab_; }
    // Selecting the pane already selected notifies nothing.
    void setTab(SettingsTab tab);

signals:
    void tabChanged(SettingsTab tab);

private:
    SettingsTab tab_ = SettingsTab::general;
};
