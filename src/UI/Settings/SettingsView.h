#pragma once

#include "UI/Settings/SettingsTab.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QHBoxLayout;
class SettingsNavigation;

// The content of the settings window: the page of the selected pane in a fixed 600 x 520
// frame on the chat background. A page is created anew each time its pane is selected, so
// its own state does not survive a change of pane.
class SettingsView final : public QWidget {
    Q_OBJECT
public:
    using PageFactory = std::function<QWidget*(SettingsTab)>;

    SettingsView(SettingsNavigation& navigation, PageFactory makePage, QWidget* parent = nullptr);

    QWidget* page() const { return page_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showPage(SettingsTab tab);

    PageFactory makePage_;
    QHBoxLayout* layout_ = nullptr;
    QPointer<QWidget> page_;
};
