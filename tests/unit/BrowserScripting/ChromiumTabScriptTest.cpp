#include "Platform/linux/ChromiumTabScript.h"
#include "BrowserLinks/BrowserPageReader.h"
#include "Platform/linux/ChromiumSessionScripting.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <ostream>

using Platform::ChromiumTabScript;

namespace {

QString chromeScript()
{
    return BrowserPageReader::source(LinkBrowser::chrome);
}

// The page reader's own text for each browser is recognised with its parts, and compiles.
TEST(TabScript, recognisesThePageReadersScripts)
{
    struct Expected {
        LinkBrowser browser;
        const char* bundleID;
        bool skipsIncognito;
        const char* titleProperty;
    };
    const Expected cases[] = {
        {LinkBrowser::safari, "com.apple.Safari", false, "name"},
        {LinkBrowser::chrome, "com.google.Chrome", true, "title"},
        {LinkBrowser::edge, "com.microsoft.edgemac", true, "title"},
    };
    Platform::ChromiumSessionScripting scripting;
    for (const Expected& c : cases) {
        const QString source = BrowserPageReader::source(c.browser);
        const auto script = ChromiumTabScript::recognise(source);
        ASSERT_TRUE(script) << c.bundleID;
        EXPECT_EQ(script->bundleID, QString::fromUtf8(c.bundleID));
        EXPECT_EQ(script->timeoutSeconds, 8);
        EXPECT_EQ(script->skipsIncognito, c.skipsIncognito) << c.bundleID;
        EXPECT_EQ(script->titleProperty, QString::fromUtf8(c.titleProperty));
        EXPECT_TRUE(scripting.compile(source)) << c.bundleID;
    }
}

// What the Linux service carries out is what the script's own text says: its time-out, its
// browser, which windows it visits and the property it reads as the title.
TEST(TabScript, carriesOutWhatTheScriptTextSays)
{
    for (const LinkBrowser browser : LinkBrowsers::allCases()) {
        const QString source = BrowserPageReader::source(browser);
        SCOPED_TRACE(source.toStdString());
        const auto script = ChromiumTabScript::recognise(source);
        ASSERT_TRUE(script);
        const auto said = [&source](const char* pattern) {
            return QRegularExpression(QString::fromUtf8(pattern)).match(source).captured(1);
        };
        EXPECT_EQ(QString::number(script->timeoutSeconds), said("^with timeout of (\\d+) seconds\n"));
        EXPECT_EQ(script->bundleID, said("\n    tell application id \"([^\"]+)\"\n"));
        EXPECT_EQ(script->skipsIncognito, said("\n +if (.+) then\n +set windowTabs") ==
                                              u"mode of browserWindow is not \"incognito\"");
        EXPECT_EQ(script->titleProperty, said("set rawTitle to (\\w+) of browserTab\n"));
    }
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
    {"indentation changed", "    tell application", "tell application"},
    {"line ends of another system", "end tell\n", "end tell\r\n"},
    {"a longer timeout", "timeout of 8 seconds", "timeout of 30 seconds"},
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

TEST(TabScript, compileRefusesOtherScripts)
{
    Platform::ChromiumSessionScripting scripting;
    EXPECT_TRUE(scripting.compile(chromeScript()));
    QString unknown = chromeScript();
    unknown.replace(QStringLiteral("com.google.Chrome"), QStringLiteral("org.example.Browser"));
    EXPECT_FALSE(scripting.compile(unknown));
    EXPECT_FALSE(scripting.compile(QStringLiteral("tell application id \"com.google.Chrome\" to quit")));
}

} // namespace
