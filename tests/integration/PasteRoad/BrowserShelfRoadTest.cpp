#include "RoadDesktop.h"
#include "support/LoopbackHttpServer.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "BrowserLinks/LinkBrowser.h"
#include "Platform/linux/ChromiumSessionScripting.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

#include <X11/keysym.h>

using Platform::ChromiumSessionScripting;
using Platform::ScriptValue;

namespace {

const QString chromium = QStringLiteral("/usr/bin/chromium");
const QString chrome = QStringLiteral("com.google.Chrome");
constexpr int browserWaitMs = 30'000;
constexpr int quitWaitMs = 15'000;
constexpr qint64 logTailBytes = 4000;

// Each page names itself after its path. The browser stores a page's title in its session
// with the page's next change of state, so the page replaces its state once it has loaded.
const QByteArray page = R"HTML(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Loading</title>
<script>
const titles = {"/first": "First page ✓", "/second": "Second page"};
document.title = titles[location.pathname] || "Other page";
addEventListener("load", () => setTimeout(() => history.replaceState(null, "", location.href), 300));
</script></head><body>A page on the browser shelf's road.</body></html>
)HTML";

// Points this process's configuration folder at another one while it lives, so that the
// session reader here looks where Vellora looks.
class ConfigHome {
public:
    explicit ConfigHome(const QString& path)
        : saved_(qgetenv("XDG_CONFIG_HOME"))
        , wasSet_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path));
    }

    ~ConfigHome()
    {
        if (wasSet_)
            qputenv("XDG_CONFIG_HOME", saved_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

private:
    QByteArray saved_;
    bool wasSet_;
};

// The real browser in a process group of its own: its helper processes outlive it for a
// moment and still write into its folder, so they end with it.
class Browser {
public:
    ~Browser()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        const pid_t group = pid_t(process.processId());
        kill(-group, SIGTERM);
        if (!QTest::qWaitFor([&] { return kill(-group, 0) != 0; }, quitWaitMs))
            kill(-group, SIGKILL);
        process.waitForFinished(quitWaitMs);
    }

    bool start(const QProcessEnvironment& environment, const QString& userDataFolder,
               const QStringList& pages)
    {
        process.setChildProcessModifier([] { setsid(); });
        process.setProcessEnvironment(environment);
        log = userDataFolder + QStringLiteral(".log");
        process.setStandardOutputFile(log);
        process.setStandardErrorFile(log);
        process.start(chromium,
                      QStringList{QStringLiteral("--no-sandbox"), QStringLiteral("--no-first-run"),
                                  QStringLiteral("--disable-gpu"), QStringLiteral("--password-store=basic"),
                                  QStringLiteral("--user-data-dir=") + userDataFolder} +
                          pages);
        return process.waitForStarted();
    }

    // The end of the browser's log, for failure messages.
    std::string logTail() const
    {
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        file.seek(std::max<qint64>(0, file.size() - logTailBytes));
        return file.readAll().toStdString();
    }

    QProcess process;
    QString log;
};

ScriptValue row(const QString& tab, const QString& title, const QString& url)
{
    return ScriptValue::list({ScriptValue::text(QStringLiteral("1")), ScriptValue::text(tab),
                              ScriptValue::text(title), ScriptValue::text(url)});
}

// The clipboard's text when it holds plain text only; empty otherwise.
QString plainClipboardText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText() || data->hasHtml() || data->hasUrls() || data->hasImage())
        return {};
    return data->text();
}

// The browser-links hot key as a user has it: a text field in front, the real browser on two
// pages, the shelf picked from with the keyboard, and the address pasted into the field.
class BrowserShelfRoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(chromium).isExecutable())
            GTEST_SKIP() << "Chromium is not installed at " << chromium.toStdString();
        ASSERT_TRUE(desktop.isOpen()) << "needs an X display";
        ASSERT_TRUE(server.isListening());
        LoopbackHttpServer::Response html;
        html.headers.append({QByteArray("Content-Type"), QByteArray("text/html; charset=utf-8")});
        html.body = page;
        server.setFallback(html);

        ASSERT_TRUE(startPasteTarget(target));
        ASSERT_TRUE(vellora.start());
    }

    QString address(const QString& path) const { return server.url(path).toString(); }

    // Starts the browser in the user data folder that Vellora reads, and waits until its
    // session holds both pages with their titles.
    void startBrowserOnBothPages()
    {
        const QString config = vellora.root.filePath(QStringLiteral("config"));
        ASSERT_TRUE(browser.start(vellora.process.processEnvironment(), config + QStringLiteral("/chromium"),
                                  {address(QStringLiteral("/first")), address(QStringLiteral("/second"))}));
        const ConfigHome home(config);
        ChromiumSessionScripting scripting;
        const auto script = scripting.compile(BrowserPageReader::source(LinkBrowser::chrome));
        ASSERT_TRUE(script);
        const ScriptValue expected = ScriptValue::list({
            ScriptValue::list(
                {ScriptValue::text(QStringLiteral("status")), ScriptValue::text({}), ScriptValue::text({})}),
            row(QStringLiteral("1"), QStringLiteral("First page ✓"), address(QStringLiteral("/first"))),
            row(QStringLiteral("2"), QStringLiteral("Second page"), address(QStringLiteral("/second"))),
        });
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const auto answer = scripting.run(*script);
                return std::holds_alternative<ScriptValue>(answer) &&
                       std::get<ScriptValue>(answer) == expected;
            },
            browserWaitMs))
            << "the browser's session never held both pages\n"
            << browser.logTail();
    }

    bool barShown() const { return desktop.hasViewableWindow(vellora.process.processId(), barMinimumWidth); }

    RoadDesktop desktop;
    LoopbackHttpServer server;
    Child target;
    VelloraProcess vellora;
    Browser browser;
};

TEST_F(BrowserShelfRoadTest, theLinksHotKeyThenRightAndReturnPasteTheSecondPagesAddress)
{
    // Vellora has taken its hot keys once it records copies.
    const QString copied = QStringLiteral("Copied before the shelf");
    ASSERT_TRUE(vellora.copyElsewhere(copied));
    ASSERT_NO_FATAL_FAILURE(startBrowserOnBothPages());
    ASSERT_TRUE(desktop.bringToFront(target.process.processId())) << "the target never came to the front";

    desktop.pressKeys({XK_Control_L, XK_Alt_L, XK_Super_L, XK_l});
    ASSERT_TRUE(QTest::qWaitFor([&] { return barShown(); }, roadTimeoutMs))
        << "the hot key did not show the shelf";
    desktop.pressKeys({XK_Right});
    desktop.pressKeys({XK_Return});

    const QString second = address(QStringLiteral("/second"));
    EXPECT_EQ(target.waitForLine(QStringLiteral("text:")).toStdString(), second.toStdString());
    QString clipboard;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            clipboard = plainClipboardText();
            return clipboard == second;
        },
        roadTimeoutMs))
        << "the clipboard holds \"" << clipboard.toStdString() << "\"";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !barShown(); }, roadTimeoutMs)) << "the shelf stays up";
}

} // namespace
