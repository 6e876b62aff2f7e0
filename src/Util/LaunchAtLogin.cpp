#include "Util/LaunchAtLogin.h"

#include "Platform/LoginItem.h"
#include "Platform/SystemLog.h"

namespace LaunchAtLogin {

void set(bool enabled)
{
    Platform::LoginItem& item = Platform::loginItem();
    try {
        if (enabled && !item.isEnabled())
            item.registerItem();
        else if (!enabled && item.isEnabled())
            item.unregisterItem();
    } catch (const Platform::LoginItemError& error) {
        Platform::systemLog().write(QStringLiteral("Vellora: LaunchAtLogin toggle failed: ") +
                                    error.localizedDescription());
    }
}

} // namespace LaunchAtLogin
