#pragma once

#include "Platform/SoftwareUpdater.h"
#include "Platform/SoftwareUpdaterDelegate.h"
#include "Platform/UpdateUserDriver.h"

#include <functional>
#include <memory>

namespace Platform {

class Bundle;

// How the update framework's two parts are made: its standard user interface for a host
// bundle, and an updater of an application bundle that shows itself through a user driver
// and asks a delegate for its feed. Both must outlive nothing they are given.
struct UpdateFramework {
    std::function<std::unique_ptr<UpdateUserDriver>(const Bundle& hostBundle)> makeStandardUserDriver;
    std::function<std::unique_ptr<SoftwareUpdater>(const Bundle& hostBundle, const Bundle& applicationBundle,
                                                   UpdateUserDriver& userDriver,
                                                   SoftwareUpdaterDelegate& delegate)>
        makeUpdater;

    // Both parts can be made.
    bool isComplete() const { return makeStandardUserDriver && makeUpdater; }
};

// The process-wide framework: the Linux updater; the windowing layer installs the standard
// user interface at start-up (a process without windows has none, and so no updates).
UpdateFramework& updateFramework();

// Whether the updater installs a verified update itself: it replaces a copy that runs as an
// AppImage; any other copy is given the file to install the way it was installed.
bool installsUpdatesItself();

} // namespace Platform
