#include "Platform/Accessibility.h"

#include "Platform/linux/XTestAccessibility.h"

namespace Platform {

namespace {
Accessibility* installedFake = nullptr;
} // namespace

Accessibility& accessibility()
{
    if (installedFake)
        return *installedFake;
    static XTestAccessibility real;
    return real;
}

void setAccessibilityForTesting(Accessibility* fake)
{
    installedFake = fake;
}

} // namespace Platform
