#include "AI/ModelKeychain.h"

#include "AI/ModelError.h"
#include "Platform/Bundle.h"
#include "Platform/Keychain.h"

ModelKeychain::ModelKeychain(Platform::Keychain& keychain)
    : keychain_(keychain)
{}

QString ModelKeychain::service()
{
    return Platform::mainBundle().bundleIdentifier() + QStringLiteral(".model-api-key");
}

QString ModelKeychain::read(const QString& account) const
{
    try {
        return keychain_.read(service(), account).value_or(QString());
    } catch (const Platform::KeychainError&) {
        throw ModelError::keychain();
    }
}

void ModelKeychain::save(const QString& account, const QString& key)
{
    try {
        keychain_.write(service(), account, key);
    } catch (const Platform::KeychainError&) {
        throw ModelError::keychain();
    }
}

void ModelKeychain::remove(const QString& account)
{
    try {
        keychain_.remove(service(), account);
    } catch (const Platform::KeychainError&) {
        throw ModelError::keychain();
    }
}
