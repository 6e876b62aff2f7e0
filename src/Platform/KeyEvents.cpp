#include "Platform/KeyEvents.h"

#include "Platform/linux/XTestKeyEvents.h"

namespace Platform {

namespace {
KeyEvents* installedFake = nullptr;
} // namespace

KeyEvents& keyEvents()
{
    if (installedFake)
        return *installedFake;
    static XTestKeyEvents real;
    return real;
}

void setKeyEventsForTesting(KeyEvents* fake)
{
    installedFake = fake;
}

} // namespace Platform
