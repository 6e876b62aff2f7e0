#include "Platform/linux/SecretServiceKeychain.h"
#include "AI/ModelError.h"
#include "AI/ModelKeychain.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

// The keychain is tested against a real Secret Service, but never the user's: each case
// re-runs this executable in a D-Bus session of its own, with an unlocked gnome-keyring
// whose files live in a temporary folder, or with no Secret Service at all.
namespace {

const char* const liveMarker = "VELLORA_KEYCHAIN_LIVE";
const char* const absentMarker = "VELLORA_KEYCHAIN_ABSENT";
constexpr int childTimeoutMs = 120'000;
// Starts an unlocked gnome-keyring (empty password) on the session bus, then runs "$0 $@".
const char* const startKeyring =
    "eval \"$(printf '\\n' | gnome-keyring-daemon --unlock --components=secrets)\" && "
    "export GNOME_KEYRING_CONTROL && exec \"$0\" \"$@\"";

QString uniqueAccount()
{
    return QStringLiteral("https://keychain-test.invalid/%1/chat/completions")
        .arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
}

QString run(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(10'000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Runs this executable with the filter and environment; returns its exit code and output.
std::pair<int, QString> runChild(const QString& program, QStringList arguments,
                                 const QProcessEnvironment& env)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(program, arguments);
    if (!child.waitForFinished(childTimeoutMs)) {
        child.kill();
        child.waitForFinished();
        return {-1, QStringLiteral("timed out\n") + QString::fromUtf8(child.readAll())};
    }
    return {child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -2,
            QString::fromUtf8(child.readAll())};
}

QProcessEnvironment sandboxEnvironment(const QTemporaryDir& dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        env.insert(QString::fromLatin1(name), dir.filePath(QString::fromLatin1(name)));
    for (const QString& key : env.keys()) {
        if (key.startsWith(QLatin1String("XDG_")) || key == QLatin1String("HOME"))
            QDir().mkpath(env.value(key));
    }
    QFile::setPermissions(env.value(QStringLiteral("XDG_RUNTIME_DIR")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The child needs no display.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    env.remove(QStringLiteral("GNOME_KEYRING_CONTROL"));
    return env;
}

TEST(SecretServiceKeychain, WorksAgainstAPrivateGnomeKeyring)
{
    if (qEnvironmentVariableIsSet(liveMarker))
        GTEST_SKIP() << "runs in the child";
    QTemporaryDir dir;
    QProcessEnvironment env = sandboxEnvironment(dir);
    env.insert(QString::fromLatin1(liveMarker), QStringLiteral("1"));
    const auto [code, output] =
        runChild(QStringLiteral("dbus-run-session"),
                 {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                  QString::fromLatin1(startKeyring), QCoreApplication::applicationFilePath(),
                  QStringLiteral("--gtest_filter=SecretServiceKeychainLive.*")},
                 env);
    EXPECT_EQ(code, 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 3 tests"))) << output.toStdString();
}

TEST(SecretServiceKeychain, FailsFastWithoutASecretService)
{
    if (qEnvironmentVariableIsSet(absentMarker))
        GTEST_SKIP() << "runs in the child";
    QTemporaryDir dir;
    // A session bus that knows no services to activate, so no keyring can start.
    const QString config = dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
               "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:dir=" +
               dir.path().toUtf8() +
               "</listen><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
               "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    file.close();
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--config-file=") + config, QStringLiteral("--print-address=1"),
               QStringLiteral("--nofork")});
    ASSERT_TRUE(bus.waitForReadyRead(10'000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();

    QProcessEnvironment env = sandboxEnvironment(dir);
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    env.insert(QString::fromLatin1(absentMarker), QStringLiteral("1"));
    const auto [code, output] =
        runChild(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=SecretServiceKeychainAbsent.*")}, env);
    bus.terminate();
    bus.waitForFinished();
    EXPECT_EQ(code, 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
}

class SecretServiceKeychainLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet(liveMarker))
            GTEST_SKIP() << "needs the private keyring of WorksAgainstAPrivateGnomeKeyring";
    }

    Platform::SecretServiceKeychain secrets;
    ModelKeychain keychain{secrets};
    const QString account = uniqueAccount();
};

TEST_F(SecretServiceKeychainLive, SavesReadsReplacesAndDeletes)
{
    EXPECT_EQ(keychain.read(account), QString());
    keychain.save(account, QStringLiteral("sk-first"));
    EXPECT_EQ(keychain.read(account), QStringLiteral("sk-first"));
    keychain.save(account, QString::fromUtf8("sk-second-密钥"));
    EXPECT_EQ(keychain.read(account), QString::fromUtf8("sk-second-密钥"));
    EXPECT_EQ(keychain.read(uniqueAccount()), QString());
    keychain.remove(account);
    EXPECT_EQ(keychain.read(account), QString());
    keychain.remove(account); // deleting a missing item is no failure
}

TEST_F(SecretServiceKeychainLive, ItemsAreSharedWithOtherSecretServiceClients)
{
    keychain.save(account, QStringLiteral("sk-visible"));
    const QStringList lookup{QStringLiteral("lookup"), QStringLiteral("service"), ModelKeychain::service(),
                             QStringLiteral("account"), account};
    EXPECT_EQ(run(QStringLiteral("secret-tool"), lookup), QStringLiteral("sk-visible"));
    keychain.remove(account);
    EXPECT_EQ(run(QStringLiteral("secret-tool"), lookup), QString());

    const QString other = uniqueAccount();
    run(QStringLiteral("secret-tool"),
        {QStringLiteral("store"), QStringLiteral("--label=other client"), QStringLiteral("service"),
         ModelKeychain::service(), QStringLiteral("account"), other},
        "sk-from-elsewhere");
    EXPECT_EQ(keychain.read(other), QStringLiteral("sk-from-elsewhere"));
    keychain.remove(other);
}

TEST_F(SecretServiceKeychainLive, AccountsAreKeptApartPerService)
{
    secrets.write(QStringLiteral("other.service"), account, QStringLiteral("not ours"));
    EXPECT_EQ(keychain.read(account), QString());
    keychain.save(account, QStringLiteral("ours"));
    EXPECT_EQ(secrets.read(QStringLiteral("other.service"), account), QStringLiteral("not ours"));
    secrets.remove(QStringLiteral("other.service"), account);
    keychain.remove(account);
}

TEST(SecretServiceKeychainAbsent, EveryCallFailsWithTheKeychainError)
{
    if (!qEnvironmentVariableIsSet(absentMarker))
        GTEST_SKIP() << "needs the bus of FailsFastWithoutASecretService";
    Platform::SecretServiceKeychain secrets;
    ModelKeychain keychain(secrets);
    const QString account = uniqueAccount();
    for (const auto& call : std::initializer_list<std::function<void()>>{
             [&] { keychain.read(account); }, [&] { keychain.save(account, QStringLiteral("k")); },
             [&] { keychain.remove(account); }}) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const ModelError& error) {
            EXPECT_EQ(error.kind(), ModelError::Kind::keychain);
        }
    }
}

} // namespace
