#include "Platform/linux/LogindSystemSleep.h"

namespace Platform {

LogindSystemSleep::LogindSystemSleep(QDBusConnection bus, QObject* parent)
    : SystemSleep(parent)
{
    if (!bus.isConnected())
        return;
    bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                SLOT(prepareForSleep(bool)));
}

void LogindSystemSleep::prepareForSleep(bool start)
{
    if (!start)
        emit didWake();
}

} // namespace Platform
