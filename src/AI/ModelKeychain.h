#pragma once

#include <QString>

namespace Platform {
class Keychain;
}

// The API keys of the models, one secret-store item per endpoint: service = the bundle
// identifier + ".model-api-key", account = the endpoint's absolute URL. Keys go nowhere else.
class ModelKeychain {
public:
    explicit ModelKeychain(Platform::Keychain& keychain);

    // The service of every item: "<bundle identifier>.model-api-key".
    static QString service();

    // The stored key, or "" when no item exists. Throws ModelError::keychain on any other failure.
    QString read(const QString& account) const;
    // Throws ModelError::keychain.
    void save(const QString& account, const QString& key);
    // Deleting a missing item is no failure. Throws ModelError::keychain.
    void remove(const QString& account);

private:
    Platform::Keychain& keychain_;
};
