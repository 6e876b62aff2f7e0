#include "Platform/CloudContainer.h"

#include "Platform/linux/UnsignedCloudContainer.h"

namespace Platform {

namespace {
CloudContainer* installedFake = nullptr;
} // namespace

CloudContainer& cloudContainer()
{
    if (installedFake)
        return *installedFake;
    static UnsignedCloudContainer real;
    return real;
}

void setCloudContainerForTesting(CloudContainer* fake)
{
    installedFake = fake;
}

} // namespace Platform
