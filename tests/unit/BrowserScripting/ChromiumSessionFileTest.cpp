#include "SessionFileWriter.h"

#include "Platform/linux/ChromiumSessionFile.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <random>

using Platform::ChromiumSessionFile;
using Tab = ChromiumSessionFile::Tab;
using Window = ChromiumSessionFile::Window;
using Windows = QList<Window>;

namespace {

const QString realFilePath =
    QStringLiteral(VELLORA_SOURCE_DIR "/tests/unit/BrowserScripting/chromium-156-session.snss");

std::variant<Windows, ChromiumSessionFile::Failure> parse(const QByteArray& bytes)
{
    return ChromiumSessionFile::parse(bytes);
}

struct ParseCase {
    const char* name;
    std::function<void(SessionFileWriter&)> write;
    Windows expected;
};

// A tab in a window with one page.
void openTab(SessionFileWriter& w, qint32 window, qint32 tab, qint32 index, const QString& url,
             const QString& title = {})
{
    w.setTabWindow(window, tab)
        .setTabIndex(tab, index)
        .navigation(tab, 0, url, title)
        .selectNavigation(tab, 0);
}

const ParseCase parseCases[] = {
    {"two windows, tabs ordered by their index in the window",
     [](SessionFileWriter& w) {
         w.windowType(10, 0).windowType(20, 0);
         openTab(w, 10, 1, 2, "https://a.example/", "A");
         openTab(w, 20, 2, 0, "https://c.example/", "C");
         openTab(w, 10, 3, 0, "https://b.example/", "B");
         openTab(w, 10, 4, 1, "https://d.example/", "D");
     },
     {{{{"https://b.example/", "B"}, {"https://d.example/", "D"}, {"https://a.example/", "A"}}},
      {{{"https://c.example/", "C"}}}}},
    {"windows in order of first appearance, whatever their identifiers",
     [](SessionFileWriter& w) {
         openTab(w, 900, 1, 0, "https://late-id.example/");
         openTab(w, 5, 2, 0, "https://early-id.example/");
     },
     {{{{"https://late-id.example/", ""}}}, {{{"https://early-id.example/", ""}}}}},
    {"equal indexes keep the order in which the tabs first appear",
     [](SessionFileWriter& w) {
         openTab(w, 1, 30, 0, "https://first.example/");
         openTab(w, 1, 10, 0, "https://second.example/");
         openTab(w, 1, 20, 0, "https://third.example/");
     },
     {{{{"https://first.example/", ""}, {"https://second.example/", ""}, {"https://third.example/", ""}}}}},
    {"a tab moved to another window belongs to the later one",
     [](SessionFileWriter& w) {
         openTab(w, 1, 7, 0, "https://moved.example/");
         openTab(w, 2, 8, 0, "https://stays.example/");
         w.setTabWindow(2, 7).setTabIndex(7, 1);
     },
     {{{{"https://stays.example/", ""}, {"https://moved.example/", ""}}}}},
    {"closed tabs and closed windows with their tabs are gone",
     [](SessionFileWriter& w) {
         openTab(w, 2, 3, 0, "https://closed-window.example/");
         openTab(w, 1, 1, 0, "https://closed-tab.example/");
         openTab(w, 1, 2, 1, "https://open.example/");
         openTab(w, 3, 4, 0, "https://other.example/");
         w.tabClosed(1).windowClosed(2);
     },
     {{{{"https://open.example/", ""}}}, {{{"https://other.example/", ""}}}}},
    {"a closed window whose identifier comes back is a new window, without the old tabs",
     [](SessionFileWriter& w) {
         openTab(w, 1, 1, 0, "https://old.example/");
         w.windowClosed(1);
         openTab(w, 2, 2, 0, "https://two.example/");
         openTab(w, 1, 3, 0, "https://again.example/");
     },
     {{{{"https://two.example/", ""}}}, {{{"https://again.example/", ""}}}}},
    {"a later navigation at the same index replaces the page (its title arrived)",
     [](SessionFileWriter& w) {
         openTab(w, 1, 1, 0, "https://page.example/");
         w.navigation(1, 0, "https://page.example/?state=1", "Loaded title");
     },
     {{{{"https://page.example/?state=1", "Loaded title"}}}}},
    {"the selected navigation is the page shown",
     [](SessionFileWriter& w) {
         w.setTabWindow(1, 1)
             .navigation(1, 0, "https://one.example/", "One")
             .navigation(1, 1, "https://two.example/", "Two")
             .navigation(1, 2, "https://three.example/", "Three")
             .selectNavigation(1, 2)
             .selectNavigation(1, 1);
     },
     {{{{"https://two.example/", "Two"}}}}},
    {"without a selected navigation the highest index is shown",
     [](SessionFileWriter& w) {
         w.setTabWindow(1, 1)
             .navigation(1, 3, "https://three.example/", "Three")
             .navigation(1, 1, "https://one.example/", "One");
     },
     {{{{"https://three.example/", "Three"}}}}},
    {"pruning from the back drops the later navigations",
     [](SessionFileWriter& w) {
         w.setTabWindow(1, 1)
             .navigation(1, 0, "https://zero.example/", "")
             .navigation(1, 1, "https://one.example/", "")
             .navigation(1, 2, "https://two.example/", "")
             .selectNavigation(1, 2)
             .prunedFromBack(1, 1);
     },
     {{{{"https://zero.example/", ""}}}}},
    {"pruning from the front renumbers the navigations that stay",
     [](SessionFileWriter& w) {
         w.setTabWindow(1, 1)
             .navigation(1, 0, "https://zero.example/", "")
             .navigation(1, 1, "https://one.example/", "")
             .navigation(1, 2, "https://two.example/", "")
             .selectNavigation(1, 2)
             .prunedFromFront(1, 2)
             .navigation(1, 1, "https://new.example/", "")
             .selectNavigation(1, 0);
     },
     {{{{"https://two.example/", ""}}}}},
    {"pruning from the front moves the selected index with it",
     [](SessionFileWriter& w) {
         w.setTabWindow(1, 1)
             .navigation(1, 0, "https://zero.example/", "")
             .navigation(1, 1, "https://one.example/", "")
             .navigation(1, 2, "https://two.example/", "")
             .navigation(1, 3, "https://three.example/", "")
             .selectNavigation(1, 2)
             .prunedFromFront(1, 1);
     },
     {{{{"https://two.example/", ""}}}}},
    {"pruning a range in the middle closes the gap",
     [](SessionFileWriter& w) {
         w.setTabWindow(1, 1)
             .navigation(1, 0, "https://a.example/", "")
             .navigation(1, 1, "https://b.example/", "")
             .navigation(1, 2, "https://c.example/", "")
             .navigation(1, 3, "https://d.example/", "")
             .selectNavigation(1, 3)
             .pruned(1, 1, 2)
             .navigation(1, 1, "https://d.example/?again", "");
     },
     {{{{"https://d.example/?again", ""}}}}},
    {"tabs without pages and windows without tabs are left out",
     [](SessionFileWriter& w) {
         w.windowType(1, 0).selectTab(1, 0).windowType(2, 0).setTabWindow(2, 5).setTabIndex(5, 0);
         openTab(w, 3, 6, 0, "https://only.example/");
     },
     {{{{"https://only.example/", ""}}}}},
    {"a tab with an empty address is still a tab",
     [](SessionFileWriter& w) {
         openTab(w, 1, 1, 0, "");
         openTab(w, 1, 2, 1, "https://after-empty.example/");
     },
     {{{{"", ""}, {"https://after-empty.example/", ""}}}}},
    {"titles in UTF-16 and addresses of every length",
     [](SessionFileWriter& w) {
         openTab(w, 1, 1, 0, "https://x.example/ü", QStringLiteral("Café ☕ 页面"));
         openTab(w, 1, 2, 1, "https://xy.example/", QStringLiteral("Odd"));
         openTab(w, 1, 3, 2, "https://xyz.example/", QStringLiteral("Even"));
     },
     {{{{QStringLiteral("https://x.example/ü"), QStringLiteral("Café ☕ 页面")},
        {"https://xy.example/", "Odd"},
        {"https://xyz.example/", "Even"}}}}},
    {"unknown commands and short known ones are passed over",
     [](SessionFileWriter& w) {
         w.command(99, "anything at all").command(255, {});
         w.command(0, SessionFileWriter::ints({1}));         // a window without its tab
         w.command(6, SessionFileWriter::ints({400, 1, 0})); // a pickle claiming more than it has
         openTab(w, 1, 1, 0, "https://kept.example/");
     },
     {{{{"https://kept.example/", ""}}}}},
};

void PrintTo(const ParseCase& c, std::ostream* out)
{
    *out << c.name;
}

class SessionFileParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(SessionFileParse, readsTheOpenWindows)
{
    SessionFileWriter writer;
    GetParam().write(writer);
    const auto result = parse(writer.bytes());
    ASSERT_TRUE(std::holds_alternative<Windows>(result));
    EXPECT_EQ(std::get<Windows>(result), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Commands, SessionFileParse, ::testing::ValuesIn(parseCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

SessionFileWriter twoTabs(qint32 version = 3)
{
    SessionFileWriter writer(version);
    openTab(writer, 1, 1, 0, "https://a.example/", "A");
    openTab(writer, 1, 2, 1, "https://b.example/", "B");
    return writer;
}

const Windows bothTabs{{{{"https://a.example/", "A"}, {"https://b.example/", "B"}}}};

TEST(SessionFile, versionOneReadsTheSameCommands)
{
    EXPECT_EQ(std::get<Windows>(parse(twoTabs(1).bytes())), bothTabs);
}

TEST(SessionFile, aCommandCutShortAtTheEndIsIgnored)
{
    SessionFileWriter writer = twoTabs();
    writer.navigation(2, 0, "https://b.example/?later", "Later");
    const QByteArray full = writer.bytes();
    const Windows later{{{{"https://a.example/", "A"}, {"https://b.example/?later", "Later"}}}};
    EXPECT_EQ(std::get<Windows>(parse(full)), later);
    // Cut inside the last command, inside its size, and right after it.
    for (const qsizetype cut : {qsizetype(3), qsizetype(20), qsizetype(60)})
        EXPECT_EQ(std::get<Windows>(parse(full.chopped(cut))), bothTabs) << "cut " << cut;
    const QByteArray sizeOnly = twoTabs().bytes() + QByteArray(1, '\x09');
    EXPECT_EQ(std::get<Windows>(parse(sizeOnly)), bothTabs);
}

TEST(SessionFile, aCommandOfSizeZeroEndsWhatCanBeRead)
{
    const QByteArray bytes =
        twoTabs().bytes() + QByteArray(2, '\0') + SessionFileWriter().setTabIndex(2, -1).bytes().mid(8);
    EXPECT_EQ(std::get<Windows>(parse(bytes)), bothTabs);
}

TEST(SessionFile, anEmptySessionHasNoWindows)
{
    EXPECT_EQ(std::get<Windows>(parse(SessionFileWriter().bytes())), Windows());
}

TEST(SessionFile, failures)
{
    const struct {
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {{}, "not a session file"},
        {"SNSS", "not a session file"},
        {SessionFileWriter().bytes().left(7), "not a session file"},
        {SessionFileWriter(3, 0x53534E54).bytes(), "not a session file"},
        {QByteArray("{\"profile\": {}}"), "not a session file"},
        {SessionFileWriter(2).bytes(), "unsupported session file version 2"},
        {SessionFileWriter(4).bytes(), "unsupported session file version 4"},
        {SessionFileWriter(0).bytes(), "unsupported session file version 0"},
        {SessionFileWriter(-1).bytes(), "unsupported session file version -1"},
    };
    for (const auto& c : cases) {
        const auto result = parse(c.bytes);
        ASSERT_TRUE(std::holds_alternative<ChromiumSessionFile::Failure>(result))
            << c.bytes.toHex().constData();
        EXPECT_EQ(std::get<ChromiumSessionFile::Failure>(result).reason, QString::fromUtf8(c.reason));
    }
}

QByteArray realFile()
{
    QFile file(realFilePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Written by Chromium 156 with two windows: the first opened on two pages (the second of which
// replaced its state once loaded, which stores its title), the second on a page that pushed a
// second state.
TEST(SessionFile, readsAFileWrittenByChromium)
{
    const QByteArray bytes = realFile();
    ASSERT_FALSE(bytes.isEmpty()) << realFilePath.toStdString();
    const Windows expected{
        {{{"http://127.0.0.1:18766/a.html", ""}, {"http://127.0.0.1:18766/r.html?x=1", "Page Replace"}}},
        {{{"http://127.0.0.1:18766/p.html#two", "Page Push"}}},
    };
    EXPECT_EQ(std::get<Windows>(parse(bytes)), expected);
}

// The writer the other cases rely on encodes commands exactly as the browser does.
TEST(SessionFile, theTestWriterMatchesTheBrowsersBytes)
{
    const QByteArray bytes = realFile();
    const auto commandBytes = [](const SessionFileWriter& w) { return w.bytes().mid(8); };
    EXPECT_TRUE(bytes.contains(commandBytes(SessionFileWriter().setTabWindow(1303051432, 1303051433))));
    EXPECT_TRUE(bytes.contains(commandBytes(SessionFileWriter().setTabIndex(1303051434, 1))));
    EXPECT_TRUE(bytes.contains(commandBytes(SessionFileWriter().selectNavigation(1303051436, 1))));
    // A navigation from its tab to the end of its title; sizes and the fields after differ.
    const QByteArray navigation = commandBytes(
        SessionFileWriter().navigation(1303051436, 1, "http://127.0.0.1:18766/p.html#two", "Page Push"));
    const qsizetype titleEnd = 3 + 4 + 4 + 4 + 4 + 36 + 4 + 2 * 9;
    EXPECT_TRUE(bytes.contains(navigation.mid(7, titleEnd - 7)));
}

// Any bytes give windows or a failure: no crash, no hang, and no more tabs than the commands
// that could have opened them.
TEST(SessionFile, survivesMutatedFiles)
{
    constexpr int rounds = 4000;
    constexpr qsizetype smallestTabCommand = 11;
    SessionFileWriter rich = twoTabs();
    rich.windowType(2, 1).setTabWindow(2, 3).navigation(3, 0, "https://c.example/", "C").pruned(3, 0, 1);
    rich.prunedFromFront(1, 1).prunedFromBack(2, 5).tabClosed(9).windowClosed(8).selectTab(2, 0);
    const QByteArray seeds[] = {rich.bytes(), realFile()};
    std::mt19937 random(20261207);
    for (int round = 0; round < rounds; ++round) {
        QByteArray bytes = seeds[round % 2];
        const int mutations = 1 + int(random() % 8);
        for (int m = 0; m < mutations && !bytes.isEmpty(); ++m) {
            const auto at = qsizetype(random() % quint32(bytes.size()));
            switch (random() % 5) {
            case 0:
                bytes[at] = char(bytes[at] ^ (1 << (random() % 8)));
                break;
            case 1:
                bytes[at] = char(random());
                break;
            case 2:
                bytes.truncate(at);
                break;
            case 3:
                bytes.insert(at, bytes.mid(at, 1 + random() % 64));
                break;
            default:
                bytes.remove(at, 1 + random() % 16);
                break;
            }
        }
        const auto result = parse(bytes);
        if (const auto* windows = std::get_if<Windows>(&result)) {
            qsizetype tabs = 0;
            for (const Window& window : *windows) {
                EXPECT_FALSE(window.tabs.isEmpty());
                tabs += window.tabs.size();
            }
            EXPECT_LE(tabs, bytes.size() / smallestTabCommand) << "round " << round;
        } else {
            EXPECT_FALSE(std::get<ChromiumSessionFile::Failure>(result).reason.isEmpty());
        }
    }
}

} // namespace
