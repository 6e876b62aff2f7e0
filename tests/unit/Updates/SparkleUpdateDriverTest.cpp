#include "Updates/SparkleUpdateDriver.h"
#include "fakes/FakeBundle.h"
#include "fakes/FakeSoftwareUpdater.h"
#include "fakes/FakeUpdateUserDriver.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Platform::SoftwareUpdater;

// A framework of fakes that remembers what it was given.
struct Framework {
    FakeSoftwareUpdater* updater = nullptr;
    FakeUpdateUserDriver* userDriver = nullptr;
    const Platform::Bundle* userDriverHost = nullptr;
    const Platform::Bundle* updaterHost = nullptr;
    const Platform::Bundle* updaterApplication = nullptr;
    Platform::SoftwareUpdaterDelegate* delegate = nullptr;

    Platform::UpdateFramework make()
    {
        Platform::UpdateFramework framework;
        framework.makeStandardUserDriver = [this](const Platform::Bundle& host) {
            userDriverHost = &host;
            auto made = std::make_unique<FakeUpdateUserDriver>();
            userDriver = made.get();
            return made;
        };
        framework.makeUpdater = [this](const Platform::Bundle& host, const Platform::Bundle& application,
                                       Platform::UpdateUserDriver& driver,
                                       Platform::SoftwareUpdaterDelegate& asked) {
            EXPECT_EQ(&driver, userDriver) << "the user driver is made first and handed to the updater";
            updaterHost = &host;
            updaterApplication = &application;
            delegate = &asked;
            auto made = std::make_unique<FakeSoftwareUpdater>();
            updater = made.get();
            return made;
        };
        return framework;
    }
};

const DirectUpdateConfiguration configuration{
    QUrl(QStringLiteral("https://updates.example.com:8443/a/feed.xml")),
    QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQE=")};

class SparkleUpdateDriverTest : public ::testing::Test {
protected:
    FakeBundle bundle;
    Framework framework;
    std::unique_ptr<SparkleUpdateDriver> driver =
        std::make_unique<SparkleUpdateDriver>(configuration, bundle, framework.make());
};

TEST_F(SparkleUpdateDriverTest, CreationMakesBothPartsForTheHostWithoutStartingOrNotifying)
{
    int calls = 0;
    driver->setStateDidChange([&] { ++calls; });
    QCoreApplication::processEvents();
    EXPECT_EQ(framework.userDriverHost, &bundle);
    EXPECT_EQ(framework.updaterHost, &bundle);
    EXPECT_EQ(framework.updaterApplication, &bundle);
    EXPECT_EQ(framework.delegate, driver.get());
    EXPECT_EQ(framework.updater->starts, 0);
    EXPECT_EQ(calls, 0);
}

TEST_F(SparkleUpdateDriverTest, AnswersTheFeedAndTheDirectChannelAlone)
{
    EXPECT_EQ(driver->feedURLString(*framework.updater),
              QStringLiteral("https://updates.example.com:8443/a/feed.xml"));
    EXPECT_EQ(driver->allowedChannels(*framework.updater), QSet<QString>{QStringLiteral("direct")});
}

TEST_F(SparkleUpdateDriverTest, ForwardsEveryMemberToTheUpdater)
{
    FakeSoftwareUpdater& updater = *framework.updater;
    updater.canCheck = false;
    EXPECT_FALSE(driver->canCheckForUpdates());
    driver->setAutomaticallyChecksForUpdates(true);
    driver->setAutomaticallyDownloadsUpdates(true);
    EXPECT_TRUE(updater.checks && driver->automaticallyChecksForUpdates());
    EXPECT_TRUE(updater.downloads && driver->automaticallyDownloadsUpdates());
    driver->checkForUpdates();
    EXPECT_EQ(updater.checksRun, 1);
    updater.startFailure = Platform::UpdaterStartError("feed is not https");
    EXPECT_THROW(
        try { driver->start(); } catch (const Platform::UpdaterStartError& error) {
            EXPECT_STREQ(error.what(), "feed is not https");
            throw;
        },
        Platform::UpdaterStartError);
    EXPECT_EQ(updater.starts, 1);
}

// Each change of an observed property, from any thread, calls stateDidChange once on the
// main thread; a driver that is gone before the call is due is not called.
TEST_F(SparkleUpdateDriverTest, EachChangeNotifiesOnceOnTheMainThread)
{
    using Signal = void (SoftwareUpdater::*)();
    const Signal changes[] = {&SoftwareUpdater::canCheckForUpdatesChanged,
                              &SoftwareUpdater::automaticallyChecksForUpdatesChanged,
                              &SoftwareUpdater::automaticallyDownloadsUpdatesChanged};
    QList<QThread*> threads;
    driver->setStateDidChange([&] { threads.append(QThread::currentThread()); });
    for (const Signal change : changes) {
        std::thread worker([&] { (framework.updater->*change)(); });
        worker.join();
    }
    EXPECT_TRUE(threads.isEmpty()) << "the call waits for the main thread";
    QCoreApplication::processEvents();
    EXPECT_EQ(threads, QList<QThread*>(3, QThread::currentThread()));

    driver->setStateDidChange({});
    emit framework.updater->canCheckForUpdatesChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(threads.size(), 3);

    driver->setStateDidChange([&] { threads.append(nullptr); });
    emit framework.updater->canCheckForUpdatesChanged();
    driver.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(threads.size(), 3);
}

} // namespace
