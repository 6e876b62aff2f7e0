#include "support/LoopbackHttpServer.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "Platform/linux/ChromiumSessionScripting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using Platform::ChromiumSessionScripting;
using Platform::ScriptRunError;
using Platform::ScriptValue;

namespace {

const QString chromium = QStringLiteral("/usr/bin/chromium");
const QString chrome = QStringLiteral("com.google.Chrome");
constexpr int browserWaitMs = 30'000;
constexpr int quitWaitMs = 15'000;

// Each page names itself after its path. The browser stores a page's title in its session
// with the page's next change of state, so the page replaces its state once it has loaded.
const QByteArray page = R"HTML(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Loading</title>
<script>
const titles = {"/alpha": "Alpha — first page", "/beta": "Beta 页面 second page"};
document.title = titles[location.pathname] || "Other page";
addEventListener("load", () => setTimeout(() => history.replaceState(null, "", location.href), 300));
</script></head><body>A page of the tab-reading test.</body></html>
)HTML";

// Points this process's configuration folder into a temporary folder, and gives the browser
// a home of its own there.
class BrowserHome {
public:
    BrowserHome()
        : savedConfig_(qgetenv("XDG_CONFIG_HOME"))
        , hadConfig_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
    }

    ~BrowserHome()
    {
        if (hadConfig_)
            qputenv("XDG_CONFIG_HOME", savedConfig_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    QString path(const QString& name) const
    {
        QDir().mkpath(dir_.path() + u'/' + name);
        return dir_.path() + u'/' + name;
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        return env;
    }

private:
    QTemporaryDir dir_;
    QByteArray savedConfig_;
    bool hadConfig_;
};

// The rows of an answer as texts; a page's row without its window number, which depends on
// the other browsers open.
QStringList rowsOf(const std::variant<ScriptValue, ScriptRunError>& result)
{
    if (const auto* error = std::get_if<ScriptRunError>(&result))
        return {QStringLiteral("error %1: %2").arg(error->number.value_or(0)).arg(error->message)};
    const ScriptValue& value = std::get<ScriptValue>(result);
    QStringList rows;
    for (qsizetype i = 1; i <= value.count(); ++i) {
        QStringList texts;
        const ScriptValue item = *value.item(i);
        for (qsizetype j = item.count() == 4 ? 2 : 1; j <= item.count(); ++j)
            texts.append(item.item(j)->stringValue().value_or(QString()));
        rows.append(u'{' + texts.join(QStringLiteral(", ")) + u'}');
    }
    return rows;
}

// The end of the browser's log, for failure messages.
std::string tail(const QString& path)
{
    constexpr qint64 tailBytes = 4000;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    file.seek(std::max<qint64>(0, file.size() - tailBytes));
    return file.readAll().toStdString();
}

// The browser's helper processes outlive it for a moment and still write into its folder.
void endProcessGroup(pid_t group)
{
    kill(-group, SIGTERM);
    // Whether they have gone by then or not, the test goes on; a later kill ends stragglers.
    (void)QTest::qWaitFor([&] { return kill(-group, 0) != 0; }, quitWaitMs);
}

// The real browser on two pages of a loopback server: its tabs are read from its session file
// while it runs, and it no longer runs once it has quit.
TEST(BrowserTabsIntegration, readsTheTabsOfARunningChromium)
{
    if (!QFileInfo(chromium).isExecutable())
        GTEST_SKIP() << "Chromium is not installed at " << chromium.toStdString();
    ASSERT_TRUE(qEnvironmentVariableIsSet("DISPLAY")) << "scripts/test runs this under Xvfb";

    LoopbackHttpServer server;
    ASSERT_TRUE(server.isListening());
    LoopbackHttpServer::Response html;
    html.headers.append({QByteArray("Content-Type"), QByteArray("text/html; charset=utf-8")});
    html.body = page;
    server.setFallback(html);

    BrowserHome home;
    ChromiumSessionScripting scripting;
    const auto script = scripting.compile(BrowserPageReader::source(LinkBrowser::chrome));
    ASSERT_TRUE(script);

    QProcess browser; // killed by its destructor should the test end early
    // Its own process group, so that its helper processes can be ended with it.
    browser.setChildProcessModifier([] { setsid(); });
    browser.setProcessEnvironment(home.environment());
    const QString log = home.path(QStringLiteral("log")) + QStringLiteral("/chromium.log");
    browser.setStandardOutputFile(log);
    browser.setStandardErrorFile(log);
    browser.start(chromium,
                  {QStringLiteral("--no-sandbox"), QStringLiteral("--no-first-run"),
                   QStringLiteral("--disable-gpu"), QStringLiteral("--password-store=basic"),
                   QStringLiteral("--user-data-dir=") + home.path(QStringLiteral("config/chromium")),
                   server.url(QStringLiteral("/alpha")).toString(),
                   server.url(QStringLiteral("/beta")).toString()});
    ASSERT_TRUE(browser.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return scripting.isRunning(chrome); }, browserWaitMs)) << tail(log);
    EXPECT_EQ(scripting.automationPermission(chrome, false), Platform::ScriptStatus::allowed);

    // Other browsers of this user may be open too: only this server's pages count.
    const QString site = server.url().toString();
    const QStringList expected = {QStringLiteral("{1, Alpha — first page, %1alpha}").arg(site),
                                  QStringLiteral("{2, Beta 页面 second page, %1beta}").arg(site)};
    QStringList last;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            last = rowsOf(scripting.run(*script));
            return last.filter(site) == expected;
        },
        browserWaitMs))
        << "last answer: " << last.join(u' ').toStdString() << "\n"
        << tail(log);

    const pid_t group = pid_t(browser.processId());
    browser.terminate();
    if (!browser.waitForFinished(quitWaitMs)) {
        browser.kill();
        browser.waitForFinished();
    }
    endProcessGroup(group);
    EXPECT_EQ(rowsOf(scripting.run(*script)).filter(site), QStringList()) << "pages of a browser that quit";
}

} // namespace
