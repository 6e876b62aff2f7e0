#pragma once

#include "Platform/CloudDrive.h"

namespace Platform {

// A folder that a sync client keeps in step across machines: $VELLORA_CLOUD_DRIVE when set,
// else "CloudDrive" in the home folder.
class FolderCloudDrive final : public CloudDrive {
public:
    QString folder() const override;
    bool isAvailable() const override;
};

} // namespace Platform
