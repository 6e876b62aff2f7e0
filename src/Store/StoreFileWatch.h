#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>

// Watches a store file in a synced folder, and its folder, for what another machine writes,
// and tells once the file has settled: a short delay after the last event, and not before a
// quiet period after this process's own write has passed.
class StoreFileWatch final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds settleDelay{100};

    explicit StoreFileWatch(std::chrono::milliseconds ownWriteQuietPeriod, QObject* parent = nullptr);

    // Watches the folder and, once it exists, the file; again after each event.
    void watch(const QString& directory, const QString& file);
    void stop();
    void noteOwnWrite();
    // Tells again after the settle delay, for a change that can't be looked at yet.
    void settleAgain();

signals:
    void settled();

private:
    void fileEvent();

    std::chrono::milliseconds ownWriteQuietPeriod_;
    QFileSystemWatcher watcher_;
    QTimer settleTimer_;
    QString directory_;
    QString file_;
    QDateTime ownWriteAt_;
};
