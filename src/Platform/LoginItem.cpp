#include "Platform/LoginItem.h"

#include "Platform/linux/XdgAutostartLoginItem.h"
#include "Util/Localization.h"

namespace Platform {

namespace {
LoginItem* installedFake = nullptr;
} // namespace

QString LoginItemError::localizedDescription() const
{
    switch (kind) {
    case Kind::registerFailed:
        return Localization::format(QStringLiteral("The login item could not be added: %@"), reason);
    case Kind::unregisterFailed:
        return Localization::format(QStringLiteral("The login item could not be removed: %@"), reason);
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
