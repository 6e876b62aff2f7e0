#pragma once

#include <QString>

namespace Platform {

// A failure to change the login item: which change failed and the system's reason.
struct LoginItemError {
    enum class Kind { registerFailed, unregisterFailed };

    Kind kind;
    QString reason;

    // In the language in effect.
    QString localizedDescription() const;
};

// Starting the application when the user logs in.
class LoginItem {
public:
    virtual ~LoginItem() = default;

    // Whether the application is registered to start at login.
    virtual bool isEnabled() const = 0;
    // Both throw LoginItemError.
    virtual void registerItem() = 0;
    virtual void unregisterItem() = 0;
};

// The process-wide instance (Linux: an XDG autostart desktop entry).
LoginItem& loginItem();
// Tests install tests/fakes/FakeLoginItem; nullptr restores the real one.
void setLoginItemForTesting(LoginItem* fake);

} // namespace Platform
