#include "App/SettingsWindowPresenter.h"

#include "App/BarCoordinator.h"
#include "UI/Settings/SettingsWindowController.h"

SettingsWindowPresenter::SettingsWindowPresenter(BarCoordinator& bar,
                                                 std::function<void(bool toShelf)> reopenBar, QObject* parent)
    : QObject(parent)
    , bar_(bar)
    , reopenBar_(std::move(reopenBar))
{}

SettingsWindowPresenter::~SettingsWindowPresenter() = default;

void SettingsWindowPresenter::present(std::optional<SettingsTab> tab)
{
    const bool barWasVisible = bar_.isVisible();
    if (barWasVisible)
        returnToShelf_ = bar_.isOnShelf();
    returnToBar_ = returnToBar_ || barWasVisible;
    bar_.hide();
    if (!window_)
        window_ = std::make_unique<SettingsWindowController>([this] { windowClosed(); });
    window_->present(tab);
}

void SettingsWindowPresenter::release()
{
    window_.reset();
}

void SettingsWindowPresenter::windowClosed()
{
    if (!returnToBar_)
        return;
    returnToBar_ = false;
    const bool toShelf = std::exchange(returnToShelf_, false);
    // Once the settings window is gone, so that its closing does not take the bar's focus.
    QMetaObject::invokeMethod(
        this, [this, toShelf] { reopenBar_(toShelf); }, Qt::QueuedConnection);
}
