#include "Platform/Keychain.h"

#include "Platform/linux/SecretServiceKeychain.h"

namespace Platform {

namespace {
Keychain* installedFake = nullptr;
} // namespace

Keychain& keychain()
{
    if (installedFake)
        return *installedFake;
    static SecretServiceKeychain real;
    return real;
}

void setKeychainForTesting(Keychain* fake)
{
    installedFake = fake;
}

} // namespace Platform
