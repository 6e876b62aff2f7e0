#pragma once

// What the platform layer takes from the layers above it, installed once at start-up before
// anything runs: its few user texts go through Localization, the browser scripting service
// learns the tab-listing scripts that BrowserPageReader writes, and the updater makes its
// standard windows with StandardUpdateUserDriver.
namespace PlatformHooks {

void install();

} // namespace PlatformHooks
