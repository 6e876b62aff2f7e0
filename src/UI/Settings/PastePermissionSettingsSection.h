#pragma once

#include "UI/Settings/PastePermissionSettingsState.h"
#include "UI/Settings/SettingsDetailSection.h"

#include <QTimer>
#include <chrono>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

// The "Paste" section of the General page: whether Vellora may paste into other
// applications, checked again once a second while shown and whenever Vellora becomes active,
// with the way to the desktop's settings and what to do when the permission is missing.
class PastePermissionSettingsSection final : public SettingsDetailSection {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds pollInterval{1000};

    explicit PastePermissionSettingsSection(QWidget* parent = nullptr);
    explicit PastePermissionSettingsSection(PastePermissionSettingsState::Operations operations,
                                            QWidget* parent = nullptr);

    PastePermissionSettingsState& permission() { return *permission_; }
    bool isPolling() const { return poll_.isActive(); }
    bool isShowingMissingApp() const { return showingMissingApp_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildStatusRow();
    void buildDetails();
    void setShowingMissingApp(bool showing);
    void revealApplication();
    void refreshTexts();
    void refreshState();

    PastePermissionSettingsState* permission_ = nullptr;
    QTimer poll_;
    bool showingMissingApp_ = false;

    QLabel* directPaste_ = nullptr;
    QLabel* statusIcon_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* statusDetail_ = nullptr;
    QPushButton* openSettings_ = nullptr;
    QFrame* divider_ = nullptr;
    QWidget* pathBox_ = nullptr;
    QLabel* pathCaption_ = nullptr;
    QLabel* findInstruction_ = nullptr;
    QLabel* returnInstruction_ = nullptr;
    QLabel* openFailedNote_ = nullptr;
    QToolButton* missingAppToggle_ = nullptr;
    QWidget* missingAppContent_ = nullptr;
    QLabel* addInstruction_ = nullptr;
    QPushButton* revealApp_ = nullptr;
};
