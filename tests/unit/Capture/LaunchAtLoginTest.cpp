#include "fakes/FakeLoginItem.h"
#include "fakes/FakeSystemLog.h"

#include "Platform/LoginItem.h"
#include "Platform/SystemLog.h"
#include "Platform/linux/XdgAutostartLoginItem.h"
#include "Settings/Settings.h"
#include "Util/LaunchAtLogin.h"
#include "Util/Localization.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class LaunchAtLoginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousLanguage = Localization::shared().language();
        Localization::shared().setLanguage(AppLanguage::english);
        Localization::formatPlatformTexts();
        Platform::setLoginItemForTesting(&item);
        Platform::setSystemLogForTesting(&log);
    }
    void TearDown() override
    {
        Localization::shared().setLanguage(previousLanguage);
        Settings::shared().hooks().launchAtLoginChanged = nullptr;
        Platform::setLoginItemForTesting(nullptr);
        Platform::setSystemLogForTesting(nullptr);
    }

    AppLanguage previousLanguage = AppLanguage::system;
    FakeLoginItem item;
    FakeSystemLog log;
};

TEST_F(LaunchAtLoginTest, ChangesTheItemOnlyWhenItDiffers)
{
    struct Case {
        bool enabledBefore;
        bool set;
        int registrations;
        int unregistrations;
    };
    const Case cases[] = {{false, true, 1, 0}, {true, true, 0, 0}, {true, false, 0, 1}, {false, false, 0, 0}};
    for (const Case& c : cases) {
        item = FakeLoginItem();
        item.enabled = c.enabledBefore;
        LaunchAtLogin::set(c.set);
        EXPECT_EQ(item.registrations, c.registrations) << c.enabledBefore << c.set;
        EXPECT_EQ(item.unregistrations, c.unregistrations) << c.enabledBefore << c.set;
        EXPECT_EQ(item.enabled, c.set);
    }
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(LaunchAtLoginTest, AFailureWritesOneLineToTheSystemLog)
{
    item.failure =
        Platform::LoginItemError{Platform::LoginItemError::Kind::registerFailed, "No space left on device"};
    LaunchAtLogin::set(true);
    EXPECT_EQ(log.lines,
              QStringList{"Vellora: LaunchAtLogin toggle failed: The login item could not be added: "
                          "No space left on device"});

    item.enabled = true;
    item.failure =
        Platform::LoginItemError{Platform::LoginItemError::Kind::unregisterFailed, "Permission denied"};
    LaunchAtLogin::set(false);
    ASSERT_EQ(log.lines.size(), 2);
    EXPECT_EQ(log.lines.last(),
              "Vellora: LaunchAtLogin toggle failed: The login item could not be removed: Permission denied");
}

TEST_F(LaunchAtLoginTest, TheDescriptionIsInTheChosenLanguage)
{
    Localization::shared().setLanguage(AppLanguage::japanese);
    item.failure = Platform::LoginItemError{Platform::LoginItemError::Kind::registerFailed, "disk full"};
    LaunchAtLogin::set(true);
    EXPECT_EQ(log.lines,
              QStringList{QStringLiteral(
                  "Vellora: LaunchAtLogin toggle failed: ログイン項目を追加できませんでした：disk full")});
}

TEST_F(LaunchAtLoginTest, ThePreferenceKeepsItsValueWhenTheItemFails)
{
    Settings& settings = Settings::shared();
    settings.setLaunchAtLogin(false);
    settings.hooks().launchAtLoginChanged = LaunchAtLogin::set;
    item.failure = Platform::LoginItemError{Platform::LoginItemError::Kind::registerFailed, "denied"};
    settings.setLaunchAtLogin(true);
    EXPECT_TRUE(settings.launchAtLogin());
    EXPECT_EQ(item.registrations, 1);
    EXPECT_EQ(log.lines.size(), 1);

    item.failure.reset();
    settings.setLaunchAtLogin(false);
    settings.setLaunchAtLogin(true);
    EXPECT_TRUE(item.enabled);
    settings.setLaunchAtLogin(false);
    EXPECT_FALSE(item.enabled);
    settings.setLaunchAtLogin(false);
}

class XdgAutostartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid());
        savedConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }
    void TearDown() override
    {
        if (savedConfigHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedConfigHome);
    }

    QTemporaryDir config;
    QByteArray savedConfigHome;
    Platform::XdgAutostartLoginItem item;
};

TEST_F(XdgAutostartTest, AnEntryInTheAutostartFolderStartsThisExecutable)
{
    const QString path = config.filePath(QStringLiteral("autostart/app.vellora.Vellora.desktop"));
    EXPECT_EQ(Platform::XdgAutostartLoginItem::entryPath(), path);
    EXPECT_FALSE(item.isEnabled());

    item.registerItem();
    EXPECT_TRUE(item.isEnabled());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith(QLatin1String("[Desktop Entry]\n")));
    EXPECT_TRUE(text.contains(QLatin1String("\nType=Application\n")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("\nExec=\"%1\"\n").arg(QCoreApplication::applicationFilePath())));

    item.unregisterItem();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(item.isEnabled());
    EXPECT_NO_THROW(item.unregisterItem());
}

TEST_F(XdgAutostartTest, HiddenSwitchedOffOrForeignEntriesAreNotEnabled)
{
    const QString entry = QString::fromUtf8(
        Platform::XdgAutostartLoginItem::entryText(QCoreApplication::applicationFilePath()));
    const QString cases[] = {
        entry + QStringLiteral("Hidden=true\n"),
        QString(entry).replace(QLatin1String("X-GNOME-Autostart-enabled=true"),
                               QLatin1String("X-GNOME-Autostart-enabled=false")),
        QString::fromUtf8(Platform::XdgAutostartLoginItem::entryText(QStringLiteral("/opt/old/vellora"))),
    };
    for (const QString& text : cases) {
        QDir().mkpath(config.filePath(QStringLiteral("autostart")));
        QFile file(Platform::XdgAutostartLoginItem::entryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        file.close();
        EXPECT_FALSE(item.isEnabled()) << text.toStdString();
    }
}

TEST_F(XdgAutostartTest, ExecValuesAreQuotedAndEscaped)
{
    struct Case {
        QString path;
        QString exec;
    };
    const Case cases[] = {
        {"/usr/bin/vellora", R"("/usr/bin/vellora")"},
        {"/home/a b/Vellora", R"("/home/a b/Vellora")"},
        {R"(/x/"q"/$HOME/`c`)", R"("/x/\\"q\\"/\\$HOME/\\`c\\`")"},
        {R"(/x/back\slash)", R"("/x/back\\\\slash")"},
        {"/x/100%/v", R"("/x/100%%/v")"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Platform::XdgAutostartLoginItem::execValue(c.path), c.exec) << c.path.toStdString();
}

TEST_F(XdgAutostartTest, AnInstalledCopyStartsAsTheInstallationNamesIt)
{
    // <real>/bin/vellora with its entry, also reached as <link>/bin/vellora; a copy elsewhere.
    const QString real = config.filePath(QStringLiteral("real"));
    const QString link = config.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QDir().mkpath(real + QStringLiteral("/bin")));
    ASSERT_TRUE(QDir().mkpath(real + QStringLiteral("/share/applications")));
    ASSERT_TRUE(QFile::link(real, link));
    const auto writeFile = [](const QString& path, const QString& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    };
    writeFile(real + QStringLiteral("/bin/vellora"), QStringLiteral("binary"));
    const QString entry = real + QStringLiteral("/share/applications/app.vellora.Vellora.desktop");
    const auto install = [&](const QString& tryExec) {
        writeFile(entry,
                  QStringLiteral("[Desktop Entry]\nType=Application\nName=Vellora\nExec=\"%1\"\nTryExec=%1\n")
                      .arg(tryExec));
    };

    struct Case {
        const char* name;
        QString installedAs; // the entry's TryExec; empty: no entry
        QString running;
        QString started;
    };
    const Case cases[] = {
        {"runs as installed", link + QStringLiteral("/bin/vellora"), link + QStringLiteral("/bin/vellora"),
         link + QStringLiteral("/bin/vellora")},
        {"runs through another path", link + QStringLiteral("/bin/vellora"),
         real + QStringLiteral("/bin/vellora"), link + QStringLiteral("/bin/vellora")},
        {"the entry names another binary", QStringLiteral("/opt/other/vellora"),
         real + QStringLiteral("/bin/vellora"), real + QStringLiteral("/bin/vellora")},
        {"no installation", QString(), real + QStringLiteral("/bin/vellora"),
         real + QStringLiteral("/bin/vellora")},
    };
    for (const Case& c : cases) {
        if (c.installedAs.isEmpty())
            QFile::remove(entry);
        else
            install(c.installedAs);
        EXPECT_EQ(Platform::XdgAutostartLoginItem::executable(c.running), c.started) << c.name;
    }
}

TEST_F(XdgAutostartTest, AFolderThatCantBeWrittenFailsWithTheReason)
{
    // A file where the autostart folder should be.
    QFile blocker(config.filePath(QStringLiteral("autostart")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        item.registerItem();
        FAIL() << "registering should fail";
    } catch (const Platform::LoginItemError& error) {
        EXPECT_EQ(error.kind, Platform::LoginItemError::Kind::registerFailed);
        EXPECT_FALSE(error.reason.isEmpty());
        EXPECT_TRUE(
            error.localizedDescription().startsWith(QLatin1String("The login item could not be added: ")));
    }
    EXPECT_FALSE(item.isEnabled());
}
