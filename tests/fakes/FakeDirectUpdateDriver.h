#pragma once

#include "Updates/DirectUpdateDriving.h"

#include <functional>
#include <stdexcept>

// An updater whose answers the test sets, counting what it is asked to do. Writes of the two
// automatic choices report the change like the real updater does.
class FakeDirectUpdateDriver final : public DirectUpdateDriving {
public:
    bool canCheckForUpdates() const override { return canCheck; }
    bool automaticallyChecksForUpdates() const override { return checks; }
    void setAutomaticallyChecksForUpdates(bool on) override
    {
        ++checkWrites;
        checks = on;
        publish();
    }
    bool automaticallyDownloadsUpdates() const override { return downloads; }
    void setAutomaticallyDownloadsUpdates(bool on) override
    {
        ++downloadWrites;
        downloads = on;
        publish();
    }
    void setStateDidChange(std::function<void()> callback) override { stateDidChange = std::move(callback); }
    void start() override
    {
        ++starts;
        if (failingStarts > 0) {
            --failingStarts;
            throw std::runtime_error("the updater did not start");
        }
    }
    void checkForUpdates() override { ++checksRun; }

    // Tells UpdateSettings that a state changed, as the updater does on its own.
    void publish()
    {
        if (stateDidChange)
            stateDidChange();
    }

    bool canCheck = true;
    bool checks = false;
    bool downloads = false;
    int failingStarts = 0;

    int starts = 0;
    int checksRun = 0;
    int checkWrites = 0;
    int downloadWrites = 0;
    std::function<void()> stateDidChange;
};
