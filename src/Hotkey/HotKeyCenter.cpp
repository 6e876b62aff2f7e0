#include "Hotkey/HotKeyCenter.h"

#include "Platform/HotKeys.h"
#include "Settings/Settings.h"
#include "Util/RivEVShortcut.h"

HotKeyCenter& HotKeyCenter::shared()
{
    static HotKeyCenter center(Platform::hotKeys(), Settings::shared());
    return center;
}

HotKeyCenter::HotKeyCenter(Platform::HotKeys& hotKeys, Settings& settings)
    : settings_(settings)
    , clipboard_(hotKeys)
    , browserLinks_(hotKeys)
{
    // Handed to the main queue, so that a trigger never runs inside the event filter.
    QObject::connect(
        &clipboard_, &HotKeyRegistrationCoordinator::pressed, &clipboard_,
        [this] {
            if (trigger)
                trigger();
        },
        Qt::QueuedConnection);
    QObject::connect(
        &browserLinks_, &HotKeyRegistrationCoordinator::pressed, &browserLinks_,
        [this] {
            if (browserLinksTrigger)
                browserLinksTrigger();
        },
        Qt::QueuedConnection);
}

void HotKeyCenter::start()
{
    clipboard_.reload(settings_.activationShortcut());
    browserLinks_.reload(settings_.browserLinksShortcut());
}

void HotKeyCenter::connectSettings()
{
    settings_.hooks().reloadClipboardHotKey = [this](const RivEVShortcut& shortcut) {
        return clipboard_.reload(shortcut);
    };
    settings_.hooks().reloadBrowserLinksHotKey = [this](const RivEVShortcut& shortcut) {
        return browserLinks_.reload(shortcut);
    };
    settings_.hooks().hotKeysSuspended = [this](bool suspended) { suspended ? suspend() : resume(); };
}

void HotKeyCenter::registerClipboardHotKeyAgain()
{
    clipboard_.registerAgain();
}

void HotKeyCenter::suspend()
{
    clipboard_.suspend();
    browserLinks_.suspend();
}

void HotKeyCenter::resume()
{
    clipboard_.resume();
    browserLinks_.resume();
}
