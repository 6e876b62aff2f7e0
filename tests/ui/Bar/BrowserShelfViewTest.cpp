#include "BarFixture.h"

#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/Bar/BrowserFilterPills.h"
#include "UI/Bar/BrowserPageStripView.h"
#include "UI/Bar/BrowserShelfView.h"
#include "UI/Bar/ClipStripView.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraTooltip.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int generousWaitMs = 5000;

using Reader = ControlledBrowserReader;

const BrowserPage safari1 = Reader::page(LinkBrowser::safari, 1, 1, QStringLiteral("Release notes"),
                                         QStringLiteral("https://example.org/notes"));
const BrowserPage safari2 =
    Reader::page(LinkBrowser::safari, 1, 2, QString(), QStringLiteral("https://example.org/untitled"));
const BrowserPage chrome1 = Reader::page(LinkBrowser::chrome, 1, 1, QStringLiteral("Mail"),
                                         QStringLiteral("https://mail.example.com/"));
const BrowserPage edge1 = Reader::page(LinkBrowser::edge, 2, 1, QStringLiteral("<b>Docs</b>"),
                                       QStringLiteral("https://docs.example.net/a"));

class BrowserShelfViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.load({});
        bar = std::make_unique<BarWindowController>(*fixture.store, fixture.settings, fixture.shelf);
        bar->resetForShow();
        bar->show();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
        bar->view()->setSource(BarSource::browserShelf());
    }

    void setFourPages()
    {
        fixture.browsers.setPages(LinkBrowser::safari, {safari1, safari2});
        fixture.browsers.setPages(LinkBrowser::chrome, {chrome1});
        fixture.browsers.setPages(LinkBrowser::edge, {edge1});
    }

    // Reads the browsers and waits until every result is published.
    void refreshAndWait()
    {
        fixture.shelf.refresh();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.shelf.isLoading(); }, generousWaitMs));
    }

    BrowserShelfView& shelf() const { return *bar->view()->shelf(); }
    BrowserPageStripView& strip() const { return *shelf().strip(); }
    QString shownEmptyText() const
    {
        const QList<QLabel*> labels = shelf().findChildren<QLabel*>();
        for (QLabel* label : labels) {
            if (label->isVisibleTo(&shelf()) && label->text() == shelf().emptyText() &&
                !label->text().isEmpty())
                return label->text();
        }
        return {};
    }

    BarFixture fixture;
    std::unique_ptr<BarWindowController> bar;
};

TEST_F(BrowserShelfViewTest, TheShelfTakesThePlaceOfTheClipStrip)
{
    EXPECT_TRUE(shelf().isVisible());
    EXPECT_FALSE(bar->view()->strip()->isVisible());
    EXPECT_EQ(bar->view()->searchField()->placeholderText(), QStringLiteral("Search open tabs"));
    Localization::shared().setLanguage(AppLanguage::traditionalChinese);
    EXPECT_EQ(bar->view()->searchField()->placeholderText(), QStringLiteral("搜尋開啟的標籤頁"));
    Localization::shared().setLanguage(AppLanguage::english);
    bar->view()->setSource(BarSource::history());
    EXPECT_EQ(bar->view()->searchField()->placeholderText(), QStringLiteral("Search clips"));
    EXPECT_FALSE(shelf().isVisible());
    EXPECT_EQ(bar->view()->emptyText(), QStringLiteral("No clips yet. Copy something to see it here."));
}

TEST_F(BrowserShelfViewTest, CardsShowTheBrowserTheTitleOrAddressAndTheQuickPasteNumber)
{
    QList<BrowserPage> many;
    for (int tab = 1; tab <= 10; ++tab)
        many.append(Reader::page(LinkBrowser::chrome, 1, tab, QStringLiteral("Tab %1").arg(tab),
                                 QStringLiteral("https://example.com/%1").arg(tab)));
    fixture.browsers.setPages(LinkBrowser::safari, {safari1, safari2});
    fixture.browsers.setPages(LinkBrowser::chrome, many);
    fixture.browsers.setPages(LinkBrowser::edge, {edge1});
    refreshAndWait();

    ASSERT_EQ(strip().count(), 13);
    EXPECT_TRUE(strip().isVisible());
    EXPECT_EQ(strip().cardView(0),
              (BrowserPageCardView{QStringLiteral("Safari"), QStringLiteral("Release notes"), safari1.url,
                                   true, true, 1}))
        << "the first page is selected and focused once published";
    EXPECT_EQ(strip().cardView(1),
              (BrowserPageCardView{QStringLiteral("Safari"), safari2.url, safari2.url, false, false, 2}))
        << "an empty title shows the address";
    EXPECT_EQ(strip().cardView(8).quickPasteNumber, 9);
    EXPECT_EQ(strip().cardView(9).quickPasteNumber, 0) << "only nine numbers";
    EXPECT_EQ(strip().cardView(12),
              (BrowserPageCardView{QStringLiteral("Edge"), QStringLiteral("<b>Docs</b>"), edge1.url, false,
                                   false, 0}))
        << "a title is plain text, as given";

    fixture.shelf.select(edge1.id, false);
    EXPECT_FALSE(strip().cardView(0).selected);
    EXPECT_TRUE(strip().cardView(12).focused);
    EXPECT_TRUE(strip().viewport()->rect().contains(strip().cardRect(12))) << "the focused card is in view";
}

TEST_F(BrowserShelfViewTest, ErrorLinesNameTheBrowserWithItsMessageOrCode)
{
    struct Case {
        const char* name;
        std::optional<QString> message;
        std::optional<qint64> code;
        const char* line; // nullptr: no line
    };
    const Case cases[] = {
        {"message only", QStringLiteral("Not allowed to read its tabs."), std::nullopt,
         "Safari: Not allowed to read its tabs."},
        {"message and code", QStringLiteral("Not allowed."), -1743, "Safari: Not allowed."},
        {"not running, which is no failure", QStringLiteral("Safari 尚未运行。"), -600, nullptr},
        {"the reader's own message", QStringLiteral("浏览器返回了未预期的数据格式。"), std::nullopt,
         "Safari: The browser answered in an unexpected format."},
        {"code only", std::nullopt, -1743, "Safari could not be read (-1743)."},
        {"empty message with code", QString(), 5, "Safari could not be read (5)."},
        {"no error", std::nullopt, std::nullopt, nullptr},
        {"empty message without code", QString(), std::nullopt, nullptr},
    };
    for (const Case& c : cases) {
        fixture.browsers.setResult({LinkBrowser::safari, {}, c.message, c.code, 3});
        fixture.browsers.setResult({LinkBrowser::edge, {edge1}, {}, -1728, 9});
        refreshAndWait();
        QStringList expected;
        if (c.line)
            expected.append(QString::fromUtf8(c.line));
        expected.append(QStringLiteral("Edge could not be read (-1728)."));
        EXPECT_EQ(shelf().errorLines(), expected) << c.name;
        EXPECT_EQ(strip().count(), 1) << "pages that were read still show: " << c.name;
    }

    fixture.browsers.setResult({LinkBrowser::safari, {}, QStringLiteral("Browser read failed."), -1712, 3});
    refreshAndWait();
    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(shelf().errorLines(), (QStringList{QStringLiteral("Safari: ブラウザを読み取れませんでした。"),
                                                 QStringLiteral("Edge を読み取れませんでした（-1728）。")}));
    Localization::shared().setLanguage(AppLanguage::english);
}

// A browser that runs but can't be read says so where its pages would be, once, rather than
// above a claim that no pages are open.
TEST_F(BrowserShelfViewTest, AFailedReadStandsInPlaceOfThePagesItCouldNotRead)
{
    const QString failed = QStringLiteral("Safari could not be read (-1743).");
    const struct {
        const char* name;
        QList<BrowserPage> otherPages;
        QString query;
        QStringList texts; // every text shown, sorted
    } cases[] = {
        {"nothing read", {}, {}, {failed}},
        {"another browser's pages", {chrome1}, {}, {failed}},
        {"a search that finds nothing",
         {chrome1},
         QStringLiteral("zzz"),
         {QStringLiteral("No matches"), failed}},
    };
    for (const auto& c : cases) {
        fixture.browsers.setResult({LinkBrowser::safari, {}, std::nullopt, -1743, 3});
        fixture.browsers.setPages(LinkBrowser::chrome, c.otherPages);
        refreshAndWait();
        fixture.shelf.setQuery(c.query);
        QStringList texts;
        for (const QLabel* label : shelf().findChildren<QLabel*>()) {
            if (label->isVisibleTo(&shelf()) && !label->text().isEmpty())
                texts.append(label->text());
        }
        texts.sort();
        EXPECT_EQ(texts, c.texts) << c.name;
        EXPECT_EQ(strip().isVisibleTo(&shelf()), strip().count() > 0) << c.name;
    }
    fixture.shelf.setQuery({});
}

TEST_F(BrowserShelfViewTest, LoadingAndEmptyTextsFollowTheModel)
{
    EXPECT_EQ(shelf().emptyText(), QStringLiteral("No open web pages")) << "a closed shelf";
    fixture.browsers.hold();
    fixture.shelf.refresh();
    EXPECT_EQ(shelf().loadingText(), QStringLiteral("Reading open tabs…"));
    EXPECT_EQ(shelf().emptyText(), QString()) << "nothing is said to be missing while reading";
    fixture.browsers.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.shelf.isLoading(); }, generousWaitMs));
    EXPECT_EQ(shelf().loadingText(), QString());
    EXPECT_EQ(shelf().emptyText(), QStringLiteral("No open web pages"));
    EXPECT_EQ(shownEmptyText(), QStringLiteral("No open web pages"));
    EXPECT_EQ(bar->view()->emptyText(), QStringLiteral("No open web pages"));

    setFourPages();
    refreshAndWait();
    EXPECT_EQ(shelf().emptyText(), QString());
    struct Case {
        const char* query;
        qsizetype shown;
        const char* empty;
    };
    const Case cases[] = {
        {"zzz", 0, "No matches"},
        {"   ", 4, ""},
        {"MAIL", 1, ""},
        {"edge docs", 1, ""},
        {"safari nothing", 0, "No matches"},
    };
    for (const Case& c : cases) {
        fixture.shelf.setQuery(QString::fromUtf8(c.query));
        EXPECT_EQ(strip().count(), c.shown) << c.query;
        EXPECT_EQ(shelf().emptyText(), QString::fromUtf8(c.empty)) << c.query;
        EXPECT_EQ(strip().isVisibleTo(&shelf()), c.shown > 0) << c.query;
    }
    Localization::shared().setLanguage(AppLanguage::traditionalChinese);
    EXPECT_EQ(shelf().emptyText(), QStringLiteral("沒有相符的結果"));
    fixture.shelf.setQuery({});
    fixture.shelf.end();
    EXPECT_EQ(shelf().emptyText(), QStringLiteral("沒有開啟的網頁"));
    Localization::shared().setLanguage(AppLanguage::english);
}

TEST_F(BrowserShelfViewTest, FilterPillsSetTheBrowserFilter)
{
    setFourPages();
    refreshAndWait();
    BrowserFilterPills& pills = *shelf().pills();
    // Safari has no Linux build: no pill, though its reader still answers for "All Browsers".
    ASSERT_EQ(pills.count(), 3);
    const QStringList titles{pills.title(0), pills.title(1), pills.title(2)};
    EXPECT_EQ(titles, (QStringList{QStringLiteral("All Browsers"), QStringLiteral("Chrome"),
                                   QStringLiteral("Edge")}));
    EXPECT_EQ(pills.currentIndex(), 0);

    struct Case {
        qsizetype pill;
        std::optional<LinkBrowser> browser;
        QStringList ids;
    };
    const Case cases[] = {
        {1, LinkBrowser::chrome, {chrome1.id}},
        {2, LinkBrowser::edge, {edge1.id}},
        {0, std::nullopt, {safari1.id, safari2.id, chrome1.id, edge1.id}},
    };
    for (const Case& c : cases) {
        QTest::mouseClick(&pills, Qt::LeftButton, {}, pills.pillRect(c.pill).center());
        EXPECT_EQ(fixture.shelf.browser(), c.browser) << c.pill;
        EXPECT_EQ(pills.currentIndex(), c.pill);
        QStringList shown;
        for (qsizetype i = 0; i < strip().count(); ++i)
            shown.append(fixture.shelf.pages().at(i).id);
        EXPECT_EQ(shown, c.ids) << c.pill;
        EXPECT_EQ(fixture.shelf.selectedIDs(), QSet<QString>{c.ids.first()}) << "the filter reselects";
    }

    fixture.shelf.setBrowser(LinkBrowser::edge);
    EXPECT_EQ(pills.currentIndex(), 2) << "the pills follow the model";
    Localization::shared().setLanguage(AppLanguage::chinese);
    EXPECT_EQ(pills.title(0), QStringLiteral("所有浏览器"));
    Localization::shared().setLanguage(AppLanguage::english);
    fixture.shelf.setBrowser(std::nullopt);
}

TEST_F(BrowserShelfViewTest, ClicksSelectExtendToggleOrPaste)
{
    setFourPages();
    refreshAndWait();
    QList<QList<BrowserPage>> pastes;
    QObject::connect(bar.get(), &BarWindowController::browserPagesPasteRequested, bar.get(),
                     [&](const QList<BrowserPage>& pages) { pastes.append(pages); });
    auto click = [&](qsizetype index, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(strip().viewport(), Qt::LeftButton, modifiers, strip().cardRect(index).center());
    };
    auto selected = [&] { return fixture.shelf.selectedIDs(); };

    click(1);
    EXPECT_EQ(selected(), QSet<QString>{safari2.id});
    EXPECT_EQ(pastes, QList<QList<BrowserPage>>{{safari2}}) << "a plain click pastes its page";

    pastes.clear();
    click(3, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (QSet<QString>{safari2.id, chrome1.id, edge1.id})) << "extends from the anchor";
    EXPECT_EQ(fixture.shelf.focusedID(), edge1.id);
    click(0, Qt::ControlModifier);
    EXPECT_EQ(selected(), (QSet<QString>{safari1.id, safari2.id, chrome1.id, edge1.id}));
    EXPECT_EQ(fixture.shelf.focusedID(), safari1.id);
    click(2, Qt::ControlModifier);
    EXPECT_EQ(selected(), (QSet<QString>{safari1.id, safari2.id, edge1.id})) << "a second toggle removes";
    EXPECT_TRUE(pastes.isEmpty()) << "shift and control clicks do not paste";

    fixture.shelf.setSelectedIDs({chrome1.id, QStringLiteral("safari:9:9")});
    click(3, Qt::ControlModifier);
    EXPECT_EQ(selected(), (QSet<QString>{chrome1.id, edge1.id})) << "only visible pages stay selected";

    const QPoint gap(strip().cardRect(0).right() + BrowserPageStripView::spacing / 2,
                     strip().cardRect(0).center().y());
    QTest::mouseClick(strip().viewport(), Qt::LeftButton, {}, gap);
    QTest::mouseClick(strip().viewport(), Qt::RightButton, {}, strip().cardRect(0).center());
    EXPECT_TRUE(pastes.isEmpty());
}

TEST_F(BrowserShelfViewTest, SearchTextBecomesTheQueryOnlyOnTheShelf)
{
    setFourPages();
    refreshAndWait();
    QTest::keyClicks(bar->view()->searchField(), QStringLiteral("mail"));
    EXPECT_EQ(fixture.shelf.query(), QStringLiteral("mail"));
    EXPECT_EQ(strip().count(), 1);
    EXPECT_EQ(fixture.shelf.selectedIDs(), QSet<QString>{chrome1.id});

    bar->view()->setSource(BarSource::history());
    QTest::keyClicks(bar->view()->searchField(), QStringLiteral("x"));
    EXPECT_EQ(fixture.shelf.query(), QStringLiteral("mail")) << "the history's search leaves the shelf alone";
}

TEST_F(BrowserShelfViewTest, TheBrowserTabsButtonAsksForTheShelfAndBack)
{
    QList<BarSource> requests;
    QObject::connect(bar.get(), &BarWindowController::sourceRequested, bar.get(),
                     [&](const BarSource& source) { requests.append(source); });
    VelloraIconButton* button = bar->view()->browserTabsButton();
    EXPECT_EQ(button->symbolName(), QStringLiteral("globe"));
    EXPECT_EQ(button->findChild<VelloraTooltip*>()->text(), QStringLiteral("Browser Tabs"));
    EXPECT_TRUE(button->buttonStyle().bordered) << "marked while the shelf shows";
    button->click();
    bar->view()->setSource(BarSource::history());
    EXPECT_FALSE(button->buttonStyle().bordered);
    button->click();
    EXPECT_EQ(requests, (QList<BarSource>{BarSource::history(), BarSource::browserShelf()}));
    EXPECT_EQ(bar->view()->source(), BarSource::history()) << "the owner switches, not the button";
    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(button->findChild<VelloraTooltip*>()->text(), QStringLiteral("ブラウザのタブ"));
    Localization::shared().setLanguage(AppLanguage::english);
}

} // namespace
