#pragma once

#include <QString>
#include <optional>
#include <stdexcept>

namespace Platform {

// A failure of the secret store other than a missing item: no Secret Service answers, the
// collection is locked, the call ran past its deadline. The text is for diagnostics and never
// holds a secret.
class KeychainError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Generic-password items of the desktop's secret store, found by service and account.
// Every call returns or throws within a bounded time; none waits on a prompt.
class Keychain {
public:
    virtual ~Keychain() = default;

    // None when no item exists; throws KeychainError on any other failure.
    virtual std::optional<QString> read(const QString& service, const QString& account) = 0;
    // Creates or replaces the item; throws KeychainError.
    virtual void write(const QString& service, const QString& account, const QString& secret) = 0;
    // Deletes the item; a missing item is no failure. Throws KeychainError.
    virtual void remove(const QString& service, const QString& account) = 0;
};

// The process-wide store (the Secret Service through libsecret).
Keychain& keychain();
// Tests install a fake; nullptr restores the real one.
void setKeychainForTesting(Keychain* fake);

} // namespace Platform
