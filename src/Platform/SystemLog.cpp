#include "Platform/SystemLog.h"

#include "Platform/linux/SysLog.h"

namespace Platform {

namespace {
SystemLog* installedFake = nullptr;
} // namespace

SystemLog& systemLog()
{
    if (installedFake)
        return *installedFake;
    static SysLog real;
    return real;
}

void setSystemLogForTesting(SystemLog* fake)
{
    installedFake = fake;
}

} // namespace Platform
