#include "UI/StandardUpdateUserDriver.h"

StandardUpdateUserDriver::StandardUpdateUserDriver() = default;

StandardUpdateUserDriver::~StandardUpdateUserDriver() = default;

UpdateDialog& StandardUpdateUserDriver::window()
{
    if (!dialog_) {
        dialog_ = std::make_unique<UpdateDialog>();
        QObject::connect(dialog_.get(), &UpdateDialog::actionChosen, dialog_.get(),
                         [this](UpdateDialog::Action action) { answer(action); });
    }
    return *dialog_;
}

void StandardUpdateUserDriver::answer(UpdateDialog::Action action)
{
    // Each answer is given once; the updater's next call sets the next one.
    const std::function<void()> cancel = std::exchange(cancel_, {});
    const std::function<void(Choice)> reply = std::exchange(reply_, {});
    if (action == UpdateDialog::Action::cancel) {
        if (cancel)
            cancel();
        return;
    }
    if (action == UpdateDialog::Action::done || !reply)
        return;
    reply(action == UpdateDialog::Action::install ? Choice::install
          : action == UpdateDialog::Action::skip  ? Choice::skip
                                                  : Choice::later);
}

void StandardUpdateUserDriver::showCheckingForUpdates(std::function<void()> cancel)
{
    cancel_ = std::move(cancel);
    window().showChecking();
}

void StandardUpdateUserDriver::showUpdateFound(const Platform::AppcastItem& item,
                                               const QString& installedVersion,
                                               std::function<void(Choice)> reply)
{
    cancel_ = {};
    reply_ = std::move(reply);
    window().showFound(item.shortVersion, installedVersion);
}

void StandardUpdateUserDriver::showUpToDate(const QString& installedVersion)
{
    cancel_ = {};
    window().showUpToDate(installedVersion);
}

void StandardUpdateUserDriver::showDownloading(std::function<void()> cancel)
{
    cancel_ = std::move(cancel);
    window().showDownloading();
}

void StandardUpdateUserDriver::showDownloadProgress(qint64 received, qint64 expected)
{
    window().showProgress(received, expected);
}

void StandardUpdateUserDriver::showInstalling()
{
    cancel_ = {};
    window().showInstalling();
}

void StandardUpdateUserDriver::showDownloadedUpdate(const Platform::AppcastItem& item, const QString& path)
{
    cancel_ = {};
    window().showDownloaded(item.shortVersion, path);
}

void StandardUpdateUserDriver::showError(Platform::UpdateFailure failure)
{
    cancel_ = {};
    window().showFailure(failure);
}

void StandardUpdateUserDriver::dismiss()
{
    cancel_ = {};
    reply_ = {};
    if (dialog_)
        dialog_->hide();
}
