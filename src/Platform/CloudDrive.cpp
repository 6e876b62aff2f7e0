#include "Platform/CloudDrive.h"

#include "Platform/linux/FolderCloudDrive.h"

namespace Platform {

namespace {
CloudDrive* testingInstance = nullptr;
} // namespace

CloudDrive& cloudDrive()
{
    if (testingInstance)
        return *testingInstance;
    static FolderCloudDrive instance;
    return instance;
}

void setCloudDriveForTesting(CloudDrive* fake)
{
    testingInstance = fake;
}

} // namespace Platform
