#include "Platform/DesktopAppearance.h"

#include "Platform/linux/PortalDesktopAppearance.h"

namespace Platform {

namespace {
DesktopAppearance* installedFake = nullptr;
} // namespace

DesktopAppearance& desktopAppearance()
{
    if (installedFake)
        return *installedFake;
    static PortalDesktopAppearance real;
    return real;
}

void setDesktopAppearanceForTesting(DesktopAppearance* fake)
{
    installedFake = fake;
}

} // namespace Platform
