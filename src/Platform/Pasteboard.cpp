#include "Platform/Pasteboard.h"

#include "Platform/linux/QtPasteboard.h"

namespace Platform {

namespace {
Pasteboard* installedFake = nullptr;
} // namespace

Pasteboard& pasteboard()
{
    if (installedFake)
        return *installedFake;
    static QtPasteboard real;
    return real;
}

void setPasteboardForTesting(Pasteboard* fake)
{
    installedFake = fake;
}

} // namespace Platform
