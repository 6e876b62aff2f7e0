#include "Util/SyncedFolderText.h"

#include "Platform/CloudDrive.h"
#include "Util/Localization.h"

#include <QLocale>

namespace SyncedFolderText {

namespace {

constexpr QChar wordJoiner(0x2060);

// "~/Nextcloud, ~/Dropbox and ~/Sync", joined the way the language in effect joins a list.
QString searchedFolders(const Platform::CloudDrive& drive)
{
    QStringList paths;
    for (const QString& folder : drive.searchedFolders())
        paths.append(folderName(folder));
    return QLocale(AppLanguages::rawValue(Localization::shared().resolvedLanguage()))
        .createSeparatedList(paths);
}

} // namespace

QString caption(const Platform::CloudDrive& drive)
{
    if (drive.isAvailable())
        return Localization::format(
            QStringLiteral("Keeps your history and pinboards in sync across your computers through %@."),
            folderName(drive.folder()));
    return Localization::format(
        QStringLiteral(
            "No synced folder found. Vellora looks for %@; set VELLORA_CLOUD_DRIVE to use another folder."),
        searchedFolders(drive));
}

QString unavailableMessage(const Platform::CloudDrive& drive)
{
    return Localization::format(
        QStringLiteral("Vellora looked for %@ and found no folder. Set up a file-sync client "
                       "there, or set VELLORA_CLOUD_DRIVE to a synced folder, to sync your "
                       "clipboard across your computers."),
        searchedFolders(drive));
}

QString folderName(const QString& path)
{
    // Lines may otherwise break after a slash.
    return Platform::CloudDrive::displayPath(path).replace(QLatin1Char('/'),
                                                           QStringLiteral("/") + wordJoiner);
}

} // namespace SyncedFolderText
