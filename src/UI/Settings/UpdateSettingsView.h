#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class SettingsDetailRow;
class SettingsDetailSection;
class UpdateSettings;

// The Updates pane: the installed version, the distribution channel, the two automatic-update
// choices, the check button and the status line, all shown from UpdateSettings. Each showing
// starts the updater when it does not run yet.
class UpdateSettingsView final : public QWidget {
    Q_OBJECT
public:
    explicit UpdateSettingsView(QWidget* parent = nullptr);
    explicit UpdateSettingsView(UpdateSettings& settings, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void refreshTexts();
    void refreshState();

    UpdateSettings& settings_;
    SettingsDetailSection* section_ = nullptr;
    SettingsDetailRow* versionRow_ = nullptr;
    SettingsDetailRow* channelRow_ = nullptr;
    QLabel* channel_ = nullptr;
    QCheckBox* automaticChecks_ = nullptr;
    QCheckBox* automaticDownloads_ = nullptr;
    QPushButton* check_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* status_ = nullptr;
};
