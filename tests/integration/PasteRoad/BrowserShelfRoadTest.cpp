#include "RoadDesktop.h"
#include "support/LoopbackHttpServer.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "BrowserLinks/LinkBrowser.h"
#include "Platform/linux/ChromiumSessionScripting.h"

#include <QClipboard>
#include <QDir>
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
// The browser writes its history some seconds after a page loads.
constexpr int titleWaitMs = 60'000;
constexpr int quitWaitMs = 15'000;
constexpr qint64 logTailBytes = 4000;

// Plain static pages whose titles share no word with their addresses. The browser keeps no
// title of such a page in its session file; its history has them.
QByteArray page(const char* title)
{
    return QByteArray(R"HTML(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>)HTML") +
           title + QByteArray("</title></head><body>A page on the browser shelf's road.</body></html>\n");
}
const char firstTitle[] = "Larkspur meadow notes ✓";
const char secondTitle[] = "Quillwort harbour report";

// A word of letters only this run's pages carry (other browsers of this user may show the same
// titles), made from the server's port: it is in no address.
QString runWord(quint16 port)
{
    QString word = QStringLiteral("run");
    for (const QChar digit : QString::number(port))
        word += QChar(u'a' + digit.digitValue());
    return word;
}

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

// The texts of an answer's rows, for failure messages.
QStringList rowTexts(const std::variant<ScriptValue, Platform::ScriptRunError>& answer)
{
    if (const auto* error = std::get_if<Platform::ScriptRunError>(&answer))
        return {QStringLiteral("error: ") + error->message};
    QStringList rows;
    const ScriptValue& value = std::get<ScriptValue>(answer);
    for (qsizetype i = 1; i <= value.count(); ++i) {
        QStringList texts;
        for (qsizetype j = 1; j <= value.item(i)->count(); ++j)
            texts.append(value.item(i)->item(j)->stringValue().value_or(QString()));
        if (texts.size() == 4) // a page: its title and address
            texts = texts.mid(2);
        rows.append(texts.join(u','));
    }
    return rows;
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
        for (const auto& [path, title] :
             {std::pair{"/first", firstTitle}, std::pair{"/second", secondTitle}}) {
            LoopbackHttpServer::Response html;
            html.headers.append({QByteArray("Content-Type"), QByteArray("text/html; charset=utf-8")});
            html.body = page(QByteArray(title) + ' ' + runWord(server.url().port()).toLatin1());
            server.setResponse(QByteArray(path), html);
        }

        ASSERT_TRUE(startPasteTarget(target));
        ASSERT_TRUE(vellora.start());
    }

    QString address(const QString& path) const { return server.url(path).toString(); }
    QString title(const char* words) const
    {
        return QString::fromUtf8(words) + u' ' + runWord(server.url().port());
    }

    // Starts the browser on a user data folder outside the configuration folder, and waits
    // until both pages can be read with their titles.
    void startBrowserOnBothPages()
    {
        const QString folder = vellora.root.filePath(QStringLiteral("elsewhere/browser-profile"));
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(browser.start(vellora.process.processEnvironment(), folder,
                                  {address(QStringLiteral("/first")), address(QStringLiteral("/second"))}));
        ChromiumSessionScripting scripting;
        const auto script = scripting.compile(BrowserPageReader::source(LinkBrowser::chrome));
        ASSERT_TRUE(script);
        // Other browsers of this user may be open too: only this server's pages count.
        const QStringList expected = {title(firstTitle) + u',' + address(QStringLiteral("/first")),
                                      title(secondTitle) + u',' + address(QStringLiteral("/second"))};
        QStringList lastRead;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const auto answer = scripting.run(*script);
                lastRead = rowTexts(answer);
                const QStringList ours = lastRead.filter(server.url().toString());
                return ours == expected;
            },
            titleWaitMs))
            << "both pages were never read with their titles; last read: "
            << lastRead.join(QStringLiteral(" | ")).toStdString() << "\n"
            << browser.logTail();
    }

    bool barShown() const { return desktop.hasViewableWindow(vellora.process.processId(), barMinimumWidth); }

    RoadDesktop desktop;
    LoopbackHttpServer server;
    Child target;
    VelloraProcess vellora;
    Browser browser;
};

TEST_F(BrowserShelfRoadTest, aWordOfATitleThenReturnPastesThatPagesAddress)
{
    // Vellora has taken its hot keys once it records copies.
    const QString copied = QStringLiteral("Copied before the shelf");
    ASSERT_TRUE(vellora.copyElsewhere(copied));
    ASSERT_NO_FATAL_FAILURE(startBrowserOnBothPages());
    ASSERT_TRUE(desktop.bringToFront(target.process.processId())) << "the target never came to the front";

    desktop.pressKeys({XK_Control_L, XK_Alt_L, XK_Super_L, XK_l});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return barShown() && desktop.hasKeyboardFocus(vellora.process.processId()); }, roadTimeoutMs))
        << "the hot key did not show the shelf";
    // The title's first word, then this run's word.
    for (const QChar letter : QStringLiteral("quillwort ") + runWord(server.url().port()))
        desktop.pressKeys(
            {letter == u' ' ? XK_space : XK_a + static_cast<unsigned long>(letter.unicode() - u'a')});
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
