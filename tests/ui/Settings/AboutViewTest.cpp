#include "fakes/FakeWorkspace.h"

#include "Platform/Bundle.h"
#include "PublicConfiguration/PublicConfigurationCache.h"
#include "PublicConfiguration/PublicConfigurationStore.h"
#include "UI/ActivitySpinner.h"
#include "UI/Settings/AboutView.h"
#include "UI/Settings/SettingsDetailPage.h"
#include "UI/Settings/SettingsPanel.h"
#include "UI/Settings/ThirdPartyLicensesView.h"
#include "Util/Localization.h"
#include "support/WidgetLookup.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPromise>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

using Status = PublicConfigurationStore::Status;

const PublicCloudSettings cloud{QStringLiteral("iCloud.app.vellora.catalog"), QStringLiteral("Production")};
// Local time, so that the shown hour does not depend on the machine's time zone.
const QDateTime fetchedAt(QDate(2026, 3, 1), QTime(9, 5));

PublicProduct product(const QString& id, const QString& name, qint64 sortOrder, bool enabled = true,
                      const QString& url = {})
{
    return PublicProduct{id,
                         name,
                         QStringLiteral("简介 ") + name,
                         QStringLiteral("About ") + name,
                         url.isEmpty() ? QStringLiteral("https://example.com/") + id : url,
                         enabled,
                         sortOrder};
}

PublicConfiguration configuration(QList<PublicProduct> products, qint64 revision = 2)
{
    PublicConfiguration c;
    c.revision = revision;
    c.authorName = QStringLiteral("Example Maker");
    c.authorBioZh = QStringLiteral("中文简介");
    c.authorBioEn = QStringLiteral("English biography");
    c.websiteURL = QStringLiteral("https://maker.example.com/");
    c.products = std::move(products);
    return c;
}

// A store over a cache the test writes, a clock the test moves and reads the test answers.
class AboutViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previousLanguage_ = Localization::shared().language();
        Localization::shared().setLanguage(AppLanguage::english);
        Platform::setWorkspaceForTesting(&workspace);
    }

    void TearDown() override
    {
        view.reset();
        store.reset();
        Platform::setWorkspaceForTesting(nullptr);
        Localization::shared().setLanguage(previousLanguage_);
    }

    void makeView(std::optional<PublicConfiguration> cached, bool withCloud = true)
    {
        const QString cachePath = dir.filePath(QStringLiteral("public-configuration.json"));
        if (cached)
            PublicConfigurationCache{cloud.cacheIdentity(), fetchedAt.toUTC(), *cached}.write(cachePath);
        store = std::make_unique<PublicConfigurationStore>(
            withCloud ? std::optional(cloud) : std::nullopt, cachePath, [this] { return now; },
            [this] {
                reads.push_back(std::make_unique<QPromise<PublicConfiguration>>());
                reads.back()->start();
                return reads.back()->future();
            });
        view =
            std::make_unique<AboutView>(*store, [this](PrivacySupportPage page) { askedPages.append(page); });
        view->setQuitHandler([this] { ++quits; });
        view->resize(600, 900);
    }

    void showView()
    {
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    void finishRead(const std::function<void(QPromise<PublicConfiguration>&)>& answer)
    {
        ASSERT_FALSE(reads.empty());
        answer(*reads.back());
        reads.back()->finish();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !store->isRefreshing(); }, 5000));
    }

    QStringList productNames() const
    {
        QStringList names;
        for (const QWidget* row : view->findChildren<QWidget*>(QStringLiteral("productRow")))
            names.append(row->accessibleName());
        return names;
    }

    QTemporaryDir dir;
    QDateTime now = fetchedAt.toUTC().addSecs(3600);
    std::vector<std::unique_ptr<QPromise<PublicConfiguration>>> reads;
    std::unique_ptr<PublicConfigurationStore> store;
    std::unique_ptr<AboutView> view;
    QList<PrivacySupportPage> askedPages;
    FakeWorkspace workspace;
    int quits = 0;

private:
    AppLanguage previousLanguage_ = AppLanguage::system;
};

// ---- other applications

struct ProductsCase {
    const char* name;
    QList<PublicProduct> products;
    QStringList shown; // empty: no card
};

TEST_F(AboutViewTest, OtherApplicationsAreFilteredAndOrderedByTheConfiguration)
{
    const QList<ProductsCase> cases{
        {"no products", {}, {}},
        {"only the program's own entries",
         {product(QStringLiteral("vellora"), QStringLiteral("Vellora"), 0),
          product(QStringLiteral("dorvane"), QStringLiteral("Dorvane"), 1)},
         {}},
        {"one product",
         {product(QStringLiteral("alpha"), QStringLiteral("Alpha"), 5)},
         {QStringLiteral("Alpha")}},
        {"several: sort order, then id; disabled and own entries left out",
         {product(QStringLiteral("zeta"), QStringLiteral("Zeta"), 1),
          product(QStringLiteral("beta"), QStringLiteral("Beta"), 2),
          product(QStringLiteral("alpha"), QStringLiteral("Alpha"), 2),
          product(QStringLiteral("off"), QStringLiteral("Off"), 0, false),
          product(QStringLiteral("vellora"), QStringLiteral("Vellora"), 0)},
         {QStringLiteral("Zeta"), QStringLiteral("Alpha"), QStringLiteral("Beta")}},
    };
    for (const ProductsCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeView(configuration(c.products));
        EXPECT_EQ(productNames(), c.shown);
        EXPECT_EQ(labelTexts(*view).contains(QStringLiteral("More Apps by This Author")), !c.shown.isEmpty());
    }
}

TEST_F(AboutViewTest, AProductRowShowsTheSummaryOfTheLanguageAndOpensItsAddress)
{
    PublicProduct silent = product(QStringLiteral("quiet"), QStringLiteral("Quiet"), 1);
    silent.summaryEn.clear();
    silent.summaryZh.clear();
    makeView(configuration({product(QStringLiteral("alpha"), QStringLiteral("Alpha"), 0), silent}));
    showView();

    const QList<QWidget*> rows = view->findChildren<QWidget*>(QStringLiteral("productRow"));
    ASSERT_EQ(rows.size(), 2);
    // Name, summary when there is one, then the arrow glyph.
    EXPECT_EQ(labelTexts(*rows[0]),
              QStringList({QStringLiteral("Alpha"), QStringLiteral("About Alpha"), QString()}));
    EXPECT_EQ(labelTexts(*rows[1]), QStringList({QStringLiteral("Quiet"), QString()}));

    QTest::mouseClick(rows[0], Qt::LeftButton);
    rows[1]->setFocus();
    QTest::keyClick(rows[1], Qt::Key_Return);
    EXPECT_EQ(workspace.openedURLs, QList<QUrl>({QUrl(QStringLiteral("https://example.com/alpha")),
                                                 QUrl(QStringLiteral("https://example.com/quiet"))}));

    Localization::shared().setLanguage(AppLanguage::chinese);
    const QList<QWidget*> chineseRows = view->findChildren<QWidget*>(QStringLiteral("productRow"));
    ASSERT_EQ(chineseRows.size(), 2);
    EXPECT_EQ(labelTexts(*chineseRows[0]).value(1), QStringLiteral("简介 Alpha"));
    EXPECT_TRUE(labelTexts(*view).contains(QStringLiteral("中文简介")));
}

// ---- the maker

TEST_F(AboutViewTest, VisitWebsiteIsOfferedOnlyForAValidWebAddress)
{
    const struct {
        const char* website;
        bool offered;
    } cases[] = {
        {"https://maker.example.com/", true},
        {"HTTP://maker.example.com", true},
        {"", false},
        {"ftp://maker.example.com", false},
        {"https://user@maker.example.com", false},
        {"https://maker.example.com/a b", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.website);
        PublicConfiguration value = configuration({});
        value.websiteURL = QString::fromLatin1(c.website);
        makeView(value);
        QPushButton* visit = button(*view, QStringLiteral("Visit Website"));
        ASSERT_EQ(visit != nullptr, c.offered);
        if (!visit)
            continue;
        workspace.openedURLs.clear();
        visit->click();
        EXPECT_EQ(workspace.openedURLs, QList<QUrl>({QUrl(QString::fromLatin1(c.website))}));
    }
}

TEST_F(AboutViewTest, AnEmptyBiographyIsLeftOut)
{
    PublicConfiguration value = configuration({});
    value.authorBioEn.clear();
    value.authorBioZh.clear();
    makeView(value);
    const QStringList texts = labelTexts(*view);
    const qsizetype made = texts.indexOf(QStringLiteral("Made by"));
    ASSERT_GE(made, 0);
    EXPECT_EQ(texts.value(made + 1), QStringLiteral("Example Maker"));
    EXPECT_FALSE(texts.contains(QStringLiteral("English biography")));
}

TEST_F(AboutViewTest, TheHeaderShowsTheVersionOfTheMainBundle)
{
    makeView(std::nullopt, false);
    const QStringList texts = labelTexts(*view);
    EXPECT_EQ(texts.mid(0, 3), QStringList({QStringLiteral("Vellora"),
                                            QStringLiteral("Version ") + Platform::mainBundle().appVersion(),
                                            QStringLiteral("Clipboard history for Linux.")}));
}

// ---- refreshing and its status

TEST_F(AboutViewTest, WithoutCloudSettingsThereIsNoStatusBlockAndTheResourceCopyShows)
{
    makeView(configuration({product(QStringLiteral("alpha"), QStringLiteral("Alpha"), 0)}), false);
    showView();
    EXPECT_TRUE(reads.empty());
    EXPECT_EQ(button(*view, QStringLiteral("Refresh Author & Apps")), nullptr);
    EXPECT_FALSE(labelTexts(*view).contains(QStringLiteral("Last Updated")));
    EXPECT_TRUE(labelTexts(*view).contains(PublicConfiguration::bundled().authorName));
}

TEST_F(AboutViewTest, EachShowingRefreshesWithoutForce)
{
    makeView(std::nullopt);
    EXPECT_TRUE(reads.empty()) << "nothing is read before the page shows";
    showView();
    ASSERT_EQ(reads.size(), 1u);
    finishRead([](QPromise<PublicConfiguration>& read) { read.addResult(configuration({}, 3)); });

    // Shown again within a minute: a forced refresh would have said "wait".
    view->hide();
    showView();
    EXPECT_EQ(reads.size(), 1u);
    EXPECT_EQ(store->status(), std::optional(Status::saved));

    // Two minutes on the value is still fresh: only a forced refresh would read.
    view->hide();
    now = now.addSecs(120);
    showView();
    EXPECT_EQ(reads.size(), 1u);

    // A day on it is stale: the showing reads once.
    view->hide();
    now = now.addDays(1);
    showView();
    EXPECT_EQ(reads.size(), 2u);
}

TEST_F(AboutViewTest, TheStatusLineFollowsTheStoresStatus)
{
    const QString failed = QStringLiteral("Refresh failed. Showing previously available information.");
    const QString waiting = QStringLiteral("Please wait before refreshing again.");
    makeView(configuration({}));
    auto shownStatus = [&] {
        const QStringList texts = labelTexts(*view);
        return QStringList{texts.contains(failed) ? failed : QString(),
                           texts.contains(waiting) ? waiting : QString()};
    };
    EXPECT_EQ(shownStatus(), QStringList({QString(), QString()})) << "no status before a refresh";

    QPushButton* refresh = button(*view, QStringLiteral("Refresh Author & Apps"));
    ASSERT_NE(refresh, nullptr);
    refresh->click();
    ASSERT_EQ(reads.size(), 1u);
    refresh = button(*view, QStringLiteral("Refresh Author & Apps"));
    EXPECT_FALSE(refresh->isEnabled()) << "disabled while reading";
    EXPECT_NE(view->findChild<ActivitySpinner*>(), nullptr);
    finishRead([](QPromise<PublicConfiguration>& read) {
        read.setException(std::make_exception_ptr(std::runtime_error("offline")));
    });
    EXPECT_EQ(shownStatus(), QStringList({failed, QString()}));
    EXPECT_TRUE(button(*view, QStringLiteral("Refresh Author & Apps"))->isEnabled());
    EXPECT_EQ(view->findChild<ActivitySpinner*>(), nullptr);
    EXPECT_TRUE(labelTexts(*view).contains(QStringLiteral("Example Maker"))) << "the previous value stays";

    // Inside the back-off a forced refresh only says to wait.
    button(*view, QStringLiteral("Refresh Author & Apps"))->click();
    EXPECT_EQ(reads.size(), 1u);
    EXPECT_EQ(shownStatus(), QStringList({QString(), waiting}));

    now = now.addSecs(3600);
    button(*view, QStringLiteral("Refresh Author & Apps"))->click();
    ASSERT_EQ(reads.size(), 2u);
    PublicConfiguration newer = configuration({product(QStringLiteral("new"), QStringLiteral("New"), 0)}, 4);
    finishRead([&](QPromise<PublicConfiguration>& read) { read.addResult(newer); });
    EXPECT_EQ(shownStatus(), QStringList({QString(), QString()}));
    EXPECT_EQ(productNames(), QStringList({QStringLiteral("New")}));
}

// A refresh asked for at the foot of the page leaves the page there, with its result in view.
TEST_F(AboutViewTest, RefreshKeepsThePageWhereItIsAndItsResultInView)
{
    QList<PublicProduct> products;
    for (int i = 0; i < 12; ++i)
        products.append(product(QStringLiteral("p%1").arg(i), QStringLiteral("Product %1").arg(i), i));
    makeView(configuration(products));
    view->resize(600, 420);
    showView();
    const auto page = [&] { return view->findChild<SettingsDetailPage*>(); };
    QScrollBar* scroll = page()->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0) << "the page must overflow for this test";
    scroll->setValue(scroll->maximum());
    const int bottom = scroll->value();

    button(*view, QStringLiteral("Refresh Author & Apps"))->click();
    // The page is drawn anew; it shows once laid out.
    EXPECT_TRUE(QTest::qWaitFor([&] { return page()->verticalScrollBar()->value() == bottom; }, 1000))
        << "while reading the page is at " << page()->verticalScrollBar()->value();
    finishRead([](QPromise<PublicConfiguration>& read) {
        read.setException(std::make_exception_ptr(std::runtime_error("offline")));
    });
    const QString failed = QStringLiteral("Refresh failed. Showing previously available information.");
    const auto resultInView = [&] {
        for (const QLabel* line : page()->findChildren<QLabel*>()) {
            const QRect shown(line->mapTo(page()->viewport(), QPoint()), line->size());
            if (line->text() == failed && page()->viewport()->rect().contains(shown))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor(resultInView, 1000));
}

TEST_F(AboutViewTest, LastUpdatedIsFormattedInThePageLanguage)
{
    const struct {
        AppLanguage language;
        const char* label;
        const char* time;
    } cases[] = {
        {AppLanguage::english, "Last Updated", "Mar 1, 2026, 9:05 AM"},
        {AppLanguage::chinese, "上次更新", "2026年3月1日 09:05"},
        {AppLanguage::traditionalChinese, "上次更新", "2026年3月1日 上午9:05"},
        {AppLanguage::japanese, "最終更新", "2026年3月1日 9:05"},
    };
    makeView(std::nullopt);
    EXPECT_EQ(store->lastUpdated(), std::nullopt);
    EXPECT_FALSE(labelTexts(*view).contains(QStringLiteral("Last Updated")))
        << "absent until a read gives a time";

    makeView(configuration({}));
    for (const auto& c : cases) {
        SCOPED_TRACE(AppLanguages::rawValue(c.language).toStdString());
        Localization::shared().setLanguage(c.language);
        const QStringList texts = labelTexts(*view);
        const qsizetype label = texts.indexOf(QString::fromUtf8(c.label));
        ASSERT_GE(label, 0);
        EXPECT_EQ(texts.value(label + 1), QString::fromUtf8(c.time));
    }
}

// ---- the footer

TEST_F(AboutViewTest, FooterLinksOpenThePrivacyAndSupportWindowOnTheirPage)
{
    makeView(configuration({}));
    const struct {
        const char* link;
        PrivacySupportPage page;
    } cases[] = {
        {"Help & Support", PrivacySupportPage::support},
        {"Privacy Policy", PrivacySupportPage::privacy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        askedPages.clear();
        QPushButton* link = button(*view, QString::fromLatin1(c.link));
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->text(), QString::fromLatin1(c.link).replace(u'&', QStringLiteral("&&")));
        link->click();
        EXPECT_EQ(askedPages, QList<PrivacySupportPage>{c.page});
    }
}

TEST_F(AboutViewTest, TheLicenceSheetOpensAndClosesLeavingThePageAsItWas)
{
    makeView(configuration({product(QStringLiteral("alpha"), QStringLiteral("Alpha"), 0)}));
    showView();
    EXPECT_FALSE(view->showingLicenses());
    button(*view, QStringLiteral("Third-Party Licenses"))->click();
    EXPECT_TRUE(view->showingLicenses());
    QPointer<ThirdPartyLicensesView> sheet = view->licensesSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);

    button(*sheet, QStringLiteral("Close"))->click();
    EXPECT_FALSE(view->showingLicenses());
    EXPECT_TRUE(sheet.isNull() || !sheet->isVisible());
    EXPECT_EQ(productNames(), QStringList({QStringLiteral("Alpha")}));

    // Escape closes a second showing the same way.
    button(*view, QStringLiteral("Third-Party Licenses"))->click();
    ASSERT_NE(view->licensesSheet(), nullptr);
    QTest::keyClick(view->licensesSheet(), Qt::Key_Escape);
    EXPECT_FALSE(view->showingLicenses());
}

TEST_F(AboutViewTest, FooterLinksStackWhenTheyDoNotFitAndQuitAsksOnce)
{
    makeView(configuration({}));
    showView();
    const auto* links = view->findChild<QWidget*>(QStringLiteral("footerLinks"));
    ASSERT_NE(links, nullptr);
    const auto direction = [links] { return static_cast<QBoxLayout*>(links->layout())->direction(); };
    EXPECT_EQ(direction(), QBoxLayout::LeftToRight);
    view->resize(180, 900);
    EXPECT_TRUE(QTest::qWaitFor([&] { return direction() == QBoxLayout::TopToBottom; }, 2000));
    view->resize(600, 900);
    EXPECT_TRUE(QTest::qWaitFor([&] { return direction() == QBoxLayout::LeftToRight; }, 2000));

    QPushButton* quit = view->findChild<QPushButton*>(QStringLiteral("quitButton"));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->text(), QStringLiteral("Quit Vellora"));
    quit->click();
    EXPECT_EQ(quits, 1);
}

TEST_F(AboutViewTest, ALanguageChangeRetitlesThePage)
{
    makeView(configuration({product(QStringLiteral("alpha"), QStringLiteral("Alpha"), 0)}));
    Localization::shared().setLanguage(AppLanguage::japanese);
    const QStringList texts = labelTexts(*view);
    EXPECT_TRUE(texts.contains(QStringLiteral("開発者")));
    EXPECT_TRUE(texts.contains(QStringLiteral("この作者のその他のアプリ")));
    EXPECT_TRUE(texts.contains(QStringLiteral("バージョン ") + Platform::mainBundle().appVersion()));
    EXPECT_NE(button(*view, QStringLiteral("作者とアプリを更新")), nullptr);
    EXPECT_EQ(button(*view, QStringLiteral("Refresh Author & Apps")), nullptr);
}

} // namespace
