#pragma once

#include <QString>
#include <QStringList>

namespace Platform {

// The user's synced cloud folder, where the data directory lives when sync is on.
class CloudDrive {
public:
    virtual ~CloudDrive() = default;
    // The synced folder itself (it may not exist).
    virtual QString folder() const = 0;
    // True when the folder exists and is a folder; reads the file system on each call.
    virtual bool isAvailable() const = 0;
    // The folders looked at, in order, to find the synced folder.
    virtual QStringList searchedFolders() const { return {folder()}; }

    // A path as the user knows it: "~/Nextcloud" for a folder under the home folder.
    static QString displayPath(const QString& path);
};

// The process-wide instance: $VELLORA_CLOUD_DRIVE, else the first existing of ~/Nextcloud,
// ~/Dropbox, ~/Sync, ~/OneDrive and ~/CloudDrive.
CloudDrive& cloudDrive();
// Tests install tests/fakes/FakeCloudDrive; nullptr restores the real one.
void setCloudDriveForTesting(CloudDrive* fake);

} // namespace Platform
