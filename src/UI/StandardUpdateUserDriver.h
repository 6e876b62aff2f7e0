#pragma once

#include "Platform/UpdateUserDriver.h"
#include "UI/UpdateDialog.h"

#include <functional>
#include <memory>

// The update framework's standard user interface: one UpdateDialog, made when the updater
// first shows something, passing the user's choices back to the updater.
class StandardUpdateUserDriver final : public Platform::UpdateUserDriver {
public:
    StandardUpdateUserDriver();
    ~StandardUpdateUserDriver() override;

    void showCheckingForUpdates(std::function<void()> cancel) override;
    void showUpdateFound(const Platform::AppcastItem& item, const QString& installedVersion,
                         std::function<void(Choice)> reply) override;
    void showUpToDate(const QString& installedVersion) override;
    void showDownloading(std::function<void()> cancel) override;
    void showDownloadProgress(qint64 received, qint64 expected) override;
    void showInstalling() override;
    void showDownloadedUpdate(const Platform::AppcastItem& item, const QString& path) override;
    void showError(Platform::UpdateFailure failure) override;
    void dismiss() override;

    // The window, once something was shown.
    UpdateDialog* dialog() const { return dialog_.get(); }

private:
    UpdateDialog& window();
    void answer(UpdateDialog::Action action);

    std::unique_ptr<UpdateDialog> dialog_;
    std::function<void()> cancel_;
    std::function<void(Choice)> reply_;
};
