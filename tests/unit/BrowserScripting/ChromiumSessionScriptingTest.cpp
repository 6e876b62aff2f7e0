#include "SessionFileWriter.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "Platform/UserText.h"
#include "Platform/linux/ChromiumSessionScripting.h"
#include "Platform/linux/ChromiumUserDataFolder.h"
#include "Util/Localization.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <array>
#include <cstdio>
#include <grp.h>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
// Readable answers in failure messages.
void PrintTo(const ScriptValue& value, std::ostream* out)
{
    if (!value.isList()) {
        *out << '"' << value.stringValue()->toStdString() << '"';
        return;
    }
    *out << '{';
    for (qsizetype i = 1; i <= value.count(); ++i) {
        *out << (i > 1 ? ", " : "");
        PrintTo(*value.item(i), out);
    }
    *out << '}';
}

void PrintTo(const ScriptRunError& error, std::ostream* out)
{
    *out << "error " << error.number.value_or(0) << ": " << error.message.toStdString();
}
} // namespace Platform

using Platform::ChromiumSessionScripting;
using Platform::ChromiumUserDataFolder;
using Platform::ScriptRunError;
using Platform::ScriptValue;
namespace ScriptStatus = Platform::ScriptStatus;

namespace {

const QString chrome = QStringLiteral("com.google.Chrome");
const QString edge = QStringLiteral("com.microsoft.edgemac");
const QString safari = QStringLiteral("com.apple.Safari");

QString chromeScript()
{
    return BrowserPageReader::source(LinkBrowser::chrome);
}

// No browser process of this user: what runs is known from the folders' locks alone, whatever
// browsers the machine running the tests has open.
Platform::ChromiumProcesses::Scope noBrowserProcesses()
{
    static const QTemporaryDir emptyProc;
    return {emptyProc.path(), -1, {}};
}

// $XDG_CONFIG_HOME pointed at a temporary folder for the life of the object.
class BrowserConfigFolder {
public:
    BrowserConfigFolder()
        : hadConfig_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
        , savedConfig_(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
    }

    ~BrowserConfigFolder()
    {
        if (hadConfig_)
            qputenv("XDG_CONFIG_HOME", savedConfig_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    QString path(const QString& relative = {}) const
    {
        return relative.isEmpty() ? dir_.path() : dir_.path() + u'/' + relative;
    }

    void lock(const QString& folder, const QString& target) const
    {
        QDir().mkpath(path(folder));
        QFile::remove(path(folder + QStringLiteral("/SingletonLock")));
        ASSERT_EQ(symlink(QFile::encodeName(target).constData(),
                          QFile::encodeName(path(folder + QStringLiteral("/SingletonLock"))).constData()),
                  0);
    }

    void lockByThisProcess(const QString& folder) const { lock(folder, lockTarget(getpid())); }

    static QString lockTarget(qint64 pid)
    {
        return QSysInfo::machineHostName() + u'-' + QString::number(pid);
    }

    void write(const QString& relative, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void openProfiles(const QString& folder, const QStringList& profiles) const
    {
        const QString list =
            profiles.isEmpty() ? QString() : u'"' + profiles.join(QStringLiteral("\", \"")) + u'"';
        write(folder + QStringLiteral("/Local State"),
              QStringLiteral(R"({"profile": {"last_active_profiles": [%1], "info_cache": {}}})")
                  .arg(list)
                  .toUtf8());
    }

    void session(const QString& folder, const QString& profile, const QByteArray& bytes,
                 const QString& name = QStringLiteral("Sessions/Session_13441101099588420")) const
    {
        write(folder + u'/' + profile + u'/' + name, bytes);
    }

private:
    QTemporaryDir dir_;
    bool hadConfig_;
    QByteArray savedConfig_;
};

qint64 endedProcessID()
{
    QProcess process;
    process.start(QStringLiteral("true"), {});
    if (!process.waitForStarted())
        return 0;
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

QByteArray oneWindow(std::initializer_list<std::pair<const char*, const char*>> tabs)
{
    SessionFileWriter writer;
    qint32 tab = 0;
    for (const auto& [url, title] : tabs) {
        ++tab;
        writer.setTabWindow(1, tab).setTabIndex(tab, tab).navigation(tab, 0, url, title);
    }
    return writer.bytes();
}

using Row = std::array<const char*, 4>;

ScriptValue answer(std::initializer_list<Row> rows, const QString& message = {}, const QString& code = {})
{
    QList<ScriptValue> items{ScriptValue::list(
        {ScriptValue::text(QStringLiteral("status")), ScriptValue::text(message), ScriptValue::text(code)})};
    for (const Row& row : rows) {
        QList<ScriptValue> texts;
        for (const char* text : row)
            texts.append(ScriptValue::text(QString::fromUtf8(text)));
        items.append(ScriptValue::list(texts));
    }
    return ScriptValue::list(items);
}

std::variant<ScriptValue, ScriptRunError> runScript(ChromiumSessionScripting& scripting,
                                                    const QString& source)
{
    const auto script = scripting.compile(source);
    if (!script)
        return ScriptRunError{std::nullopt, QStringLiteral("not compiled")};
    return scripting.run(*script);
}

std::variant<ScriptValue, ScriptRunError> runChrome()
{
    ChromiumSessionScripting scripting({}, noBrowserProcesses());
    return runScript(scripting, chromeScript());
}

TEST(BrowserRunning, theLockNamesThisMachineAndALiveProcess)
{
    const QString host = QSysInfo::machineHostName();
    const qint64 ended = endedProcessID();
    ASSERT_GT(ended, 0);
    const struct {
        QString target;
        bool running;
    } cases[] = {
        {BrowserConfigFolder::lockTarget(getpid()), true},
        {BrowserConfigFolder::lockTarget(1), true}, // another user's process: EPERM
        {BrowserConfigFolder::lockTarget(ended), false},
        {QStringLiteral("otherhost-%1").arg(getpid()), false},
        {host + QStringLiteral("-"), false},
        {host + QStringLiteral("-0"), false},
        {host + QStringLiteral("--5"), false},
        {host + QStringLiteral("-+%1").arg(getpid()), false},
        {host + QStringLiteral("-%1x").arg(getpid()), false},
        {host + QStringLiteral("-99999999999"), false},
        {QString::number(getpid()), false},
        {host, false},
    };
    for (const auto& c : cases) {
        BrowserConfigFolder config;
        config.lock(QStringLiteral("chromium"), c.target);
        ChromiumSessionScripting scripting({}, noBrowserProcesses());
        EXPECT_EQ(scripting.isRunning(chrome), c.running) << c.target.toStdString();
    }
}

TEST(BrowserRunning, eachBrowserByItsFolders)
{
    const struct {
        const char* folder;
        bool chromeRuns;
        bool edgeRuns;
    } cases[] = {
        {"google-chrome", true, false},
        {"google-chrome-beta", true, false},
        {"google-chrome-unstable", true, false},
        {"chromium", true, false},
        {"microsoft-edge", false, true},
        {"microsoft-edge-beta", false, true},
        {"microsoft-edge-dev", false, true},
        {"chromium-browser", false, false},
        {"Safari", false, false},
    };
    for (const auto& c : cases) {
        BrowserConfigFolder config;
        config.lockByThisProcess(QString::fromUtf8(c.folder));
        ChromiumSessionScripting scripting({}, noBrowserProcesses());
        EXPECT_EQ(scripting.isRunning(chrome), c.chromeRuns) << c.folder;
        EXPECT_EQ(scripting.isRunning(edge), c.edgeRuns) << c.folder;
        EXPECT_FALSE(scripting.isRunning(safari)) << c.folder;
        EXPECT_FALSE(scripting.isRunning(QStringLiteral("org.example.Browser"))) << c.folder;
    }
}

TEST(BrowserRunning, noLockOrAPlainFileIsNotRunning)
{
    BrowserConfigFolder config;
    ChromiumSessionScripting scripting({}, noBrowserProcesses());
    QDir().mkpath(config.path(QStringLiteral("chromium")));
    EXPECT_FALSE(scripting.isRunning(chrome));
    config.write(QStringLiteral("chromium/SingletonLock"),
                 BrowserConfigFolder::lockTarget(getpid()).toUtf8());
    EXPECT_FALSE(scripting.isRunning(chrome));
}

TEST(BrowserPermission, statusByBrowserAndState)
{
    BrowserConfigFolder config;
    config.lockByThisProcess(QStringLiteral("chromium"));
    config.openProfiles(QStringLiteral("chromium"), {QStringLiteral("Default")});
    QDir().mkpath(config.path(QStringLiteral("chromium/Default")));
    ChromiumSessionScripting scripting({}, noBrowserProcesses());
    for (const bool ask : {false, true}) {
        EXPECT_EQ(scripting.automationPermission(QString(), ask), ScriptStatus::badParameter);
        EXPECT_EQ(scripting.automationPermission(chrome, ask), ScriptStatus::allowed);
        EXPECT_EQ(scripting.automationPermission(edge, ask), ScriptStatus::notRunning);
        EXPECT_EQ(scripting.automationPermission(safari, ask), ScriptStatus::notRunning);
        EXPECT_EQ(scripting.automationPermission(QStringLiteral("org.example.Browser"), ask),
                  ScriptStatus::notRunning);
    }
}

void dropToNobody()
{
    constexpr uid_t nobody = 65534;
    if (geteuid() != 0)
        return;
    if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
        std::_Exit(2);
}

// Another user's browser, or a profile folder closed to this user: the files can't be read.
// Root reads everything, so the check runs in a child that gives up root.
TEST(BrowserPermissionDeathTest, aProfileThisUserCannotReadIsNotPermitted)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    BrowserConfigFolder config;
    config.lockByThisProcess(QStringLiteral("chromium"));
    const QString profile = config.path(QStringLiteral("chromium/Default"));
    QDir().mkpath(profile);
    for (const QString& open : {config.path(), config.path(QStringLiteral("chromium"))})
        ASSERT_EQ(chmod(QFile::encodeName(open).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(profile).constData(), 0), 0);
    EXPECT_EXIT(
        {
            dropToNobody();
            ChromiumSessionScripting scripting({}, noBrowserProcesses());
            std::fprintf(stderr, "running=%d status=%d\n", int(scripting.isRunning(chrome)),
                         scripting.automationPermission(chrome, false));
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "running=1 status=-1743");
    chmod(QFile::encodeName(profile).constData(), 0700);
}

void makeFifo(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

TEST(BrowserProfiles, theProfilesOpenLastFromLocalState)
{
    const QStringList fallback{QStringLiteral("Default")};
    const struct {
        const char* name;
        std::optional<QByteArray> localState;
        QStringList profiles;
    } cases[] = {
        {"no Local State", std::nullopt, fallback},
        {"not JSON", QByteArray("{\"profile\": "), fallback},
        {"no profile key", QByteArray(R"({"browser": {}})"), fallback},
        {"an empty list", QByteArray(R"({"profile": {"last_active_profiles": []}})"), fallback},
        {"the list in its order",
         QByteArray(R"({"profile": {"last_active_profiles": ["Profile 2", "Default", "Profile 1"]}})"),
         {"Profile 2", "Default", "Profile 1"}},
        {"names that are not one folder inside",
         QByteArray(R"({"profile": {"last_active_profiles": ["", ".", "..", "../x", "a/b", 5, null,
                    "Profile 1", "Profile 1"]}})"),
         {"Profile 1"}},
    };
    for (const auto& c : cases) {
        BrowserConfigFolder config;
        QDir().mkpath(config.path(QStringLiteral("chromium")));
        if (c.localState)
            config.write(QStringLiteral("chromium/Local State"), *c.localState);
        EXPECT_EQ(ChromiumUserDataFolder(config.path(QStringLiteral("chromium"))).profiles(), c.profiles)
            << c.name;
    }
    BrowserConfigFolder config;
    makeFifo(config.path(QStringLiteral("chromium/Local State")));
    EXPECT_EQ(ChromiumUserDataFolder(config.path(QStringLiteral("chromium"))).profiles(), fallback);
}

using Windows = QList<Platform::ChromiumSessionFile::Window>;

Windows windowsOf(const QByteArray& bytes)
{
    return std::get<Windows>(Platform::ChromiumSessionFile::parse(bytes));
}

TEST(BrowserSessionFiles, theNewestSessionFileIsRead)
{
    const QByteArray older = oneWindow({{"https://older.example/", "Older"}});
    const QByteArray newer = oneWindow({{"https://newer.example/", "Newer"}});
    const QString sessions = QStringLiteral("Sessions/Session_");
    const struct {
        const char* name;
        QList<std::pair<QString, QByteArray>> files;
    } cases[] = {
        {"by number, not by text", {{sessions + "9", older}, {sessions + "10", newer}}},
        {"leading zeros", {{sessions + "0009", older}, {sessions + "00010", newer}}},
        {"times in microseconds",
         {{sessions + "13441101099588420", newer}, {sessions + "13441100541636558", older}}},
        {"other names are passed over",
         {{sessions + "5", newer},
          {sessions + "abc", older},
          {sessions, older},
          {"Sessions/Tabs_99", older},
          {"Sessions/Session_7.tmp", older}}},
        {"the session file of older versions", {{"Current Session", newer}}},
        {"session files before the one of older versions",
         {{sessions + "1", newer}, {"Current Session", older}}},
    };
    for (const auto& c : cases) {
        BrowserConfigFolder config;
        for (const auto& [name, bytes] : c.files)
            config.session(QStringLiteral("chromium"), QStringLiteral("Default"), bytes, name);
        const auto read =
            ChromiumUserDataFolder(config.path(QStringLiteral("chromium"))).readSession("Default");
        ASSERT_TRUE(std::holds_alternative<Windows>(read))
            << c.name << ": " << std::get<QString>(read).toStdString();
        EXPECT_EQ(std::get<Windows>(read), windowsOf(newer)) << c.name;
    }
}

// Only regular files are read: a folder or a pipe in the way is passed over and never blocks.
TEST(BrowserSessionFiles, whatIsNotARegularFileIsPassedOver)
{
    BrowserConfigFolder config;
    const QByteArray bytes = oneWindow({{"https://regular.example/", ""}});
    config.session(QStringLiteral("chromium"), QStringLiteral("Default"), bytes,
                   QStringLiteral("Sessions/Session_5"));
    QDir().mkpath(config.path(QStringLiteral("chromium/Default/Sessions/Session_99")));
    makeFifo(config.path(QStringLiteral("chromium/Default/Sessions/Session_100")));
    makeFifo(config.path(QStringLiteral("chromium/Profile 1/Current Session")));
    const ChromiumUserDataFolder folder(config.path(QStringLiteral("chromium")));
    EXPECT_EQ(std::get<Windows>(folder.readSession(QStringLiteral("Default"))), windowsOf(bytes));
    EXPECT_EQ(std::get<QString>(folder.readSession(QStringLiteral("Profile 1"))),
              QStringLiteral("no session file"));
}

TEST(BrowserSessionFiles, failuresNameTheirReason)
{
    BrowserConfigFolder config;
    config.session(QStringLiteral("chromium"), QStringLiteral("Bad"), SessionFileWriter(7).bytes());
    config.session(QStringLiteral("chromium"), QStringLiteral("Huge"), {});
    QFile huge(config.path(QStringLiteral("chromium/Huge/Sessions/Session_13441101099588420")));
    ASSERT_TRUE(huge.resize(33 * 1024 * 1024));
    QDir().mkpath(config.path(QStringLiteral("chromium/Empty/Sessions")));
    const ChromiumUserDataFolder folder(config.path(QStringLiteral("chromium")));
    const struct {
        const char* profile;
        const char* reason;
    } cases[] = {
        {"Bad", "unsupported session file version 7"},
        {"Huge", "the session file is larger than 32 MiB"},
        {"Empty", "no session file"},
        {"Missing", "no session file"},
    };
    for (const auto& c : cases) {
        const auto read = folder.readSession(QString::fromUtf8(c.profile));
        ASSERT_TRUE(std::holds_alternative<QString>(read)) << c.profile;
        EXPECT_EQ(std::get<QString>(read), QString::fromUtf8(c.reason)) << c.profile;
    }
}

// Windows are numbered across folders (in table order) and profiles (in Local State order);
// tabs within their window, counting the tabs that show no address.
TEST(BrowserRun, answersAsTheScriptWould)
{
    BrowserConfigFolder config;
    config.lockByThisProcess(QStringLiteral("chromium"));
    config.lockByThisProcess(QStringLiteral("google-chrome"));
    config.lockByThisProcess(QStringLiteral("google-chrome-beta"));
    config.lock(QStringLiteral("google-chrome-beta"), QStringLiteral("otherhost-1"));
    config.openProfiles(QStringLiteral("chromium"), {QStringLiteral("Profile 1"), QStringLiteral("Default")});
    SessionFileWriter twoWindows;
    twoWindows.setTabWindow(7, 1).navigation(1, 0, "https://one.example/", "One");
    twoWindows.setTabWindow(7, 2).setTabIndex(2, 1).navigation(2, 0, "", "");
    twoWindows.setTabWindow(7, 3).setTabIndex(3, 2).navigation(3, 0, "https://three.example/", "");
    twoWindows.setTabWindow(8, 4).navigation(4, 0, "https://four.example/", "Four \"quoted\"");
    config.session(QStringLiteral("chromium"), QStringLiteral("Profile 1"), twoWindows.bytes());
    config.session(QStringLiteral("chromium"), QStringLiteral("Default"),
                   oneWindow({{"https://default.example/", "Default page"}}));
    config.session(QStringLiteral("google-chrome"), QStringLiteral("Default"),
                   oneWindow({{"https://chrome.example/", "Chrome page"}, {"chrome://newtab/", "New Tab"}}));
    config.session(QStringLiteral("google-chrome-beta"), QStringLiteral("Default"),
                   oneWindow({{"https://not-running.example/", ""}}));

    const auto result = runChrome();
    ASSERT_TRUE(std::holds_alternative<ScriptValue>(result)) << ::testing::PrintToString(result);
    EXPECT_EQ(std::get<ScriptValue>(result), answer({
                                                 {"1", "1", "Chrome page", "https://chrome.example/"},
                                                 {"1", "2", "New Tab", "chrome://newtab/"},
                                                 {"2", "1", "One", "https://one.example/"},
                                                 {"2", "3", "", "https://three.example/"},
                                                 {"3", "1", "Four \"quoted\"", "https://four.example/"},
                                                 {"4", "1", "Default page", "https://default.example/"},
                                             }));
}

TEST(BrowserRun, aProfileThatCannotBeReadIsTheFirstErrorAndTheOthersAreRead)
{
    BrowserConfigFolder config;
    config.lockByThisProcess(QStringLiteral("microsoft-edge"));
    config.openProfiles(
        QStringLiteral("microsoft-edge"),
        {QStringLiteral("Profile 1"), QStringLiteral("Default"), QStringLiteral("Profile 2")});
    config.session(QStringLiteral("microsoft-edge"), QStringLiteral("Profile 1"), "not a session");
    config.session(QStringLiteral("microsoft-edge"), QStringLiteral("Default"),
                   oneWindow({{"https://edge.example/", "Edge page"}}));
    ChromiumSessionScripting scripting({}, noBrowserProcesses());
    const auto result = runScript(scripting, BrowserPageReader::source(LinkBrowser::edge));
    ASSERT_TRUE(std::holds_alternative<ScriptValue>(result)) << ::testing::PrintToString(result);
    EXPECT_EQ(std::get<ScriptValue>(result),
              answer({{"1", "1", "Edge page", "https://edge.example/"}},
                     QStringLiteral(
                         "Can't read the open tabs of \"microsoft-edge/Profile 1\": not a session file."),
                     QStringLiteral("-1728")));

    // The application puts these texts in the user's language.
    Localization::formatPlatformTexts();
    Localization::shared().setLanguage(AppLanguage::japanese);
    const auto japanese = runScript(scripting, BrowserPageReader::source(LinkBrowser::edge));
    Localization::shared().setLanguage(AppLanguage::english);
    Platform::setUserTextFormatter(nullptr);
    ASSERT_TRUE(std::holds_alternative<ScriptValue>(japanese));
    EXPECT_EQ(std::get<ScriptValue>(japanese).item(1)->item(2)->stringValue(),
              QStringLiteral("「microsoft-edge/Profile "
                             "1」の開いているタブを読み取れません：セッションファイルではありません。"));
}

TEST(BrowserRun, runErrors)
{
    const QString unreadable = QStringLiteral(
        "Can't read the open tabs of \"chromium/Profile 1\": unsupported session file version 9.");
    const struct {
        const char* name;
        std::function<void(const BrowserConfigFolder&)> prepare;
        ScriptRunError error;
    } cases[] = {
        {"not running",
         [](const BrowserConfigFolder&) {},
         {ScriptStatus::notRunning, QStringLiteral("浏览器已退出。")}},
        {"quit, its lock left behind",
         [](const BrowserConfigFolder& c) {
             c.lock(QStringLiteral("chromium"), BrowserConfigFolder::lockTarget(endedProcessID()));
             c.session(QStringLiteral("chromium"), QStringLiteral("Default"),
                       oneWindow({{"https://a.example/", ""}}));
         },
         {ScriptStatus::notRunning, QStringLiteral("浏览器已退出。")}},
        {"no profile could be read: the first one's reason",
         [](const BrowserConfigFolder& c) {
             c.lockByThisProcess(QStringLiteral("chromium"));
             c.openProfiles(QStringLiteral("chromium"),
                            {QStringLiteral("Profile 1"), QStringLiteral("Default")});
             c.session(QStringLiteral("chromium"), QStringLiteral("Profile 1"), SessionFileWriter(9).bytes());
         },
         {ScriptStatus::noSuchObject, unreadable}},
    };
    for (const auto& c : cases) {
        BrowserConfigFolder config;
        c.prepare(config);
        const auto result = runChrome();
        ASSERT_TRUE(std::holds_alternative<ScriptRunError>(result)) << c.name;
        EXPECT_EQ(std::get<ScriptRunError>(result), c.error) << c.name;
    }
}

TEST(BrowserRun, safariNeverRuns)
{
    BrowserConfigFolder config;
    config.lockByThisProcess(QStringLiteral("chromium"));
    ChromiumSessionScripting scripting({}, noBrowserProcesses());
    const auto result = runScript(scripting, BrowserPageReader::source(LinkBrowser::safari));
    EXPECT_EQ(std::get<ScriptRunError>(result),
              (ScriptRunError{ScriptStatus::notRunning, QStringLiteral("浏览器已退出。")}));
}

// The script's time-out bounds the whole read: a clock that moves past it fails the run.
TEST(BrowserRun, aReadPastTheTimeoutTimesOut)
{
    BrowserConfigFolder config;
    config.lockByThisProcess(QStringLiteral("chromium"));
    config.session(QStringLiteral("chromium"), QStringLiteral("Default"),
                   oneWindow({{"https://a.example/", ""}}));
    const struct {
        qint64 stepMs;
        bool timesOut;
    } cases[] = {{0, false}, {4000, false}, {9000, true}};
    for (const auto& c : cases) {
        qint64 now = 0;
        ChromiumSessionScripting scripting([&] { return now += c.stepMs; }, noBrowserProcesses());
        const auto result = runScript(scripting, chromeScript());
        if (c.timesOut) {
            ASSERT_TRUE(std::holds_alternative<ScriptRunError>(result)) << c.stepMs;
            EXPECT_EQ(std::get<ScriptRunError>(result),
                      (ScriptRunError{
                          ScriptStatus::timedOut,
                          QStringLiteral("The browser's open tabs could not be read within 8 seconds.")}));
        } else {
            EXPECT_EQ(std::get<ScriptValue>(result), answer({{"1", "1", "", "https://a.example/"}}))
                << c.stepMs;
        }
    }
}

TEST(BrowserRun, aScriptFromAnotherServiceIsRefused)
{
    struct OtherScript : Platform::BrowserScript {};
    ChromiumSessionScripting scripting({}, noBrowserProcesses());
    EXPECT_EQ(std::get<ScriptRunError>(scripting.run(OtherScript())),
              (ScriptRunError{ScriptStatus::badParameter,
                              QStringLiteral("The script was not made by this scripting service.")}));
}

// The page reader calls the service from its background queue; reads share nothing.
TEST(BrowserRun, concurrentRunsGiveTheSameAnswer)
{
    BrowserConfigFolder config;
    config.lockByThisProcess(QStringLiteral("chromium"));
    config.session(QStringLiteral("chromium"), QStringLiteral("Default"),
                   oneWindow({{"https://a.example/", "A"}, {"https://b.example/", "B"}}));
    ChromiumSessionScripting scripting({}, noBrowserProcesses());
    const auto script = scripting.compile(chromeScript());
    ASSERT_TRUE(script);
    const QList<int> runs(16, 0);
    const QList<std::variant<ScriptValue, ScriptRunError>> results =
        QtConcurrent::blockingMapped(runs, [&](int) { return scripting.run(*script); });
    const ScriptValue expected =
        answer({{"1", "1", "A", "https://a.example/"}, {"1", "2", "B", "https://b.example/"}});
    for (const auto& result : results)
        EXPECT_EQ(std::get<ScriptValue>(result), expected);
}

} // namespace
