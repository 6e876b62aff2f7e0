#include "Updates/SparkleUpdateDriver.h"

#include <QCoreApplication>

SparkleUpdateDriver::SparkleUpdateDriver(DirectUpdateConfiguration configuration,
                                         const Platform::Bundle& hostBundle,
                                         const Platform::UpdateFramework& framework)
    : configuration_(std::move(configuration))
    , self_(std::make_shared<SparkleUpdateDriver*>(this))
{
    userDriver_ = framework.makeStandardUserDriver(hostBundle);
    // The host is the application that is updated.
    updater_ = framework.makeUpdater(hostBundle, hostBundle, *userDriver_, *this);
    observe(&Platform::SoftwareUpdater::canCheckForUpdatesChanged);
    observe(&Platform::SoftwareUpdater::automaticallyChecksForUpdatesChanged);
    observe(&Platform::SoftwareUpdater::automaticallyDownloadsUpdatesChanged);
}

SparkleUpdateDriver::~SparkleUpdateDriver()
{
    for (const QMetaObject::Connection& observation : observations_)
        QObject::disconnect(observation);
    // The updater uses the user driver until it is gone.
    updater_.reset();
    userDriver_.reset();
}

void SparkleUpdateDriver::observe(void (Platform::SoftwareUpdater::*changed)())
{
    const std::weak_ptr<SparkleUpdateDriver*> weak = self_;
    // Runs on the thread that made the change; the call itself waits for the main thread.
    observations_.append(QObject::connect(
        updater_.get(), changed, updater_.get(),
        [weak] {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [weak] {
                    const std::shared_ptr<SparkleUpdateDriver*> alive = weak.lock();
                    if (alive && (*alive)->stateDidChange_)
                        (*alive)->stateDidChange_();
                },
                Qt::QueuedConnection);
        },
        Qt::DirectConnection));
}

bool SparkleUpdateDriver::canCheckForUpdates() const
{
    return updater_->canCheckForUpdates();
}

bool SparkleUpdateDriver::automaticallyChecksForUpdates() const
{
    return updater_->automaticallyChecksForUpdates();
}

void SparkleUpdateDriver::setAutomaticallyChecksForUpdates(bool on)
{
    updater_->setAutomaticallyChecksForUpdates(on);
}

bool SparkleUpdateDriver::automaticallyDownloadsUpdates() const
{
    return updater_->automaticallyDownloadsUpdates();
}

void SparkleUpdateDriver::setAutomaticallyDownloadsUpdates(bool on)
{
    updater_->setAutomaticallyDownloadsUpdates(on);
}

void SparkleUpdateDriver::setStateDidChange(std::function<void()> callback)
{
    stateDidChange_ = std::move(callback);
}

void SparkleUpdateDriver::start()
{
    updater_->startUpdater();
}

void SparkleUpdateDriver::checkForUpdates()
{
    updater_->checkForUpdates();
}

std::optional<QString> SparkleUpdateDriver::feedURLString(const Platform::SoftwareUpdater&) const
{
    return configuration_.feedURL.toString(QUrl::FullyEncoded);
}

QSet<QString> SparkleUpdateDriver::allowedChannels(const Platform::SoftwareUpdater&) const
{
    return {QStringLiteral("direct")};
}
