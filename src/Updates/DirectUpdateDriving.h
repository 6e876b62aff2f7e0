#pragma once

#include <functional>

// The updater of a directly distributed copy, as UpdateSettings drives it.
class DirectUpdateDriving {
public:
    virtual ~DirectUpdateDriving() = default;

    // A user-initiated check may begin now.
    virtual bool canCheckForUpdates() const = 0;
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool on) = 0;
    // Called on the main thread after any of the three states above changed.
    virtual void setStateDidChange(std::function<void()> callback) = 0;
    // Starts the updater; throws std::exception when it can't.
    virtual void start() = 0;
    // Begins a user-initiated check; its dialogs belong to the updater.
    virtual void checkForUpdates() = 0;
};
