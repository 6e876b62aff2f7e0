#include "AI/ModelLibrary.h"
#include "AI/AIModelSettings.h"
#include "AI/ModelCredentialDraft.h"
#include "AITestSupport.h"
#include "Platform/Bundle.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeKeychain.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <QSignalSpy>

namespace {

using Kind = ModelError::Kind;

SavedModel model(const QString& name, bool enabled = true)
{
    return SavedModel{QUuid::createUuid(),
                      ModelConfiguration(QStringLiteral("https://api.example.com/v1"), name, false,
                                         ModelProvider::compatible),
                      enabled};
}

QStringList names(const QList<SavedModel>& models)
{
    QStringList result;
    for (const SavedModel& m : models)
        result << m.configuration.model;
    return result;
}

TEST(ModelLibrary, ActiveModelIsTheSelectedEnabledOneElseTheFirstEnabled)
{
    ModelLibrary library;
    EXPECT_FALSE(library.activeModel());
    const SavedModel off = model(QStringLiteral("off"), false);
    const SavedModel a = model(QStringLiteral("a"));
    const SavedModel b = model(QStringLiteral("b"));
    library.models = {off, a, b};
    EXPECT_EQ(names(library.enabledModels()), QStringList({"a", "b"}));
    EXPECT_EQ(library.activeModel()->id, a.id);
    library.selectedID = b.id;
    EXPECT_EQ(library.activeModel()->id, b.id);
    library.selectedID = off.id; // chosen but disabled
    EXPECT_EQ(library.activeModel()->id, a.id);
    library.selectedID = QUuid::createUuid(); // chosen but gone
    EXPECT_EQ(library.activeModel()->id, a.id);
}

TEST(ModelLibrary, SelectAcceptsOnlyEnabledModels)
{
    useEnglish();
    const SavedModel off = model(QStringLiteral("off"), false);
    const SavedModel a = model(QStringLiteral("a"));
    ModelLibrary library{{off, a}, std::nullopt};
    for (const QUuid& id : {off.id, QUuid::createUuid()}) {
        const std::optional<ModelError> error = thrownBy([&] { library.select(id); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), Kind::invalidConfiguration);
        EXPECT_EQ(error->errorDescription(), QStringLiteral("Choose an enabled model."));
        EXPECT_FALSE(library.selectedID);
    }
    library.select(a.id);
    EXPECT_EQ(library.selectedID, a.id);
}

TEST(ModelLibrary, RemoveDropsEveryCopyAndReselects)
{
    const SavedModel a = model(QStringLiteral("a"));
    const SavedModel b = model(QStringLiteral("b"));
    const SavedModel off = model(QStringLiteral("off"), false);
    ModelLibrary library{{a, b, a, off}, a.id};
    library.remove(a.id);
    EXPECT_EQ(names(library.models), QStringList({"b", "off"}));
    EXPECT_EQ(library.selectedID, b.id);
    library.remove(b.id);
    EXPECT_EQ(names(library.models), QStringList({"off"}));
    EXPECT_FALSE(library.selectedID);
}

TEST(ModelLibrary, UpsertReplacesInPlaceAppendsAndSelectsTheActiveModel)
{
    ModelLibrary library;
    SavedModel a = model(QStringLiteral("a"));
    library.upsert(a);
    EXPECT_EQ(library.selectedID, a.id);
    const SavedModel b = model(QStringLiteral("b"));
    library.upsert(b);
    a.configuration.model = QStringLiteral("a2");
    library.upsert(a);
    EXPECT_EQ(names(library.models), QStringList({"a2", "b"}));
    a.isEnabled = false;
    library.upsert(a);
    EXPECT_EQ(library.selectedID, b.id);
}

TEST(ModelLibrary, UpsertRejectsInvalidModelsWithoutChanges)
{
    ModelLibrary library;
    library.upsert(model(QStringLiteral("a")));
    const ModelLibrary before = library;

    SavedModel badAddress = model(QStringLiteral("x"));
    badAddress.configuration.baseURL = QStringLiteral("http://remote.example.com");
    SavedModel badRange = model(QStringLiteral("y"));
    badRange.configuration.temperature = 5;
    SavedModel badBoth = badAddress;
    badBoth.configuration.temperature = 5; // the endpoint is checked first

    EXPECT_EQ(thrownBy([&] { library.upsert(badAddress); })->kind(), Kind::invalidConfiguration);
    EXPECT_EQ(thrownBy([&] { library.upsert(badRange); })->kind(), Kind::invalidParameters);
    EXPECT_EQ(thrownBy([&] { library.upsert(badBoth); })->kind(), Kind::invalidConfiguration);
    EXPECT_EQ(library, before);
}

TEST(ModelLibrary, HoldsAtMost64Models)
{
    useEnglish();
    ModelLibrary library;
    for (int i = 0; i < 64; ++i)
        library.upsert(model(QString::number(i)));
    const ModelLibrary full = library;
    const std::optional<ModelError> error = thrownBy([&] { library.upsert(model(QStringLiteral("65th"))); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::modelLimit);
    EXPECT_EQ(error->errorDescription(),
              QStringLiteral("You can save up to 64 models. Remove one to add another."));
    EXPECT_EQ(library, full);
    SavedModel replaced = library.models[10];
    replaced.configuration.model = QStringLiteral("changed");
    library.upsert(replaced); // replacing in a full library is fine
    EXPECT_EQ(library.models[10].configuration.model, QStringLiteral("changed"));
}

TEST(ModelLibraryJson, RoundTripsAndRejectsBadData)
{
    const SavedModel a = model(QStringLiteral("a"));
    const SavedModel b = model(QStringLiteral("b"), false);
    const ModelLibrary library{{a, b}, a.id};
    const QJsonObject json = library.toJson();
    EXPECT_EQ(json.value(QLatin1String("selectedID")).toString(),
              a.id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(ModelLibrary::fromJson(json), library);
    EXPECT_FALSE(ModelLibrary().toJson().contains(QLatin1String("selectedID")));

    for (const QJsonValue& bad :
         {QJsonValue(QJsonArray()), QJsonValue(QJsonObject{{"models", 1}}),
          QJsonValue(QJsonObject{
              {"models", QJsonArray{QJsonObject{{"id", "not-a-uuid"}, {"configuration", QJsonObject()}}}}}),
          QJsonValue(QJsonObject{{"models", QJsonArray{1}}}),
          QJsonValue(QJsonObject{{"models", QJsonArray()}, {"selectedID", "nope"}})})
        EXPECT_FALSE(ModelLibrary::fromJson(bad));
}

TEST(ModelCredentialDraft, TurnsTheKeyFieldIntoTheSaveArgument)
{
    EXPECT_EQ(ModelCredentialDraft().keyArgument(), std::nullopt);
    EXPECT_EQ((ModelCredentialDraft{QStringLiteral(" \n\t"), false}.keyArgument()), std::nullopt);
    EXPECT_EQ((ModelCredentialDraft{QStringLiteral(" \n"), true}.keyArgument()), QString());
    EXPECT_EQ((ModelCredentialDraft{QStringLiteral(" sk-1\n"), true}.keyArgument()), QStringLiteral("sk-1"));
}

class AIModelSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { useEnglish(); }

    QString account(const SavedModel& m) const
    {
        return m.configuration.endpoint().toString(QUrl::FullyEncoded);
    }
    QPair<QString, QString> item(const SavedModel& m) const { return {ModelKeychain::service(), account(m)}; }

    FakeDefaults defaults;
    FakeKeychain keychain;
};

TEST_F(AIModelSettingsTest, CommitStoresLibraryAndActiveConfigurationAndSignalsOnlyChanges)
{
    AIModelSettings settings(defaults, keychain);
    QSignalSpy changed(&settings, &AIModelSettings::libraryChanged);
    EXPECT_FALSE(settings.isConfigured());
    EXPECT_EQ(settings.configuration(), ModelConfiguration());

    const SavedModel a = model(QStringLiteral("a"));
    const ModelLibrary library{{a}, a.id};
    settings.commit(library);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(settings.isConfigured());
    EXPECT_EQ(settings.configuration(), a.configuration);
    EXPECT_EQ(ModelLibrary::fromJson(defaults.value(ModelLibrary::storageKey)), library);
    EXPECT_EQ(ModelConfiguration::load(defaults), a.configuration);

    settings.commit(library);
    EXPECT_EQ(changed.count(), 1);

    settings.commit(ModelLibrary());
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(ModelConfiguration::load(defaults), ModelConfiguration());
    EXPECT_EQ(AIModelSettings(defaults, keychain).library(), ModelLibrary());
}

TEST_F(AIModelSettingsTest, IsConfiguredNeedsAValidEndpoint)
{
    AIModelSettings settings(defaults, keychain);
    SavedModel broken = model(QStringLiteral("a"));
    broken.configuration.baseURL = QStringLiteral("http://remote.example.com"); // stored by an older version
    settings.commit(ModelLibrary{{broken}, broken.id});
    EXPECT_FALSE(settings.isConfigured());
    EXPECT_EQ(thrownBy([&] { settings.activeCredentials(); })->kind(), Kind::invalidConfiguration);
}

TEST_F(AIModelSettingsTest, SaveStoresTrimmedKeyKeepsOrDeletesIt)
{
    AIModelSettings settings(defaults, keychain);
    const SavedModel a = model(QStringLiteral("a"));
    settings.save(a, QStringLiteral("  sk-secret\n"));
    EXPECT_EQ(keychain.items.value(item(a)), QStringLiteral("sk-secret"));
    EXPECT_EQ(settings.library().models.size(), 1);
    EXPECT_EQ(settings.activeCredentials().key, QStringLiteral("sk-secret"));

    settings.save(a, std::nullopt);
    EXPECT_EQ(keychain.items.value(item(a)), QStringLiteral("sk-secret"));

    settings.save(a, QStringLiteral(" \n"));
    EXPECT_FALSE(keychain.items.contains(item(a)));
    EXPECT_EQ(settings.activeCredentials().key, QString());

    const QString stored = QString::fromUtf8(QJsonDocument(defaults.values).toJson());
    EXPECT_FALSE(stored.contains(QStringLiteral("sk-secret")));
}

TEST_F(AIModelSettingsTest, AFailedSaveLeavesTheStoredLibraryAlone)
{
    AIModelSettings settings(defaults, keychain);
    const SavedModel a = model(QStringLiteral("a"));
    settings.save(a, std::nullopt);
    const int writes = defaults.writes;
    QSignalSpy changed(&settings, &AIModelSettings::libraryChanged);

    keychain.failing = true;
    const SavedModel b = model(QStringLiteral("b"));
    const std::optional<ModelError> error = thrownBy([&] { settings.save(b, QStringLiteral("k")); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::keychain);
    SavedModel invalid = b;
    invalid.configuration.topP = 2;
    keychain.failing = false;
    EXPECT_EQ(thrownBy([&] { settings.save(invalid, QStringLiteral("k")); })->kind(),
              Kind::invalidParameters);
    EXPECT_EQ(keychain.writes, 0);

    EXPECT_EQ(defaults.writes, writes);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(names(settings.library().models), QStringList({"a"}));
}

TEST_F(AIModelSettingsTest, KeychainFailuresBecomeTheKeychainError)
{
    AIModelSettings settings(defaults, keychain);
    settings.save(model(QStringLiteral("a")), std::nullopt);
    keychain.failing = true;
    const std::optional<ModelError> error = thrownBy([&] { settings.activeCredentials(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::keychain);
    EXPECT_EQ(
        error->errorDescription(),
        QStringLiteral("Could not reach the keyring that holds your API keys. Make sure it is running and "
                       "unlocked, then retry."));
    EXPECT_EQ(thrownBy([&] { settings.keychain().remove(QStringLiteral("x")); })->kind(), Kind::keychain);
}

TEST_F(AIModelSettingsTest, AnUndecodableLibraryLoadsEmptyAndIsKeptUntilACommit)
{
    const QJsonValue bad(QJsonObject{{"models", "garbage"}});
    defaults.setValue(ModelLibrary::storageKey, bad);
    AIModelSettings settings(defaults, keychain);
    EXPECT_EQ(settings.library(), ModelLibrary());
    EXPECT_EQ(defaults.value(ModelLibrary::storageKey), bad);
    settings.save(model(QStringLiteral("a")), std::nullopt);
    EXPECT_TRUE(ModelLibrary::fromJson(defaults.value(ModelLibrary::storageKey)));
}

TEST(ModelKeychain, UsesTheBundleIdentifierService)
{
    EXPECT_TRUE(ModelKeychain::service().endsWith(QStringLiteral(".model-api-key")));
    EXPECT_EQ(ModelKeychain::service(),
              Platform::mainBundle().bundleIdentifier() + QStringLiteral(".model-api-key"));
}

} // namespace
