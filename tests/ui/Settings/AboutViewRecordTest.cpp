#include "PublicConfiguration/PublicConfigurationError.h"
#include "ui/Settings/AboutViewRecordFixture.h"

#include <QJsonDocument>
#include <QPromise>
#include <QPushButton>

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

// While a read runs, the page shows it: the refresh button dimmed, an indicator that turns.
class RunningReadTest : public AboutViewRecordTest {
protected:
    // The page after a failed read, then with a forced read that never ends.
    void startRead()
    {
        pending.start();
        int reads = 0;
        store = std::make_unique<PublicConfigurationStore>(
            PublicCloudSettings::current(bundle, httpsContainer), dir.filePath(QStringLiteral("cache.json")),
            [this] { return now; },
            [this, reads]() mutable {
                if (reads++ == 0)
                    throw PublicConfigurationError::invalidData();
                return pending.future();
            });
        view = std::make_unique<AboutView>(*store);
        view->show();
        QCoreApplication::processEvents();
        ASSERT_EQ(store->status(), std::optional(Status::failed));
        idleButton = refreshButton()->grab().toImage();
        now = now.addSecs(3600);
        refreshButton()->click();
        ASSERT_TRUE(store->isRefreshing());
        QCoreApplication::processEvents();
    }

    QPushButton* refreshButton() const
    {
        return view->findChild<QPushButton*>(QStringLiteral("refreshAuthorAndApps"));
    }

    QPromise<PublicConfiguration> pending;
    QImage idleButton;
};

// A button that can't be used while the read runs looked like the live link.
TEST_F(RunningReadTest, DimsTheRefreshButton)
{
    ASSERT_NO_FATAL_FAILURE(startRead());
    ASSERT_FALSE(refreshButton()->isEnabled());
    EXPECT_NE(refreshButton()->grab().toImage(), idleButton);
}

// The indicator beside the button was a filled square, read as a box, not as work going on.
TEST_F(RunningReadTest, ShowsAnIndicatorThatLeavesThePageAroundIt)
{
    ASSERT_NO_FATAL_FAILURE(startRead());
    auto* status = view->findChild<QWidget*>(QStringLiteral("configurationStatus"));
    ASSERT_TRUE(status);
    QWidget* indicator = nullptr;
    for (QWidget* child : status->findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(child) && !qobject_cast<QAbstractButton*>(child))
            indicator = child;
    }
    ASSERT_TRUE(indicator);
    const QImage block = status->grab().toImage();
    const qreal ratio = block.devicePixelRatio();
    const QRect area(indicator->mapTo(status, QPoint()) * ratio, indicator->size() * ratio);
    const QRgb page = block.pixel(0, 0);
    int painted = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            painted += block.pixel(x, y) != page;
    }
    EXPECT_LT(painted * 2, area.width() * area.height());
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
