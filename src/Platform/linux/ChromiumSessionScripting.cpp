#include "Platform/linux/ChromiumSessionScripting.h"

#include "Platform/UserText.h"
#include "Platform/linux/ChromiumHistoryTitles.h"
#include "Platform/linux/ChromiumTabScript.h"
#include "Platform/linux/ChromiumUserDataFolder.h"

#include <QDir>
#include <algorithm>
#include <chrono>

namespace Platform {

namespace {

constexpr qint64 millisecondsPerSecond = 1000;
// The most a profile's title look-up may take of the script's time.
constexpr qint64 maxTitleLookUpMs = 2000;

qint64 steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The folders of the browser's running processes, in the order they were found.
QStringList processFolders(const QList<ChromiumProcesses::Process>& processes)
{
    QStringList folders;
    for (const ChromiumProcesses::Process& process : processes) {
        for (const QString& folder : process.userDataFolders) {
            if (!folders.contains(folder))
                folders.append(folder);
        }
    }
    return folders;
}

// The session file often holds no title for a page the browser never saved one for; the
// profile's history has it.
void addHistoryTitles(QList<ChromiumSessionFile::Window>& windows, const QString& profileFolder,
                      qint64 timeoutMs)
{
    QStringList untitled;
    for (const ChromiumSessionFile::Window& window : windows) {
        for (const ChromiumSessionFile::Tab& tab : window.tabs) {
            if (tab.title.isEmpty() && !tab.url.isEmpty())
                untitled.append(tab.url);
        }
    }
    if (untitled.isEmpty())
        return;
    const QHash<QString, QString> titles = ChromiumHistoryTitles::lookUp(profileFolder, untitled, timeoutMs);
    for (ChromiumSessionFile::Window& window : windows) {
        for (ChromiumSessionFile::Tab& tab : window.tabs) {
            if (tab.title.isEmpty())
                tab.title = titles.value(tab.url);
        }
    }
}

QString unreadableMessage(const QStringList& folders)
{
    return userText(QStringLiteral("The browser is running, but its open tabs can't be read from \"%@\"."),
                    {folders.join(QStringLiteral("\", \""))});
}

ScriptRunError timeoutError(int seconds)
{
    return {ScriptStatus::timedOut,
            userText(QStringLiteral("The browser's open tabs could not be read within %lld seconds."),
                     {qint64(seconds)})};
}

// The script's answer as it builds up: the first error, and one row per tab with an address.
// Windows are numbered across all profiles, tabs within their window, as the script numbers
// them.
class TabAnswer {
public:
    void addFailure(const QString& message)
    {
        if (!firstError_)
            firstError_ = message;
    }

    // Session files never hold incognito windows (the browser keeps them off disk), so the
    // script's window condition holds for every window read here.
    void addWindows(const QList<ChromiumSessionFile::Window>& windows)
    {
        anyRead_ = true;
        for (const ChromiumSessionFile::Window& window : windows) {
            ++windowNumber_;
            for (qsizetype tab = 0; tab < window.tabs.size(); ++tab)
                addRow(tab + 1, window.tabs[tab]);
        }
    }

    bool anyRead() const { return anyRead_; }
    const std::optional<QString>& firstError() const { return firstError_; }

    ScriptValue value() const
    {
        const QString code = firstError_ ? QString::number(ScriptStatus::noSuchObject) : QString();
        QList<ScriptValue> items{
            ScriptValue::list({ScriptValue::text(QStringLiteral("status")),
                               ScriptValue::text(firstError_.value_or(QString())), ScriptValue::text(code)})};
        items.append(rows_);
        return ScriptValue::list(items);
    }

private:
    // Both the "title" and the "name" of a tab are the title of the page it shows.
    void addRow(qsizetype tabNumber, const ChromiumSessionFile::Tab& tab)
    {
        if (tab.url.isEmpty())
            return;
        rows_.append(ScriptValue::list({ScriptValue::text(QString::number(windowNumber_)),
                                        ScriptValue::text(QString::number(tabNumber)),
                                        ScriptValue::text(tab.title), ScriptValue::text(tab.url)}));
    }

    QList<ScriptValue> rows_;
    std::optional<QString> firstError_;
    qsizetype windowNumber_ = 0;
    bool anyRead_ = false;
};

} // namespace

ChromiumSessionScripting::ChromiumSessionScripting(Clock clock, ChromiumProcesses::Scope processes)
    : clock_(clock ? std::move(clock) : Clock(&steadyMilliseconds))
    , processes_(std::move(processes))
{}

QList<ChromiumUserDataFolder>
ChromiumSessionScripting::runningFolders(const QString& bundleID,
                                         const QList<ChromiumProcesses::Process>& processes) const
{
    QList<ChromiumUserDataFolder> candidates = ChromiumUserDataFolder::ofBrowser(bundleID);
    for (const QString& folder : processFolders(processes))
        candidates.append(ChromiumUserDataFolder(folder));
    QList<ChromiumUserDataFolder> running;
    QStringList seen;
    for (const ChromiumUserDataFolder& folder : candidates) {
        const QString path = QDir::cleanPath(folder.path());
        if (seen.contains(path) || !folder.isRunning())
            continue;
        seen.append(path);
        running.append(folder);
    }
    return running;
}

// A browser runs when it holds the lock of a folder, or when its main process is there even
// though no folder of it could be found: then the read says why it can't list its tabs.
bool ChromiumSessionScripting::isRunning(const QString& bundleID)
{
    const QList<ChromiumProcesses::Process> processes = ChromiumProcesses::ofBrowser(bundleID, processes_);
    return !processes.isEmpty() || !runningFolders(bundleID, processes).isEmpty();
}

// There is no consent prompt on Linux: whether to ask changes nothing. What the service needs
// is to read the running browser's files.
bool ChromiumSessionScripting::existsOnThisPlatform(const QString& bundleID) const
{
    return ChromiumUserDataFolder::hasLinuxBuild(bundleID);
}

qint32 ChromiumSessionScripting::automationPermission(const QString& bundleID, bool /*ask*/)
{
    if (bundleID.isEmpty())
        return ScriptStatus::badParameter;
    const QList<ChromiumProcesses::Process> processes = ChromiumProcesses::ofBrowser(bundleID, processes_);
    const QList<ChromiumUserDataFolder> running = runningFolders(bundleID, processes);
    if (running.isEmpty())
        return processes.isEmpty() ? ScriptStatus::notRunning : ScriptStatus::allowed;
    // One readable folder is enough: the read lists its tabs and says which folders it can't.
    const bool readable =
        std::any_of(running.begin(), running.end(),
                    [](const ChromiumUserDataFolder& folder) { return folder.isReadable(); });
    return readable ? ScriptStatus::allowed : ScriptStatus::notPermitted;
}

std::unique_ptr<BrowserScript> ChromiumSessionScripting::compile(const QString& source)
{
    std::unique_ptr<ChromiumTabScript> script = ChromiumTabScript::recognise(source);
    if (!script || !ChromiumUserDataFolder::isKnownBrowser(script->bundleID))
        return nullptr;
    return script;
}

std::variant<ScriptValue, ScriptRunError> ChromiumSessionScripting::run(const BrowserScript& script)
{
    const auto* tabScript = dynamic_cast<const ChromiumTabScript*>(&script);
    if (!tabScript)
        return ScriptRunError{ScriptStatus::badParameter,
                              QStringLiteral("The script was not made by this scripting service.")};
    return runTabScript(*tabScript);
}

std::variant<ScriptValue, ScriptRunError>
ChromiumSessionScripting::runTabScript(const ChromiumTabScript& script) const
{
    const qint64 deadline = clock_() + script.timeoutSeconds * millisecondsPerSecond;
    const QList<ChromiumProcesses::Process> processes =
        ChromiumProcesses::ofBrowser(script.bundleID, processes_);
    const QList<ChromiumUserDataFolder> running = runningFolders(script.bundleID, processes);
    TabAnswer answer;
    if (running.isEmpty()) {
        const QStringList folders = processFolders(processes);
        if (folders.isEmpty())
            return ScriptRunError{ScriptStatus::notRunning, QStringLiteral("浏览器已退出。")};
        answer.addFailure(unreadableMessage(folders));
        return answer.value();
    }

    // A process on a folder that can't be read runs beside those that can: its tabs are left
    // out, and the answer says so.
    QStringList runningPaths;
    for (const ChromiumUserDataFolder& folder : running)
        runningPaths.append(QDir::cleanPath(folder.path()));
    for (const ChromiumProcesses::Process& process : processes) {
        const bool read = std::any_of(
            process.userDataFolders.begin(), process.userDataFolders.end(),
            [&](const QString& folder) { return runningPaths.contains(QDir::cleanPath(folder)); });
        if (!read && !process.userDataFolders.isEmpty())
            answer.addFailure(unreadableMessage(process.userDataFolders));
    }

    for (const ChromiumUserDataFolder& folder : running) {
        if (!folder.isReadable()) {
            answer.addFailure(unreadableMessage({folder.path()}));
            continue;
        }
        for (const QString& profile : folder.profiles()) {
            const qint64 now = clock_();
            if (now > deadline)
                return timeoutError(script.timeoutSeconds);
            auto session = folder.readSession(profile);
            if (auto* windows = std::get_if<QList<ChromiumSessionFile::Window>>(&session)) {
                addHistoryTitles(*windows, folder.path() + u'/' + profile,
                                 std::min(deadline - now, maxTitleLookUpMs));
                answer.addWindows(*windows);
            } else
                answer.addFailure(userText(QStringLiteral("Can't read the open tabs of \"%@/%@\": %@."),
                                           {folder.name(), profile, std::get<QString>(session)}));
        }
    }
    if (clock_() > deadline)
        return timeoutError(script.timeoutSeconds);
    if (!answer.anyRead())
        return ScriptRunError{ScriptStatus::noSuchObject, answer.firstError().value_or(QString())};
    return answer.value();
}

} // namespace Platform
