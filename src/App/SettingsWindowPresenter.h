#pragma once

#include "UI/AppRequests.h"
#include "UI/Settings/SettingsTab.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class BarCoordinator;
class ClipboardStore;
class PrivacySupportWindowController;
class Settings;
class SettingsWindowController;

// Opens the settings window in place of the bar: the bar hides while it opens and shows
// again, on the browser shelf when it was there, once the window closes. Opens the privacy
// and support window too; both are made on first use and hand the application's requests to
// their pages.
class SettingsWindowPresenter final : public QObject {
    Q_OBJECT
public:
    struct Environment {
        BarCoordinator& bar;
        Settings& settings;
        ClipboardStore& store;
        // The application's way to open the settings window (it waits for the history).
        std::function<void(SettingsTab tab)> showSettings;
        std::function<void()> toggleCloudSync;
    };

    explicit SettingsWindowPresenter(Environment environment, QObject* parent = nullptr);
    ~SettingsWindowPresenter() override;

    // Opens the window on the pane (none keeps the current one).
    void present(std::optional<SettingsTab> tab);
    SettingsWindowController* controller() const { return window_.get(); }
    // Opens the privacy and support window on the page.
    void presentPrivacySupport(PrivacySupportPage page);
    PrivacySupportWindowController* privacySupport() const { return privacySupport_.get(); }
    // What the windows' pages ask of the application.
    AppRequests requests();
    void release();

private:
    void windowClosed();

    Environment env_;
    std::unique_ptr<SettingsWindowController> window_;
    std::unique_ptr<PrivacySupportWindowController> privacySupport_;
    bool returnToBar_ = false;
    bool returnToShelf_ = false;
};
