#pragma once

#include "Platform/SoftwareUpdater.h"

#include <optional>

// An updater whose answers the test sets and whose change signals the test emits; it
// records what it is asked to do.
class FakeSoftwareUpdater final : public Platform::SoftwareUpdater {
public:
    bool canCheckForUpdates() const override { return canCheck; }
    bool automaticallyChecksForUpdates() const override { return checks; }
    void setAutomaticallyChecksForUpdates(bool on) override { checks = on; }
    bool automaticallyDownloadsUpdates() const override { return downloads; }
    void setAutomaticallyDownloadsUpdates(bool on) override { downloads = on; }
    void startUpdater() override
    {
        ++starts;
        if (startFailure)
            throw *startFailure;
    }
    void checkForUpdates() override { ++checksRun; }

    bool canCheck = true;
    bool checks = false;
    bool downloads = false;
    std::optional<Platform::UpdaterStartError> startFailure;
    int starts = 0;
    int checksRun = 0;
};
