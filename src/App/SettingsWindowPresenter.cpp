#include "App/SettingsWindowPresenter.h"

#include "App/BarCoordinator.h"
#include "Settings/PrivacyPolicyCatalog.h"
#include "UI/Settings/PrivacySupportWindowController.h"
#include "UI/Settings/SettingsPages.h"
#include "UI/Settings/SettingsWindowController.h"

SettingsWindowPresenter::SettingsWindowPresenter(Environment environment, QObject* parent)
    : QObject(parent)
    , env_(std::move(environment))
{}

SettingsWindowPresenter::~SettingsWindowPresenter() = default;

AppRequests SettingsWindowPresenter::requests()
{
    return {env_.showSettings, env_.toggleCloudSync,
            [this](PrivacySupportPage page) { presentPrivacySupport(page); }};
}

void SettingsWindowPresenter::present(std::optional<SettingsTab> tab)
{
    const bool barWasVisible = env_.bar.isVisible();
    if (barWasVisible)
        returnToShelf_ = env_.bar.isOnShelf();
    returnToBar_ = returnToBar_ || barWasVisible;
    env_.bar.hide();
    if (!window_)
        window_ = std::make_unique<SettingsWindowController>(
            SettingsPageServices{env_.settings, env_.store, requests()}, [this] { windowClosed(); });
    window_->present(tab);
}

void SettingsWindowPresenter::presentPrivacySupport(PrivacySupportPage page)
{
    if (!privacySupport_) {
        privacySupport_ = std::make_unique<PrivacySupportWindowController>(PrivacyPolicyCatalog::bundled());
        privacySupport_->setShowSettings(env_.showSettings);
    }
    privacySupport_->present(page);
}

void SettingsWindowPresenter::release()
{
    window_.reset();
    privacySupport_.reset();
}

void SettingsWindowPresenter::windowClosed()
{
    if (!returnToBar_)
        return;
    returnToBar_ = false;
    const bool toShelf = std::exchange(returnToShelf_, false);
    // Once the settings window is gone, so that its closing does not take the bar's focus.
    QMetaObject::invokeMethod(
        this,
        [this, toShelf] {
            env_.bar.show();
            // The shelf ended when the bar hid for the settings: this reads the browsers again.
            if (toShelf)
                env_.bar.setSource(BarSource::browserShelf());
        },
        Qt::QueuedConnection);
}
