#pragma once

#include "Platform/HotKeys.h"
#include "Util/RivEVShortcut.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <optional>

// Keeps one global hot key registered for a shortcut and says when it is pressed.
class HotKeyRegistrationCoordinator final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds retryInterval{1000};
    static constexpr int maxRetryAttempts = 5;

    explicit HotKeyRegistrationCoordinator(Platform::HotKeys& hotKeys, QObject* parent = nullptr);
    ~HotKeyRegistrationCoordinator() override;

    // Registers the shortcut in place of the current one. True at once when it is already
    // registered, when its key code is below 0 (no hot key) and when the system accepts it.
    // When the system refuses it, the previous shortcut is registered again, with up to
    // maxRetryAttempts more tries retryInterval apart while that fails, and the answer is false.
    bool reload(const RivEVShortcut& shortcut);

    // Registers the current shortcut anew, for when the desktop may have dropped it (after
    // waking from sleep); retries like reload() when that fails.
    void registerAgain();

    // The shortcut whose hot key is registered now; none without a registration.
    std::optional<RivEVShortcut> registeredShortcut() const;

    // Releases the hot key, so that its keys reach the focused window (a shortcut recorder),
    // until resume() registers it again. reload() while suspended still asks the desktop
    // whether it takes the new shortcut, and keeps it to register on resume.
    void suspend();
    void resume();
    bool isSuspended() const { return suspended_; }

signals:
    // The registered hot key was pressed (on the main thread).
    void pressed();

private:
    struct Registration {
        RivEVShortcut shortcut;
        Platform::HotKeys::Id id = 0;
    };

    bool reloadWhileSuspended(const RivEVShortcut& shortcut);
    bool registerShortcut(const RivEVShortcut& shortcut);
    void unregisterCurrent();
    void scheduleRetries(const RivEVShortcut& shortcut);
    void retry();

    Platform::HotKeys& hotKeys_;
    std::optional<Registration> current_;
    std::optional<RivEVShortcut> retryTarget_;
    int retriesLeft_ = 0;
    QTimer retryTimer_;
    bool suspended_ = false;
    std::optional<RivEVShortcut> held_; // registered again on resume
};
