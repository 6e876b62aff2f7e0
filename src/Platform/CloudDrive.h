#pragma once

#include <QString>

namespace Platform {

// The user's synced cloud folder, where the data directory lives when sync is on.
class CloudDrive {
public:
    virtual ~CloudDrive() = default;
    // The synced folder itself (it may not exist).
    virtual QString folder() const = 0;
    // True when the folder exists and is a folder; reads the file system on each call.
    virtual bool isAvailable() const = 0;
};

// The process-wide instance: $VELLORA_CLOUD_DRIVE, or ~/CloudDrive when it is unset.
CloudDrive& cloudDrive();
// Tests install tests/fakes/FakeCloudDrive; nullptr restores the real one.
void setCloudDriveForTesting(CloudDrive* fake);

} // namespace Platform
