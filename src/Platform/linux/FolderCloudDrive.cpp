#include "Platform/linux/FolderCloudDrive.h"

#include <QDir>
#include <QFileInfo>

namespace Platform {

namespace {

constexpr const char* homeFolderNames[] = {"Nextcloud", "Dropbox", "Sync", "OneDrive", "CloudDrive"};

} // namespace

QStringList FolderCloudDrive::searchedFolders() const
{
    const QString configured = qEnvironmentVariable("VELLORA_CLOUD_DRIVE");
    if (!configured.isEmpty())
        return {QDir::cleanPath(configured)};
    QStringList folders;
    for (const char* name : homeFolderNames)
        folders.append(QDir::homePath() + QLatin1Char('/') + QLatin1String(name));
    return folders;
}

QString FolderCloudDrive::folder() const
{
    const QStringList folders = searchedFolders();
    for (const QString& candidate : folders) {
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    return folders.last();
}

bool FolderCloudDrive::isAvailable() const
{
    return QFileInfo(folder()).isDir();
}

} // namespace Platform
