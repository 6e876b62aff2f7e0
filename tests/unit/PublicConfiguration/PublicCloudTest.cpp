#include "PublicConfigurationTestSupport.h"

#include "Platform/CloudContainer.h"
#include "PublicConfiguration/PublicCloudClient.h"
#include "PublicConfiguration/PublicCloudSettings.h"
#include "fakes/FakeBundle.h"
#include "fakes/FakeCloudContainer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>
#include <gtest/gtest.h>

using namespace PublicConfigurationTesting;

namespace {

const QString containerId = QStringLiteral("iCloud.app.vellora.catalog");
const QString velloraKey = QStringLiteral("VelloraPublicConfigContainerIdentifier");
const QString dorvaneKey = QStringLiteral("DorvanePublicConfigContainerIdentifier");
const QString containersKey = QStringLiteral("com.apple.developer.icloud-container-identifiers");
const QString servicesKey = QStringLiteral("com.apple.developer.icloud-services");
const QString environmentKey = QStringLiteral("com.apple.developer.icloud-container-environment");

QJsonObject goodEntitlements()
{
    return QJsonObject{
        {containersKey, QJsonArray{QStringLiteral("iCloud.other.app"), containerId}},
        {servicesKey, QJsonArray{QStringLiteral("CloudDocuments"), QStringLiteral("CloudKit")}},
        {environmentKey, QStringLiteral("Production")}};
}

// ---- settings from the information keys and the entitlements

struct SettingsCase {
    const char* name;
    QJsonObject info;
    std::function<void(QJsonObject&)> changeEntitlements;
    std::optional<PublicCloudSettings> expected;
};

class CloudSettingsRules : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(CloudSettingsRules, GiveSettingsOnlyWhenEveryRulePasses)
{
    QJsonObject entitlements = goodEntitlements();
    GetParam().changeEntitlements(entitlements);
    EXPECT_EQ(PublicCloudSettings::fromEntitlements(GetParam().info, entitlements), GetParam().expected);
}

using E = QJsonObject&;
const auto keep = [](E) {};
const PublicCloudSettings production{containerId, QStringLiteral("Production")};

QJsonObject infoNaming(const QString& identifier)
{
    return QJsonObject{{velloraKey, identifier}};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CloudSettingsRules,
    ::testing::Values(
        SettingsCase{"entitled", infoNaming(containerId), keep, production},
        SettingsCase{"development", infoNaming(containerId),
                     [](E e) { e.insert(environmentKey, QStringLiteral("Development")); },
                     PublicCloudSettings{containerId, QStringLiteral("Development")}},
        SettingsCase{"earlierKey", QJsonObject{{dorvaneKey, containerId}}, keep, production},
        SettingsCase{
            "currentKeyWins",
            QJsonObject{{velloraKey, QStringLiteral("iCloud.not.listed")}, {dorvaneKey, containerId}}, keep,
            std::nullopt},
        SettingsCase{"currentKeyNotText", QJsonObject{{velloraKey, 5}, {dorvaneKey, containerId}}, keep,
                     std::nullopt},
        SettingsCase{"noKeys", QJsonObject{}, keep, std::nullopt},
        SettingsCase{"oneLabel", infoNaming(QStringLiteral("iCloud.vellora")),
                     [](E e) { e.insert(containersKey, QJsonArray{QStringLiteral("iCloud.vellora")}); },
                     std::nullopt},
        SettingsCase{"lowerCasePrefix", infoNaming(QStringLiteral("icloud.app.vellora")),
                     [](E e) { e.insert(containersKey, QJsonArray{QStringLiteral("icloud.app.vellora")}); },
                     std::nullopt},
        SettingsCase{"underscore", infoNaming(QStringLiteral("iCloud.app.vel_lora")),
                     [](E e) { e.insert(containersKey, QJsonArray{QStringLiteral("iCloud.app.vel_lora")}); },
                     std::nullopt},
        SettingsCase{"emptyLabel", infoNaming(QStringLiteral("iCloud.app..vellora")),
                     [](E e) { e.insert(containersKey, QJsonArray{QStringLiteral("iCloud.app..vellora")}); },
                     std::nullopt},
        SettingsCase{"trailingNewline", infoNaming(containerId + u'\n'),
                     [](E e) { e.insert(containersKey, QJsonArray{containerId + u'\n'}); }, std::nullopt},
        SettingsCase{"nonAsciiLetter", infoNaming(QStringLiteral("iCloud.app.véllora")),
                     [](E e) { e.insert(containersKey, QJsonArray{QStringLiteral("iCloud.app.véllora")}); },
                     std::nullopt},
        SettingsCase{"hyphensAndDigits", infoNaming(QStringLiteral("iCloud.app-2.x9")),
                     [](E e) { e.insert(containersKey, QJsonArray{QStringLiteral("iCloud.app-2.x9")}); },
                     PublicCloudSettings{QStringLiteral("iCloud.app-2.x9"), QStringLiteral("Production")}},
        SettingsCase{"containerNotListed", infoNaming(containerId),
                     [](E e) { e.insert(containersKey, QJsonArray{QStringLiteral("iCloud.other.app")}); },
                     std::nullopt},
        SettingsCase{"containersNotAList", infoNaming(containerId),
                     [](E e) { e.insert(containersKey, containerId); }, std::nullopt},
        SettingsCase{"containersWithANumber", infoNaming(containerId),
                     [](E e) {
                         e.insert(containersKey, QJsonArray{containerId, 3});
                     },
                     std::nullopt},
        SettingsCase{"noCloudKitService", infoNaming(containerId),
                     [](E e) { e.insert(servicesKey, QJsonArray{QStringLiteral("CloudDocuments")}); },
                     std::nullopt},
        SettingsCase{"serviceLowerCase", infoNaming(containerId),
                     [](E e) { e.insert(servicesKey, QJsonArray{QStringLiteral("cloudkit")}); },
                     std::nullopt},
        SettingsCase{"environmentLowerCase", infoNaming(containerId),
                     [](E e) { e.insert(environmentKey, QStringLiteral("production")); }, std::nullopt},
        SettingsCase{"environmentMissing", infoNaming(containerId), [](E e) { e.remove(environmentKey); },
                     std::nullopt},
        SettingsCase{"environmentAsList", infoNaming(containerId),
                     [](E e) { e.insert(environmentKey, QJsonArray{QStringLiteral("Production")}); },
                     std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CloudSettings, CacheIdentityJoinsContainerEnvironmentAndKey)
{
    EXPECT_EQ(production.cacheIdentity(),
              QStringLiteral("iCloud.app.vellora.catalog|Production|public-catalog-v1"));
}

// ---- settings of the running copy

struct SigningCase {
    const char* name;
    std::optional<Platform::CodeSigningInformation> signing;
    bool entitled;
};

class RunningCopySettings : public ::testing::TestWithParam<SigningCase> {};

TEST_P(RunningCopySettings, NeedATeamAndAnEntitlementsDictionary)
{
    FakeBundle bundle;
    bundle.info.insert(velloraKey, containerId);
    FakeCloudContainer container;
    container.signing = GetParam().signing;
    const std::optional<PublicCloudSettings> settings = PublicCloudSettings::current(bundle, container);
    EXPECT_EQ(settings, GetParam().entitled ? std::optional(production) : std::nullopt);
    EXPECT_EQ(container.signingCalls, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RunningCopySettings,
    ::testing::Values(
        SigningCase{"signed", Platform::CodeSigningInformation{QStringLiteral("TEAM123"), goodEntitlements()},
                    true},
        SigningCase{"unreadableSignature", std::nullopt, false},
        SigningCase{"adHocWithoutTeam", Platform::CodeSigningInformation{QJsonValue(), goodEntitlements()},
                    false},
        SigningCase{"teamNotText", Platform::CodeSigningInformation{QJsonValue(42), goodEntitlements()},
                    false},
        SigningCase{
            "noEntitlements",
            Platform::CodeSigningInformation{QStringLiteral("TEAM123"), QJsonValue(QJsonValue::Undefined)},
            false},
        SigningCase{"entitlementsNotADictionary",
                    Platform::CodeSigningInformation{QStringLiteral("TEAM123"), QJsonArray{containerId}},
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunningCopySettings, WithoutAContainerKeyTheSignatureIsNeverRead)
{
    FakeBundle bundle;
    bundle.info.insert(QStringLiteral("CFBundleIdentifier"), QStringLiteral("app.vellora"));
    FakeCloudContainer container;
    container.signing = Platform::CodeSigningInformation{QStringLiteral("TEAM123"), goodEntitlements()};
    EXPECT_EQ(PublicCloudSettings::current(bundle, container), std::nullopt);
    EXPECT_EQ(container.signingCalls, 0);
}

TEST(RunningCopySettings, TheLinuxCopyIsNeverEntitled)
{
    FakeBundle bundle;
    bundle.info.insert(velloraKey, containerId);
    bundle.info.insert(dorvaneKey, containerId);
    EXPECT_EQ(Platform::cloudContainer().signingInformation(), std::nullopt);
    EXPECT_EQ(PublicCloudSettings::current(bundle, Platform::cloudContainer()), std::nullopt);
    EXPECT_EQ(PublicCloudSettings::current(), std::nullopt);
    EXPECT_THROW(Platform::cloudContainer().query(Platform::CloudQuery{}), Platform::CloudError);
}

// ---- converting a record

QByteArray productsJson(const QList<PublicProduct>& products)
{
    QJsonArray array;
    for (const PublicProduct& p : products)
        array.append(p.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

Platform::CloudRecord goodRecord(qint64 revision = 4)
{
    const PublicConfiguration c = validConfiguration(revision);
    return Platform::CloudRecord{QStringLiteral("PublicAppConfig"),
                                 QVariantMap{{"configKey", QStringLiteral("public-catalog-v1")},
                                             {"schemaVersion", qint64(1)},
                                             {"revision", revision},
                                             {"authorName", c.authorName},
                                             {"authorBioZh", c.authorBioZh},
                                             {"authorBioEn", c.authorBioEn},
                                             {"websiteURL", c.websiteURL},
                                             {"productsJSON", QString::fromUtf8(productsJson(c.products))}}};
}

TEST(RecordConversion, AGoodRecordGivesTheConfiguration)
{
    EXPECT_EQ(PublicConfiguration::fromRecord(goodRecord(4)), validConfiguration(4));
}

// "[" + blanks + "]" of exactly `bytes` bytes.
QString paddedEmptyArray(qsizetype bytes)
{
    return u'[' + QString(bytes - 2, u' ') + u']';
}

struct RecordCase {
    const char* name;
    std::function<void(Platform::CloudRecord&)> change;
    std::string expected;
};

class RecordRules : public ::testing::TestWithParam<RecordCase> {};

TEST_P(RecordRules, ThrowTheFirstFailingStep)
{
    Platform::CloudRecord record = goodRecord();
    GetParam().change(record);
    EXPECT_EQ(thrownCase([&] { PublicConfiguration::fromRecord(record); }), GetParam().expected);
}

using R = Platform::CloudRecord&;
void set(R r, const char* key, const QVariant& value)
{
    r.fields.insert(QString::fromLatin1(key), value);
}
void drop(R r, const char* key)
{
    r.fields.remove(QString::fromLatin1(key));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordRules,
    ::testing::Values(
        RecordCase{"good", [](R) {}, "none"},
        RecordCase{"otherRecordType", [](R r) { r.recordType = QStringLiteral("PublicAppConfig2"); }, "invalidData"},
        RecordCase{"configKeyMissing", [](R r) { drop(r, "configKey"); }, "invalidData"},
        RecordCase{"configKeyOther", [](R r) { set(r, "configKey", QStringLiteral("public-catalog-v2")); },
                   "invalidData"},
        RecordCase{"configKeyNumber", [](R r) { set(r, "configKey", 1); }, "invalidData"},
        RecordCase{"configKeyBeforeSchema",
                   [](R r) {
                       drop(r, "configKey");
                       set(r, "schemaVersion", 2);
                   },
                   "invalidData"},
        RecordCase{"authorNameMissing", [](R r) { drop(r, "authorName"); }, "invalidData"},
        RecordCase{"authorNameNumber", [](R r) { set(r, "authorName", 3); }, "invalidData"},
        RecordCase{"productsMissing", [](R r) { drop(r, "productsJSON"); }, "invalidData"},
        RecordCase{"productsNotText", [](R r) { set(r, "productsJSON", QByteArray("[]")); }, "invalidData"},
        RecordCase{"products65536Bytes", [](R r) { set(r, "productsJSON", paddedEmptyArray(65536)); }, "none"},
        RecordCase{"products65537BytesBeforeNumbers",
                   [](R r) {
                       set(r, "productsJSON", paddedEmptyArray(65537));
                       set(r, "schemaVersion", 2);
                       set(r, "revision", QStringLiteral("x"));
                   },
                   "invalidData"},
        RecordCase{"productsBytesNotCharacters",
                   [](R r) { set(r, "productsJSON", u'[' + QString(32768, QChar(0x00E9)) + u']'); }, "invalidData"},
        RecordCase{"schema2", [](R r) { set(r, "schemaVersion", 2); }, "unsupportedSchema"},
        RecordCase{"schema2BeforeRevision",
                   [](R r) {
                       set(r, "schemaVersion", 2);
                       set(r, "revision", 0);
                   },
                   "unsupportedSchema"},
        RecordCase{"schemaMissing", [](R r) { drop(r, "schemaVersion"); }, "invalidData"},
        RecordCase{"schemaAsText", [](R r) { set(r, "schemaVersion", QStringLiteral("1")); }, "invalidData"},
        RecordCase{"schemaAsBool", [](R r) { set(r, "schemaVersion", true); }, "invalidData"},
        RecordCase{"schemaWholeDouble", [](R r) { set(r, "schemaVersion", 1.0); }, "none"},
        RecordCase{"schemaFraction", [](R r) { set(r, "schemaVersion", 1.5); }, "invalidData"},
        RecordCase{"schemaNaN", [](R r) { set(r, "schemaVersion", std::nan("")); }, "invalidData"},
        RecordCase{"revisionZero", [](R r) { set(r, "revision", 0); }, "invalidData"},
        RecordCase{"revisionNegative", [](R r) { set(r, "revision", -3); }, "invalidData"},
        RecordCase{"revisionInt", [](R r) { set(r, "revision", 7); }, "none"},
        RecordCase{"revisionMax", [](R r) { set(r, "revision", std::numeric_limits<qint64>::max()); }, "none"},
        RecordCase{"revisionBeyond64Bits", [](R r) { set(r, "revision", qulonglong(1) << 63); }, "invalidData"},
        RecordCase{"revisionExponent", [](R r) { set(r, "revision", 1e20); }, "invalidData"},
        RecordCase{"revisionBool", [](R r) { set(r, "revision", true); }, "invalidData"},
        RecordCase{"bioZhMissing", [](R r) { drop(r, "authorBioZh"); }, "none"},
        RecordCase{"bioEnNumber", [](R r) { set(r, "authorBioEn", 1); }, "invalidData"},
        RecordCase{"websiteMissing", [](R r) { drop(r, "websiteURL"); }, "none"},
        RecordCase{"websiteNumber", [](R r) { set(r, "websiteURL", 1); }, "invalidData"},
        RecordCase{"productsEmptyArray", [](R r) { set(r, "productsJSON", QStringLiteral("[]")); }, "none"},
        RecordCase{"productsObject", [](R r) { set(r, "productsJSON", QStringLiteral("{}")); }, "decoding"},
        RecordCase{"productsNotJson", [](R r) { set(r, "productsJSON", QStringLiteral("[{")); }, "decoding"},
        RecordCase{"productWithoutKeys", [](R r) { set(r, "productsJSON", QStringLiteral("[{}]")); }, "decoding"},
        RecordCase{"duplicateProducts",
                   [](R r) {
                       const PublicProduct p = product(QStringLiteral("same"));
                       set(r, "productsJSON", QString::fromUtf8(productsJson({p, p})));
                   },
                   "invalidData"},
        RecordCase{"blankAuthor", [](R r) { set(r, "authorName", QStringLiteral("  ")); }, "invalidData"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordConversion, MissingOptionalTextsReadAsEmpty)
{
    Platform::CloudRecord record = goodRecord();
    drop(record, "authorBioZh");
    drop(record, "websiteURL");
    set(record, "productsJSON", QStringLiteral("[]"));
    const PublicConfiguration c = PublicConfiguration::fromRecord(record);
    EXPECT_EQ(c.authorBioZh, QString());
    EXPECT_EQ(c.websiteURL, QString());
    EXPECT_EQ(c.authorBioEn, QStringLiteral("English biography"));
    EXPECT_TRUE(c.products.isEmpty());
    EXPECT_EQ(c.schemaVersion, 1);
}

// ---- the query

Platform::CloudQueryPage page(QList<std::variant<Platform::CloudRecord, Platform::CloudError>> matches,
                              std::optional<QByteArray> cursor = std::nullopt)
{
    return Platform::CloudQueryPage{std::move(matches), std::move(cursor)};
}

class CloudQuery : public ::testing::Test {
protected:
    PublicConfiguration fetch() { return PublicCloudClient(production, container).fetch(); }

    FakeCloudContainer container;
};

TEST_F(CloudQuery, AsksForTheOneRecordWithTheEightKeys)
{
    container.pages = {page({goodRecord(6)})};
    EXPECT_EQ(fetch(), validConfiguration(6));
    ASSERT_EQ(container.queries.size(), 1);
    const Platform::CloudQuery& q = container.queries.first();
    EXPECT_EQ(q.containerIdentifier, containerId);
    EXPECT_EQ(q.recordType, QStringLiteral("PublicAppConfig"));
    EXPECT_EQ(q.predicateKey, QStringLiteral("configKey"));
    EXPECT_EQ(q.predicateValue, QStringLiteral("public-catalog-v1"));
    EXPECT_EQ(q.desiredKeys, (QStringList{"configKey", "schemaVersion", "revision", "authorName",
                                          "authorBioZh", "authorBioEn", "websiteURL", "productsJSON"}));
    EXPECT_EQ(q.resultsLimit, 2);
    EXPECT_TRUE(container.continuations.isEmpty());
}

TEST_F(CloudQuery, NeedsExactlyOneRecord)
{
    EXPECT_EQ(thrownCase([&] { fetch(); }), "missingOrDuplicateRecord") << "no page";
    container.pages = {page({goodRecord(), goodRecord()}, QByteArray("more"))};
    EXPECT_EQ(thrownCase([&] { fetch(); }), "missingOrDuplicateRecord") << "two records";
    EXPECT_TRUE(container.continuations.isEmpty()) << "two records end the query";
}

TEST_F(CloudQuery, ContinuesFromTheCursorForTheMissingCount)
{
    container.pages = {page({goodRecord()}, QByteArray("cursor-1")), page({})};
    EXPECT_EQ(fetch(), validConfiguration(4));
    ASSERT_EQ(container.continuations.size(), 1);
    EXPECT_EQ(container.continuations[0].cursor, QByteArray("cursor-1"));
    EXPECT_EQ(container.continuations[0].resultsLimit, 1);
    EXPECT_EQ(container.continuations[0].containerIdentifier, containerId);
    EXPECT_EQ(container.continuations[0].desiredKeys, container.queries[0].desiredKeys);
}

TEST_F(CloudQuery, ARecordOnALaterPageMakesADuplicate)
{
    container.pages = {page({}, QByteArray("c1")), page({goodRecord()}, QByteArray("c2")),
                       page({goodRecord()})};
    EXPECT_EQ(thrownCase([&] { fetch(); }), "missingOrDuplicateRecord");
    ASSERT_EQ(container.continuations.size(), 2);
    EXPECT_EQ(container.continuations[0].resultsLimit, 2);
    EXPECT_EQ(container.continuations[1].resultsLimit, 1);
    EXPECT_EQ(container.continuations[1].cursor, QByteArray("c2"));
}

TEST_F(CloudQuery, AFailedMatchThrowsItsErrorAtOnce)
{
    container.pages = {page({Platform::CloudError("zone busy", 30.0), goodRecord()})};
    try {
        fetch();
        FAIL() << "expected the match's error";
    } catch (const Platform::CloudError& e) {
        EXPECT_STREQ(e.what(), "zone busy");
        EXPECT_EQ(e.retryAfterSeconds, std::optional(30.0));
    }
}

TEST_F(CloudQuery, ServiceErrorsPassUnchanged)
{
    container.failure = Platform::CloudError("throttled", 600.0);
    try {
        fetch();
        FAIL() << "expected the service's error";
    } catch (const Platform::CloudError& e) {
        EXPECT_STREQ(e.what(), "throttled");
        EXPECT_EQ(e.retryAfterSeconds, std::optional(600.0));
    }
}

TEST_F(CloudQuery, ARecordThatDoesNotConvertFailsTheFetch)
{
    Platform::CloudRecord record = goodRecord();
    set(record, "revision", 0);
    container.pages = {page({record})};
    EXPECT_EQ(thrownCase([&] { fetch(); }), "invalidData");
}

TEST_F(CloudQuery, StopsFollowingEndlessEmptyPages)
{
    for (int i = 0; i < 150; ++i)
        container.pages.append(page({}, QByteArray::number(i)));
    EXPECT_EQ(thrownCase([&] { fetch(); }), "missingOrDuplicateRecord");
    EXPECT_EQ(container.continuations.size(), 99);
}

} // namespace
