#include "Store/StoreFileWatch.h"

#include <QFileInfo>

StoreFileWatch::StoreFileWatch(std::chrono::milliseconds ownWriteQuietPeriod, QObject* parent)
    : QObject(parent)
    , ownWriteQuietPeriod_(ownWriteQuietPeriod)
{
    settleTimer_.setSingleShot(true);
    connect(&settleTimer_, &QTimer::timeout, this, &StoreFileWatch::settled);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &StoreFileWatch::fileEvent);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &StoreFileWatch::fileEvent);
}

void StoreFileWatch::stop()
{
    directory_.clear();
    file_.clear();
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
}

void StoreFileWatch::watch(const QString& directory, const QString& file)
{
    directory_ = directory;
    file_ = file;
    if (!watcher_.directories().contains(directory) && QFileInfo(directory).isDir()) {
        if (!watcher_.directories().isEmpty())
            watcher_.removePaths(watcher_.directories());
        watcher_.addPath(directory);
    }
    if (!watcher_.files().contains(file) && QFileInfo::exists(file)) {
        if (!watcher_.files().isEmpty())
            watcher_.removePaths(watcher_.files());
        watcher_.addPath(file);
    }
}

void StoreFileWatch::noteOwnWrite()
{
    ownWriteAt_ = QDateTime::currentDateTimeUtc();
}

void StoreFileWatch::settleAgain()
{
    settleTimer_.start(settleDelay);
}

void StoreFileWatch::fileEvent()
{
    if (directory_.isEmpty())
        return;
    watch(directory_, file_);
    // Our own write is noticed after the quiet period, and then only if the file differs.
    const auto sinceOwnWrite =
        std::chrono::milliseconds(ownWriteAt_.isValid() ? ownWriteAt_.msecsTo(QDateTime::currentDateTimeUtc())
                                                        : ownWriteQuietPeriod_.count());
    const auto wait = std::max(settleDelay, ownWriteQuietPeriod_ - sinceOwnWrite);
    if (!settleTimer_.isActive() || settleTimer_.remainingTimeAsDuration() < wait)
        settleTimer_.start(wait);
}
