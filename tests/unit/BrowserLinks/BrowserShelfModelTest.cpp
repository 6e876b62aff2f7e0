#include "BrowserLinks/BrowserShelfModel.h"
#include "ControlledReads.h"
#include "fakes/FakeBrowserScripting.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int publicationWaitMs = 10'000;

BrowserPage page(LinkBrowser browser, int window, int tab, const QString& title = {})
{
    const QString id = QStringLiteral("%1:%2:%3").arg(LinkBrowsers::rawValue(browser)).arg(window).arg(tab);
    return {id, browser, title.isEmpty() ? id : title,
            QStringLiteral("https://%1-%2-%3.example/")
                .arg(LinkBrowsers::rawValue(browser))
                .arg(window)
                .arg(tab)};
}

QSet<QString> ids(std::initializer_list<const char*> list)
{
    QSet<QString> set;
    for (const char* id : list)
        set.insert(QString::fromLatin1(id));
    return set;
}

QStringList idsOf(const QList<BrowserPage>& pages)
{
    QStringList list;
    for (const BrowserPage& page : pages)
        list.append(page.id);
    return list;
}

class ShelfTest : public ::testing::Test {
protected:
    ShelfTest()
    {
        QObject::connect(&model, &BrowserShelfModel::resultsChanged, &model,
                         [this] { published.append(model.results()); });
    }

    bool waitUntilPublished(size_t count)
    {
        return QTest::qWaitFor([&] { return model.results().size() >= count; }, publicationWaitMs);
    }
    bool waitUntilLoaded()
    {
        return QTest::qWaitFor([&] { return !model.isLoading(); }, publicationWaitMs);
    }
    // Whether any assignment of the results ever held a page with this address.
    bool everPublished(const QString& url) const
    {
        for (const auto& results : published) {
            for (const auto& [browser, result] : results) {
                for (const BrowserPage& page : result.tabs) {
                    if (page.url == url)
                        return true;
                }
            }
        }
        return false;
    }
    // Safari: two pages; Chrome: two pages; Edge: one page; all published.
    void loadFivePages()
    {
        reads.answer(LinkBrowser::safari, {page(LinkBrowser::safari, 1, 1), page(LinkBrowser::safari, 1, 2)});
        reads.answer(LinkBrowser::chrome, {page(LinkBrowser::chrome, 1, 1), page(LinkBrowser::chrome, 2, 1)});
        reads.answer(LinkBrowser::edge, {page(LinkBrowser::edge, 1, 1)});
        model.refresh();
        ASSERT_TRUE(waitUntilLoaded());
    }

    ControlledReads reads;
    BrowserShelfModel model{reads.reader()};
    QList<std::map<LinkBrowser, BrowserPageResult>> published;
};

TEST_F(ShelfTest, PublishesEachBrowserInOrderAsItArrives)
{
    reads.block();
    reads.answer(LinkBrowser::chrome, {page(LinkBrowser::chrome, 1, 1)});
    QSignalSpy loading(&model, &BrowserShelfModel::isLoadingChanged);

    model.refresh();
    EXPECT_TRUE(model.isLoading());
    EXPECT_TRUE(model.session().isOpen());
    EXPECT_EQ(model.session().generation(), 1u);
    EXPECT_TRUE(model.results().empty());

    const QList<LinkBrowser> order = LinkBrowsers::allCases();
    for (qsizetype published = 1; published <= order.size(); ++published) {
        reads.releaseOne();
        ASSERT_TRUE(waitUntilPublished(published));
        EXPECT_EQ(model.results().size(), static_cast<size_t>(published));
        EXPECT_EQ(model.results().count(order.at(published - 1)), 1u);
        EXPECT_EQ(model.isLoading(), published < order.size());
    }
    EXPECT_EQ(reads.started(), order);
    EXPECT_EQ(loading.count(), 2);
    EXPECT_EQ(model.results().at(LinkBrowser::chrome).tabs,
              QList<BrowserPage>{page(LinkBrowser::chrome, 1, 1)});
    ASSERT_NE(reads.thread(), nullptr);
    EXPECT_NE(reads.thread(), QThread::currentThread());
    EXPECT_EQ(reads.thread()->objectName(), QStringLiteral("vellora.browser-shelf"));
}

TEST_F(ShelfTest, RefreshWhileReadingDropsTheRunningReadAndCancelsTheOthers)
{
    reads.block();
    reads.answer(LinkBrowser::safari, {{QStringLiteral("safari:1:1"), LinkBrowser::safari,
                                        QStringLiteral("Old"), QStringLiteral("https://stale.example/")}});
    reads.answer(LinkBrowser::safari, {page(LinkBrowser::safari, 1, 1)});
    model.refresh();
    ASSERT_TRUE(reads.waitUntilStarted(1));

    model.refresh();
    EXPECT_EQ(model.session().generation(), 2u);
    reads.stopBlocking();
    ASSERT_TRUE(waitUntilLoaded());

    EXPECT_EQ(reads.started(), (QList<LinkBrowser>{LinkBrowser::safari, LinkBrowser::safari,
                                                   LinkBrowser::chrome, LinkBrowser::edge}));
    EXPECT_FALSE(everPublished(QStringLiteral("https://stale.example/")));
    EXPECT_EQ(model.results().size(), 3u);
    EXPECT_EQ(model.results().at(LinkBrowser::safari).tabs,
              QList<BrowserPage>{page(LinkBrowser::safari, 1, 1)});
}

TEST_F(ShelfTest, EndWhileReadingStopsAtOnceAndPublishesNothing)
{
    reads.block();
    reads.answer(LinkBrowser::safari, {{QStringLiteral("safari:1:1"), LinkBrowser::safari,
                                        QStringLiteral("Old"), QStringLiteral("https://stale.example/")}});
    model.setQuery(QStringLiteral("example"));
    model.setBrowser(LinkBrowser::safari);
    model.refresh();
    model.setFocusedID(QStringLiteral("safari:1:1"));
    model.setSelectedIDs(ids({"safari:1:1"}));
    ASSERT_TRUE(reads.waitUntilStarted(1));
    QSignalSpy loading(&model, &BrowserShelfModel::isLoadingChanged);

    model.end();

    EXPECT_FALSE(model.isLoading());
    EXPECT_EQ(loading.count(), 1);
    EXPECT_FALSE(model.session().isOpen());
    EXPECT_EQ(model.session().generation(), 2u);
    EXPECT_TRUE(model.results().empty());
    EXPECT_TRUE(model.selectedIDs().isEmpty());
    EXPECT_EQ(model.focusedID(), std::nullopt);
    EXPECT_EQ(model.query(), QStringLiteral("example"));
    EXPECT_EQ(model.browser(), LinkBrowser::safari);

    // The running read finishes; the next session's results arrive only after its answer.
    reads.stopBlocking();
    model.refresh();
    ASSERT_TRUE(waitUntilLoaded());
    EXPECT_EQ(reads.started(), (QList<LinkBrowser>{LinkBrowser::safari, LinkBrowser::safari,
                                                   LinkBrowser::chrome, LinkBrowser::edge}));
    EXPECT_FALSE(everPublished(QStringLiteral("https://stale.example/")));
}

TEST_F(ShelfTest, FocusGoesToTheFirstPageOfTheFirstBrowserWithPages)
{
    reads.block();
    reads.answer(BrowserPageResult{LinkBrowser::safari, {}, QStringLiteral("Safari 尚未运行。"), -600, 0});
    reads.answer(LinkBrowser::chrome, {page(LinkBrowser::chrome, 1, 1), page(LinkBrowser::chrome, 1, 2)});
    reads.answer(LinkBrowser::edge, {page(LinkBrowser::edge, 1, 1)});
    model.refresh();

    reads.releaseOne();
    ASSERT_TRUE(waitUntilPublished(1));
    EXPECT_EQ(model.focusedID(), std::nullopt);
    EXPECT_TRUE(model.selectedIDs().isEmpty());
    EXPECT_EQ(model.results().at(LinkBrowser::safari).errorCode, -600);

    reads.releaseOne();
    ASSERT_TRUE(waitUntilPublished(2));
    EXPECT_EQ(model.focusedID(), QStringLiteral("chrome:1:1"));
    EXPECT_EQ(model.selectedIDs(), ids({"chrome:1:1"}));

    reads.releaseOne();
    ASSERT_TRUE(waitUntilLoaded());
    EXPECT_EQ(model.focusedID(), QStringLiteral("chrome:1:1"));
    EXPECT_EQ(idsOf(model.pages()), (QStringList{"chrome:1:1", "chrome:1:2", "edge:1:1"}));
}

TEST_F(ShelfTest, LaterResultsLeaveTheUsersFocusAlone)
{
    reads.block();
    reads.answer(LinkBrowser::safari, {page(LinkBrowser::safari, 1, 1), page(LinkBrowser::safari, 1, 2)});
    reads.answer(LinkBrowser::chrome, {page(LinkBrowser::chrome, 1, 1)});
    model.refresh();
    reads.releaseOne();
    ASSERT_TRUE(waitUntilPublished(1));
    model.select(QStringLiteral("safari:1:2"), false);

    reads.stopBlocking();
    ASSERT_TRUE(waitUntilLoaded());
    EXPECT_EQ(model.focusedID(), QStringLiteral("safari:1:2"));
    EXPECT_EQ(model.selectedIDs(), ids({"safari:1:2"}));
}

TEST_F(ShelfTest, FocusSetByTheCallerIsKeptAndLeavesNoAnchor)
{
    reads.block();
    reads.answer(LinkBrowser::safari, {page(LinkBrowser::safari, 1, 1), page(LinkBrowser::safari, 1, 2)});
    reads.answer(LinkBrowser::chrome, {page(LinkBrowser::chrome, 1, 1)});
    model.refresh();
    model.setFocusedID(QStringLiteral("chrome:1:1"));
    reads.stopBlocking();
    ASSERT_TRUE(waitUntilLoaded());
    EXPECT_EQ(model.focusedID(), QStringLiteral("chrome:1:1"));
    EXPECT_TRUE(model.selectedIDs().isEmpty());

    // Extending without an anchor selects the page alone and makes it the anchor.
    model.select(QStringLiteral("safari:1:2"), true);
    EXPECT_EQ(model.selectedIDs(), ids({"safari:1:2"}));
    model.select(QStringLiteral("chrome:1:1"), true);
    EXPECT_EQ(model.selectedIDs(), ids({"safari:1:2", "chrome:1:1"}));
}

TEST_F(ShelfTest, VisiblePagesFollowBrowserOrderFilterAndQuery)
{
    loadFivePages();
    EXPECT_EQ(idsOf(model.pages()),
              (QStringList{"safari:1:1", "safari:1:2", "chrome:1:1", "chrome:2:1", "edge:1:1"}));

    model.setQuery(QStringLiteral("   "));
    EXPECT_EQ(model.pages().size(), 5);

    model.setQuery(QStringLiteral("chrome-2"));
    EXPECT_EQ(idsOf(model.pages()), QStringList{"chrome:2:1"});
    EXPECT_EQ(model.focusedID(), QStringLiteral("chrome:2:1"));

    model.setQuery({});
    model.setBrowser(LinkBrowser::chrome);
    EXPECT_EQ(idsOf(model.pages()), (QStringList{"chrome:1:1", "chrome:2:1"}));
    model.selectAll();
    EXPECT_EQ(model.selectedIDs(), ids({"chrome:1:1", "chrome:2:1"}));
    EXPECT_EQ(idsOf(model.selectedPages()), (QStringList{"chrome:1:1", "chrome:2:1"}));

    model.setQuery(QStringLiteral("safari"));
    EXPECT_TRUE(model.pages().isEmpty());
    EXPECT_TRUE(model.selectedIDs().isEmpty());
    EXPECT_EQ(model.focusedID(), std::nullopt);
}

TEST_F(ShelfTest, SameQueryOrFilterKeepsTheSelection)
{
    loadFivePages();
    model.setQuery(QStringLiteral("   "));
    model.setBrowser(std::nullopt);
    model.select(QStringLiteral("chrome:2:1"), false);
    QSignalSpy query(&model, &BrowserShelfModel::queryChanged);
    QSignalSpy browser(&model, &BrowserShelfModel::browserChanged);
    QSignalSpy selection(&model, &BrowserShelfModel::selectedIDsChanged);

    model.setQuery(QStringLiteral("   "));
    model.setBrowser(std::nullopt);

    EXPECT_EQ(model.selectedIDs(), ids({"chrome:2:1"}));
    EXPECT_EQ(model.focusedID(), QStringLiteral("chrome:2:1"));
    EXPECT_EQ(query.count(), 0);
    EXPECT_EQ(browser.count(), 0);
    EXPECT_EQ(selection.count(), 0);

    model.setQuery(QStringLiteral("  "));
    EXPECT_EQ(query.count(), 1);
    EXPECT_EQ(model.selectedIDs(), ids({"safari:1:1"}));
}

struct SelectStep {
    const char* id;
    bool extending;
    std::initializer_list<const char*> selected;
    const char* focused;
};

TEST_F(ShelfTest, SelectsRangesFromTheAnchor)
{
    loadFivePages();
    const SelectStep steps[] = {
        {"safari:1:2", false, {"safari:1:2"}, "safari:1:2"},
        {"chrome:2:1", true, {"safari:1:2", "chrome:1:1", "chrome:2:1"}, "chrome:2:1"},
        {"safari:1:1", true, {"safari:1:1", "safari:1:2"}, "safari:1:1"},
        {"edge:1:1", true, {"safari:1:2", "chrome:1:1", "chrome:2:1", "edge:1:1"}, "edge:1:1"},
        {"chrome:1:1", false, {"chrome:1:1"}, "chrome:1:1"},
        {"chrome:1:1", true, {"chrome:1:1"}, "chrome:1:1"},
        {"safari:1:1", true, {"safari:1:1", "safari:1:2", "chrome:1:1"}, "safari:1:1"},
        {"safari:9:9", true, {"safari:1:1", "safari:1:2", "chrome:1:1"}, "safari:1:1"},
        {"", false, {"safari:1:1", "safari:1:2", "chrome:1:1"}, "safari:1:1"},
    };
    for (const SelectStep& step : steps) {
        model.select(QString::fromLatin1(step.id), step.extending);
        EXPECT_EQ(model.selectedIDs(), ids(step.selected)) << step.id << ' ' << step.extending;
        EXPECT_EQ(model.focusedID(), QString::fromLatin1(step.focused)) << step.id;
    }
}

TEST_F(ShelfTest, SelectingAHiddenPageChangesNothing)
{
    loadFivePages();
    model.setBrowser(LinkBrowser::chrome);
    QSignalSpy selection(&model, &BrowserShelfModel::selectedIDsChanged);
    QSignalSpy focus(&model, &BrowserShelfModel::focusedIDChanged);

    model.select(QStringLiteral("safari:1:1"), false);
    model.select(QStringLiteral("edge:1:1"), true);

    EXPECT_EQ(model.selectedIDs(), ids({"chrome:1:1"}));
    EXPECT_EQ(model.focusedID(), QStringLiteral("chrome:1:1"));
    EXPECT_EQ(selection.count(), 0);
    EXPECT_EQ(focus.count(), 0);
}

TEST_F(ShelfTest, SelectAllFocusesAndAnchorsTheFirstPage)
{
    EXPECT_TRUE(model.pages().isEmpty());
    model.selectAll();
    EXPECT_TRUE(model.selectedIDs().isEmpty());
    EXPECT_EQ(model.focusedID(), std::nullopt);

    loadFivePages();
    model.select(QStringLiteral("edge:1:1"), false);
    model.selectAll();
    EXPECT_EQ(model.selectedIDs().size(), 5);
    EXPECT_EQ(model.focusedID(), QStringLiteral("safari:1:1"));
    model.select(QStringLiteral("chrome:1:1"), true);
    EXPECT_EQ(model.selectedIDs(), ids({"safari:1:1", "safari:1:2", "chrome:1:1"}));

    model.setQuery(QStringLiteral("nothing-like-this"));
    model.selectAll();
    EXPECT_TRUE(model.selectedIDs().isEmpty());
    EXPECT_EQ(model.focusedID(), std::nullopt);
}

TEST_F(ShelfTest, SelectedPagesFollowTheShelfOrderAndSkipHiddenIDs)
{
    loadFivePages();
    model.setSelectedIDs(ids({"edge:1:1", "safari:1:2", "gone:1:1"}));
    EXPECT_EQ(idsOf(model.selectedPages()), (QStringList{"safari:1:2", "edge:1:1"}));
}

TEST_F(ShelfTest, TextJoinsTheAddressesInShelfOrderOrGivesNone)
{
    const BrowserPage s1 = page(LinkBrowser::safari, 1, 1);
    const BrowserPage s2 = page(LinkBrowser::safari, 1, 2);
    const BrowserPage twin{QStringLiteral("chrome:1:1"), LinkBrowser::chrome, QStringLiteral("Twin"), s1.url};
    const BrowserPage local{QStringLiteral("edge:1:1"), LinkBrowser::edge, QStringLiteral("Local"),
                            QStringLiteral("file:///tmp/a.html")};
    BrowserPage retitled = s2;
    retitled.title = QStringLiteral("Changed since");
    reads.answer(LinkBrowser::safari, {s1, s2});
    reads.answer(LinkBrowser::chrome, {twin});
    reads.answer(LinkBrowser::edge, {local});
    model.refresh();
    ASSERT_TRUE(waitUntilLoaded());

    struct TextCase {
        const char* name;
        QList<BrowserPage> pages;
        std::optional<QString> text;
    };
    const TextCase cases[] = {
        {"empty", {}, std::nullopt},
        {"one", {s2}, s2.url},
        {"reversed", {s2, s1}, s1.url + u'\n' + s2.url},
        {"twice", {s1, s1}, s1.url},
        {"same address in two tabs", {twin, s1}, s1.url + u'\n' + s1.url},
        {"stale title", {s1, retitled}, std::nullopt},
        {"not listed", {s1, page(LinkBrowser::safari, 3, 1)}, std::nullopt},
        {"not a web address", {s1, local}, std::nullopt},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(model.text(c.pages), c.text) << c.name;

    model.setBrowser(LinkBrowser::safari);
    EXPECT_EQ(model.text({s1, twin}), std::nullopt);
    EXPECT_EQ(model.text({s2, s1}), s1.url + u'\n' + s2.url);
}

TEST_F(ShelfTest, SignalsFireOnlyOnRealChanges)
{
    QSignalSpy results(&model, &BrowserShelfModel::resultsChanged);
    QSignalSpy loading(&model, &BrowserShelfModel::isLoadingChanged);
    QSignalSpy selection(&model, &BrowserShelfModel::selectedIDsChanged);
    QSignalSpy focus(&model, &BrowserShelfModel::focusedIDChanged);
    QSignalSpy query(&model, &BrowserShelfModel::queryChanged);
    QSignalSpy browser(&model, &BrowserShelfModel::browserChanged);

    model.end();
    EXPECT_EQ(results.count(), 1); // every assignment of the results
    EXPECT_EQ(loading.count(), 0);
    EXPECT_EQ(selection.count(), 0);
    EXPECT_EQ(focus.count(), 0);

    model.setSelectedIDs({});
    model.setFocusedID(std::nullopt);
    model.setQuery({});
    model.setBrowser(std::nullopt);
    EXPECT_EQ(selection.count() + focus.count() + query.count() + browser.count(), 0);

    model.setSelectedIDs(ids({"a"}));
    model.setSelectedIDs(ids({"a"}));
    model.setFocusedID(QStringLiteral("a"));
    model.setFocusedID(QStringLiteral("a"));
    model.setBrowser(LinkBrowser::edge);
    model.setBrowser(LinkBrowser::edge);
    EXPECT_EQ(selection.count(), 2); // set, then cleared by the filter's selectFirst()
    EXPECT_EQ(focus.count(), 2);
    EXPECT_EQ(browser.count(), 1);
    EXPECT_EQ(model.browser(), LinkBrowser::edge);

    results.clear();
    reads.answer(LinkBrowser::edge, {page(LinkBrowser::edge, 1, 1)});
    model.refresh();
    ASSERT_TRUE(waitUntilLoaded());
    EXPECT_EQ(results.count(), 4); // emptied, then one per browser
    EXPECT_EQ(focus.count(), 3);
    EXPECT_EQ(model.focusedID(), QStringLiteral("edge:1:1"));
}

TEST(ShelfLifetimeTest, ModelDestroyedWhileReadingDropsTheResult)
{
    ControlledReads reads;
    reads.block();
    reads.answer(LinkBrowser::safari, {page(LinkBrowser::safari, 1, 1)});
    auto* model = new BrowserShelfModel(reads.reader());
    model->refresh();
    ASSERT_TRUE(reads.waitUntilStarted(1));
    QPointer<QThread> thread = reads.thread();
    ASSERT_TRUE(thread);
    bool threadEnded = false;
    QObject::connect(
        thread, &QThread::finished, qApp, [&] { threadEnded = true; }, Qt::QueuedConnection);

    delete model;
    reads.stopBlocking();

    // The queue's thread ends after posting its publication, which is handled first.
    EXPECT_TRUE(QTest::qWaitFor([&] { return threadEnded; }, publicationWaitMs));
    EXPECT_EQ(reads.started(), QList<LinkBrowser>{LinkBrowser::safari});
}

TEST(SharedShelfTest, ReadsTheBrowsersThroughTheScriptingService)
{
    FakeBrowserScripting scripting;
    Platform::setBrowserScriptingForTesting(&scripting);
    BrowserShelfModel& shelf = BrowserShelfModel::shared();
    EXPECT_EQ(&shelf, &BrowserShelfModel::shared());

    shelf.refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shelf.isLoading(); }, publicationWaitMs));
    Platform::setBrowserScriptingForTesting(nullptr);

    ASSERT_EQ(shelf.results().size(), 3u);
    for (const auto& [browser, result] : shelf.results()) {
        EXPECT_EQ(result.browser, browser);
        EXPECT_EQ(result.errorMessage, LinkBrowsers::displayName(browser) + QStringLiteral(" 尚未运行。"));
        EXPECT_EQ(result.errorCode, -600);
    }
    EXPECT_EQ(scripting.calls, (QStringList{"isRunning com.apple.Safari", "isRunning com.google.Chrome",
                                            "isRunning com.microsoft.edgemac"}));
    shelf.end();
}

} // namespace
