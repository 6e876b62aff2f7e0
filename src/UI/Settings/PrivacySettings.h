#pragma once

#include "UI/Settings/PrivacySupportPage.h"

#include <QSet>
#include <QWidget>
#include <functional>
#include <optional>

class AISharingConsentStore;
class ClipboardStore;
class FileAccessStore;
class QLabel;
class QPushButton;
class QVBoxLayout;
class Settings;
class SettingsDetailCard;

// The Privacy pane: clearing the saved AI sending permissions and the saved file permissions,
// and the applications whose copies are never recorded. Whether the file permissions were
// cleared (or why not) is page state, lost when another pane is selected.
class PrivacySettings final : public QWidget {
    Q_OBJECT
public:
    // Opens the privacy and support window on a page.
    using ShowPrivacySupport = std::function<void(PrivacySupportPage page)>;

    // The store's clips name the sources that the chooser offers besides the running and
    // installed applications.
    PrivacySettings(Settings& settings, AISharingConsentStore& aiConsent, FileAccessStore& fileAccess,
                    const ClipboardStore& store, ShowPrivacySupport showPrivacySupport = {},
                    QWidget* parent = nullptr);

    // Lets the user pick applications and excludes each one, except Vellora itself.
    void chooseApps();
    // The application's name on the desktop, or the identifier itself when none is known.
    static QString applicationName(const QString& bundleIdentifier);

    const std::optional<QString>& filePermissionError() const { return filePermissionError_; }
    bool filePermissionsCleared() const { return filePermissionsCleared_; }

private:
    void showPrivacySupportPage(PrivacySupportPage page);
    static QSet<QString> ownIdentifiers();
    SettingsDetailCard* buildCard(QLabel*& title, QPushButton*& button, QLabel*& note);
    QWidget* buildLinks();
    QWidget* ignoredAppRow(const QString& bundleIdentifier);
    QWidget* emptyState();
    void clearFileAccess();
    void rebuildIgnoredApps();
    void refreshTexts();
    void refreshAIConsent();
    void refreshFileStatus();

    Settings& settings_;
    AISharingConsentStore& aiConsent_;
    FileAccessStore& fileAccess_;
    const ClipboardStore& store_;
    ShowPrivacySupport showPrivacySupport_;
    std::optional<QString> filePermissionError_;
    bool filePermissionsCleared_ = false;

    QLabel* aiTitle_ = nullptr;
    QPushButton* clearAI_ = nullptr;
    QLabel* aiNote_ = nullptr;
    QLabel* fileTitle_ = nullptr;
    QPushButton* clearFiles_ = nullptr;
    QLabel* fileNote_ = nullptr;
    QLabel* fileStatus_ = nullptr;
    QLabel* appsTitle_ = nullptr;
    QPushButton* addApps_ = nullptr;
    QLabel* appsNote_ = nullptr;
    QWidget* ignoredApps_ = nullptr;
    QVBoxLayout* ignoredAppsLayout_ = nullptr;
    QPushButton* privacyPolicy_ = nullptr;
    QPushButton* helpAndSupport_ = nullptr;
};
