#include "Platform/linux/HttpsCloudContainer.h"
#include "PublicConfiguration/PublicCloudSettings.h"
#include "PublicConfiguration/PublicConfigurationStore.h"
#include "UI/Settings/AboutView.h"
#include "Util/Localization.h"
#include "fakes/FakeBundle.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestCrypto.h"

#include <QJsonDocument>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Response = LoopbackHttpServer::Response;
using Status = PublicConfigurationStore::Status;

constexpr int waitMs = 10'000;
const QString container = QStringLiteral("iCloud.app.vellora.Vellora");

QJsonObject fields(qint64 revision, const QString& author, qint64 schemaVersion = 1)
{
    return {{"configKey", "public-catalog-v1"},
            {"schemaVersion", schemaVersion},
            {"revision", revision},
            {"authorName", author},
            {"authorBioEn", "Makes tools"},
            {"websiteURL", ""},
            {"productsJSON", "[]"}};
}

Response record(const QJsonObject& fields, const QString& type = QStringLiteral("PublicAppConfig"))
{
    return Response::json(200, QJsonDocument(QJsonObject{{"recordType", type}, {"fields", fields}}).toJson());
}

// The About page of a build whose record is served over loopback HTTPS, read through the
// store's own loader and the HTTPS container.
class AboutViewRecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Localization::shared().setLanguage(AppLanguage::english);
        bundle.info = QJsonObject{{"VelloraPublicConfigContainerIdentifier", container}};
        Platform::setCloudContainerForTesting(&httpsContainer);
    }

    void TearDown() override
    {
        view.reset();
        store.reset();
        Platform::setCloudContainerForTesting(nullptr);
    }

    void makeView()
    {
        view.reset();
        store = std::make_unique<PublicConfigurationStore>(
            PublicCloudSettings::current(bundle, httpsContainer), dir.filePath(QStringLiteral("cache.json")),
            [this] { return now; });
        view = std::make_unique<AboutView>(*store);
        view->show();
    }

    void refresh(bool force)
    {
        store->refresh(force);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !store->isRefreshing(); }, waitMs));
        QCoreApplication::processEvents();
    }

    bool shows(const QString& text) const
    {
        for (const QLabel* label : view->findChildren<QLabel*>()) {
            if (label->isVisibleTo(view.get()) && label->text() == text)
                return true;
        }
        return false;
    }

    QTemporaryDir dir;
    TestCrypto::TlsIdentity tls = TestCrypto::makeLoopbackIdentity();
    LoopbackHttpServer server{tls.server};
    Platform::HttpsCloudContainer httpsContainer{server.url(QStringLiteral("/record.json")), container,
                                                 tls.client, 500};
    FakeBundle bundle;
    QDateTime now = QDateTime::currentDateTimeUtc();
    std::unique_ptr<PublicConfigurationStore> store;
    std::unique_ptr<AboutView> view;
};

TEST_F(AboutViewRecordTest, ShowsTheServedRecordThrottlesAndKeepsItInTheCache)
{
    server.enqueue(record(fields(3, QStringLiteral("Served Maker"))));
    makeView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return store->status() == Status::saved; }, waitMs));
    QCoreApplication::processEvents();
    EXPECT_TRUE(shows(QStringLiteral("Served Maker")));
    EXPECT_TRUE(shows(QStringLiteral("Last Updated")));

    now = now.addSecs(30);
    refresh(true);
    EXPECT_TRUE(shows(QStringLiteral("Please wait before refreshing again.")));
    EXPECT_EQ(server.requests().size(), 1);

    makeView(); // a new launch, from the cache, fresh for a day: nothing is read
    QCoreApplication::processEvents();
    EXPECT_TRUE(shows(QStringLiteral("Served Maker")));
    EXPECT_EQ(store->lastUpdated(), std::optional(now.addSecs(-30)));
    EXPECT_EQ(server.requests().size(), 1);
}

struct BadRecordRow {
    const char* name;
    Response response;
};

class BadRecordTest : public AboutViewRecordTest, public ::testing::WithParamInterface<BadRecordRow> {};

TEST_P(BadRecordTest, KeepsTheShownRecord)
{
    server.enqueue(record(fields(3, QStringLiteral("Served Maker"))));
    makeView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return store->status() == Status::saved; }, waitMs));
    server.enqueue(GetParam().response);
    now = now.addSecs(120);
    refresh(true);
    EXPECT_EQ(store->status(), Status::failed);
    EXPECT_EQ(store->value().authorName, QStringLiteral("Served Maker"));
    EXPECT_TRUE(shows(QStringLiteral("Served Maker")));
    EXPECT_TRUE(shows(QStringLiteral("Refresh failed. Showing previously available information.")));
    EXPECT_EQ(server.requests().size(), 2);
}

Response withholding()
{
    Response response;
    response.withholdAnswer = true;
    return response;
}

INSTANTIATE_TEST_SUITE_P(
    Records, BadRecordTest,
    ::testing::Values(
        BadRecordRow{"not json", Response::json(200, "{")},
        BadRecordRow{"other type", record(fields(4, "Other"), QStringLiteral("Other"))},
        BadRecordRow{"older revision", record(fields(2, "Other"))},
        BadRecordRow{"schema 2", record(fields(4, "Other", 2))},
        BadRecordRow{"oversized",
                     Response::json(200, QByteArray(Platform::HttpsCloudContainer::maxRecordBytes + 1, ' '))},
        BadRecordRow{"redirect to http", Response::redirect(302, "http://127.0.0.1:9/record.json")},
        BadRecordRow{"server error", Response::json(500, "{}")}, BadRecordRow{"silent", withholding()}),
    [](const auto& info) { return QString::fromLatin1(info.param.name).replace(u' ', u'_').toStdString(); });

} // namespace
