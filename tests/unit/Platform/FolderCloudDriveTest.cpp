#include "Platform/linux/FolderCloudDrive.h"
#include "unit/Workspace/EnvironmentVariable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList searchOrder{"Nextcloud", "Dropbox", "Sync", "OneDrive", "CloudDrive"};

struct SearchCase {
    const char* name;
    QStringList folders; // made in the temporary home
    QStringList files;   // plain files, which are no synced folder
    QString expected;    // relative to the home
    bool available;
};

class FolderCloudDriveSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(FolderCloudDriveSearch, TakesTheFirstExistingFolderInOrder)
{
    const SearchCase& c = GetParam();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    EnvironmentVariable homeVariable("HOME", home.path().toUtf8());
    EnvironmentVariable configured("VELLORA_CLOUD_DRIVE", QByteArray());
    for (const QString& folder : c.folders)
        ASSERT_TRUE(QDir(home.path()).mkpath(folder));
    for (const QString& file : c.files) {
        QFile plain(home.filePath(file));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    }

    const Platform::FolderCloudDrive drive;
    EXPECT_EQ(drive.folder(), home.filePath(c.expected));
    EXPECT_EQ(drive.isAvailable(), c.available);
    QStringList searched;
    for (const QString& name : searchOrder)
        searched.append(home.filePath(name));
    EXPECT_EQ(drive.searchedFolders(), searched);
    EXPECT_EQ(Platform::CloudDrive::displayPath(drive.folder()), QStringLiteral("~/") + c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Homes, FolderCloudDriveSearch,
    ::testing::Values(SearchCase{"none", {}, {}, "CloudDrive", false},
                      SearchCase{"all", searchOrder, {}, "Nextcloud", true},
                      SearchCase{"dropbox before sync", {"Sync", "Dropbox", "OneDrive"}, {}, "Dropbox", true},
                      SearchCase{"sync before onedrive", {"OneDrive", "Sync"}, {}, "Sync", true},
                      SearchCase{"onedrive before own", {"CloudDrive", "OneDrive"}, {}, "OneDrive", true},
                      SearchCase{"own folder last", {"CloudDrive"}, {}, "CloudDrive", true},
                      SearchCase{"a file is no folder", {"Sync"}, {"Nextcloud", "Dropbox"}, "Sync", true},
                      SearchCase{
                          "lower case is another folder", {"nextcloud", "dropbox"}, {}, "CloudDrive", false}),
    [](const auto& info) {
        QString name = QString::fromUtf8(info.param.name);
        name.replace(QLatin1Char(' '), QLatin1Char('_'));
        return name.toStdString();
    });

TEST(FolderCloudDrive, TheEnvironmentVariableWinsEvenWhenItsFolderIsMissing)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Nextcloud")));
    EnvironmentVariable homeVariable("HOME", home.path().toUtf8());
    const QString chosen = home.filePath(QStringLiteral("elsewhere/sync"));
    EnvironmentVariable configured("VELLORA_CLOUD_DRIVE", (chosen + QStringLiteral("/")).toUtf8());

    const Platform::FolderCloudDrive drive;
    EXPECT_EQ(drive.folder(), chosen);
    EXPECT_EQ(drive.searchedFolders(), QStringList{chosen});
    EXPECT_FALSE(drive.isAvailable());
    ASSERT_TRUE(QDir().mkpath(chosen));
    EXPECT_TRUE(drive.isAvailable());
    EXPECT_EQ(Platform::CloudDrive::displayPath(QStringLiteral("/srv/sync")), QStringLiteral("/srv/sync"));
}

} // namespace
