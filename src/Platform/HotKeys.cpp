#include "Platform/HotKeys.h"

#include "Platform/linux/XcbHotKeys.h"

namespace Platform {

namespace {
HotKeys* installedFake = nullptr;
} // namespace

HotKeys& hotKeys()
{
    if (installedFake)
        return *installedFake;
    static XcbHotKeys real;
    return real;
}

void setHotKeysForTesting(HotKeys* fake)
{
    installedFake = fake;
}

} // namespace Platform
