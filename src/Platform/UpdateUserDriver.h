#pragma once

#include "Platform/AppcastItem.h"
#include "Platform/UpdateFailure.h"

#include <QString>
#include <functional>

namespace Platform {

// The update framework's user interface: what the updater shows and asks. At most one
// update session is on screen; each call replaces what it showed before.
class UpdateUserDriver {
public:
    enum class Choice { install, later, skip };

    virtual ~UpdateUserDriver() = default;

    // A user-initiated check runs; `cancel` ends it.
    virtual void showCheckingForUpdates(std::function<void()> cancel) = 0;
    // `item` is newer than `installedVersion`; `reply` is called once with the user's choice.
    virtual void showUpdateFound(const AppcastItem& item, const QString& installedVersion,
                                 std::function<void(Choice)> reply) = 0;
    virtual void showUpToDate(const QString& installedVersion) = 0;
    // The download runs; `cancel` ends it and deletes what was received.
    virtual void showDownloading(std::function<void()> cancel) = 0;
    // `expected` is the length the feed announced.
    virtual void showDownloadProgress(qint64 received, qint64 expected) = 0;
    virtual void showInstalling() = 0;
    // The verified file at `path` waits for the user to install it.
    virtual void showDownloadedUpdate(const AppcastItem& item, const QString& path) = 0;
    virtual void showError(UpdateFailure failure) = 0;
    // Ends what is shown, e.g. after the user chose "Later".
    virtual void dismiss() = 0;
};

} // namespace Platform
