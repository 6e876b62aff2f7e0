#include "Hotkey/HotKeyRegistrationCoordinator.h"

#include <utility>

HotKeyRegistrationCoordinator::HotKeyRegistrationCoordinator(Platform::HotKeys& hotKeys, QObject* parent)
    : QObject(parent)
    , hotKeys_(hotKeys)
    , retryTimer_(this)
{
    retryTimer_.setObjectName(QStringLiteral("retryTimer"));
    retryTimer_.setInterval(retryInterval);
    connect(&retryTimer_, &QTimer::timeout, this, &HotKeyRegistrationCoordinator::retry);
    connect(&hotKeys_, &Platform::HotKeys::pressed, this, [this](Platform::HotKeys::Id id) {
        if (current_ && current_->id == id)
            emit pressed();
    });
}

HotKeyRegistrationCoordinator::~HotKeyRegistrationCoordinator()
{
    unregisterCurrent();
}

bool HotKeyRegistrationCoordinator::reload(const RivEVShortcut& shortcut)
{
    if (suspended_)
        return reloadWhileSuspended(shortcut);
    if (current_ && current_->shortcut == shortcut)
        return true;
    retryTimer_.stop();
    retryTarget_.reset();
    const std::optional<RivEVShortcut> previous = registeredShortcut();
    unregisterCurrent();
    if (!shortcut.isSet() || registerShortcut(shortcut))
        return true;
    if (previous && !registerShortcut(*previous))
        scheduleRetries(*previous);
    return false;
}

void HotKeyRegistrationCoordinator::registerAgain()
{
    if (suspended_)
        return;
    const std::optional<RivEVShortcut> shortcut = registeredShortcut();
    if (!shortcut)
        return;
    retryTimer_.stop();
    unregisterCurrent();
    if (!registerShortcut(*shortcut))
        scheduleRetries(*shortcut);
}

bool HotKeyRegistrationCoordinator::reloadWhileSuspended(const RivEVShortcut& shortcut)
{
    if (!shortcut.isSet()) {
        held_.reset();
        return true;
    }
    if (held_ == shortcut)
        return true;
    // Registered only to learn whether the desktop takes it.
    if (!registerShortcut(shortcut))
        return false;
    unregisterCurrent();
    held_ = shortcut;
    return true;
}

void HotKeyRegistrationCoordinator::suspend()
{
    if (suspended_)
        return;
    suspended_ = true;
    held_ = current_ ? std::optional(current_->shortcut) : retryTarget_;
    retryTimer_.stop();
    retryTarget_.reset();
    unregisterCurrent();
}

void HotKeyRegistrationCoordinator::resume()
{
    if (!suspended_)
        return;
    suspended_ = false;
    const std::optional<RivEVShortcut> shortcut = std::exchange(held_, std::nullopt);
    if (shortcut && !registerShortcut(*shortcut))
        scheduleRetries(*shortcut);
}

std::optional<RivEVShortcut> HotKeyRegistrationCoordinator::registeredShortcut() const
{
    if (!current_)
        return std::nullopt;
    return current_->shortcut;
}

bool HotKeyRegistrationCoordinator::registerShortcut(const RivEVShortcut& shortcut)
{
    const std::optional<Platform::HotKeys::Id> id =
        hotKeys_.registerHotKey(shortcut.keyCode, shortcut.modifiers);
    if (!id)
        return false;
    current_ = Registration{shortcut, *id};
    return true;
}

void HotKeyRegistrationCoordinator::unregisterCurrent()
{
    if (!current_)
        return;
    hotKeys_.unregisterHotKey(current_->id);
    current_.reset();
}

void HotKeyRegistrationCoordinator::scheduleRetries(const RivEVShortcut& shortcut)
{
    retryTarget_ = shortcut;
    retriesLeft_ = maxRetryAttempts;
    retryTimer_.start();
}

void HotKeyRegistrationCoordinator::retry()
{
    --retriesLeft_;
    if (!retryTarget_ || registerShortcut(*retryTarget_) || retriesLeft_ <= 0) {
        retryTimer_.stop();
        retryTarget_.reset();
    }
}
