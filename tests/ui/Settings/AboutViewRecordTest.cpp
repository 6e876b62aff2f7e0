#include "ui/Settings/AboutViewRecordFixture.h"

#include <QJsonDocument>

namespace {

using Response = LoopbackHttpServer::Response;
using Status = PublicConfigurationStore::Status;

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

class AboutViewRecordTest : public AboutViewRecordFixture {};

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
        BadRecordRow{"server error", Response::json(500, "{}")},
        BadRecordRow{"silent", AboutViewRecordFixture::withholding()}),
    [](const auto& info) { return QString::fromLatin1(info.param.name).replace(u' ', u'_').toStdString(); });

} // namespace
