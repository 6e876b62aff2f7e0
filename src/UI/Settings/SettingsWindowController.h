#pragma once

#include "UI/Settings/SettingsPanel.h"
#include "UI/Settings/SettingsTab.h"
#include "UI/Settings/SettingsView.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class QButtonGroup;
class QToolButton;
class SettingsNavigation;
struct SettingsPageServices;

// The settings window: a centred row of five pane buttons above the page of the selected
// pane. The window title and the buttons follow the selected pane and the interface
// language. `onClose` runs once each time the window closes after being presented.
class SettingsWindowController final : public QObject {
    Q_OBJECT
public:
    // The five panes' pages over the services.
    SettingsWindowController(const SettingsPageServices& services, std::function<void()> onClose,
                             QObject* parent = nullptr);
    SettingsWindowController(SettingsNavigation& navigation, SettingsView::PageFactory makePage,
                             std::function<void()> onClose, QObject* parent = nullptr);
    ~SettingsWindowController() override;

    // "Vellora.Settings." followed by the pane's raw value.
    static QString identifier(SettingsTab tab);
    // The pane whose identifier this is, if any.
    static std::optional<SettingsTab> pane(const QString& identifier);

    SettingsTab tab() const;
    // Shows the window on the pane, or on the current pane when none is given, in front.
    void present(std::optional<SettingsTab> tab);
    // The window title, the selected pane button and every pane label and tooltip in the
    // language in effect.
    void refreshLocalizedChrome();
    // Steps through the panes, wrapping around at either end.
    void movePane(int step);
    // The action of the pane buttons; an identifier that names no pane does nothing.
    void selectPane(const QString& identifier);

    SettingsPanel* window() const;

private:
    void buildToolbar();
    void applyAppearance();
    void windowWillClose();

    SettingsNavigation& navigation_;
    std::function<void()> onClose_;
    bool closeNotificationDelivered_ = false;
    std::unique_ptr<SettingsPanel> window_;
    QWidget* paneToolbar_ = nullptr;
    QButtonGroup* paneButtons_ = nullptr;
};
