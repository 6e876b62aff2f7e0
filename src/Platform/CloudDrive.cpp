#include "Platform/CloudDrive.h"

#include "Platform/linux/FolderCloudDrive.h"

#include <QDir>

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

QString CloudDrive::displayPath(const QString& path)
{
    const QString home = QDir::homePath();
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home + QLatin1Char('/')))
        return QStringLiteral("~") + path.mid(home.size());
    return path;
}

void setCloudDriveForTesting(CloudDrive* fake)
{
    testingInstance = fake;
}

} // namespace Platform
