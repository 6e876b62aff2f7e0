#include "Platform/linux/ChromiumSessionScripting.h"

#include "Platform/linux/ChromiumTabScript.h"
#include "Platform/linux/ChromiumUserDataFolder.h"

#include <chrono>

namespace Platform {

namespace {

constexpr qint64 millisecondsPerSecond = 1000;

qint64 steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QList<ChromiumUserDataFolder> runningFolders(const QString& bundleID)
{
    QList<ChromiumUserDataFolder> running = ChromiumUserDataFolder::ofBrowser(bundleID);
    running.removeIf([](const ChromiumUserDataFolder& folder) { return !folder.isRunning(); });
    return running;
}

ScriptRunError timeoutError(int seconds)
{
    return {ScriptStatus::timedOut,
            QStringLiteral("The browser's open tabs could not be read within %1 seconds.").arg(seconds)};
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

ChromiumSessionScripting::ChromiumSessionScripting(Clock clock)
    : clock_(clock ? std::move(clock) : Clock(&steadyMilliseconds))
{}

bool ChromiumSessionScripting::isRunning(const QString& bundleID)
{
    return !runningFolders(bundleID).isEmpty();
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
    const QList<ChromiumUserDataFolder> running = runningFolders(bundleID);
    if (running.isEmpty())
        return ScriptStatus::notRunning;
    const bool readable =
        std::all_of(running.begin(), running.end(),
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
    const QList<ChromiumUserDataFolder> running = runningFolders(script.bundleID);
    if (running.isEmpty())
        return ScriptRunError{ScriptStatus::notRunning, QStringLiteral("浏览器已退出。")};

    TabAnswer answer;
    for (const ChromiumUserDataFolder& folder : running) {
        for (const QString& profile : folder.profiles()) {
            if (clock_() > deadline)
                return timeoutError(script.timeoutSeconds);
            const auto session = folder.readSession(profile);
            if (const auto* windows = std::get_if<QList<ChromiumSessionFile::Window>>(&session))
                answer.addWindows(*windows);
            else
                answer.addFailure(QStringLiteral("Can't read the open tabs of \"%1/%2\": %3.")
                                      .arg(folder.name(), profile, std::get<QString>(session)));
        }
    }
    if (clock_() > deadline)
        return timeoutError(script.timeoutSeconds);
    if (!answer.anyRead())
        return ScriptRunError{ScriptStatus::noSuchObject, answer.firstError().value_or(QString())};
    return answer.value();
}

} // namespace Platform
