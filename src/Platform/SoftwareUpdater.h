#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>

namespace Platform {

// Why an updater refused to start; the text is for logs, never shown.
class UpdaterStartError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The update framework's updater for one application: it reads the feed, offers newer
// versions through its user driver, downloads, verifies and installs them. The three
// properties below announce each change through their signal, from whichever thread made it.
class SoftwareUpdater : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool canCheckForUpdates() const = 0;
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool on) = 0;
    // Throws UpdaterStartError when the feed or the application can't be updated.
    virtual void startUpdater() = 0;
    // A user-initiated check; its dialogs belong to the user driver.
    virtual void checkForUpdates() = 0;

signals:
    void canCheckForUpdatesChanged();
    void automaticallyChecksForUpdatesChanged();
    void automaticallyDownloadsUpdatesChanged();
};

} // namespace Platform
