#pragma once

#include "Settings/SettingsTab.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class BarCoordinator;
class SettingsWindowController;

// Opens the settings window in place of the bar: the bar hides while it opens and shows
// again, on the browser shelf when it was there, once the window closes.
class SettingsWindowPresenter final : public QObject {
    Q_OBJECT
public:
    // `reopenBar` shows the bar again, on the browser shelf when told so.
    SettingsWindowPresenter(BarCoordinator& bar, std::function<void(bool toShelf)> reopenBar,
                            QObject* parent = nullptr);
    ~SettingsWindowPresenter() override;

    // Opens the window on the pane (none keeps the current one).
    void present(std::optional<SettingsTab> tab);
    SettingsWindowController* controller() const { return window_.get(); }
    void release();

private:
    void windowClosed();

    BarCoordinator& bar_;
    std::function<void(bool toShelf)> reopenBar_;
    std::unique_ptr<SettingsWindowController> window_;
    bool returnToBar_ = false;
    bool returnToShelf_ = false;
};
