#pragma once

#include "PublicConfiguration/PublicCloudSettings.h"
#include "PublicConfiguration/PublicConfiguration.h"
#include "PublicConfiguration/PublicConfigurationCache.h"

#include <QDateTime>
#include <QFuture>
#include <QObject>
#include <exception>
#include <functional>
#include <optional>

// The one observable holder of the public configuration shown on the About page. It starts
// from the resource copy, or the cache of the last cloud read for the same container, and
// refreshes from the cloud at most once at a time, not more often than once a minute, not
// more than once a day unless forced, with a growing back-off after failures. Main thread
// only; the cloud read itself runs on a worker.
class PublicConfigurationStore final : public QObject {
    Q_OBJECT
public:
    enum class Status {
        // The last refresh stored a new value.
        saved,
        // The last refresh failed; the previous value is still shown.
        failed,
        // A forced refresh came too early and did nothing.
        waiting,
    };

    using Cache = PublicConfigurationCache;
    using Clock = std::function<QDateTime()>;
    // Starts a cloud read; the future holds the configuration or the read's exception. It
    // may also throw at once.
    using Loader = std::function<QFuture<PublicConfiguration>()>;

    static constexpr qint64 minimumAttemptIntervalSeconds = 60;
    static constexpr qint64 freshnessSeconds = 86'400;
    static constexpr qint64 firstBackOffSeconds = 60;
    static constexpr int backOffDoublings = 7;
    static constexpr qint64 maxBackOffSeconds = 3600;

    // Created on first use with the running copy's cloud settings, the fixed cache file,
    // the system clock and the default loader.
    static PublicConfigurationStore& shared();
    // "Dorvane/public-configuration.json" in the user's data folder, also with "--demo".
    static QString defaultCachePath();
    // Throws invalidData without settings; otherwise reads the cloud on a worker thread.
    static Loader defaultLoader(const std::optional<PublicCloudSettings>& settings);
    // What the About page says about a status, in the language in effect; empty for `saved`.
    static QString statusMessage(Status status);
    // 60 × 2^(min(failures, 7) − 1) seconds, at most 3600.
    static qint64 backOffSeconds(int failures);

    // An empty `now` is the system clock, an empty `loader` the default loader.
    PublicConfigurationStore(std::optional<PublicCloudSettings> settings, QString cachePath, Clock now = {},
                             Loader loader = {}, QObject* parent = nullptr);

    const PublicConfiguration& value() const { return value_; }
    // When the shown value was read from the cloud; none while the resource copy is shown.
    std::optional<QDateTime> lastUpdated() const { return lastUpdated_; }
    bool isRefreshing() const { return isRefreshing_; }
    // The outcome of the last refresh that did something; none until then.
    std::optional<Status> status() const { return status_; }
    // None means the store never uses the cloud.
    const std::optional<PublicCloudSettings>& settings() const { return settings_; }

    // The throttle's state, for diagnostics.
    std::optional<QDateTime> lastAttempt() const { return lastAttempt_; }
    std::optional<QDateTime> retryNotBefore() const { return retryNotBefore_; }
    int failures() const { return failures_; }

    // Never fails; the outcome shows in the observable values once the read is over.
    void refresh(bool force);

signals:
    void valueChanged();
    void lastUpdatedChanged();
    void isRefreshingChanged();
    void statusChanged();

private:
    bool isTooSoon(const QDateTime& t) const;
    bool isFresh(const QDateTime& t) const;
    void finishRead(QFuture<PublicConfiguration> future);
    void store(const PublicConfiguration& loaded);
    void checkRevision(const PublicConfiguration& loaded) const;
    void fail(const std::exception_ptr& error);
    void setValue(const PublicConfiguration& value);
    void setLastUpdated(const std::optional<QDateTime>& lastUpdated);
    void setIsRefreshing(bool isRefreshing);
    void setStatus(Status status);

    PublicConfiguration value_;
    std::optional<QDateTime> lastUpdated_;
    bool isRefreshing_ = false;
    std::optional<Status> status_;
    std::optional<PublicCloudSettings> settings_;
    QString cachePath_;
    Clock now_;
    Loader loader_;
    std::optional<QDateTime> lastAttempt_;
    std::optional<QDateTime> retryNotBefore_;
    int failures_ = 0;
};
