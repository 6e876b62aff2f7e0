#pragma once

#include "Settings/PrivacyPolicyCatalog.h"
#include "UI/Settings/PrivacySupportNavigation.h"
#include "UI/Settings/PrivacySupportPage.h"
#include "UI/Settings/SettingsTab.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class PrivacySupportView;
class SettingsPanel;

// The Privacy and Support window: the privacy policy in the interface language and help with
// support contacts. Created once and kept; closing the window only hides it.
class PrivacySupportWindowController final : public QObject {
    Q_OBJECT
public:
    static constexpr int contentWidth = 620;
    static constexpr int contentHeight = 610;
    static constexpr int minimumWidth = 500;
    static constexpr int minimumHeight = 420;

    // Opens the settings window on a pane.
    using ShowSettings = std::function<void(SettingsTab tab)>;

    // The address offered when there is no catalogue.
    static QString builtInSupportEmail();

    explicit PrivacySupportWindowController(std::optional<PrivacyPolicyCatalog> catalog,
                                            QObject* parent = nullptr);
    ~PrivacySupportWindowController() override;

    // Shows the window on the page, with the document and title of the language in effect,
    // in front.
    void present(PrivacySupportPage page);
    // Picks the document of the language in effect and sets the window title.
    void refreshLocalizedContent();

    PrivacySupportNavigation& navigation() { return navigation_; }
    SettingsPanel* window() const;
    PrivacySupportView* view() const { return view_; }
    // The catalogue's support address, or the built-in one without a catalogue.
    QString contactEmail() const;

    // What the window's settings links run; nothing until set.
    void setShowSettings(ShowSettings showSettings);

private:
    void buildWindow();
    void centreWindow();

    PrivacySupportNavigation navigation_;
    std::optional<PrivacyPolicyCatalog> catalog_;
    ShowSettings showSettings_;
    std::unique_ptr<SettingsPanel> window_;
    PrivacySupportView* view_ = nullptr;
};
