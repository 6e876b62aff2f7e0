#pragma once

#include <QObject>
#include <functional>

// Whether Vellora may paste into other applications, checked again on request; asks for the
// permission and opens the desktop's settings. Signals fire only on a real change.
class PastePermissionSettingsState final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isGranted READ isGranted NOTIFY isGrantedChanged)
    Q_PROPERTY(bool settingsOpenFailed READ settingsOpenFailed NOTIFY settingsOpenFailedChanged)

public:
    struct Operations {
        // The check without prompt.
        std::function<bool()> checkPermission;
        // The check with prompt; empty where the desktop has nothing to ask.
        std::function<void()> requestPermission;
        // Opens the desktop's settings; false when nothing could be opened.
        std::function<bool()> openSettings;
    };

    // The operations over Platform::accessibility() and Platform::workspace().
    static Operations defaultOperations();

    explicit PastePermissionSettingsState(QObject* parent = nullptr);
    explicit PastePermissionSettingsState(Operations operations, QObject* parent = nullptr);

    bool isGranted() const { return isGranted_; }
    bool settingsOpenFailed() const { return settingsOpenFailed_; }

    // Checks again without prompting.
    void refresh();
    // Checks, asks for the permission when it is missing, opens the settings, checks again.
    void openSystemSettings();

signals:
    void isGrantedChanged(bool granted);
    void settingsOpenFailedChanged(bool failed);

private:
    void setGranted(bool granted);
    void setSettingsOpenFailed(bool failed);

    Operations operations_;
    bool isGranted_ = false;
    bool settingsOpenFailed_ = false;
};
