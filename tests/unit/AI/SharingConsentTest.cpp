#include "AI/AISharingConsentStore.h"
#include "AI/ModelConfiguration.h"
#include "AITestSupport.h"
#include "fakes/FakeDefaults.h"

#include <QJsonArray>
#include <QSignalSpy>

namespace {

const QString endpoint = QStringLiteral("https://api.example.com/v1/chat/completions");

AISharingScope scope(bool images, bool preferences, std::optional<qint64> limit, const QString& at = endpoint)
{
    return AISharingScope{at, images, preferences, limit};
}

struct CoverCase {
    const char* name;
    AISharingScope grant;
    AISharingScope asked;
    bool covers;
};

class Covers : public ::testing::TestWithParam<CoverCase> {};

TEST_P(Covers, FollowsTheGrantRules)
{
    EXPECT_EQ(GetParam().grant.covers(GetParam().asked), GetParam().covers);
}

const CoverCase coverCases[] = {
    {"same", scope(true, true, 5), scope(true, true, 5), true},
    {"otherEndpoint", scope(true, true, {}), scope(false, false, 0, endpoint + QStringLiteral("x")), false},
    {"imagesGrantedNotAsked", scope(true, false, {}), scope(false, false, {}), true},
    {"imagesAskedNotGranted", scope(false, false, {}), scope(true, false, {}), false},
    {"preferencesAskedNotGranted", scope(true, false, {}), scope(false, true, {}), false},
    {"preferencesGrantedNotAsked", scope(false, true, {}), scope(false, false, {}), true},
    {"unlimitedCoversLimit", scope(false, false, {}), scope(false, false, 1000), true},
    {"limitDoesNotCoverUnlimited", scope(false, false, 1000), scope(false, false, {}), false},
    {"higherLimit", scope(false, false, 5), scope(false, false, 4), true},
    {"equalLimit", scope(false, false, 5), scope(false, false, 5), true},
    {"lowerLimit", scope(false, false, 4), scope(false, false, 5), false},
    {"zeroLimit", scope(false, false, 0), scope(false, false, 0), true},
};

INSTANTIATE_TEST_SUITE_P(Cases, Covers, ::testing::ValuesIn(coverCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AISharingScope, IsBuiltFromTheConfiguration)
{
    ModelConfiguration c(QStringLiteral("https://api.example.com/v1"), QStringLiteral("m"), true,
                         ModelProvider::openAI);
    EXPECT_EQ(AISharingScope::make(c, true), scope(true, false, {}));
    EXPECT_EQ(AISharingScope::make(c, false), scope(false, false, {}));
    c.supportsImages = false; // images are not sent to a model that does not take them
    c.systemPrompt = QStringLiteral("  \n");
    EXPECT_EQ(AISharingScope::make(c, true), scope(false, false, {}));
    c.systemPrompt = QStringLiteral("Answer in French.");
    c.historyTurns = 3;
    EXPECT_EQ(AISharingScope::make(c, true), scope(false, true, 3));
}

TEST(AISharingConsentStore, ApproveReplacesCoveredGrantsAndStoresThem)
{
    FakeDefaults defaults;
    AISharingConsentStore store(defaults);
    QSignalSpy changed(&store, &AISharingConsentStore::grantsChanged);
    const AISharingScope other =
        scope(true, true, {}, QStringLiteral("https://other.example.com/chat/completions"));

    EXPECT_FALSE(store.isAllowed(scope(false, false, 0)));
    store.approve(other);
    store.approve(scope(false, false, 2));
    store.approve(scope(true, false, 1)); // covers neither (limit 1 < 2): kept beside it
    EXPECT_EQ(store.grants().size(), 3);
    store.approve(scope(false, false, 1)); // already allowed: nothing happens
    EXPECT_EQ(changed.count(), 3);

    store.approve(scope(true, true, {})); // covers both grants of the endpoint
    EXPECT_EQ(store.grants(), QList<AISharingScope>({other, scope(true, true, {})}));
    EXPECT_TRUE(store.isAllowed(scope(true, true, 1000)));

    AISharingConsentStore reloaded(defaults);
    EXPECT_EQ(reloaded.grants(), store.grants());
    const QJsonArray stored = defaults.value(AISharingConsentStore::storageKey).toArray();
    EXPECT_EQ(stored.at(1).toObject(),
              (QJsonObject{
                  {"endpoint", endpoint}, {"includesImages", true}, {"includesResponsePreferences", true}}));
}

TEST(AISharingConsentStore, RevokeAllForgetsEverythingAndDeletesThePreference)
{
    FakeDefaults defaults;
    AISharingConsentStore store(defaults);
    store.approve(scope(true, true, {}));
    QSignalSpy changed(&store, &AISharingConsentStore::grantsChanged);
    store.revokeAll();
    EXPECT_TRUE(store.grants().isEmpty());
    EXPECT_FALSE(defaults.contains(AISharingConsentStore::storageKey));
    EXPECT_FALSE(store.isAllowed(scope(false, false, 0)));
    EXPECT_EQ(changed.count(), 1);
}

TEST(AISharingConsentStore, AnUndecodableListLoadsEmptyAndStaysUntilTheUserActs)
{
    for (const QJsonValue& bad :
         {QJsonValue(QStringLiteral("x")), QJsonValue(QJsonArray{QJsonObject{{"endpoint", 1}}}),
          QJsonValue(QJsonArray{QJsonObject{{"endpoint", endpoint},
                                            {"includesImages", true},
                                            {"includesResponsePreferences", false},
                                            {"historyTurnLimit", 2.5}}})}) {
        FakeDefaults defaults;
        defaults.setValue(AISharingConsentStore::storageKey, bad);
        AISharingConsentStore store(defaults);
        EXPECT_TRUE(store.grants().isEmpty());
        EXPECT_EQ(defaults.value(AISharingConsentStore::storageKey), bad);
        store.approve(scope(false, false, 1));
        EXPECT_EQ(AISharingConsentStore(defaults).grants().size(), 1);
    }
}

} // namespace
