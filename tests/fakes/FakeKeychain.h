#pragma once

#include "Platform/Keychain.h"

#include <QHash>
#include <QPair>

// Secrets in memory, keyed by service and account. `failing` makes every call throw
// Platform::KeychainError, as when no Secret Service answers.
class FakeKeychain final : public Platform::Keychain {
public:
    std::optional<QString> read(const QString& service, const QString& account) override
    {
        failIfAsked();
        const auto found = items.constFind({service, account});
        if (found == items.cend())
            return std::nullopt;
        return *found;
    }
    void write(const QString& service, const QString& account, const QString& secret) override
    {
        failIfAsked();
        items.insert({service, account}, secret);
        ++writes;
    }
    void remove(const QString& service, const QString& account) override
    {
        failIfAsked();
        items.remove({service, account});
        ++removals;
    }

    QHash<QPair<QString, QString>, QString> items;
    bool failing = false;
    int writes = 0;
    int removals = 0;

private:
    void failIfAsked() const
    {
        if (failing)
            throw Platform::KeychainError("no Secret Service");
    }
};
