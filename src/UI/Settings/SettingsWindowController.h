#pragma once

#include "Settings/SettingsTab.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QWidget;

// The settings window. Until its pages exist it shows the name of the pane it is on.
// `onClose` runs once each time the window closes after being presented.
class SettingsWindowController final : public QObject {
    Q_OBJECT
public:
    explicit SettingsWindowController(std::function<void()> onClose = {}, QObject* parent = nullptr);
    ~SettingsWindowController() override;

    SettingsTab tab() const { return tab_; }
    // Shows the window on the pane, or on the current pane when none is given, in front.
    void present(std::optional<SettingsTab> tab);
    // The window's title and pane name in the language in effect.
    void refreshLocalizedChrome();

    QWidget* window() const;
    // The pane name the window shows.
    QString paneText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onClose_;
    SettingsTab tab_ = SettingsTab::general;
    bool closeNotificationDelivered_ = false;
    std::unique_ptr<QWidget> window_;
    QLabel* paneLabel_ = nullptr;
};
