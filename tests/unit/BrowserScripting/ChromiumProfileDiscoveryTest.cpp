#include "SessionFileWriter.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "Platform/linux/ChromiumHistoryTitles.h"
#include "Platform/linux/ChromiumProcesses.h"
#include "Platform/linux/ChromiumSessionScripting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

using Platform::ChromiumHistoryTitles;
using Platform::ChromiumProcesses;

namespace {

constexpr qint64 lookUpTimeoutMs = 5000;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The lock a browser run by this process holds on its user data folder.
bool lockAsThisProcess(const QString& folder)
{
    const QString target = QSysInfo::machineHostName() + u'-' + QString::number(getpid());
    return symlink(QFile::encodeName(target).constData(),
                   QFile::encodeName(folder + "/SingletonLock").constData()) == 0;
}

void exec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

// A profile's "History" database with the browser's table of visited addresses.
sqlite3* openHistory(const QString& profile)
{
    QDir().mkpath(profile);
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(profile + QStringLiteral("/History")).constData(), &db),
              SQLITE_OK);
    exec(db, "CREATE TABLE urls(id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
             "visit_count INTEGER DEFAULT 0, last_visit_time INTEGER NOT NULL)");
    exec(db, "INSERT INTO urls(url, title, last_visit_time) VALUES "
             "('https://a.example/', 'Old title', 1), ('https://a.example/', 'Alpha Centauri', 2), "
             "('https://b.example/x', '', 3), ('https://c.example/', '彗星 comet', 4)");
    return db;
}

const QStringList asked = {QStringLiteral("https://a.example/"), QStringLiteral("https://b.example/x"),
                           QStringLiteral("https://c.example/"), QStringLiteral("https://missing.example/")};
const QHash<QString, QString> allTitles = {
    {QStringLiteral("https://a.example/"), QStringLiteral("Alpha Centauri")},
    {QStringLiteral("https://c.example/"), QStringLiteral("彗星 comet")}};

TEST(HistoryTitles, newestNonEmptyTitleOfEachAddressFromASnapshot)
{
    QTemporaryDir dir;
    const QString profile = dir.filePath(QStringLiteral("Default"));
    sqlite3* live = openHistory(profile);
    // The browser holds its database locked for writing while it runs.
    exec(live, "PRAGMA locking_mode=EXCLUSIVE");
    exec(live, "BEGIN EXCLUSIVE");
    exec(live, "UPDATE urls SET title = 'uncommitted' WHERE url = 'https://c.example/'");

    EXPECT_EQ(ChromiumHistoryTitles::lookUp(profile, asked, lookUpTimeoutMs), allTitles);
    exec(live, "ROLLBACK");
    sqlite3_close(live);
    const QStringList after = QDir(profile).entryList(QDir::Files);
    EXPECT_EQ(after, QStringList{QStringLiteral("History")}) << "the live folder was written to";
}

TEST(HistoryTitles, noTitlesFromADatabaseThatCanNotBeRead)
{
    const struct {
        const char* name;
        std::function<void(const QString& profile)> make;
    } cases[] = {
        {"missing", [](const QString& profile) { QDir().mkpath(profile); }},
        {"not a database",
         [](const QString& profile) { writeFile(profile + "/History", QByteArray(8192, 'x')); }},
        {"no table of addresses",
         [](const QString& profile) {
             sqlite3* db = nullptr;
             QDir().mkpath(profile);
             sqlite3_open(QFile::encodeName(profile + "/History").constData(), &db);
             exec(db, "CREATE TABLE other(x)");
             sqlite3_close(db);
         }},
        {"larger than the limit",
         [](const QString& profile) {
             sqlite3_close(openHistory(profile));
             QFile file(profile + "/History");
             ASSERT_TRUE(file.resize(ChromiumHistoryTitles::maxDatabaseBytes + 1));
         }},
        {"a link to another file",
         [](const QString& profile) {
             sqlite3_close(openHistory(profile + "/../elsewhere"));
             QFile::link(profile + "/../elsewhere/History", profile + "/History");
         }},
        {"a journal that is a folder",
         [](const QString& profile) {
             sqlite3_close(openHistory(profile));
             QDir().mkpath(profile + "/History-journal");
         }},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString profile = dir.filePath(QStringLiteral("Default"));
        c.make(profile);
        EXPECT_TRUE(ChromiumHistoryTitles::lookUp(profile, asked, lookUpTimeoutMs).isEmpty()) << c.name;
    }
}

// A folder laid out like /proc with the processes a test describes.
class FakeProc {
public:
    struct Process {
        qint64 pid;
        qint64 uid;
        QString executable;
        QStringList arguments;
        char state = 'S';
        QByteArray environment;
        QString cwd;
        QByteArray flatpakInfo;
    };

    void add(const Process& process)
    {
        const QString folder = root() + u'/' + QString::number(process.pid);
        writeFile(folder + "/stat", QByteArray::number(process.pid) + " (x) " + process.state + " 1 1");
        writeFile(folder + "/status", "Name:\tx\nUid:\t" + QByteArray::number(process.uid) + "\t" +
                                          QByteArray::number(process.uid) + "\t0\t0\n");
        writeFile(folder + "/cmdline", process.arguments.join(QChar(0)).toLocal8Bit() + '\0');
        writeFile(folder + "/environ", process.environment);
        QFile::link(process.executable, folder + "/exe");
        if (!process.cwd.isEmpty())
            QFile::link(process.cwd, folder + "/cwd");
        if (!process.flatpakInfo.isEmpty())
            writeFile(folder + "/root/.flatpak-info", process.flatpakInfo);
    }

    QString root() const { return dir_.filePath(QStringLiteral("proc")); }

private:
    QTemporaryDir dir_;
};

constexpr qint64 me = 1000;
const QString home = QStringLiteral("/home/user");

TEST(BrowserProcesses, userDataFoldersOfTheMainProcessesOfThisUser)
{
    FakeProc proc;
    const QString chromium = QStringLiteral("/usr/lib/chromium/chromium");
    proc.add({101, me, chromium, {chromium, "--no-first-run"}});
    proc.add({102, me, chromium, {chromium, "--user-data-dir=/data/profiles/work", "https://x.example/"}});
    proc.add({103, me, chromium, {chromium, "--type=renderer", "--user-data-dir=/data/r"}});
    proc.add({104, me, chromium, {chromium, "--user-data-dir=rel/dir"}, 'S', {}, "/srv/start"});
    proc.add({105, me, chromium, {chromium, "--user-data-dir=/dead"}, 'Z'});
    proc.add({106, 4242, chromium, {chromium, "--user-data-dir=/theirs"}});
    proc.add({107,
              me,
              "/app/chromium/chromium",
              {"/app/chromium/chromium"},
              'S',
              {},
              {},
              "[Application]\nname=org.chromium.Chromium\nruntime=x\n"});
    proc.add({108, me, "/snap/chromium/2890/usr/lib/chromium-browser/chrome", {"chrome"}});
    proc.add({109, me, "/opt/microsoft/msedge-beta/msedge", {"/opt/microsoft/msedge-beta/msedge"}});
    proc.add({110,
              me,
              "/opt/google/chrome/chrome",
              {"/opt/google/chrome/chrome"},
              'S',
              QByteArray("LANG=C\0XDG_CONFIG_HOME=/cfg\0", 28)});
    proc.add({111, me, "/usr/bin/bash", {"bash", "--user-data-dir=/nope"}});
    // A helper that rewrote its command line as one text.
    proc.add({112, me, chromium, {chromium + " --type=renderer --lang=en-US"}});

    const QList<ChromiumProcesses::Process> expected = {
        {101, "com.google.Chrome", {home + "/.config/chromium"}},
        {102, "com.google.Chrome", {"/data/profiles/work"}},
        {104, "com.google.Chrome", {"/srv/start/rel/dir"}},
        {107, "com.google.Chrome", {home + "/.var/app/org.chromium.Chromium/config/chromium"}},
        {108,
         "com.google.Chrome",
         {home + "/snap/chromium/common/chromium", home + "/snap/chromium/current/.config/chromium"}},
        {109, "com.microsoft.edgemac", {home + "/.config/microsoft-edge-beta"}},
        {110, "com.google.Chrome", {"/cfg/google-chrome"}},
    };
    QList<ChromiumProcesses::Process> found = ChromiumProcesses::scan({proc.root(), me, home});
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.pid < b.pid; });
    ASSERT_EQ(found.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(found[i].pid, expected[i].pid);
        EXPECT_EQ(found[i].bundleID, expected[i].bundleID) << found[i].pid;
        EXPECT_EQ(found[i].userDataFolders, expected[i].userDataFolders) << found[i].pid;
    }
}

// A browser started on a folder outside the configuration folder: its tabs are read there, and
// a page the session file holds no title for takes its title from the profile's history.
TEST(BrowserProcesses, tabsOfABrowserOnAFolderOfItsOwnWithTitlesFromItsHistory)
{
    QTemporaryDir dir;
    FakeProc proc;
    const QString folder = dir.filePath(QStringLiteral("elsewhere/profile-root"));
    const QString chromium = QStringLiteral("/usr/lib/chromium/chromium");
    proc.add({qint64(getpid()), me, chromium, {chromium, "--user-data-dir=" + folder}});
    const ChromiumProcesses::Scope scope{proc.root(), me, dir.filePath(QStringLiteral("home"))};
    Platform::ChromiumSessionScripting scripting({}, scope);
    const auto script = scripting.compile(BrowserPageReader::source(LinkBrowser::chrome));
    ASSERT_TRUE(script);

    // Running, but no lock: the read says where it looked.
    QDir().mkpath(folder);
    ASSERT_TRUE(scripting.isRunning(QStringLiteral("com.google.Chrome")));
    const auto unreadable = std::get<Platform::ScriptValue>(scripting.run(*script));
    EXPECT_EQ(
        unreadable.item(1)->item(2)->stringValue(),
        QStringLiteral("The browser is running, but its open tabs can't be read from \"%1\".").arg(folder));

    ASSERT_TRUE(lockAsThisProcess(folder));
    SessionFileWriter writer;
    writer.setTabWindow(1, 1).setTabIndex(1, 1).navigation(1, 0, "https://a.example/", "");
    writer.setTabWindow(1, 2).setTabIndex(2, 2).navigation(2, 0, "https://c.example/",
                                                           "Kept from the session");
    writer.setTabWindow(1, 3).setTabIndex(3, 3).navigation(3, 0, "https://missing.example/", "");
    writeFile(folder + "/Default/Sessions/Session_13441101099588420", writer.bytes());
    sqlite3_close(openHistory(folder + "/Default"));

    const auto read = std::get<Platform::ScriptValue>(scripting.run(*script));
    const QStringList titles = {*read.item(2)->item(3)->stringValue(), *read.item(3)->item(3)->stringValue(),
                                *read.item(4)->item(3)->stringValue()};
    EXPECT_EQ(titles, (QStringList{"Alpha Centauri", "Kept from the session", ""}));
}

} // namespace

namespace {

// A browser running on a folder it can be read from, beside one whose folder can't be: the
// readable one's tabs came without a word that the other's were left out.
TEST(BrowserProcesses, aBrowserThatCantBeReadIsNamedBesideTheTabsThatCould)
{
    QTemporaryDir dir;
    FakeProc proc;
    const QString readable = dir.filePath(QStringLiteral("readable"));
    const QString unreadable = dir.filePath(QStringLiteral("unreadable"));
    const QString chromium = QStringLiteral("/usr/lib/chromium/chromium");
    proc.add({qint64(getpid()), me, chromium, {chromium, "--user-data-dir=" + readable}});
    proc.add({qint64(getppid()), me, chromium, {chromium, "--user-data-dir=" + unreadable}});
    QDir().mkpath(unreadable); // no lock to be found: its tabs can't be read
    QDir().mkpath(readable);
    ASSERT_TRUE(lockAsThisProcess(readable));
    SessionFileWriter writer;
    writer.setTabWindow(1, 1).setTabIndex(1, 1).navigation(1, 0, "https://a.example/", "Readable");
    writeFile(readable + "/Default/Sessions/Session_13441101099588420", writer.bytes());

    Platform::ChromiumSessionScripting scripting({}, {proc.root(), me, dir.filePath(QStringLiteral("home"))});
    EXPECT_EQ(scripting.automationPermission(QStringLiteral("com.google.Chrome"), false),
              Platform::ScriptStatus::allowed);
    const auto script = scripting.compile(BrowserPageReader::source(LinkBrowser::chrome));
    ASSERT_TRUE(script);
    const auto read = std::get<Platform::ScriptValue>(scripting.run(*script));
    EXPECT_EQ(read.item(1)->item(2)->stringValue(),
              QStringLiteral("The browser is running, but its open tabs can't be read from \"%1\".")
                  .arg(unreadable));
    ASSERT_EQ(read.count(), 2);
    EXPECT_EQ(read.item(2)->item(4)->stringValue(), QStringLiteral("https://a.example/"));
}

} // namespace
