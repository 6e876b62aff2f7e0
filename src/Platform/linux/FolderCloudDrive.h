#pragma once

#include "Platform/CloudDrive.h"

namespace Platform {

// A folder that a file-sync client keeps in step across machines: $VELLORA_CLOUD_DRIVE when
// set, else the first existing of the sync clients' usual folders in the home folder
// (Nextcloud, Dropbox, Syncthing's Sync, OneDrive), else ~/CloudDrive.
class FolderCloudDrive final : public CloudDrive {
public:
    QString folder() const override;
    bool isAvailable() const override;
    QStringList searchedFolders() const override;
};

} // namespace Platform
