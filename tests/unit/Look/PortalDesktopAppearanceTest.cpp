#include "Platform/linux/PortalDesktopAppearance.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

// The settings side of a desktop portal on a private bus: answers "color-scheme" with the
// value it is given, after an optional delay, in its own thread as a separate process would.
class FakePortalSettings final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    std::atomic<uint> colorScheme = 0;
    std::atomic<int> replyDelayMs = 0;
    std::atomic<int> reads = 0;

public slots:
    QDBusVariant Read(const QString& nameSpace, const QString& key)
    {
        ++reads;
        QThread::msleep(replyDelayMs);
        if (nameSpace != QLatin1String("org.freedesktop.appearance") || key != QLatin1String("color-scheme"))
            return QDBusVariant(QVariant::fromValue(QDBusVariant(QString())));
        // Version 1 of the portal wraps the value twice.
        return QDBusVariant(QVariant::fromValue(QDBusVariant(uint(colorScheme))));
    }
};

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
constexpr int generousWaitMs = 5000;

// A private session bus for this test executable, with the fake portal on it. The
// application's session bus connection is made to it, so the real desktop is never asked.
class PortalDesktopAppearanceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        busFolder = new QTemporaryDir;
        configFolder = new QTemporaryDir;
        const QString config = busFolder->filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                           "<auth>EXTERNAL</auth><policy context=\"default\">"
                           "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                           "<allow own=\"*\"/></policy></busconfig>")
                .arg(busFolder->path())
                .toUtf8());
        file.close();
        daemon = new QProcess;
        daemon->start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
        ASSERT_TRUE(daemon->waitForReadyRead(generousWaitMs)) << "dbus-daemon did not start";
        const QByteArray address = daemon->readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        qputenv("XDG_CONFIG_HOME", configFolder->path().toUtf8());
        qunsetenv("GTK_THEME");

        portalThread = new QThread;
        portalThread->start();
        portal = new FakePortalSettings;
        portal->moveToThread(portalThread);
        QDBusConnection bus =
            QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("fakePortal"));
        ASSERT_TRUE(bus.isConnected());
        ASSERT_TRUE(bus.registerObject(portalPath, portal, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(bus.registerService(portalService));
    }

    static void TearDownTestSuite()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("fakePortal"));
        portalThread->quit();
        portalThread->wait();
        delete portal;
        delete portalThread;
        daemon->kill();
        daemon->waitForFinished();
        delete daemon;
        delete configFolder;
        delete busFolder;
    }

    void SetUp() override
    {
        portal->colorScheme = 0;
        portal->replyDelayMs = 0;
        QDir(configFolder->path()).removeRecursively();
        QDir().mkpath(configFolder->path());
    }

    static void writeConfig(const QString& relativePath, const QByteArray& text)
    {
        const QString path = QDir(configFolder->path()).filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    static void announce(uint colorScheme)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            portalPath, QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("SettingChanged"));
        signal << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme")
               << QVariant::fromValue(QDBusVariant(colorScheme));
        QDBusConnection(QStringLiteral("fakePortal")).send(signal);
    }

    static inline QTemporaryDir* busFolder = nullptr;
    static inline QTemporaryDir* configFolder = nullptr;
    static inline QProcess* daemon = nullptr;
    static inline QThread* portalThread = nullptr;
    static inline FakePortalSettings* portal = nullptr;
};

TEST_F(PortalDesktopAppearanceTest, PortalAnswerWinsOverSettingsFiles)
{
    writeConfig(QStringLiteral("gtk-3.0/settings.ini"), "[Settings]\ngtk-application-prefer-dark-theme=1\n");
    portal->colorScheme = 2;
    Platform::PortalDesktopAppearance light;
    EXPECT_FALSE(light.prefersDark());

    portal->colorScheme = 1;
    writeConfig(QStringLiteral("gtk-3.0/settings.ini"), "[Settings]\ngtk-theme-name=Adwaita\n");
    Platform::PortalDesktopAppearance dark;
    EXPECT_TRUE(dark.prefersDark());
}

TEST_F(PortalDesktopAppearanceTest, NoPreferenceFallsBackToGtkThenKde)
{
    Platform::PortalDesktopAppearance nothing;
    EXPECT_FALSE(nothing.prefersDark());

    writeConfig(QStringLiteral("kdeglobals"), "[General]\nColorScheme=BreezeDark\n");
    Platform::PortalDesktopAppearance kde;
    EXPECT_TRUE(kde.prefersDark());

    writeConfig(QStringLiteral("gtk-3.0/settings.ini"), "[Settings]\ngtk-theme-name=Adwaita\n");
    Platform::PortalDesktopAppearance gtk;
    EXPECT_FALSE(gtk.prefersDark());

    qputenv("GTK_THEME", "Adwaita:dark");
    Platform::PortalDesktopAppearance environment;
    EXPECT_TRUE(environment.prefersDark());
    qunsetenv("GTK_THEME");
}

TEST_F(PortalDesktopAppearanceTest, FollowsSettingChanged)
{
    portal->colorScheme = 2;
    Platform::PortalDesktopAppearance desktop;
    ASSERT_FALSE(desktop.prefersDark());
    QSignalSpy changed(&desktop, &Platform::DesktopAppearance::changed);

    announce(1);
    ASSERT_TRUE(changed.wait(generousWaitMs));
    EXPECT_TRUE(desktop.prefersDark());

    announce(1); // no real change
    announce(2);
    ASSERT_TRUE(changed.wait(generousWaitMs));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_FALSE(desktop.prefersDark());
}

TEST_F(PortalDesktopAppearanceTest, SlowPortalDoesNotHoldUpStartAndIsAppliedWhenItAnswers)
{
    portal->colorScheme = 1;
    portal->replyDelayMs = 1500;
    Platform::PortalDesktopAppearance desktop;
    QSignalSpy changed(&desktop, &Platform::DesktopAppearance::changed);
    EXPECT_FALSE(desktop.prefersDark()); // answered from the (empty) settings files
    ASSERT_TRUE(changed.wait(generousWaitMs));
    EXPECT_TRUE(desktop.prefersDark());
}

} // namespace

#include "PortalDesktopAppearanceTest.moc"
