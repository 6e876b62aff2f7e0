#include "Platform/SystemSleep.h"

#include "Platform/linux/LogindSystemSleep.h"

#include <QDBusConnection>

namespace Platform {

namespace {
SystemSleep* installedFake = nullptr;
} // namespace

SystemSleep& systemSleep()
{
    if (installedFake)
        return *installedFake;
    static LogindSystemSleep real(QDBusConnection::systemBus());
    return real;
}

void setSystemSleepForTesting(SystemSleep* fake)
{
    installedFake = fake;
}

} // namespace Platform
