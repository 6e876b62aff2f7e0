#pragma once

#include "Platform/Keychain.h"

#include <chrono>

namespace Platform {

// Keychain items in the desktop's Secret Service (GNOME Keyring, KWallet) through libsecret:
// a generic schema with the attributes "service" and "account", stored in the default
// collection. Each call runs on a worker thread and is abandoned (cancelled) at the
// deadline, so that a missing, hung or prompting service fails quickly instead of blocking.
class SecretServiceKeychain final : public Keychain {
public:
    static constexpr std::chrono::milliseconds defaultDeadline{5000};

    explicit SecretServiceKeychain(std::chrono::milliseconds deadline = defaultDeadline);

    std::optional<QString> read(const QString& service, const QString& account) override;
    void write(const QString& service, const QString& account, const QString& secret) override;
    void remove(const QString& service, const QString& account) override;

private:
    std::chrono::milliseconds deadline_;
};

} // namespace Platform
