#include "PolicyJson.h"

#include "Settings/PrivacyPolicyCatalog.h"
#include "Util/Localization.h"

#include <gtest/gtest.h>

namespace {

// Chooses a language, and the system's preferred languages, for the life of a test.
class LanguageFixture : public ::testing::Test {
protected:
    void SetUp() override { previous_ = Localization::shared().language(); }
    void TearDown() override
    {
        Localization::shared().setPreferredLanguagesForTesting(std::nullopt);
        Localization::shared().systemLocaleChanged();
        Localization::shared().setLanguage(previous_);
    }

    static void use(AppLanguage choice, const QStringList& system)
    {
        Localization::shared().setPreferredLanguagesForTesting(system);
        Localization::shared().systemLocaleChanged();
        Localization::shared().setLanguage(choice);
    }

private:
    AppLanguage previous_ = AppLanguage::system;
};

struct LanguageRow {
    AppLanguage choice;
    QStringList systemLanguages;
    AppLanguage asked;
    const char* expectedCode;
    const char* expectedURL;
};

const std::vector<LanguageRow> languageRows{
    {AppLanguage::english,
     {QStringLiteral("ja-JP")},
     AppLanguage::chinese,
     "zh-Hans",
     "https://vellora.app/privacy.html"},
    {AppLanguage::english,
     {QStringLiteral("ja-JP")},
     AppLanguage::english,
     "en",
     "https://vellora.app/privacy/en.html"},
    {AppLanguage::english,
     {},
     AppLanguage::traditionalChinese,
     "zh-Hant",
     "https://vellora.app/privacy/zh-Hant.html"},
    {AppLanguage::english, {}, AppLanguage::japanese, "ja", "https://vellora.app/privacy/ja.html"},
    // "system" is the language in effect: the choice, or the system's when the choice is system.
    {AppLanguage::japanese,
     {QStringLiteral("zh-CN")},
     AppLanguage::system,
     "ja",
     "https://vellora.app/privacy/ja.html"},
    {AppLanguage::system,
     {QStringLiteral("ja-JP")},
     AppLanguage::system,
     "ja",
     "https://vellora.app/privacy/ja.html"},
    {AppLanguage::system,
     {QStringLiteral("zh-CN")},
     AppLanguage::system,
     "zh-Hans",
     "https://vellora.app/privacy.html"},
    {AppLanguage::system,
     {QStringLiteral("zh-TW")},
     AppLanguage::system,
     "zh-Hant",
     "https://vellora.app/privacy/zh-Hant.html"},
    {AppLanguage::system,
     {QStringLiteral("fr-FR")},
     AppLanguage::system,
     "en",
     "https://vellora.app/privacy/en.html"},
};

using PrivacyPolicyLanguageTest = LanguageFixture;

TEST_F(PrivacyPolicyLanguageTest, PicksTheDocumentAndAddressOfTheLanguage)
{
    const std::optional<PrivacyPolicyCatalog> catalog =
        PrivacyPolicyCatalog::fromJson(PolicyJson::bytes(PolicyJson::catalog()));
    ASSERT_TRUE(catalog);
    for (const LanguageRow& row : languageRows) {
        use(row.choice, row.systemLanguages);
        const QString code = QString::fromLatin1(row.expectedCode);
        SCOPED_TRACE(code.toStdString() + " asked as " + AppLanguages::rawValue(row.asked).toStdString());
        const std::optional<PrivacyPolicyDocument> document = catalog->document(row.asked);
        ASSERT_TRUE(document);
        EXPECT_EQ(document->languageName, QStringLiteral("Language ") + code);
        EXPECT_EQ(*document, catalog->locales.value(code));
        EXPECT_EQ(PrivacyPolicyCatalog::onlineURL(row.asked).toString(),
                  QString::fromLatin1(row.expectedURL));
    }
}

TEST_F(PrivacyPolicyLanguageTest, FollowsAChangeOfTheLanguageInEffect)
{
    const std::optional<PrivacyPolicyCatalog> catalog =
        PrivacyPolicyCatalog::fromJson(PolicyJson::bytes(PolicyJson::catalog()));
    ASSERT_TRUE(catalog);
    use(AppLanguage::system, {QStringLiteral("en-US")});
    EXPECT_EQ(catalog->document(AppLanguage::system)->languageName, QStringLiteral("Language en"));
    Localization::shared().setPreferredLanguagesForTesting(QStringList{QStringLiteral("zh-HK")});
    Localization::shared().systemLocaleChanged();
    EXPECT_EQ(catalog->document(AppLanguage::system)->languageName, QStringLiteral("Language zh-Hant"));
    EXPECT_TRUE(
        PrivacyPolicyCatalog::onlineURL(AppLanguage::system).toString().endsWith(u"privacy/zh-Hant.html"));
}

TEST_F(PrivacyPolicyLanguageTest, AnUnvalidatedCatalogueMayLackADocument)
{
    QJsonObject root = PolicyJson::catalog();
    PolicyJson::remove(root, QStringLiteral("locales/ja"));
    const std::optional<PrivacyPolicyCatalog> decoded = PrivacyPolicyCatalog::decode(PolicyJson::bytes(root));
    ASSERT_TRUE(decoded);
    use(AppLanguage::system, {QStringLiteral("ja-JP")});
    EXPECT_FALSE(decoded->document(AppLanguage::japanese));
    EXPECT_FALSE(decoded->document(AppLanguage::system));
    EXPECT_TRUE(decoded->document(AppLanguage::english));
}

} // namespace
