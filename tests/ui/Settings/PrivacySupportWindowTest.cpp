#include "fakes/FakeWorkspace.h"

#include "Platform/Workspace.h"
#include "Settings/PrivacyPolicyCatalog.h"
#include "UI/Settings/PrivacySupportNavigation.h"
#include "UI/Settings/PrivacySupportPage.h"
#include "UI/Settings/PrivacySupportView.h"
#include "UI/Settings/PrivacySupportWindowController.h"
#include "UI/Settings/SettingsDetailSection.h"
#include "UI/Settings/SettingsPanel.h"
#include "Util/Localization.h"
#include "support/WidgetLookup.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString fallbackText = QStringLiteral(
    "The privacy policy file is missing or invalid. Please open the online policy or contact support.");

QStringList sectionTitles(const QWidget& root)
{
    QStringList titles;
    for (const SettingsDetailSection* section : root.findChildren<SettingsDetailSection*>())
        titles.append(section->title());
    return titles;
}

// The languages with their expected fixed texts.
struct LanguageCase {
    AppLanguage language;
    const char* helpTitle;
    const char* firstHelpHeading;
    const char* contactHeading;
    const char* onlinePolicy; // the address "Online Privacy Policy" opens
};

const LanguageCase languages[] = {
    {AppLanguage::english, "Help & Support", "Paste Into Another App", "Contact Support",
     "https://vellora.app/privacy/en.html"},
    {AppLanguage::chinese, "帮助与支持", "粘贴到其他应用", "联系支持", "https://vellora.app/privacy.html"},
    {AppLanguage::traditionalChinese, "說明與支援", "貼上到其他 App", "聯絡支援",
     "https://vellora.app/privacy/zh-Hant.html"},
    {AppLanguage::japanese, "ヘルプとサポート", "ほかのアプリへのペースト", "サポートに連絡",
     "https://vellora.app/privacy/ja.html"},
};

class PrivacySupportWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousLanguage_ = Localization::shared().language();
        Localization::shared().setLanguage(AppLanguage::english);
        Platform::setWorkspaceForTesting(&workspace);
        ASSERT_TRUE(PrivacyPolicyCatalog::bundled().has_value());
    }

    void TearDown() override
    {
        controller.reset();
        Platform::setWorkspaceForTesting(nullptr);
        Localization::shared().setLanguage(previousLanguage_);
    }

    void make(std::optional<PrivacyPolicyCatalog> catalog = PrivacyPolicyCatalog::bundled())
    {
        controller = std::make_unique<PrivacySupportWindowController>(std::move(catalog));
        controller->setShowSettings([this](SettingsTab tab) { openedTabs.append(tab); });
    }

    SettingsPanel& window() { return *controller->window(); }

    FakeWorkspace workspace;
    std::unique_ptr<PrivacySupportWindowController> controller;
    QList<SettingsTab> openedTabs;

private:
    AppLanguage previousLanguage_ = AppLanguage::system;
};

TEST(PrivacySupportPage, RawValuesTitlesAndTheSupportAddress)
{
    EXPECT_EQ(PrivacySupportPages::allCases(),
              QList<PrivacySupportPage>({PrivacySupportPage::privacy, PrivacySupportPage::support}));
    EXPECT_EQ(PrivacySupportPages::rawValue(PrivacySupportPage::privacy), QStringLiteral("privacy"));
    EXPECT_EQ(PrivacySupportPages::rawValue(PrivacySupportPage::support), QStringLiteral("support"));
    for (const char* raw : {"", "Privacy", "support ", "help"})
        EXPECT_EQ(PrivacySupportPages::fromRawValue(QString::fromLatin1(raw)), std::nullopt) << raw;
    EXPECT_EQ(PrivacySupportPages::fromRawValue(QStringLiteral("support")), PrivacySupportPage::support);
    EXPECT_EQ(PrivacySupportPages::onlineSupportURL(),
              QUrl(QStringLiteral("https://vellora.app/support.html")));
}

TEST(PrivacySupportNavigation, OnlyRealChangesNotify)
{
    PrivacySupportNavigation navigation;
    QSignalSpy pages(&navigation, &PrivacySupportNavigation::pageChanged);
    QSignalSpy documents(&navigation, &PrivacySupportNavigation::documentChanged);
    navigation.setPage(PrivacySupportPage::privacy);
    navigation.setDocument(std::nullopt);
    EXPECT_EQ(pages.count() + documents.count(), 0);

    PrivacyPolicyDocument document;
    document.title = QStringLiteral("Policy");
    navigation.setPage(PrivacySupportPage::support);
    navigation.setDocument(document);
    navigation.setDocument(document);
    EXPECT_EQ(pages.count(), 1);
    EXPECT_EQ(documents.count(), 1);
}

TEST(PrivacySupportMail, TheMailLinkGoesToExactlyTheShownAddress)
{
    const struct {
        const char* address;
        const char* encoded;
    } cases[] = {
        {"support@vellora.app", "mailto:support@vellora.app"},
        {"first.last+tag@example.co", "mailto:first.last+tag@example.co"},
        {"a%zz@example.com", "mailto:a%25zz@example.com"},
        {"a%41@example.com", "mailto:a%2541@example.com"},
    };
    for (const auto& c : cases) {
        const std::optional<QUrl> url = PrivacySupportView::mailURL(QString::fromLatin1(c.address));
        ASSERT_TRUE(url.has_value()) << c.address;
        EXPECT_EQ(url->toString(QUrl::FullyEncoded), QString::fromLatin1(c.encoded)) << c.address;
        EXPECT_EQ(url->path(QUrl::FullyDecoded), QString::fromLatin1(c.address)) << c.address;
    }
}

TEST_F(PrivacySupportWindowTest, EachPageShowsItsContentInEachLanguage)
{
    make();
    for (const LanguageCase& c : languages) {
        SCOPED_TRACE(AppLanguages::rawValue(c.language).toStdString());
        Localization::shared().setLanguage(c.language);
        const PrivacyPolicyDocument document = *PrivacyPolicyCatalog::bundled()->document(c.language);

        controller->present(PrivacySupportPage::privacy);
        EXPECT_EQ(window().windowTitle(), document.title);
        const QStringList texts = labelTexts(window());
        EXPECT_TRUE(texts.contains(document.lead.first()));
        EXPECT_TRUE(texts.contains(document.sections.first().paragraphs.first()));
        QStringList expectedSections;
        for (const PrivacyPolicySection& section : document.sections)
            expectedSections.append(section.title);
        expectedSections.append(QString::fromUtf8(c.contactHeading));
        EXPECT_EQ(sectionTitles(window()), expectedSections);
        for (const QLabel* label : window().findChildren<QLabel*>())
            EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByMouse)
                << label->text().toStdString();

        controller->present(PrivacySupportPage::support);
        EXPECT_EQ(window().windowTitle(), QString::fromUtf8(c.helpTitle));
        EXPECT_EQ(sectionTitles(window()).value(0), QString::fromUtf8(c.firstHelpHeading));
        EXPECT_EQ(sectionTitles(window()).size(), 5);
        EXPECT_FALSE(labelTexts(window()).contains(document.lead.first()));
    }
}

TEST_F(PrivacySupportWindowTest, TheUpdatedLineIsLabelColonVersion)
{
    make();
    for (const LanguageCase& c : languages) {
        Localization::shared().setLanguage(c.language);
        controller->present(PrivacySupportPage::privacy);
        const PrivacyPolicyDocument document = *PrivacyPolicyCatalog::bundled()->document(c.language);
        EXPECT_TRUE(labelTexts(window()).contains(document.updatedLabel + QStringLiteral(": ") +
                                                  document.sourceVersion))
            << AppLanguages::rawValue(c.language).toStdString();
    }
}

TEST_F(PrivacySupportWindowTest, WithoutACatalogueThePolicyPageFallsBack)
{
    make(std::nullopt);
    controller->present(PrivacySupportPage::privacy);
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Privacy Policy"));
    EXPECT_EQ(sectionTitles(window()),
              QStringList({QStringLiteral("Privacy Policy"), QStringLiteral("Contact Support")}));
    EXPECT_TRUE(labelTexts(window()).contains(fallbackText));
    EXPECT_EQ(controller->contactEmail(), PrivacySupportWindowController::builtInSupportEmail());

    button(window(), PrivacySupportWindowController::builtInSupportEmail())->click();
    button(window(), QStringLiteral("Online Privacy Policy"))->click();
    EXPECT_EQ(
        workspace.openedURLs,
        QList<QUrl>({QUrl(QStringLiteral("mailto:") + PrivacySupportWindowController::builtInSupportEmail()),
                     QUrl(QStringLiteral("https://vellora.app/privacy/en.html"))}));

    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(window().windowTitle(), QStringLiteral("プライバシーポリシー"));
    EXPECT_TRUE(labelTexts(window()).contains(QStringLiteral(
        "プライバシーポリシーのファイルが見つからないか無効です。オンラインのポリシーを開くか、"
        "サポートにお問い合わせください。")));
}

TEST_F(PrivacySupportWindowTest, ACatalogueWithoutTheLanguagesDocumentFallsBackInThatLanguageOnly)
{
    PrivacyPolicyCatalog catalog = *PrivacyPolicyCatalog::bundled();
    catalog.locales.remove(QStringLiteral("ja"));
    make(catalog);
    controller->present(PrivacySupportPage::privacy);
    EXPECT_FALSE(labelTexts(window()).contains(fallbackText));
    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(controller->navigation().document(), std::nullopt);
    EXPECT_EQ(sectionTitles(window()).value(0), QStringLiteral("プライバシーポリシー"));
}

TEST_F(PrivacySupportWindowTest, EscapeClosesAndPresentReusesTheWindowOnTheAskedPage)
{
    make();
    controller->present(PrivacySupportPage::support);
    SettingsPanel* first = controller->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(first));
    EXPECT_FALSE(first->hasMovePaneHandler());
    EXPECT_EQ(first->minimumSize(), QSize(500, 420));

    QTest::keyClick(first, Qt::Key_Escape);
    EXPECT_FALSE(first->isVisible());

    QSignalSpy pages(&controller->navigation(), &PrivacySupportNavigation::pageChanged);
    controller->present(PrivacySupportPage::privacy);
    EXPECT_EQ(controller->window(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(controller->navigation().page(), PrivacySupportPage::privacy);
    EXPECT_EQ(pages.count(), 1);

    // The page already shown: no page change, but the title is set again.
    first->setWindowTitle(QString());
    controller->present(PrivacySupportPage::privacy);
    EXPECT_EQ(pages.count(), 1);
    EXPECT_EQ(first->windowTitle(), PrivacyPolicyCatalog::bundled()->document(AppLanguage::english)->title);
}

TEST_F(PrivacySupportWindowTest, ThePickerSwitchesPagesAndTheTitle)
{
    make();
    controller->present(PrivacySupportPage::privacy);
    button(window(), QStringLiteral("Help & Support"))->click();
    EXPECT_EQ(controller->navigation().page(), PrivacySupportPage::support);
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Help & Support"));
    EXPECT_TRUE(button(window(), QStringLiteral("Help & Support"))->isChecked());
    EXPECT_EQ(button(window(), QStringLiteral("Help & Support"))->text(), QStringLiteral("Help && Support"))
        << "a lone \"&\" would be read as a mnemonic mark";

    button(window(), QStringLiteral("Privacy Policy"))->click();
    EXPECT_EQ(window().windowTitle(), PrivacyPolicyCatalog::bundled()->document(AppLanguage::english)->title);
}

TEST_F(PrivacySupportWindowTest, ContactLinksOpenTheirAddressesInEachLanguage)
{
    make();
    for (const PrivacySupportPage page : PrivacySupportPages::allCases()) {
        for (const LanguageCase& c : languages) {
            SCOPED_TRACE(AppLanguages::rawValue(c.language).toStdString());
            Localization::shared().setLanguage(c.language);
            controller->present(page);
            workspace.openedURLs.clear();
            button(window(), QStringLiteral("support@vellora.app"))->click();
            button(window(), Localization::string(QStringLiteral("Online Privacy Policy")))->click();
            button(window(), Localization::string(QStringLiteral("Online Support")))->click();
            EXPECT_EQ(workspace.openedURLs,
                      QList<QUrl>({QUrl(QStringLiteral("mailto:support@vellora.app")),
                                   QUrl(QString::fromLatin1(c.onlinePolicy)),
                                   QUrl(QStringLiteral("https://vellora.app/support.html"))}));
        }
    }
}

TEST_F(PrivacySupportWindowTest, HelpButtonsOpenTheirSettingsPaneAndLeaveTheWindowOpen)
{
    make();
    controller->present(PrivacySupportPage::support);
    const struct {
        const char* button;
        SettingsTab tab;
    } cases[] = {
        {"Open Paste Settings", SettingsTab::general},
        {"Open Model Settings", SettingsTab::model},
        {"Open Privacy Settings", SettingsTab::privacy},
    };
    QList<SettingsTab> expected;
    for (const auto& c : cases) {
        QPushButton* help = button(window(), QString::fromLatin1(c.button));
        ASSERT_NE(help, nullptr) << c.button;
        help->click();
        expected.append(c.tab);
    }
    EXPECT_EQ(openedTabs, expected);
    EXPECT_TRUE(window().isVisible());
    // The second topic, "File Access After Restart", has no button.
    const QStringList sections = sectionTitles(window());
    EXPECT_EQ(sections.value(1), QStringLiteral("File Access After Restart"));
}

TEST_F(PrivacySupportWindowTest, ALanguageChangeWhileOpenSwitchesDocumentTitleAndTexts)
{
    make();
    controller->present(PrivacySupportPage::privacy);
    Localization::shared().setLanguage(AppLanguage::traditionalChinese);
    const PrivacyPolicyDocument document =
        *PrivacyPolicyCatalog::bundled()->document(AppLanguage::traditionalChinese);
    EXPECT_EQ(controller->navigation().document(), document);
    EXPECT_EQ(window().windowTitle(), document.title);
    EXPECT_NE(button(window(), QStringLiteral("說明與支援")), nullptr);
    EXPECT_EQ(window().findChild<PrivacySupportView*>()->locale().name(), QStringLiteral("zh_TW"));
}

} // namespace
