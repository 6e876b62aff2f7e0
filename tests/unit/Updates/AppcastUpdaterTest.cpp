#include "Platform/linux/AppcastUpdater.h"
#include "fakes/FakeBundle.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeUpdateUserDriver.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestCrypto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Platform::AppcastUpdater;
using Platform::UpdateFailure;
using Choice = Platform::UpdateUserDriver::Choice;
using Response = LoopbackHttpServer::Response;

constexpr int waitMs = 10'000;
const QByteArray newRelease = "the new AppImage";

struct Delegate final : Platform::SoftwareUpdaterDelegate {
    QString feed;
    std::optional<QString> feedURLString(const Platform::SoftwareUpdater&) const override { return feed; }
    QSet<QString> allowedChannels(const Platform::SoftwareUpdater&) const override
    {
        return {QStringLiteral("direct")};
    }
};

struct Item {
    QString version;
    QString channel;
    QString url; // relative to the server unless it has a scheme
    qint64 length = 0;
    QByteArray signature;
};

Response text(const QByteArray& body)
{
    Response response;
    response.body = body;
    return response;
}

// A server with a feed of items and a release file, an AppImage to replace, and an updater
// of version 5 ("1.5") trusting the server's certificate alone.
class AppcastUpdaterTest : public ::testing::Test {
protected:
    AppcastUpdaterTest()
    {
        application.info = QJsonObject{{"CFBundleVersion", "5"},
                                       {"CFBundleShortVersionString", "1.5"},
                                       {"SUPublicEDKey", QString::fromLatin1(key.publicKey.toBase64())}};
        delegate.feed = server.url(QStringLiteral("/feed.xml")).toString();
        QFile old(appImage());
        old.open(QIODevice::WriteOnly);
        old.write("the old AppImage");
    }

    QString appImage() const { return folder.filePath(QStringLiteral("Vellora.AppImage")); }
    QString downloads() const { return folder.filePath(QStringLiteral("Downloads")); }

    // A release on the direct channel, signed with the application's key.
    Item release(const QString& version) const
    {
        return {version, QStringLiteral("direct"),
                QStringLiteral("/Vellora-") + version + QStringLiteral(".AppImage"), newRelease.size(),
                key.sign(newRelease)};
    }

    QByteArray feed(const QList<Item>& items) const
    {
        QByteArray xml = R"(<?xml version="1.0"?><rss version="2.0" xmlns:sparkle="urn:updates"><channel>)";
        for (const Item& item : items) {
            const QString url = item.url.contains(u':') ? item.url : server.url(item.url).toString();
            xml += "<item><title>Vellora</title><sparkle:version>" + item.version.toUtf8() +
                   "</sparkle:version>";
            if (!item.channel.isEmpty())
                xml += "<sparkle:channel>" + item.channel.toUtf8() + "</sparkle:channel>";
            xml += "<enclosure url=\"" + url.toUtf8() + "\" length=\"" + QByteArray::number(item.length) +
                   "\" type=\"application/octet-stream\" sparkle:edSignature=\"" + item.signature.toBase64() +
                   "\"/></item>";
        }
        return xml + "</channel></rss>";
    }

    std::unique_ptr<AppcastUpdater> makeUpdater(const QString& appImagePath)
    {
        AppcastUpdater::Environment environment;
        environment.tls = tls.client;
        environment.firstCheckDelayMs = 1;
        environment.silenceMs = 500;
        environment.downloadFolder = downloads();
        environment.appImagePath = appImagePath;
        environment.reveal = [this](const QString& path) {
            revealed << path;
            return true;
        };
        environment.relaunch = [this](const QString& path) { relaunched << path; };
        return std::make_unique<AppcastUpdater>(application, ui, delegate, defaults, environment);
    }

    // Starts an updater, runs a user-initiated check and waits until it is over.
    void checkNow(const QString& appImagePath)
    {
        updater = makeUpdater(appImagePath);
        updater->startUpdater();
        updater->checkForUpdates();
        ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates(); }, waitMs));
    }

    QStringList leftInDownloads() const { return QDir(downloads()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir folder;
    TestCrypto::TlsIdentity tls = TestCrypto::makeLoopbackIdentity();
    TestCrypto::Ed25519Key key = TestCrypto::makeEd25519Key();
    LoopbackHttpServer server{tls.server};
    FakeBundle application;
    Delegate delegate;
    FakeDefaults defaults;
    FakeUpdateUserDriver ui;
    QStringList revealed;
    QStringList relaunched;
    std::unique_ptr<AppcastUpdater> updater;
};

struct OfferedItem {
    QString version;
    QString channel;
    QString url = {}; // empty: the release's own on the server
};

struct OfferRow {
    const char* name;
    QList<OfferedItem> items;
    QStringList shown;
};

class OfferTest : public AppcastUpdaterTest, public ::testing::WithParamInterface<OfferRow> {};

TEST_P(OfferTest, OffersTheNewestAllowedItemNewerThanTheInstalledBuild)
{
    QList<Item> items;
    for (const OfferedItem& offered : GetParam().items) {
        items << release(offered.version);
        items.last().channel = offered.channel;
        if (!offered.url.isEmpty())
            items.last().url = offered.url;
    }
    server.enqueue(text(feed(items)));
    checkNow({});
    EXPECT_EQ(ui.shown, QStringList{QStringLiteral("checking")} + GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Feeds, OfferTest,
    ::testing::Values(
        OfferRow{"newer", {{"6", "direct"}}, {"found 6", "dismissed"}},
        OfferRow{"newer on no channel", {{"6", ""}}, {"found 6", "dismissed"}},
        OfferRow{
            "newest of several", {{"6", "direct"}, {"10", ""}, {"7", "direct"}}, {"found 10", "dismissed"}},
        OfferRow{"equal", {{"5", "direct"}}, {"up to date 1.5"}},
        OfferRow{"older", {{"4.9", "direct"}}, {"up to date 1.5"}},
        OfferRow{"beta is ignored", {{"9", "beta"}, {"6", ""}}, {"found 6", "dismissed"}},
        OfferRow{"only beta", {{"9", "beta"}}, {"up to date 1.5"}},
        OfferRow{"empty feed", {}, {"up to date 1.5"}},
        OfferRow{"http download passed over",
                 {{"7", "direct", "http://127.0.0.1:9/V.AppImage"}, {"6", "direct"}},
                 {"found 6", "dismissed"}},
        OfferRow{"only an http download", {{"7", "", "http://127.0.0.1:9/V.AppImage"}}, {"up to date 1.5"}}),
    [](const auto& info) { return QString::fromLatin1(info.param.name).replace(u' ', u'_').toStdString(); });

struct FeedFailureRow {
    const char* name;
    std::function<Response(const AppcastUpdaterTest&)> response;
    UpdateFailure failure;
};

class FeedFailureTest : public AppcastUpdaterTest, public ::testing::WithParamInterface<FeedFailureRow> {};

TEST_P(FeedFailureTest, FailsWithItsMessage)
{
    server.enqueue(GetParam().response(*this));
    checkNow({});
    EXPECT_EQ(ui.shown, (QStringList{QStringLiteral("checking"), QStringLiteral("error")}));
    EXPECT_EQ(ui.failures, QList<UpdateFailure>{GetParam().failure});
}

INSTANTIATE_TEST_SUITE_P(
    Feeds, FeedFailureTest,
    ::testing::Values(
        FeedFailureRow{"malformed", [](const auto&) { return text("<rss><channel><item>"); },
                       UpdateFailure::malformedFeed},
        FeedFailureRow{"not rss", [](const auto&) { return text("<html></html>"); },
                       UpdateFailure::malformedFeed},
        FeedFailureRow{"oversized",
                       [](const auto&) { return text(QByteArray(AppcastUpdater::maxFeedBytes + 1, ' ')); },
                       UpdateFailure::feedTooLarge},
        FeedFailureRow{"silent",
                       [](const auto&) {
                           Response r;
                           r.withholdAnswer = true;
                           return r;
                       },
                       UpdateFailure::timedOut},
        FeedFailureRow{"redirect to http",
                       [](const auto&) { return Response::redirect(302, "http://127.0.0.1:9/feed.xml"); },
                       UpdateFailure::insecureAddress},
        FeedFailureRow{"server error", [](const auto&) { return Response::json(500, "{}"); },
                       UpdateFailure::serverError}),
    [](const auto& info) { return QString::fromLatin1(info.param.name).replace(u' ', u'_').toStdString(); });

struct DownloadRow {
    const char* name;
    std::function<void(Item&)> change; // of a good release 6
    bool runsAsAppImage;
    QStringList shownAfterOffer;
    std::optional<UpdateFailure> failure;
};

class DownloadTest : public AppcastUpdaterTest, public ::testing::WithParamInterface<DownloadRow> {};

// A verified release replaces the AppImage and relaunches it, or is left in the downloads
// folder and revealed; a release that fails a check leaves nothing behind.
TEST_P(DownloadTest, InstallsOnlyAVerifiedRelease)
{
    const DownloadRow& row = GetParam();
    Item item = release(QStringLiteral("6"));
    row.change(item);
    server.enqueue(text(feed({item})));
    server.enqueue(text(newRelease));
    ui.choice = Choice::install;
    checkNow(row.runsAsAppImage ? appImage() : QString());

    EXPECT_EQ(ui.shown,
              QStringList({QStringLiteral("checking"), QStringLiteral("found 6")}) + row.shownAfterOffer);
    EXPECT_EQ(ui.failures, row.failure ? QList<UpdateFailure>{*row.failure} : QList<UpdateFailure>{});
    const bool installed = !row.failure;
    QFile current(appImage());
    current.open(QIODevice::ReadOnly);
    EXPECT_EQ(current.readAll() == newRelease, installed && row.runsAsAppImage);
    EXPECT_EQ(relaunched, installed && row.runsAsAppImage ? QStringList{appImage()} : QStringList{});
    if (installed && row.runsAsAppImage) {
        EXPECT_TRUE(current.permissions() & QFileDevice::ExeOwner);
    }
    const QStringList kept =
        installed && !row.runsAsAppImage ? QStringList{QStringLiteral("Vellora-6.AppImage")} : QStringList{};
    EXPECT_EQ(leftInDownloads(), kept);
    for (const QString& name : kept)
        EXPECT_EQ(QFileInfo(QDir(downloads()).filePath(name)).permissions() & 0x0777,
                  QFile::Permissions(0x0755))
            << "an AppImage is left ready to run";
    EXPECT_EQ(revealed.size(), kept.size());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Vellora.AppImage")});
}

INSTANTIATE_TEST_SUITE_P(
    Releases, DownloadTest,
    ::testing::Values(
        DownloadRow{"AppImage", [](Item&) {}, true, {"downloading", "installing", "dismissed"}, std::nullopt},
        DownloadRow{"other copy", [](Item&) {}, false, {"downloading", "downloaded"}, std::nullopt},
        DownloadRow{"bad signature",
                    [](Item& i) { i.signature[0] = char(i.signature[0] ^ 1); },
                    true,
                    {"downloading", "error"},
                    UpdateFailure::badSignature},
        DownloadRow{"longer than announced",
                    [](Item& i) { i.length -= 1; },
                    true,
                    {"downloading", "error"},
                    UpdateFailure::wrongLength},
        DownloadRow{"shorter than announced",
                    [](Item& i) { i.length += 1; },
                    false,
                    {"downloading", "error"},
                    UpdateFailure::wrongLength}),
    [](const auto& info) { return QString::fromLatin1(info.param.name).replace(u' ', u'_').toStdString(); });

TEST_F(AppcastUpdaterTest, CancellingADownloadKeepsNothingOfIt)
{
    server.enqueue(text(feed({release(QStringLiteral("6"))})));
    Response dripping = text(newRelease);
    dripping.chunkSize = 4;
    dripping.chunkIntervalMs = 20;
    server.enqueue(dripping);
    ui.choice = Choice::install;
    updater = makeUpdater(appImage());
    updater->startUpdater();
    updater->checkForUpdates();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui.lastReceived > 0; }, waitMs));
    ui.cancelDownload();
    EXPECT_TRUE(updater->canCheckForUpdates());
    QTest::qWait(300); // the rest of the file would have arrived by now
    EXPECT_EQ(ui.shown.last(), QStringLiteral("dismissed"));
    EXPECT_EQ(leftInDownloads(), QStringList{});
    EXPECT_TRUE(relaunched.isEmpty());
}

TEST_F(AppcastUpdaterTest, StartRefusesAnInsecureFeedOrAnUnversionedApplication)
{
    delegate.feed = QStringLiteral("http://127.0.0.1/feed.xml");
    EXPECT_THROW(makeUpdater({})->startUpdater(), Platform::UpdaterStartError);
    delegate.feed = server.url(QStringLiteral("/feed.xml")).toString();
    application.info.remove(QStringLiteral("CFBundleVersion"));
    updater = makeUpdater({});
    EXPECT_THROW(updater->startUpdater(), Platform::UpdaterStartError);
    EXPECT_FALSE(updater->canCheckForUpdates());
}

TEST_F(AppcastUpdaterTest, CannotCheckDuringACheck)
{
    server.enqueue(text(feed({})));
    updater = makeUpdater({});
    EXPECT_FALSE(updater->canCheckForUpdates()) << "not before the start";
    updater->startUpdater();
    QSignalSpy changes(updater.get(), &Platform::SoftwareUpdater::canCheckForUpdatesChanged);
    updater->checkForUpdates();
    EXPECT_FALSE(updater->canCheckForUpdates());
    updater->checkForUpdates();
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates(); }, waitMs));
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(changes.size(), 2);
}

// The choices are kept in the defaults; the timer then checks silently a moment after the
// start, passes over a skipped version and offers a newer one.
TEST_F(AppcastUpdaterTest, AutomaticChecksPersistAndRunOnTheTimer)
{
    updater = makeUpdater({});
    QSignalSpy checks(updater.get(), &Platform::SoftwareUpdater::automaticallyChecksForUpdatesChanged);
    updater->setAutomaticallyChecksForUpdates(true);
    updater->setAutomaticallyChecksForUpdates(true);
    updater->setAutomaticallyDownloadsUpdates(true);
    EXPECT_EQ(checks.size(), 1);
    EXPECT_EQ(defaults.values.value(AppcastUpdater::automaticChecksKey), true);
    EXPECT_EQ(defaults.values.value(AppcastUpdater::automaticDownloadsKey), true);

    defaults.values.insert(AppcastUpdater::skippedVersionKey, QStringLiteral("6"));
    server.enqueue(text(feed({release(QStringLiteral("6"))})));
    server.enqueue(text(feed({release(QStringLiteral("7"))})));
    updater = makeUpdater({});
    EXPECT_TRUE(updater->automaticallyChecksForUpdates() && updater->automaticallyDownloadsUpdates());
    updater->startUpdater();
    ASSERT_TRUE(server.waitForRequests(1, waitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates(); }, waitMs));
    EXPECT_TRUE(ui.shown.isEmpty()) << ui.shown.join(u',').toStdString();

    ui.choice = Choice::skip;
    updater->checkForUpdates();
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates(); }, waitMs));
    EXPECT_EQ(ui.shown, (QStringList{"checking", "found 7", "dismissed"}));
    EXPECT_EQ(defaults.values.value(AppcastUpdater::skippedVersionKey), QStringLiteral("7"));
}

} // namespace
