#include "PublicConfiguration/PublicConfigurationStore.h"

#include "Platform/CloudContainer.h"
#include "PublicConfiguration/PublicCloudClient.h"
#include "PublicConfiguration/PublicConfigurationError.h"
#include "Util/Localization.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

namespace {

constexpr const char* cacheRelativePath = "Dorvane/public-configuration.json";
constexpr qint64 millisecondsPerSecond = 1000;
// A retry time the service asks for is honoured up to this (far beyond any real answer),
// so that no wait overflows the clock.
constexpr double maxRetrySeconds = 1e9;

// The configuration a finished read holds; rethrows the read's exception.
PublicConfiguration takeResult(QFuture<PublicConfiguration> future)
{
    future.waitForFinished();
    if (future.resultCount() == 0)
        throw PublicConfigurationError::invalidData(); // cancelled without an answer
    return future.result();
}

// The wait a cloud error asks for, when it names a finite one.
std::optional<double> requestedRetry(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Platform::CloudError& cloud) {
        if (cloud.retryAfterSeconds && std::isfinite(*cloud.retryAfterSeconds))
            return std::min(*cloud.retryAfterSeconds, maxRetrySeconds);
    } catch (...) {
    }
    return std::nullopt;
}

} // namespace

PublicConfigurationStore& PublicConfigurationStore::shared()
{
    static PublicConfigurationStore store(PublicCloudSettings::current(), defaultCachePath());
    return store;
}

QString PublicConfigurationStore::defaultCachePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/' +
           QLatin1String(cacheRelativePath);
}

PublicConfigurationStore::Loader
PublicConfigurationStore::defaultLoader(const std::optional<PublicCloudSettings>& settings)
{
    return [settings]() -> QFuture<PublicConfiguration> {
        if (!settings)
            throw PublicConfigurationError::invalidData();
        const PublicCloudClient client(*settings);
        return QtConcurrent::run([client](QPromise<PublicConfiguration>& promise) {
            try {
                promise.addResult(client.fetch());
            } catch (...) {
                promise.setException(std::current_exception());
            }
        });
    };
}

QString PublicConfigurationStore::statusMessage(Status status)
{
    switch (status) {
    case Status::saved:
        return {};
    case Status::failed:
        return Localization::string(
            QStringLiteral("Refresh failed. Showing previously available information."));
    case Status::waiting:
        return Localization::string(QStringLiteral("Please wait before refreshing again."));
    }
    return {};
}

qint64 PublicConfigurationStore::backOffSeconds(int failures)
{
    const int doublings = std::clamp(failures, 1, backOffDoublings) - 1;
    return std::min(firstBackOffSeconds << doublings, maxBackOffSeconds);
}

PublicConfigurationStore::PublicConfigurationStore(std::optional<PublicCloudSettings> settings,
                                                   QString cachePath, Clock now, Loader loader,
                                                   QObject* parent)
    : QObject(parent)
    , value_(PublicConfiguration::bundled())
    , settings_(std::move(settings))
    , cachePath_(std::move(cachePath))
    , now_(now ? std::move(now) : Clock([] { return QDateTime::currentDateTimeUtc(); }))
    , loader_(loader ? std::move(loader) : defaultLoader(settings_))
{
    if (!settings_)
        return;
    if (const std::optional<Cache> cache = Cache::load(cachePath_, settings_->cacheIdentity(), now_())) {
        value_ = cache->value;
        lastUpdated_ = cache->fetchedAt;
    }
}

void PublicConfigurationStore::refresh(bool force)
{
    const QDateTime t = now_();
    if (!settings_ || isRefreshing_)
        return;
    if (isTooSoon(t)) {
        if (force)
            setStatus(Status::waiting);
        return;
    }
    if (!force && isFresh(t))
        return;
    setIsRefreshing(true);
    lastAttempt_ = t;
    QFuture<PublicConfiguration> future;
    try {
        future = loader_();
    } catch (...) {
        fail(std::current_exception());
        setIsRefreshing(false);
        return;
    }
    // The watcher dies with the store, so an answer that comes later does nothing.
    auto* watcher = new QFutureWatcher<PublicConfiguration>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        finishRead(watcher->future());
    });
    watcher->setFuture(future);
}

bool PublicConfigurationStore::isTooSoon(const QDateTime& t) const
{
    if (retryNotBefore_ && t < *retryNotBefore_)
        return true;
    return lastAttempt_ && lastAttempt_->msecsTo(t) < minimumAttemptIntervalSeconds * millisecondsPerSecond;
}

bool PublicConfigurationStore::isFresh(const QDateTime& t) const
{
    return lastUpdated_ && lastUpdated_->msecsTo(t) < freshnessSeconds * millisecondsPerSecond;
}

void PublicConfigurationStore::finishRead(QFuture<PublicConfiguration> future)
{
    try {
        store(takeResult(future));
    } catch (...) {
        fail(std::current_exception());
    }
    setIsRefreshing(false);
}

void PublicConfigurationStore::store(const PublicConfiguration& loaded)
{
    loaded.validate();
    checkRevision(loaded);
    const Cache cache{settings_->cacheIdentity(), now_(), loaded};
    cache.write(cachePath_);
    setValue(loaded);
    setLastUpdated(cache.fetchedAt);
    failures_ = 0;
    retryNotBefore_.reset();
    setStatus(Status::saved);
}

void PublicConfigurationStore::checkRevision(const PublicConfiguration& loaded) const
{
    const bool older = loaded.revision < 1 || loaded.revision < value_.revision;
    const bool changedInPlace = loaded.revision == value_.revision && loaded != value_;
    if (older || changedInPlace)
        throw PublicConfigurationError(PublicConfigurationError::Kind::olderRevision);
}

void PublicConfigurationStore::fail(const std::exception_ptr& error)
{
    ++failures_;
    double wait = double(backOffSeconds(failures_));
    if (const std::optional<double> retry = requestedRetry(error))
        wait = std::max(wait, *retry);
    retryNotBefore_ = now_().addMSecs(std::llround(wait * millisecondsPerSecond));
    setStatus(Status::failed);
}

void PublicConfigurationStore::setValue(const PublicConfiguration& value)
{
    if (value_ == value)
        return;
    value_ = value;
    emit valueChanged();
}

void PublicConfigurationStore::setLastUpdated(const std::optional<QDateTime>& lastUpdated)
{
    if (lastUpdated_ == lastUpdated)
        return;
    lastUpdated_ = lastUpdated;
    emit lastUpdatedChanged();
}

void PublicConfigurationStore::setIsRefreshing(bool isRefreshing)
{
    if (isRefreshing_ == isRefreshing)
        return;
    isRefreshing_ = isRefreshing;
    emit isRefreshingChanged();
}

void PublicConfigurationStore::setStatus(Status status)
{
    if (status_ == status)
        return;
    status_ = status;
    emit statusChanged();
}
