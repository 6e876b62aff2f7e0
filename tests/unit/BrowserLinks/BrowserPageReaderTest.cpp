#include "BrowserLinks/BrowserPageReader.h"
#include "ExpectedScripts.h"
#include "fakes/FakeBrowserScripting.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using Platform::ScriptRunError;
using Platform::ScriptValue;

namespace {

using Answer = std::variant<ScriptValue, ScriptRunError>;

const QString unexpectedFormat = QStringLiteral("浏览器返回了未预期的数据格式。");

ScriptValue text(const QString& value)
{
    return ScriptValue::text(value);
}

ScriptValue row(const QStringList& items)
{
    QList<ScriptValue> values;
    for (const QString& item : items)
        values.append(text(item));
    return ScriptValue::list(values);
}

ScriptValue statusRow(const QString& message = {}, const QString& number = {})
{
    return row({QStringLiteral("status"), message, number});
}

ScriptValue answer(const QList<ScriptValue>& rows)
{
    return ScriptValue::list(rows);
}

BrowserPage page(LinkBrowser browser, const QString& id, const QString& title, const QString& url)
{
    return {id, browser, title, url};
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scripting.running = {QStringLiteral("com.apple.Safari"), QStringLiteral("com.google.Chrome"),
                             QStringLiteral("com.microsoft.edgemac")};
        Platform::setBrowserScriptingForTesting(&scripting);
    }
    void TearDown() override { Platform::setBrowserScriptingForTesting(nullptr); }

    FakeBrowserScripting scripting;
};

// One read that fails before or while the script runs.
struct FailureCase {
    const char* name;
    LinkBrowser browser;
    bool running;
    qint32 permission;
    bool compiles;
    Answer runAnswer;
    std::optional<QString> errorMessage;
    std::optional<qint64> errorCode;
    QStringList calls;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReaderFailureTest : public ReaderTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReaderFailureTest, FailsWithItsMessageAndCodeAndGoesNoFurther)
{
    const FailureCase& c = GetParam();
    const QString bundleID = LinkBrowsers::bundleIdentifier(c.browser);
    if (!c.running)
        scripting.running.remove(bundleID);
    scripting.permissions.insert(bundleID, c.permission);
    scripting.compiles = c.compiles;
    scripting.answer = c.runAnswer;

    const BrowserPageResult result = BrowserPageReader::read(c.browser);

    EXPECT_EQ(result.browser, c.browser);
    EXPECT_TRUE(result.tabs.isEmpty());
    EXPECT_EQ(result.errorMessage, c.errorMessage);
    EXPECT_EQ(result.errorCode, c.errorCode);
    QStringList expectedCalls;
    for (const QString& call : c.calls)
        expectedCalls.append(QString(call).replace(QStringLiteral("ID"), bundleID));
    EXPECT_EQ(scripting.calls, expectedCalls);
}

const QStringList untilPermission{QStringLiteral("isRunning ID"), QStringLiteral("isRunning ID"),
                                  QStringLiteral("automationPermission ID ask=false")};
const QStringList untilRun = untilPermission + QStringList{QStringLiteral("compile"), QStringLiteral("run")};

INSTANTIATE_TEST_SUITE_P(
    Rows, ReaderFailureTest,
    ::testing::Values(
        FailureCase{"SafariNotRunning",
                    LinkBrowser::safari,
                    false,
                    0,
                    true,
                    answer({statusRow()}),
                    QStringLiteral("Safari 尚未运行。"),
                    -600,
                    {QStringLiteral("isRunning ID")}},
        FailureCase{"EdgeNotRunning",
                    LinkBrowser::edge,
                    false,
                    0,
                    true,
                    answer({statusRow()}),
                    QStringLiteral("Edge 尚未运行。"),
                    -600,
                    {QStringLiteral("isRunning ID")}},
        FailureCase{"NotPermitted", LinkBrowser::chrome, true, -1743, true, answer({statusRow()}),
                    std::nullopt, -1743, untilPermission},
        FailureCase{"NotYetDecided", LinkBrowser::safari, true, -1744, true, answer({statusRow()}),
                    std::nullopt, -1744, untilPermission},
        FailureCase{"ScriptNotMade", LinkBrowser::chrome, true, 0, false, answer({statusRow()}),
                    QStringLiteral("浏览器读取脚本初始化失败。"), std::nullopt,
                    untilPermission + QStringList{QStringLiteral("compile")}},
        FailureCase{"RunErrorWithNumber", LinkBrowser::edge, true, 0, true,
                    ScriptRunError{-600, QStringLiteral("浏览器已退出。")},
                    QStringLiteral("Browser read failed."), -600, untilRun},
        FailureCase{"RunErrorWithoutNumber", LinkBrowser::chrome, true, 0, true,
                    ScriptRunError{std::nullopt, QStringLiteral("Some failure")},
                    QStringLiteral("Browser read failed."), std::nullopt, untilRun},
        FailureCase{"AnswerIsText", LinkBrowser::chrome, true, 0, true, text(QStringLiteral("status")),
                    unexpectedFormat, std::nullopt, untilRun},
        FailureCase{"AnswerIsEmptyList", LinkBrowser::chrome, true, 0, true, answer({}), unexpectedFormat,
                    std::nullopt, untilRun},
        FailureCase{"StatusRowIsText", LinkBrowser::chrome, true, 0, true,
                    answer({text(QStringLiteral("status"))}), unexpectedFormat, std::nullopt, untilRun},
        FailureCase{"StatusRowOfTwo", LinkBrowser::chrome, true, 0, true,
                    answer({row({QStringLiteral("status"), {}})}), unexpectedFormat, std::nullopt, untilRun},
        FailureCase{"StatusRowOfFour", LinkBrowser::chrome, true, 0, true,
                    answer({row({QStringLiteral("status"), {}, {}, {}})}), unexpectedFormat, std::nullopt,
                    untilRun},
        FailureCase{"StatusWordInCapitals", LinkBrowser::safari, true, 0, true,
                    answer({row({QStringLiteral("Status"), {}, {}})}), unexpectedFormat, std::nullopt,
                    untilRun},
        FailureCase{"PageRowFirst", LinkBrowser::safari, true, 0, true,
                    answer({row({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("t"),
                                 QStringLiteral("https://example.com/")}),
                            statusRow()}),
                    unexpectedFormat, std::nullopt, untilRun},
        FailureCase{
            "StatusMessageIsList", LinkBrowser::safari, true, 0, true,
            answer({ScriptValue::list({text(QStringLiteral("status")), ScriptValue::list({}), text({})})}),
            unexpectedFormat, std::nullopt, untilRun},
        FailureCase{
            "StatusNumberIsList", LinkBrowser::edge, true, 0, true,
            answer({ScriptValue::list({text(QStringLiteral("status")), text({}), ScriptValue::list({})}),
                    row({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("t"),
                         QStringLiteral("https://example.com/")})}),
            unexpectedFormat, std::nullopt, untilRun}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, NeverAsksTheUser)
{
    scripting.permissions.insert(QStringLiteral("com.google.Chrome"), -1744);
    BrowserPageReader::read(LinkBrowser::chrome);
    EXPECT_TRUE(scripting.calls.contains(QStringLiteral("automationPermission com.google.Chrome ask=false")));
    EXPECT_FALSE(scripting.calls.contains(QStringLiteral("automationPermission com.google.Chrome ask=true")));
}

TEST_F(ReaderTest, PermissionPassesAskAndStatusOnAndAnswersNotRunningItself)
{
    scripting.permissions.insert(QStringLiteral("com.apple.Safari"), -1743);
    EXPECT_EQ(BrowserPageReader::permission(LinkBrowser::safari, true), -1743);
    EXPECT_EQ(scripting.calls.last(), QStringLiteral("automationPermission com.apple.Safari ask=true"));
    EXPECT_EQ(BrowserPageReader::permission(LinkBrowser::chrome, false), 0);

    scripting.running.remove(QStringLiteral("com.microsoft.edgemac"));
    scripting.calls.clear();
    EXPECT_EQ(BrowserPageReader::permission(LinkBrowser::edge, true), -600);
    EXPECT_EQ(scripting.calls, QStringList{QStringLiteral("isRunning com.microsoft.edgemac")});
}

TEST_F(ReaderTest, RunsTheBrowsersOwnScript)
{
    const std::pair<LinkBrowser, const char16_t*> cases[] = {{LinkBrowser::safari, expectedSafariScript},
                                                             {LinkBrowser::chrome, expectedChromeScript},
                                                             {LinkBrowser::edge, expectedEdgeScript}};
    for (const auto& [browser, expected] : cases) {
        scripting.ranSources.clear();
        scripting.answer = answer({statusRow()});
        BrowserPageReader::read(browser);
        EXPECT_EQ(BrowserPageReader::source(browser), QString::fromUtf16(expected));
        EXPECT_EQ(scripting.ranSources, QStringList{QString::fromUtf16(expected)});
    }
}

TEST(ReaderScriptTest, HasNoTrailingLineFeedAndNoTabs)
{
    for (LinkBrowser browser : LinkBrowsers::allCases()) {
        const QString source = BrowserPageReader::source(browser);
        EXPECT_TRUE(source.startsWith(u"with timeout of 8 seconds\n    tell application id \""));
        EXPECT_TRUE(source.endsWith(u"    end tell\nend timeout"));
        EXPECT_FALSE(source.contains(u'\t'));
        EXPECT_FALSE(source.contains(u'\r'));
        EXPECT_FALSE(source.contains(u'['));
    }
}

TEST_F(ReaderTest, ListsTheRowsThatAreWebPagesInOrder)
{
    scripting.answer = answer({
        statusRow(),
        row({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("Start"),
             QStringLiteral("https://a.example/")}),
        row({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("https://three.example/")}),
        row({QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("five"),
             QStringLiteral("https://five.example/"), QStringLiteral("extra")}),
        ScriptValue::list({text(QStringLiteral("1")), text(QStringLiteral("4")), ScriptValue::list({}),
                           text(QStringLiteral("https://list-title.example/"))}),
        text(QStringLiteral("https://bare.example/")),
        row({QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("New Tab"),
             QStringLiteral("about:blank")}),
        row({QStringLiteral("1"), QStringLiteral("6"), QStringLiteral("File"),
             QStringLiteral("file:///etc/hosts")}),
        row({QStringLiteral("1"), QStringLiteral("7"), QStringLiteral("No host"),
             QStringLiteral("http:///x")}),
        row({QStringLiteral("1"), QStringLiteral("8"), QStringLiteral("Chrome page"),
             QStringLiteral("chrome://newtab/")}),
        row({QStringLiteral("2"), QStringLiteral("1"), QString(),
             QStringLiteral("HTTPS://Example.COM/Path")}),
        row({QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("Same"),
             QStringLiteral("https://a.example/")}),
    });

    const BrowserPageResult result = BrowserPageReader::read(LinkBrowser::chrome);

    const QList<BrowserPage> expected{
        page(LinkBrowser::chrome, QStringLiteral("chrome:1:1"), QStringLiteral("Start"),
             QStringLiteral("https://a.example/")),
        page(LinkBrowser::chrome, QStringLiteral("chrome:2:1"), QString(),
             QStringLiteral("HTTPS://Example.COM/Path")),
        page(LinkBrowser::chrome, QStringLiteral("chrome:2:2"), QStringLiteral("Same"),
             QStringLiteral("https://a.example/")),
    };
    EXPECT_EQ(result.tabs, expected);
    EXPECT_EQ(result.errorMessage, std::nullopt);
    EXPECT_EQ(result.errorCode, std::nullopt);
}

// Random nested answers built from texts the script could give.
ScriptValue randomValue(QRandomGenerator& random, int depth)
{
    static const QStringList texts{QStringLiteral("status"),
                                   QString(),
                                   QStringLiteral("1"),
                                   QStringLiteral("-1728"),
                                   QStringLiteral("https://a.example/"),
                                   QStringLiteral("about:blank"),
                                   QStringLiteral("http:///x"),
                                   QStringLiteral("Title"),
                                   QStringLiteral("99999999999999999999")};
    if (depth > 2 || random.bounded(3) == 0)
        return text(texts.at(random.bounded(texts.size())));
    QList<ScriptValue> items;
    const int count = random.bounded(6);
    for (int i = 0; i < count; ++i)
        items.append(randomValue(random, depth + 1));
    if (depth == 0 && !items.isEmpty() && random.bounded(2) == 0)
        items[0] = statusRow(texts.at(random.bounded(texts.size())), texts.at(random.bounded(texts.size())));
    return ScriptValue::list(items);
}

TEST_F(ReaderTest, AnyAnswerGivesPagesOfWebAddressesOrTheFormatError)
{
    QRandomGenerator random(20261207);
    for (int round = 0; round < 3000; ++round) {
        const ScriptValue value = randomValue(random, 0);
        scripting.answer = value;
        const BrowserPageResult result = BrowserPageReader::read(LinkBrowser::edge);
        const bool wellFormed =
            value.isList() && value.item(1) && value.item(1)->isList() && value.item(1)->count() == 3 &&
            value.item(1)->item(1)->stringValue() == u"status" && value.item(1)->item(2)->stringValue() &&
            value.item(1)->item(3)->stringValue();
        if (!wellFormed) {
            EXPECT_EQ(result.errorMessage, unexpectedFormat);
            EXPECT_TRUE(result.tabs.isEmpty());
            continue;
        }
        EXPECT_NE(result.errorMessage, unexpectedFormat);
        for (const BrowserPage& tab : result.tabs) {
            EXPECT_TRUE(BrowserPage::isWebURL(tab.url)) << qPrintable(tab.url);
            EXPECT_TRUE(tab.id.startsWith(u"edge:")) << qPrintable(tab.id);
            EXPECT_EQ(tab.browser, LinkBrowser::edge);
        }
    }
}

TEST_F(ReaderTest, IdentifiersTakeTheIndexesAsTheScriptGaveThem)
{
    // An incognito window first keeps its number: the normal window is the second.
    scripting.answer = answer({statusRow(),
                               row({QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("A"),
                                    QStringLiteral("http://a.example/")}),
                               row({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("C"),
                                    QStringLiteral("http://c.example/")})});
    const BrowserPageResult result = BrowserPageReader::read(LinkBrowser::edge);
    ASSERT_EQ(result.tabs.size(), 2);
    EXPECT_EQ(result.tabs[0].id, QStringLiteral("edge:2:1"));
    EXPECT_EQ(result.tabs[1].id, QStringLiteral("edge:2:3"));
    EXPECT_EQ(result.tabs[1].browser, LinkBrowser::edge);
}

TEST_F(ReaderTest, ReportsTheFirstErrorBesideThePages)
{
    scripting.answer =
        answer({statusRow(QStringLiteral("Can’t get title of tab 2."), QStringLiteral("-1728")),
                row({QStringLiteral("1"), QStringLiteral("2"), QString(),
                     QStringLiteral("https://untitled.example/")})});
    const BrowserPageResult result = BrowserPageReader::read(LinkBrowser::safari);
    EXPECT_EQ(result.tabs, QList<BrowserPage>{page(LinkBrowser::safari, QStringLiteral("safari:1:2"),
                                                   QString(), QStringLiteral("https://untitled.example/"))});
    EXPECT_EQ(result.errorMessage, QStringLiteral("Can’t get title of tab 2."));
    EXPECT_EQ(result.errorCode, -1728);
}

struct StatusNumberCase {
    const char* text;
    std::optional<qint64> code;
};

void PrintTo(const StatusNumberCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class StatusNumberTest : public ReaderTest, public ::testing::WithParamInterface<StatusNumberCase> {};

TEST_P(StatusNumberTest, ReadsOnlyDecimalIntegers)
{
    scripting.answer = answer({statusRow(QString(), QString::fromUtf8(GetParam().text))});
    const BrowserPageResult result = BrowserPageReader::read(LinkBrowser::chrome);
    EXPECT_EQ(result.errorCode, GetParam().code) << GetParam().text;
    EXPECT_EQ(result.errorMessage, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StatusNumberTest,
    ::testing::Values(StatusNumberCase{"-1728", -1728}, StatusNumberCase{"+5", 5}, StatusNumberCase{"0", 0},
                      StatusNumberCase{"007", 7}, StatusNumberCase{"", std::nullopt},
                      StatusNumberCase{"12a", std::nullopt},
                      StatusNumberCase{"9223372036854775807", INT64_MAX},
                      StatusNumberCase{"-9223372036854775808", INT64_MIN},
                      StatusNumberCase{"9223372036854775808", std::nullopt},
                      StatusNumberCase{"-9223372036854775809", std::nullopt},
                      StatusNumberCase{" 5", std::nullopt}, StatusNumberCase{"5 ", std::nullopt},
                      StatusNumberCase{"+", std::nullopt}, StatusNumberCase{"-", std::nullopt},
                      StatusNumberCase{"+-5", std::nullopt}, StatusNumberCase{"--5", std::nullopt},
                      StatusNumberCase{"1.5", std::nullopt}, StatusNumberCase{"0x10", std::nullopt},
                      StatusNumberCase{"\xd9\xa3", std::nullopt},    // Arabic-Indic three
                      StatusNumberCase{"\xef\xbc\x95", std::nullopt} // full-width five
                      ));

TEST_F(ReaderTest, MeasuresTheWholeReadOnEveryPath)
{
    using namespace std::chrono_literals;
    scripting.runDuration = 25ms;
    scripting.answer = answer({statusRow()});
    EXPECT_GE(BrowserPageReader::read(LinkBrowser::chrome).elapsedMs, 25);

    scripting.answer = ScriptRunError{-1712, QStringLiteral("timed out")};
    EXPECT_GE(BrowserPageReader::read(LinkBrowser::chrome).elapsedMs, 25);
}

TEST(ScriptValueTest, ItemsAreOneBasedAndTextsHaveNone)
{
    const ScriptValue list = ScriptValue::list({text(QStringLiteral("a")), ScriptValue::list({})});
    EXPECT_TRUE(list.isList());
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.item(0), std::nullopt);
    EXPECT_EQ(list.item(1), text(QStringLiteral("a")));
    EXPECT_EQ(list.item(2), ScriptValue::list({}));
    EXPECT_EQ(list.item(3), std::nullopt);
    EXPECT_EQ(list.stringValue(), std::nullopt);

    const ScriptValue leaf = text(QStringLiteral("a"));
    EXPECT_FALSE(leaf.isList());
    EXPECT_EQ(leaf.count(), 0);
    EXPECT_EQ(leaf.item(1), std::nullopt);
    EXPECT_EQ(leaf.stringValue(), QStringLiteral("a"));
    EXPECT_EQ(text(QString()).stringValue(), QString());
    EXPECT_NE(text(QString()), ScriptValue::list({}));
}

} // namespace
