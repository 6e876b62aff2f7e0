#pragma once

#include "Hotkey/HotKeyRegistrationCoordinator.h"

#include <QString>
#include <functional>

class Settings;

// The application's global hot keys.
class HotKeyCenter {
public:
    // The process-wide centre over the desktop's hot keys and the shared preferences.
    static HotKeyCenter& shared();

    HotKeyCenter(Platform::HotKeys& hotKeys, Settings& settings);
    HotKeyCenter(const HotKeyCenter&) = delete;
    HotKeyCenter& operator=(const HotKeyCenter&) = delete;

    // Registers the clipboard hot key and the browser-links hot key from the preferences.
    void start();
    // Makes the preferences' hot-key reloads re-register the hot keys at once.
    void connectSettings();
    // Registers the clipboard hot key anew, for after waking from sleep.
    void registerClipboardHotKeyAgain();
    // Releases both hot keys until resume(), so that a recorder receives their keys.
    void suspend();
    void resume();

    HotKeyRegistrationCoordinator& clipboardHotKey() { return clipboard_; }
    HotKeyRegistrationCoordinator& browserLinksHotKey() { return browserLinks_; }

    // Run on the main queue after the clipboard or the browser-links hot key was pressed.
    std::function<void()> trigger;
    std::function<void()> browserLinksTrigger;

private:
    Settings& settings_;
    HotKeyRegistrationCoordinator clipboard_;
    HotKeyRegistrationCoordinator browserLinks_;
};
