#include "GeneratedScripts.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "Platform/linux/ChromiumSessionScripting.h"
#include "Platform/linux/ChromiumTabScript.h"

#include <gtest/gtest.h>
#include <ostream>

using Platform::ChromiumTabScript;

namespace {

struct Generated {
    const char* bundleID;
    bool skipsIncognito;
    const char* titleProperty;
};

const Generated generatedCases[] = {
    {"com.apple.Safari", false, "name"},
    {"com.google.Chrome", true, "title"},
    {"com.microsoft.edgemac", true, "title"},
};

QString scriptFor(const Generated& g)
{
    return generatedScript(QString::fromUtf8(g.bundleID),
                           g.skipsIncognito ? normalWindowsOnly : QStringLiteral("true"),
                           QString::fromUtf8(g.titleProperty));
}

TEST(TabScript, recognisesTheGeneratedScriptOfEveryBrowser)
{
    for (const Generated& g : generatedCases) {
        const auto script = ChromiumTabScript::recognise(scriptFor(g));
        ASSERT_TRUE(script) << g.bundleID;
        EXPECT_EQ(script->bundleID, QString::fromUtf8(g.bundleID));
        EXPECT_EQ(script->timeoutSeconds, 8);
        EXPECT_EQ(script->skipsIncognito, g.skipsIncognito) << g.bundleID;
        EXPECT_EQ(script->titleProperty, QString::fromUtf8(g.titleProperty));
    }
}

// The page reader's own text for each browser compiles: the two sides agree on the script.
TEST(TabScript, compilesThePageReadersScripts)
{
    Platform::ChromiumSessionScripting scripting;
    for (const LinkBrowser browser : LinkBrowsers::allCases()) {
        const QString source = BrowserPageReader::source(browser);
        EXPECT_TRUE(scripting.compile(source)) << LinkBrowsers::rawValue(browser).toStdString();
        const auto script = ChromiumTabScript::recognise(source);
        ASSERT_TRUE(script);
        EXPECT_EQ(script->bundleID, LinkBrowsers::bundleIdentifier(browser));
    }
}

// Spaces, indentation and line ends between tokens are free, as in any script.
TEST(TabScript, layoutBetweenTokensIsFree)
{
    const QString chrome = chromeScript();
    QString flat = chrome;
    flat.replace(QStringLiteral("    "), QString());
    QString tabs = chrome;
    tabs.replace(QStringLiteral("    "), QStringLiteral("\t"));
    QString crlf = chrome;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    QString longer = chrome;
    longer.replace(QStringLiteral("timeout of 8 seconds"), QStringLiteral("timeout   of 30 seconds"));
    for (const QString& text : {flat, tabs, crlf, QStringLiteral("\n\n") + chrome + QStringLiteral("\n"),
                                QString(chrome).replace(u'\n', QStringLiteral("\n\n"))}) {
        EXPECT_TRUE(ChromiumTabScript::recognise(text)) << text.left(80).toStdString();
    }
    const auto script = ChromiumTabScript::recognise(longer);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->timeoutSeconds, 30);
}

struct Alteration {
    const char* name;
    const char* from;
    const char* to;
};

const Alteration alterations[] = {
    {"no timeout", "with timeout of 8 seconds\n", ""},
    {"timeout of zero", "timeout of 8 seconds", "timeout of 0 seconds"},
    {"negative timeout", "timeout of 8 seconds", "timeout of -8 seconds"},
    {"timeout past a day", "timeout of 8 seconds", "timeout of 86401 seconds"},
    {"timeout in words", "timeout of 8 seconds", "timeout of eight seconds"},
    {"timeout in minutes", "timeout of 8 seconds", "timeout of 8 minutes"},
    {"application by name", "application id \"com.google.Chrome\"", "application \"Google Chrome\""},
    {"empty bundle identifier", "\"com.google.Chrome\"", "\"\""},
    {"bundle identifier not quoted", "\"com.google.Chrome\"", "com"},
    {"window condition inverted", "is not \"incognito\"", "is \"incognito\""},
    {"window condition false", "mode of browserWindow is not \"incognito\"", "false"},
    {"another property as title", "set rawTitle to title of", "set rawTitle to URL of"},
    {"no tab loop", "                repeat with tabIndex from 1 to count of windowTabs\n", ""},
    {"tabs counted from 0", "repeat with tabIndex from 1", "repeat with tabIndex from 0"},
    {"another status word", "{{\"status\",", "{{\"state\","},
    {"another exit message", "浏览器已退出。", "Browser quit."},
    {"a line added", "end timeout", "end timeout\ndelay 1"},
    {"the script twice", "end timeout", "end timeout\nwith timeout of 8 seconds"},
    {"a word in capitals", "tell application id", "Tell application id"},
    {"unterminated text", "firstErrorMessage to \"\"", "firstErrorMessage to \""},
    {"an escape other than quote or backslash", "\"status\"", "\"sta\\tus\""},
    {"a parameter left as a hole", "\"com.google.Chrome\"", "\"[BUNDLE-ID]\" [BUNDLE-ID]"},
    {"a comment", "end tell", "end tell -- done"},
};

void PrintTo(const Alteration& a, std::ostream* out)
{
    *out << a.name;
}

class TabScriptAlteration : public ::testing::TestWithParam<Alteration> {};

TEST_P(TabScriptAlteration, isRejected)
{
    const QString original = chromeScript();
    const QString from = QString::fromUtf8(GetParam().from);
    ASSERT_TRUE(original.contains(from)) << GetParam().name;
    QString altered = original;
    altered.replace(altered.indexOf(from), from.size(), QString::fromUtf8(GetParam().to));
    EXPECT_FALSE(ChromiumTabScript::recognise(altered)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Texts, TabScriptAlteration, ::testing::ValuesIn(alterations),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(TabScript, otherTextsAreRejected)
{
    for (const QString& text : {QString(), QStringLiteral("\n"), QStringLiteral("return {}"),
                                chromeScript().left(chromeScript().size() - 1)}) {
        EXPECT_FALSE(ChromiumTabScript::recognise(text)) << text.toStdString();
    }
}

// The script names a browser this platform knows, or it can't be made ready.
TEST(TabScript, compileNeedsAKnownBrowser)
{
    Platform::ChromiumSessionScripting scripting;
    EXPECT_TRUE(scripting.compile(chromeScript()));
    const QString unknown =
        generatedScript(QStringLiteral("org.example.Browser"), normalWindowsOnly, QStringLiteral("title"));
    EXPECT_TRUE(ChromiumTabScript::recognise(unknown));
    EXPECT_FALSE(scripting.compile(unknown));
    EXPECT_FALSE(scripting.compile(QStringLiteral("tell application id \"com.google.Chrome\" to quit")));
}

} // namespace
