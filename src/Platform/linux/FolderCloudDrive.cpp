#include "Platform/linux/FolderCloudDrive.h"

#include <QDir>
#include <QFileInfo>

namespace Platform {

QString FolderCloudDrive::folder() const
{
    const QString configured = qEnvironmentVariable("VELLORA_CLOUD_DRIVE");
    if (!configured.isEmpty())
        return QDir::cleanPath(configured);
    return QDir::homePath() + QStringLiteral("/CloudDrive");
}

bool FolderCloudDrive::isAvailable() const
{
    return QFileInfo(folder()).isDir();
}

} // namespace Platform
