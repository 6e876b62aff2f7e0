#include "PublicConfigurationTestSupport.h"

#include "Models/JsonCoding.h"
#include "Platform/CloudContainer.h"
#include "PublicConfiguration/PublicConfigurationStore.h"
#include "Store/DataDirectory.h"
#include "Util/Localization.h"
#include "fakes/FakeCloudContainer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPromise>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace PublicConfigurationTesting;
using Status = PublicConfigurationStore::Status;

namespace {

const PublicCloudSettings settings{QStringLiteral("iCloud.app.vellora.catalog"),
                                   QStringLiteral("Production")};
const QString identity = QStringLiteral("iCloud.app.vellora.catalog|Production|public-catalog-v1");
const QDateTime start = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray cacheBytes(const QString& cacheIdentity, const QDateTime& fetchedAt,
                      const PublicConfiguration& value)
{
    return PublicConfigurationCache{cacheIdentity, fetchedAt, value}.encoded();
}

// A clock the test moves, and a loader whose reads the test answers one by one.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        cachePath = dir.filePath(QStringLiteral("Dorvane/public-configuration.json"));
    }

    std::unique_ptr<PublicConfigurationStore> makeStore(std::optional<PublicCloudSettings> cloud = settings)
    {
        return std::make_unique<PublicConfigurationStore>(
            cloud, cachePath, [this] { return now; },
            [this] {
                reads.push_back(std::make_unique<QPromise<PublicConfiguration>>());
                reads.back()->start();
                return reads.back()->future();
            });
    }

    void answer(const PublicConfiguration& value)
    {
        ASSERT_FALSE(reads.empty());
        reads.back()->addResult(value);
        reads.back()->finish();
        waitUntilIdle();
    }

    void answerError(std::exception_ptr error)
    {
        ASSERT_FALSE(reads.empty());
        reads.back()->setException(error);
        reads.back()->finish();
        waitUntilIdle();
    }

    void waitUntilIdle()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !store->isRefreshing(); }, 5000));
    }

    // A refresh that reads and fails with `error` at the current time.
    void failedRefresh(std::exception_ptr error, bool force = true)
    {
        const size_t before = reads.size();
        store->refresh(force);
        ASSERT_EQ(reads.size(), before + 1) << "the refresh should have read";
        answerError(error);
        ASSERT_EQ(store->status(), std::optional(Status::failed));
    }

    void succeededRefresh(const PublicConfiguration& value, bool force = true)
    {
        const size_t before = reads.size();
        store->refresh(force);
        ASSERT_EQ(reads.size(), before + 1) << "the refresh should have read";
        answer(value);
        ASSERT_EQ(store->status(), std::optional(Status::saved));
    }

    static std::exception_ptr networkError()
    {
        return std::make_exception_ptr(Platform::CloudError("network unavailable"));
    }

    QTemporaryDir dir;
    QString cachePath;
    QDateTime now = start;
    std::vector<std::unique_ptr<QPromise<PublicConfiguration>>> reads;
    std::unique_ptr<PublicConfigurationStore> store;
};

// ---- creation and the cache

TEST_F(StoreTest, WithoutCloudSettingsTheCacheIsNeverReadAndRefreshDoesNothing)
{
    writeFile(cachePath, cacheBytes(identity, start.addDays(-1), validConfiguration(9)));
    store = makeStore(std::nullopt);
    EXPECT_EQ(store->value(), PublicConfiguration::bundled());
    EXPECT_EQ(store->lastUpdated(), std::nullopt);
    QSignalSpy statusSpy(store.get(), &PublicConfigurationStore::statusChanged);
    QSignalSpy refreshingSpy(store.get(), &PublicConfigurationStore::isRefreshingChanged);
    store->refresh(false);
    store->refresh(true);
    EXPECT_TRUE(reads.empty());
    EXPECT_EQ(store->status(), std::nullopt);
    EXPECT_EQ(statusSpy.count(), 0);
    EXPECT_EQ(refreshingSpy.count(), 0);
}

TEST_F(StoreTest, AValidCacheOfTheSameContainerReplacesTheResourceCopy)
{
    const QDateTime fetchedAt = start.addSecs(-3600);
    writeFile(cachePath, cacheBytes(identity, fetchedAt, validConfiguration(9)));
    store = makeStore();
    EXPECT_EQ(store->value(), validConfiguration(9));
    EXPECT_EQ(store->lastUpdated(), std::optional(fetchedAt));
    EXPECT_EQ(store->status(), std::nullopt);
    EXPECT_FALSE(store->isRefreshing());
    EXPECT_EQ(store->settings(), std::optional(settings));
}

// Pads a valid cache with trailing blanks (still valid JSON) to exactly `size` bytes.
QByteArray paddedCache(qsizetype size)
{
    QByteArray bytes = cacheBytes(identity, start, validConfiguration());
    bytes.append(QByteArray(size - bytes.size(), ' '));
    return bytes;
}

struct CacheCase {
    const char* name;
    std::function<QByteArray()> bytes; // empty function: no file
    bool used;
};

class CacheAtCreation : public StoreTest, public ::testing::WithParamInterface<CacheCase> {};

TEST_P(CacheAtCreation, IsUsedOnlyWhenEveryCheckPassesAndIsNeverChanged)
{
    const CacheCase& c = GetParam();
    if (c.bytes)
        writeFile(cachePath, c.bytes());
    const QByteArray before = readFile(cachePath);
    store = makeStore();
    if (c.used) {
        EXPECT_NE(store->value(), PublicConfiguration::bundled());
        EXPECT_TRUE(store->lastUpdated().has_value());
    } else {
        EXPECT_EQ(store->value(), PublicConfiguration::bundled());
        EXPECT_EQ(store->lastUpdated(), std::nullopt);
    }
    EXPECT_EQ(readFile(cachePath), before);
    EXPECT_EQ(QFileInfo::exists(cachePath), bool(c.bytes));
}

QByteArray withKeyRemoved(const QString& key)
{
    QJsonObject object = QJsonDocument::fromJson(cacheBytes(identity, start, validConfiguration())).object();
    object.remove(key);
    return QJsonDocument(object).toJson();
}

PublicConfiguration withRevision(qint64 revision)
{
    return validConfiguration(revision);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CacheAtCreation,
    ::testing::Values(
        CacheCase{"missing", {}, false},
        CacheCase{"valid", [] { return cacheBytes(identity, start.addSecs(-5), validConfiguration()); },
                  true},
        CacheCase{"fetchedNow", [] { return cacheBytes(identity, start, validConfiguration()); }, true},
        CacheCase{"exactly262144Bytes", [] { return paddedCache(262144); }, true},
        CacheCase{"262145Bytes", [] { return paddedCache(262145); }, false},
        CacheCase{"empty", [] { return QByteArray(); }, false},
        CacheCase{"truncated", [] { return cacheBytes(identity, start, validConfiguration()).chopped(10); },
                  false},
        CacheCase{"notJson", [] { return QByteArray("identity=x"); }, false},
        CacheCase{"otherContainer",
                  [] {
                      return cacheBytes(QStringLiteral("iCloud.other.app|Production|public-catalog-v1"),
                                        start, validConfiguration());
                  },
                  false},
        CacheCase{"otherEnvironment",
                  [] {
                      return cacheBytes(
                          QStringLiteral("iCloud.app.vellora.catalog|Development|public-catalog-v1"), start,
                          validConfiguration());
                  },
                  false},
        CacheCase{"identityWithBlanks",
                  [] {
                      return cacheBytes(
                          QStringLiteral("iCloud.app.vellora.catalog | Production | public-catalog-v1"),
                          start, validConfiguration());
                  },
                  false},
        CacheCase{"fetchedInTheFuture",
                  [] { return cacheBytes(identity, start.addSecs(1), validConfiguration()); }, false},
        CacheCase{"revisionZero", [] { return cacheBytes(identity, start, withRevision(0)); }, false},
        CacheCase{"invalidValue",
                  [] {
                      PublicConfiguration c = validConfiguration();
                      c.schemaVersion = 2;
                      return cacheBytes(identity, start, c);
                  },
                  false},
        CacheCase{"noIdentity", [] { return withKeyRemoved(QStringLiteral("identity")); }, false},
        CacheCase{"noFetchedAt", [] { return withKeyRemoved(QStringLiteral("fetchedAt")); }, false},
        CacheCase{"noValue", [] { return withKeyRemoved(QStringLiteral("value")); }, false},
        CacheCase{"fetchedAtAsText",
                  [] {
                      QJsonObject o =
                          QJsonDocument::fromJson(withKeyRemoved(QStringLiteral("fetchedAt"))).object();
                      o.insert(QStringLiteral("fetchedAt"), QStringLiteral("795355200"));
                      return QJsonDocument(o).toJson();
                  },
                  false},
        CacheCase{"fetchedAtHuge",
                  [] {
                      QJsonObject o =
                          QJsonDocument::fromJson(withKeyRemoved(QStringLiteral("fetchedAt"))).object();
                      o.insert(QStringLiteral("fetchedAt"), -1e300);
                      return QJsonDocument(o).toJson();
                  },
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PublicConfigurationCache, EncodesCompactJsonWithReferenceDateSeconds)
{
    const QDateTime fetchedAt = QDateTime(QDate(2001, 1, 1), QTime(0, 1, 30, 250), Qt::UTC);
    const QByteArray bytes = cacheBytes(identity, fetchedAt, validConfiguration());
    EXPECT_FALSE(bytes.contains('\n'));
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    EXPECT_EQ(object.keys(), (QStringList{"fetchedAt", "identity", "value"}));
    EXPECT_DOUBLE_EQ(object.value("fetchedAt").toDouble(), 90.25);
    EXPECT_EQ(object.value("identity").toString(), identity);
    EXPECT_EQ(PublicConfiguration::fromJson(object.value("value")), validConfiguration());
    EXPECT_EQ(PublicConfigurationCache::decode(bytes),
              (PublicConfigurationCache{identity, fetchedAt, validConfiguration()}));
}

TEST(PublicConfigurationStorePaths, TheCacheStaysInTheDataFolderAlsoInDemoMode)
{
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             QStringLiteral("/Dorvane/public-configuration.json");
    EXPECT_EQ(PublicConfigurationStore::defaultCachePath(), expected);
    DataDirectory::setDemo(true);
    EXPECT_EQ(PublicConfigurationStore::defaultCachePath(), expected);
    DataDirectory::setDemo(false);
}

// ---- refresh

TEST_F(StoreTest, ASuccessfulReadIsShownAndWrittenToTheCache)
{
    store = makeStore();
    QSignalSpy valueSpy(store.get(), &PublicConfigurationStore::valueChanged);
    QSignalSpy updatedSpy(store.get(), &PublicConfigurationStore::lastUpdatedChanged);
    QSignalSpy refreshingSpy(store.get(), &PublicConfigurationStore::isRefreshingChanged);
    QSignalSpy statusSpy(store.get(), &PublicConfigurationStore::statusChanged);

    store->refresh(false);
    ASSERT_EQ(reads.size(), 1u) << "no lastUpdated: the first refresh reads at once";
    EXPECT_TRUE(store->isRefreshing());
    EXPECT_EQ(store->lastAttempt(), std::optional(start));
    now = start.addSecs(5);
    answer(validConfiguration(7));

    EXPECT_EQ(store->value(), validConfiguration(7));
    EXPECT_EQ(store->lastUpdated(), std::optional(start.addSecs(5)))
        << "fetchedAt is taken when the cache is written";
    EXPECT_EQ(store->status(), std::optional(Status::saved));
    EXPECT_FALSE(store->isRefreshing());
    EXPECT_EQ(valueSpy.count(), 1);
    EXPECT_EQ(updatedSpy.count(), 1);
    EXPECT_EQ(refreshingSpy.count(), 2);
    EXPECT_EQ(statusSpy.count(), 1);

    const PublicConfigurationCache written = PublicConfigurationCache::decode(readFile(cachePath));
    EXPECT_EQ(written, (PublicConfigurationCache{identity, start.addSecs(5), validConfiguration(7)}));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("Dorvane"))).entryList(QDir::Files | QDir::Hidden).size() ==
                1)
        << "no temporary file is left beside the cache";

    now = start.addSecs(10);
    const auto reopened = makeStore();
    EXPECT_EQ(reopened->value(), validConfiguration(7));
    EXPECT_EQ(reopened->lastUpdated(), std::optional(start.addSecs(5)));
}

TEST_F(StoreTest, OneReadAtATime)
{
    store = makeStore();
    store->refresh(true);
    now = start.addSecs(120);
    store->refresh(true);
    store->refresh(false);
    EXPECT_EQ(reads.size(), 1u);
    EXPECT_EQ(store->status(), std::nullopt) << "calls during a read change nothing";
    answer(validConfiguration(2));
    EXPECT_EQ(store->value(), validConfiguration(2));
    EXPECT_EQ(store->lastAttempt(), std::optional(start));
}

TEST_F(StoreTest, AnAttemptLessThanAMinuteAgoMakesAForcedRefreshWait)
{
    store = makeStore();
    failedRefresh(networkError());
    store->refresh(false); // inside the back-off: nothing
    EXPECT_EQ(store->status(), std::optional(Status::failed));

    // A success, then a forced refresh 30 seconds after that attempt.
    now = start.addSecs(60);
    succeededRefresh(validConfiguration(3));
    QSignalSpy statusSpy(store.get(), &PublicConfigurationStore::statusChanged);
    now = start.addSecs(90);
    store->refresh(false);
    EXPECT_EQ(store->status(), std::optional(Status::saved)) << "without force nothing changes";
    store->refresh(true);
    EXPECT_EQ(store->status(), std::optional(Status::waiting));
    store->refresh(true);
    EXPECT_EQ(statusSpy.count(), 1) << "waiting is announced once";
    EXPECT_EQ(reads.size(), 2u);

    now = start.addSecs(120); // exactly 60 s after the attempt: allowed again
    succeededRefresh(validConfiguration(3));
}

TEST_F(StoreTest, ADailyRefreshUnlessForced)
{
    store = makeStore();
    succeededRefresh(validConfiguration(3), false);
    now = start.addSecs(23 * 3600);
    store->refresh(false);
    EXPECT_EQ(reads.size(), 1u) << "23 hours after a success nothing is read";
    EXPECT_EQ(store->status(), std::optional(Status::saved));
    succeededRefresh(validConfiguration(3), true);

    now = now.addSecs(86'400);
    succeededRefresh(validConfiguration(4), false);
}

struct BackOffRow {
    int failures;
    qint64 seconds;
};

class BackOff : public ::testing::TestWithParam<BackOffRow> {};

TEST_P(BackOff, DoublesFromAMinuteToAnHour)
{
    EXPECT_EQ(PublicConfigurationStore::backOffSeconds(GetParam().failures), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(Rows, BackOff,
                         ::testing::Values(BackOffRow{1, 60}, BackOffRow{2, 120}, BackOffRow{3, 240},
                                           BackOffRow{4, 480}, BackOffRow{5, 960}, BackOffRow{6, 1920},
                                           BackOffRow{7, 3600}, BackOffRow{8, 3600}, BackOffRow{10, 3600},
                                           BackOffRow{1000, 3600}));

TEST_F(StoreTest, FailuresInARowWaitLongerEachTime)
{
    store = makeStore();
    const QList<qint64> waits{60, 120, 240, 480, 960, 1920, 3600, 3600, 3600, 3600};
    for (int i = 0; i < waits.size(); ++i) {
        failedRefresh(networkError(), i % 2 == 0);
        EXPECT_EQ(store->failures(), i + 1);
        ASSERT_EQ(store->retryNotBefore(), std::optional(now.addSecs(waits[i]))) << "failure " << i + 1;
        // One second before the end of the wait nothing is read, not even when forced.
        now = store->retryNotBefore()->addSecs(-1);
        store->refresh(true);
        EXPECT_EQ(store->status(), std::optional(Status::waiting));
        EXPECT_EQ(reads.size(), size_t(i + 1));
        now = *store->retryNotBefore();
    }
}

struct RetryRow {
    const char* name;
    std::optional<double> retryAfter;
    qint64 expectedWait;
};

class RequestedRetry : public StoreTest, public ::testing::WithParamInterface<RetryRow> {};

TEST_P(RequestedRetry, WaitsTheLargerOfBackOffAndTheServicesTime)
{
    store = makeStore();
    failedRefresh(std::make_exception_ptr(Platform::CloudError("throttled", GetParam().retryAfter)));
    EXPECT_EQ(store->retryNotBefore(), std::optional(start.addMSecs(GetParam().expectedWait)));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RequestedRetry,
    ::testing::Values(RetryRow{"longer", 600.0, 600'000}, RetryRow{"shorter", 30.0, 60'000},
                      RetryRow{"fractional", 90.5, 90'500}, RetryRow{"none", std::nullopt, 60'000},
                      RetryRow{"infinite", std::numeric_limits<double>::infinity(), 60'000},
                      RetryRow{"notANumber", std::nan(""), 60'000}, RetryRow{"negative", -5.0, 60'000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreTest, AfterASuccessTheBackOffStartsOver)
{
    store = makeStore();
    failedRefresh(networkError());
    now = *store->retryNotBefore();
    failedRefresh(networkError());
    now = *store->retryNotBefore();
    succeededRefresh(validConfiguration(2));
    EXPECT_EQ(store->failures(), 0);
    EXPECT_EQ(store->retryNotBefore(), std::nullopt);
    now = now.addSecs(60);
    failedRefresh(networkError());
    EXPECT_EQ(store->retryNotBefore(), std::optional(now.addSecs(60)));
}

struct RejectionRow {
    const char* name;
    std::function<PublicConfiguration()> loaded;
};

class RejectedRead : public StoreTest, public ::testing::WithParamInterface<RejectionRow> {};

TEST_P(RejectedRead, FailsAndKeepsTheShownValueAndTheCache)
{
    const QDateTime fetchedAt = start.addDays(-2);
    writeFile(cachePath, cacheBytes(identity, fetchedAt, validConfiguration(5)));
    store = makeStore();
    ASSERT_EQ(store->value(), validConfiguration(5));
    const QByteArray before = readFile(cachePath);
    QSignalSpy valueSpy(store.get(), &PublicConfigurationStore::valueChanged);

    store->refresh(false);
    ASSERT_EQ(reads.size(), 1u);
    answer(GetParam().loaded());

    EXPECT_EQ(store->status(), std::optional(Status::failed));
    EXPECT_EQ(store->value(), validConfiguration(5));
    EXPECT_EQ(store->lastUpdated(), std::optional(fetchedAt));
    EXPECT_EQ(store->retryNotBefore(), std::optional(start.addSecs(60)));
    EXPECT_EQ(readFile(cachePath), before);
    EXPECT_EQ(valueSpy.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, RejectedRead,
                         ::testing::Values(RejectionRow{"olderRevision",
                                                        [] { return validConfiguration(3); }},
                                           RejectionRow{"sameRevisionOtherContent",
                                                        [] {
                                                            PublicConfiguration c = validConfiguration(5);
                                                            c.authorBioEn = QStringLiteral("changed");
                                                            return c;
                                                        }},
                                           RejectionRow{"invalid",
                                                        [] {
                                                            PublicConfiguration c = validConfiguration(6);
                                                            c.authorName.clear();
                                                            return c;
                                                        }},
                                           RejectionRow{"tooLargeForTheCache",
                                                        [] {
                                                            PublicConfiguration c = validConfiguration(6);
                                                            c.products.clear();
                                                            for (int i = 0; i < 40; ++i) {
                                                                PublicProduct p = product(QString::number(i));
                                                                p.summaryEn = textOfBytes(4096);
                                                                p.summaryZh = textOfBytes(4096);
                                                                c.products.append(p);
                                                            }
                                                            return c;
                                                        }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreTest, ACloudRecordWithAnOlderRevisionThanTheResourceFails)
{
    store = makeStore();
    // The shown value's revision counts even when it is the resource copy's.
    succeededRefresh(validConfiguration(5));
    now = now.addSecs(60);
    store->refresh(true);
    answer(validConfiguration(3));
    EXPECT_EQ(store->status(), std::optional(Status::failed));
    EXPECT_EQ(store->value(), validConfiguration(5));
}

TEST_F(StoreTest, TheSameRevisionAndContentRenewsTheCache)
{
    writeFile(cachePath, cacheBytes(identity, start.addDays(-2), validConfiguration(5)));
    store = makeStore();
    QSignalSpy valueSpy(store.get(), &PublicConfigurationStore::valueChanged);
    QSignalSpy updatedSpy(store.get(), &PublicConfigurationStore::lastUpdatedChanged);
    succeededRefresh(validConfiguration(5), false);
    EXPECT_EQ(store->lastUpdated(), std::optional(start));
    EXPECT_EQ(PublicConfigurationCache::decode(readFile(cachePath)).fetchedAt, start);
    EXPECT_EQ(valueSpy.count(), 0) << "an equal value is no change";
    EXPECT_EQ(updatedSpy.count(), 1);
}

TEST_F(StoreTest, ACacheFolderThatCannotBeCreatedFailsTheRefresh)
{
    writeFile(dir.filePath(QStringLiteral("blocked")), "a file where the folder should be");
    cachePath = dir.filePath(QStringLiteral("blocked/Dorvane/public-configuration.json"));
    store = makeStore();
    store->refresh(true);
    answer(validConfiguration(8));
    EXPECT_EQ(store->status(), std::optional(Status::failed));
    EXPECT_EQ(store->value(), PublicConfiguration::bundled());
    EXPECT_EQ(store->lastUpdated(), std::nullopt);
    EXPECT_EQ(store->failures(), 1);
}

TEST_F(StoreTest, ALoaderThatThrowsAtOnceCountsAsAFailedRead)
{
    store = std::make_unique<PublicConfigurationStore>(
        settings, cachePath, [this] { return now; },
        []() -> QFuture<PublicConfiguration> { throw PublicConfigurationError::invalidData(); });
    QSignalSpy refreshingSpy(store.get(), &PublicConfigurationStore::isRefreshingChanged);
    store->refresh(true);
    EXPECT_EQ(store->status(), std::optional(Status::failed));
    EXPECT_FALSE(store->isRefreshing());
    EXPECT_EQ(refreshingSpy.count(), 2);
    EXPECT_EQ(store->retryNotBefore(), std::optional(start.addSecs(60)));
}

TEST_F(StoreTest, ACancelledReadCountsAsAFailedRead)
{
    store = makeStore();
    store->refresh(true);
    reads.back()->future().cancel();
    reads.back()->finish();
    waitUntilIdle();
    EXPECT_EQ(store->status(), std::optional(Status::failed));
    EXPECT_EQ(store->value(), PublicConfiguration::bundled());
}

TEST_F(StoreTest, AnAnswerAfterTheStoreIsGoneDoesNothing)
{
    store = makeStore();
    store->refresh(true);
    store.reset();
    reads.back()->addResult(validConfiguration(4));
    reads.back()->finish();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_FALSE(QFileInfo::exists(cachePath));
}

// ---- the default loader and the platform service

TEST(DefaultLoader, WithoutSettingsThrowsInvalidData)
{
    const PublicConfigurationStore::Loader loader = PublicConfigurationStore::defaultLoader(std::nullopt);
    EXPECT_EQ(thrownCase([&] { loader(); }), "invalidData");
}

class DefaultLoaderWithService : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        Platform::setCloudContainerForTesting(&container);
    }
    void TearDown() override { Platform::setCloudContainerForTesting(nullptr); }

    Platform::CloudRecord record(qint64 revision)
    {
        QJsonArray products;
        for (const PublicProduct& p : validConfiguration(revision).products)
            products.append(p.toJson());
        const PublicConfiguration c = validConfiguration(revision);
        return Platform::CloudRecord{
            QStringLiteral("PublicAppConfig"),
            QVariantMap{{"configKey", QStringLiteral("public-catalog-v1")},
                        {"schemaVersion", 1},
                        {"revision", revision},
                        {"authorName", c.authorName},
                        {"authorBioZh", c.authorBioZh},
                        {"authorBioEn", c.authorBioEn},
                        {"websiteURL", c.websiteURL},
                        {"productsJSON", QString::fromUtf8(QJsonDocument(products).toJson())}}};
    }

    std::unique_ptr<PublicConfigurationStore> makeDefaultStore()
    {
        return std::make_unique<PublicConfigurationStore>(settings, cachePath, [this] { return now; });
    }

    FakeCloudContainer container;
};

TEST_F(DefaultLoaderWithService, ReadsTheRecordOffTheMainThread)
{
    container.pages = {Platform::CloudQueryPage{{record(6)}, std::nullopt}};
    store = makeDefaultStore();
    store->refresh(false);
    EXPECT_TRUE(store->isRefreshing());
    waitUntilIdle();
    EXPECT_EQ(store->status(), std::optional(Status::saved));
    EXPECT_EQ(store->value(), validConfiguration(6));
    ASSERT_EQ(container.queries.size(), 1);
    EXPECT_EQ(container.queries[0].containerIdentifier, settings.containerIdentifier);
    ASSERT_EQ(container.queryThreads.size(), 1);
    EXPECT_NE(container.queryThreads[0], QThread::currentThread());
    EXPECT_EQ(QFileInfo::exists(cachePath), true);
}

TEST_F(DefaultLoaderWithService, TheServicesRetryTimeReachesTheStore)
{
    container.failure = Platform::CloudError("request rate limited", 600.0);
    store = makeDefaultStore();
    store->refresh(true);
    waitUntilIdle();
    EXPECT_EQ(store->status(), std::optional(Status::failed));
    EXPECT_EQ(store->retryNotBefore(), std::optional(start.addSecs(600)));
}

TEST_F(DefaultLoaderWithService, AMissingRecordFailsWithTheMinuteBackOff)
{
    store = makeDefaultStore();
    store->refresh(true);
    waitUntilIdle();
    EXPECT_EQ(store->status(), std::optional(Status::failed));
    EXPECT_EQ(store->retryNotBefore(), std::optional(start.addSecs(60)));
}

TEST_F(StoreTest, TheLinuxCopyUsesTheResourceCopyAndNeverQueries)
{
    writeFile(cachePath, cacheBytes(identity, start.addDays(-1), validConfiguration(9)));
    store = std::make_unique<PublicConfigurationStore>(PublicCloudSettings::current(), cachePath);
    EXPECT_EQ(store->settings(), std::nullopt);
    EXPECT_EQ(store->value(), PublicConfiguration::bundled());
    store->refresh(true);
    EXPECT_FALSE(store->isRefreshing());
    EXPECT_EQ(store->status(), std::nullopt);
    EXPECT_EQ(store->lastUpdated(), std::nullopt);
}

} // namespace

namespace {

struct MessageRow {
    AppLanguage language;
    Status status;
    QString expected;
};

class StatusMessage : public ::testing::TestWithParam<MessageRow> {};

TEST_P(StatusMessage, IsTheTranslatedTextOfTheStatus)
{
    Localization& localization = Localization::shared();
    const AppLanguage previous = localization.language();
    localization.setLanguage(GetParam().language);
    EXPECT_EQ(PublicConfigurationStore::statusMessage(GetParam().status), GetParam().expected);
    localization.setLanguage(previous);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StatusMessage,
    ::testing::Values(MessageRow{AppLanguage::english, Status::failed,
                                 QStringLiteral("Refresh failed. Showing previously available information.")},
                      MessageRow{AppLanguage::english, Status::waiting,
                                 QStringLiteral("Please wait before refreshing again.")},
                      MessageRow{AppLanguage::english, Status::saved, QString()},
                      MessageRow{AppLanguage::chinese, Status::failed,
                                 QStringLiteral("刷新失败，正在显示之前可用的信息。")},
                      MessageRow{AppLanguage::traditionalChinese, Status::waiting,
                                 QStringLiteral("請稍候再重新整理。")},
                      MessageRow{AppLanguage::japanese, Status::waiting,
                                 QStringLiteral("しばらく待ってから再度更新してください。")}));

} // namespace
