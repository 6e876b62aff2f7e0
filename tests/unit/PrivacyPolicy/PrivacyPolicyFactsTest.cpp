#include "AI/ModelKeychain.h"
#include "Platform/Bundle.h"
#include "Platform/CloudDrive.h"
#include "Platform/linux/FolderCloudDrive.h"
#include "Platform/linux/JsonFileDefaults.h"
#include "PublicConfiguration/PublicCloudSettings.h"
#include "PublicConfiguration/PublicConfigurationCache.h"
#include "PublicConfiguration/PublicConfigurationStore.h"
#include "Settings/PrivacyPolicyCatalog.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/DataDirectory.h"
#include "Store/FileAccessStore.h"
#include "Store/ImageFolder.h"
#include "Updates/UpdateSettings.h"
#include "fakes/FakeCloudDrive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include <sys/stat.h>

// The bundled policy states facts about this build; each one is read here from the code that
// makes it true, so that the policy cannot drift from what the program does.

namespace {

const PrivacyPolicyCatalog& policy()
{
    const std::optional<PrivacyPolicyCatalog>& catalog = PrivacyPolicyCatalog::bundled();
    if (!catalog)
        throw std::runtime_error("the bundled privacy policy is missing or invalid");
    return *catalog;
}

// Everything a reader of the document sees as running text.
QString readText(const PrivacyPolicyDocument& document)
{
    QStringList texts = document.lead;
    for (const PrivacyPolicySection& section : document.sections)
        texts += section.paragraphs;
    return texts.join(u'\n');
}

// Restores the environment variable when the test ends.
class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char* name)
        : name_(name)
        , saved_(qgetenv(name))
        , wasSet_(qEnvironmentVariableIsSet(name))
    {}
    ~EnvironmentVariable() { wasSet_ ? qputenv(name_, saved_) : qunsetenv(name_); }

private:
    const char* name_;
    QByteArray saved_;
    bool wasSet_;
};

// "~/…" for a path under the XDG default of a standard location.
QString homeRelative(QStandardPaths::StandardLocation location, const char* xdgDefault, const QString& path)
{
    return QStringLiteral("~/") + QLatin1String(xdgDefault) + u'/' +
           QDir(QStandardPaths::writableLocation(location)).relativeFilePath(path);
}

TEST(PrivacyPolicyFactsTest, EveryLanguageNamesTheSyncedFolderSearchInItsOrder)
{
    constexpr const char* variable = "VELLORA_CLOUD_DRIVE";
    EnvironmentVariable restore(variable);
    const Platform::FolderCloudDrive drive;
    QTemporaryDir chosen;
    ASSERT_TRUE(chosen.isValid());
    qputenv(variable, chosen.path().toUtf8());
    ASSERT_EQ(drive.searchedFolders(), QStringList{chosen.path()}) << "the variable the policy names";
    qunsetenv(variable);
    const QStringList searched = drive.searchedFolders();
    ASSERT_GT(searched.size(), 1);

    for (auto it = policy().locales.begin(); it != policy().locales.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const QString text = readText(it.value());
        EXPECT_TRUE(text.contains(QLatin1String(variable)));
        qsizetype previous = -1;
        for (const QString& folder : searched) {
            const qsizetype at = text.indexOf(Platform::CloudDrive::displayPath(folder), previous + 1);
            EXPECT_GT(at, previous) << Platform::CloudDrive::displayPath(folder).toStdString()
                                    << " missing or out of order";
            previous = std::max(previous, at);
        }
    }
}

TEST(PrivacyPolicyFactsTest, EveryLanguageNamesTheFilesAndPlacesVelloraWrites)
{
    const QString dataFolder = DataDirectory::local();
    // These two always stay in the local data folder, also with sync on.
    ASSERT_EQ(QFileInfo(FileAccessStore::shared().filePath()).absolutePath(), dataFolder);
    ASSERT_EQ(QFileInfo(PublicConfigurationStore::defaultCachePath()).absolutePath(), dataFolder);

    const QStringList facts{
        homeRelative(QStandardPaths::GenericDataLocation, ".local/share", dataFolder),
        DataDirectory::name(),
        ClipboardStore::storeFileName,
        ImageFolder::folderName,
        FileAccessStore::fileName,
        QFileInfo(PublicConfigurationStore::defaultCachePath()).fileName(),
        homeRelative(QStandardPaths::GenericConfigLocation, ".config",
                     Platform::JsonFileDefaults::standardPath()),
        ModelKeychain::service(),
        QStringLiteral("Secret Service"),
    };
    for (auto it = policy().locales.begin(); it != policy().locales.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const QString text = readText(it.value());
        for (const QString& fact : facts)
            EXPECT_TRUE(text.contains(fact)) << fact.toStdString();
    }
}

// One of the writers that may be the first to make Vellora's folders in a new home.
struct FolderMaker {
    const char* name;
    std::function<void()> write;
};

TEST(PrivacyPolicyFactsTest, FoldersOnlyYouCanOpenWhoeverMakesThemFirst)
{
    EnvironmentVariable restoreData("XDG_DATA_HOME");
    EnvironmentVariable restoreConfig("XDG_CONFIG_HOME");
    QTemporaryDir homes;
    ASSERT_TRUE(homes.isValid());
    FakeCloudDrive noSync;
    const QList<FolderMaker> makers{
        // A build with a record address caches the record as soon as it has read it.
        {"record cache",
         [] {
             PublicConfigurationCache{QStringLiteral("identity"), QDateTime::currentDateTimeUtc(),
                                      PublicConfiguration::bundled()}
                 .write(PublicConfigurationStore::defaultCachePath());
         }},
        {"history",
         [&noSync] {
             ClipboardStore store(ClipboardStore::Environment{Settings::shared(), {}, &noSync, {}});
             store.load();
             ASSERT_TRUE(store.addCapturedImage(ClipItem{}, QByteArray("png")));
             store.saveNow();
         }},
        {"file permissions",
         [] {
             FileAccessStore(DataDirectory::local() + u'/' + FileAccessStore::fileName)
                 .save({{QStringLiteral("/tmp"), QByteArray("/tmp")}});
         }},
        {"preferences",
         [] {
             Platform::JsonFileDefaults(Platform::JsonFileDefaults::standardPath())
                 .setBool(QStringLiteral("onboarded"), true);
         }},
    };
    // The usual mask, under which a folder made with the default mode is open to everyone.
    const mode_t mask = ::umask(022);
    for (qsizetype first = 0; first < makers.size(); ++first) {
        SCOPED_TRACE(makers[first].name);
        const QString home = homes.filePath(QString::number(first));
        qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toUtf8());
        for (qsizetype i = 0; i < makers.size(); ++i)
            makers[(first + i) % makers.size()].write();
        const QString folders[] = {DataDirectory::local(),
                                   DataDirectory::local() + u'/' + ImageFolder::folderName,
                                   QFileInfo(Platform::JsonFileDefaults::standardPath()).absolutePath()};
        for (const QString& folder : folders)
            EXPECT_EQ(QFileInfo(folder).permissions() & 0x0777, QFile::Permissions(0x0700))
                << folder.toStdString();
    }
    ::umask(mask);
}

// An address that a packager builds in, by the build option the policy names, and whether the
// running copy would make its request.
struct BuildAddress {
    const char* option;
    const char* infoKey;
    std::function<bool()> requests;
};

TEST(PrivacyPolicyFactsTest, EveryLanguageNamesTheBuildAddressesAndABuildWithoutThemMakesNoRequest)
{
    QFile templateFile(QStringLiteral(VELLORA_SOURCE_DIR "/resources/Info.json.in"));
    ASSERT_TRUE(templateFile.open(QIODevice::ReadOnly));
    const QJsonObject infoTemplate = QJsonDocument::fromJson(templateFile.readAll()).object();
    ASSERT_FALSE(infoTemplate.isEmpty());

    const BuildAddress addresses[] = {
        {"VELLORA_UPDATE_FEED_URL", "SUFeedURL", [] { return UpdateSettings::shared().isConfigured(); }},
        {"VELLORA_PUBLIC_CONFIGURATION_URL", "VelloraPublicConfigurationURL",
         [] { return PublicCloudSettings::current().has_value(); }},
    };
    for (const BuildAddress& address : addresses) {
        SCOPED_TRACE(address.option);
        const QString key = QLatin1String(address.infoKey);
        // The information file writes the named option under its key.
        ASSERT_TRUE(infoTemplate.contains(key));
        EXPECT_EQ(infoTemplate.value(key).toString(), QStringLiteral("@%1_JSON@").arg(address.option));
        if (Platform::mainBundle().infoValue(key).toString().isEmpty()) {
            EXPECT_FALSE(address.requests()) << "a build without the address makes no request";
        }
        for (auto it = policy().locales.begin(); it != policy().locales.end(); ++it)
            EXPECT_TRUE(readText(it.value()).contains(QLatin1String(address.option)))
                << it.key().toStdString();
    }
}

TEST(PrivacyPolicyFactsTest, UpdatedLabelsLeaveTheColonToTheWindow)
{
    for (auto it = policy().locales.begin(); it != policy().locales.end(); ++it) {
        const QString label = it.value().updatedLabel.trimmed();
        EXPECT_FALSE(label.endsWith(u':') || label.endsWith(QChar(0xFF1A))) << it.key().toStdString();
    }
}

} // namespace
