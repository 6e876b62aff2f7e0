#pragma once

#include "Store/StoreDiskStamp.h"
#include "Store/StoreFileCodec.h"
#include "Store/StoreSnapshot.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QUuid>
#include <optional>
#include <stop_token>

class StoreFileEncoder;

// One write of the store file, runnable on a background thread. When the file on disk is
// not the version the store last read or wrote, it is read and merged in first, so that
// what another machine wrote in the meantime is kept; one that can't be read is set aside
// as "store.json.unreadable-<yyyyMMdd-HHmmss>", its bytes as they were, and the snapshot
// is written whole. Image files not yet known to be on
// disk are written first; image files the written store no longer names are removed only
// after the store file is written, so a saved store never names a missing image.
struct StoreSaveJob {
    QString filePath;
    StoreSnapshot snapshot;
    QSet<QUuid> withheld;
    StoreDiskStamp known;
    // By file name; written unless already there.
    QHash<QString, QByteArray> images;
    // Candidates for removal, and images kept anyway (used by clips waiting for undo).
    QSet<QString> imageRemovals;
    QSet<QString> keptImages;
    // The store's change count when the job was made.
    quint64 changeCount = 0;
    // Names the file set aside when the one on disk can't be read.
    QDateTime now;
    // Used only on the thread that runs the jobs, one job at a time.
    StoreFileEncoder* encoder = nullptr;
};

struct StoreSaveResult {
    // diskUnreadable: the file on disk can't be read and could not be set aside.
    enum class Status { written, diskUnreadable, failed };
    Status status = Status::failed;
    // What was written; differs from the job's snapshot when another version was merged in.
    StoreSnapshot written;
    bool mergedDisk = false;
    StoreDiskStamp stamp;
    QString error;
    quint64 changeCount = 0;
    QList<QString> writtenImages;
    // Removed when written; otherwise still to remove.
    QSet<QString> imageRemovals;
    // Where the file found unreadable on disk was moved before the whole snapshot was written.
    std::optional<QString> setAside;
};

// One read of the store file, for loading or merging.
struct StoreReadResult {
    QString filePath;
    StoreDiskStamp stamp;
    // None when the file can't be read or decoded.
    std::optional<StoreFileCodec::Decoded> decoded;
};

namespace StoreFileIO {
StoreSaveResult save(const StoreSaveJob& job);
// Stops, giving nothing decoded, when a stop is requested.
StoreReadResult read(const QString& filePath, std::stop_token stop = {});
} // namespace StoreFileIO
