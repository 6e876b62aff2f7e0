#include "Updates/UpdateSettings.h"
#include "Updates/DirectUpdateConfiguration.h"
#include "Updates/DistributionChannel.h"
#include "fakes/FakeDirectUpdateDriver.h"

#include <QSignalSpy>
#include <cctype>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// 32 bytes of 0x01, as Base64.
const QString validKey = QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQE=");
const QString notAvailable = QStringLiteral("This copy has no updater of its own.");
const QString couldNotStart = QStringLiteral("The updater could not start. Try again later.");

QJsonObject keysOf(const QJsonValue& channel, const QJsonValue& feed, const QJsonValue& key)
{
    QJsonObject object;
    if (!channel.isUndefined())
        object.insert(QStringLiteral("VelloraDistributionChannel"), channel);
    if (!feed.isUndefined())
        object.insert(QStringLiteral("SUFeedURL"), feed);
    if (!key.isUndefined())
        object.insert(QStringLiteral("SUPublicEDKey"), key);
    return object;
}

QJsonObject validInfo()
{
    return keysOf(QStringLiteral("direct"), QStringLiteral("https://updates.example.com/feed.xml"), validKey);
}

struct ConfigurationRow {
    const char* name;
    QJsonObject info;
    bool valid;
};

class ConfigurationTest : public ::testing::TestWithParam<ConfigurationRow> {};

TEST_P(ConfigurationTest, ReadsOnlyValidKeys)
{
    const ConfigurationRow& row = GetParam();
    const std::optional<DirectUpdateConfiguration> configuration =
        DirectUpdateConfiguration::fromInfo(row.info);
    EXPECT_EQ(configuration.has_value(), row.valid) << row.name;
    if (configuration && row.valid) {
        EXPECT_EQ(configuration->feedURL.toString(), row.info.value(QStringLiteral("SUFeedURL")).toString());
        EXPECT_EQ(configuration->publicKey, row.info.value(QStringLiteral("SUPublicEDKey")).toString());
    }
}

const QString feed = QStringLiteral("https://updates.example.com/feed.xml");
const QJsonValue missing(QJsonValue::Undefined);

INSTANTIATE_TEST_SUITE_P(
    Keys, ConfigurationTest,
    ::testing::Values(
        ConfigurationRow{"valid", validInfo(), true},
        ConfigurationRow{
            "port and path",
            keysOf(QStringLiteral("direct"), QStringLiteral("https://h.example:8443/a/b.xml"), validKey),
            true},
        ConfigurationRow{"channel missing", keysOf(missing, feed, validKey), false},
        ConfigurationRow{"channel in capitals", keysOf(QStringLiteral("Direct"), feed, validKey), false},
        ConfigurationRow{"store channel", keysOf(QStringLiteral("app-store"), feed, validKey), false},
        ConfigurationRow{"channel not text", keysOf(1, feed, validKey), false},
        ConfigurationRow{"http feed",
                         keysOf(QStringLiteral("direct"), QStringLiteral("http://h.example/f.xml"), validKey),
                         false},
        ConfigurationRow{
            "scheme in capitals",
            keysOf(QStringLiteral("direct"), QStringLiteral("HTTPS://h.example/f.xml"), validKey), false},
        ConfigurationRow{"no host",
                         keysOf(QStringLiteral("direct"), QStringLiteral("https:///f.xml"), validKey), false},
        ConfigurationRow{
            "query",
            keysOf(QStringLiteral("direct"), QStringLiteral("https://h.example/f.xml?x=1"), validKey), false},
        ConfigurationRow{
            "empty query",
            keysOf(QStringLiteral("direct"), QStringLiteral("https://h.example/f.xml?"), validKey), false},
        ConfigurationRow{
            "fragment",
            keysOf(QStringLiteral("direct"), QStringLiteral("https://h.example/f.xml#top"), validKey), false},
        ConfigurationRow{
            "user", keysOf(QStringLiteral("direct"), QStringLiteral("https://me@h.example/f.xml"), validKey),
            false},
        ConfigurationRow{
            "password",
            keysOf(QStringLiteral("direct"), QStringLiteral("https://:pw@h.example/f.xml"), validKey), false},
        ConfigurationRow{"feed missing", keysOf(QStringLiteral("direct"), missing, validKey), false},
        ConfigurationRow{"feed not text", keysOf(QStringLiteral("direct"), 5, validKey), false},
        ConfigurationRow{"key of 31 bytes",
                         keysOf(QStringLiteral("direct"), feed,
                                QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQ==")),
                         false},
        ConfigurationRow{"key of 33 bytes",
                         keysOf(QStringLiteral("direct"), feed,
                                QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEB")),
                         false},
        ConfigurationRow{"key without padding",
                         keysOf(QStringLiteral("direct"), feed,
                                QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQE")),
                         false},
        ConfigurationRow{"key with a line break",
                         keysOf(QStringLiteral("direct"), feed,
                                QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEB\nAQEBAQEBAQEBAQEBAQE=")),
                         false},
        ConfigurationRow{"key with a character outside the alphabet",
                         keysOf(QStringLiteral("direct"), feed,
                                QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQ!=")),
                         false},
        ConfigurationRow{"key missing", keysOf(QStringLiteral("direct"), feed, missing), false}),
    [](const auto& param) {
        std::string name = param.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(DistributionChannelTest, RawValuesAreExact)
{
    EXPECT_EQ(DistributionChannels::fromRawValue(QStringLiteral("direct")), DistributionChannel::direct);
    EXPECT_EQ(DistributionChannels::fromRawValue(QStringLiteral("app-store")), DistributionChannel::appStore);
    EXPECT_EQ(DistributionChannels::fromRawValue(QStringLiteral("appStore")), std::nullopt);
    EXPECT_EQ(DistributionChannels::fromRawValue(QStringLiteral("Direct")), std::nullopt);
    EXPECT_EQ(DistributionChannels::rawValue(DistributionChannel::appStore), QStringLiteral("app-store"));
}

struct Updater {
    FakeDirectUpdateDriver* driver = nullptr;
    int driversMade = 0;
    std::unique_ptr<UpdateSettings> settings;
    // Set before the driver is made.
    int failingStarts = 0;
    bool driverAvailable = true;

    explicit Updater(DistributionChannel channel = DistributionChannel::direct,
                     QJsonObject keys = validInfo())
    {
        settings = std::make_unique<UpdateSettings>(channel, keys, [this](const DirectUpdateConfiguration&) {
            ++driversMade;
            if (!driverAvailable)
                return std::unique_ptr<DirectUpdateDriving>();
            auto made = std::make_unique<FakeDirectUpdateDriver>();
            made->failingStarts = failingStarts;
            driver = made.get();
            return std::unique_ptr<DirectUpdateDriving>(std::move(made));
        });
    }
};

TEST(UpdateSettingsTest, StoreChannelNeverMakesAnUpdater)
{
    Updater updater(DistributionChannel::appStore);
    EXPECT_FALSE(updater.settings->isConfigured());
    EXPECT_FALSE(updater.settings->canCheck());
    updater.settings->startIfNeeded();
    updater.settings->check();
    EXPECT_EQ(updater.driversMade, 0);
    EXPECT_EQ(updater.settings->status(), std::nullopt);
}

TEST(UpdateSettingsTest, UnconfiguredCopySaysUpdatesAreNotAvailable)
{
    Updater updater(DistributionChannel::direct, keysOf(QStringLiteral("direct"), missing, validKey));
    EXPECT_FALSE(updater.settings->canCheck());
    EXPECT_EQ(updater.settings->status(), std::nullopt);
    updater.settings->startIfNeeded();
    EXPECT_EQ(updater.driversMade, 0);
    EXPECT_EQ(updater.settings->status(), notAvailable);
}

TEST(UpdateSettingsTest, ConfiguredCopyCanCheckBeforeStarting)
{
    Updater updater;
    EXPECT_TRUE(updater.settings->isConfigured());
    EXPECT_TRUE(updater.settings->canCheck());
    EXPECT_EQ(updater.driversMade, 0);
}

TEST(UpdateSettingsTest, DriverThatCannotBeMadeSaysNotAvailableAndIsAskedForOnce)
{
    Updater updater;
    updater.driverAvailable = false;
    updater.settings->startIfNeeded();
    EXPECT_EQ(updater.settings->status(), notAvailable);
    updater.settings->check();
    EXPECT_EQ(updater.driversMade, 2) << "no driver was kept, so the next attempt asks again";
    EXPECT_TRUE(updater.settings->canCheck()) << "still configured and not started";
}

TEST(UpdateSettingsTest, StartsOnceAndMirrorsTheDriver)
{
    Updater updater;
    updater.settings->startIfNeeded();
    ASSERT_NE(updater.driver, nullptr);
    updater.driver->checks = true;
    updater.driver->publish();
    updater.settings->startIfNeeded();
    EXPECT_EQ(updater.driversMade, 1);
    EXPECT_EQ(updater.driver->starts, 1);
    EXPECT_TRUE(updater.settings->automaticChecks());
    EXPECT_FALSE(updater.settings->automaticDownloads());

    QSignalSpy canCheck(updater.settings.get(), &UpdateSettings::canCheckChanged);
    updater.driver->canCheck = false;
    updater.driver->publish();
    EXPECT_FALSE(updater.settings->canCheck());
    updater.driver->publish();
    EXPECT_EQ(canCheck.count(), 1) << "observers hear only real changes";
}

TEST(UpdateSettingsTest, FailedStartIsRetriedByCheckAndDoesNotCheck)
{
    Updater updater;
    updater.failingStarts = 2;
    updater.settings->startIfNeeded();
    EXPECT_EQ(updater.settings->status(), couldNotStart);
    EXPECT_TRUE(updater.settings->canCheck());

    updater.settings->check();
    EXPECT_EQ(updater.driver->starts, 2);
    EXPECT_EQ(updater.driver->checksRun, 0);
    EXPECT_EQ(updater.driversMade, 1) << "the driver is kept after a failed start";

    updater.settings->check();
    EXPECT_EQ(updater.driver->starts, 3);
    EXPECT_EQ(updater.driver->checksRun, 1);
    EXPECT_EQ(updater.settings->status(), std::nullopt);
}

TEST(UpdateSettingsTest, CheckWhileTheDriverCannotCheckChangesNothing)
{
    Updater updater;
    updater.settings->startIfNeeded();
    updater.driver->canCheck = false;
    updater.driver->checks = true;
    updater.settings->check();
    EXPECT_EQ(updater.driver->checksRun, 0);
    EXPECT_TRUE(updater.settings->canCheck()) << "no refresh without a check";
    EXPECT_FALSE(updater.settings->automaticChecks());
}

TEST(UpdateSettingsTest, ChoicesReachTheDriverOnlyWhenTheyDiffer)
{
    Updater updater;
    updater.settings->setAutomaticChecks(true);
    EXPECT_TRUE(updater.settings->automaticChecks()) << "kept in the field without a driver";

    updater.settings->startIfNeeded();
    EXPECT_FALSE(updater.settings->automaticChecks()) << "the started driver's value wins";
    updater.settings->setAutomaticChecks(false);
    EXPECT_EQ(updater.driver->checkWrites, 0);

    updater.settings->setAutomaticChecks(true);
    updater.settings->setAutomaticDownloads(true);
    EXPECT_EQ(updater.driver->checkWrites, 1);
    EXPECT_EQ(updater.driver->downloadWrites, 1);
    EXPECT_TRUE(updater.driver->checks);
    EXPECT_TRUE(updater.settings->automaticDownloads());
}

TEST(UpdateSettingsTest, StatusIsNotTranslatedAgainAfterItWasSet)
{
    Updater updater(DistributionChannel::direct, QJsonObject{});
    QSignalSpy status(updater.settings.get(), &UpdateSettings::statusChanged);
    updater.settings->startIfNeeded();
    updater.settings->startIfNeeded();
    EXPECT_EQ(status.count(), 1);
}

} // namespace
