#include "Platform/SystemSound.h"

#include "Platform/linux/XcbBell.h"

namespace Platform {

namespace {
SystemSound* installedFake = nullptr;
} // namespace

SystemSound& systemSound()
{
    if (installedFake)
        return *installedFake;
    static XcbBell real;
    return real;
}

void setSystemSoundForTesting(SystemSound* fake)
{
    installedFake = fake;
}

} // namespace Platform
