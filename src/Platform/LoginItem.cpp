#include "Platform/LoginItem.h"

#include "Platform/UserText.h"
#include "Platform/linux/XdgAutostartLoginItem.h"

namespace Platform {

namespace {
LoginItem* installedFake = nullptr;
} // namespace

QString LoginItemError::localizedDescription() const
{
    switch (kind) {
    case Kind::registerFailed:
        return userText(QStringLiteral("The login item could not be added: %@"), {reason});
    case Kind::unregisterFailed:
        return userText(QStringLiteral("The login item could not be removed: %@"), {reason});
    }
    return reason;
}

LoginItem& loginItem()
{
    if (installedFake)
        return *installedFake;
    static XdgAutostartLoginItem real;
    return real;
}

void setLoginItemForTesting(LoginItem* fake)
{
    installedFake = fake;
}

} // namespace Platform
