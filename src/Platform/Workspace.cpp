#include "Platform/Workspace.h"

#include "Platform/linux/X11Workspace.h"

namespace Platform {

namespace {
Workspace* installedFake = nullptr;
} // namespace

Workspace& workspace()
{
    if (installedFake)
        return *installedFake;
    static X11Workspace real;
    return real;
}

void setWorkspaceForTesting(Workspace* fake)
{
    installedFake = fake;
}

} // namespace Platform
