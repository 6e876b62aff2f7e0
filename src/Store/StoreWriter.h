#pragma once

#include "Store/StoreDiskStamp.h"
#include "Store/StoreFileCodec.h"
#include "Store/StoreSnapshot.h"

#include <QSet>
#include <QString>
#include <QUuid>
#include <optional>

// One write of the store file, runnable on a background thread. When the file on disk is
// not the version the store last read or wrote, it is read and merged in first, so that
// what another machine wrote in the meantime is kept.
struct StoreSaveJob {
    QString filePath;
    StoreSnapshot snapshot;
    QSet<QUuid> withheld;
    StoreDiskStamp known;
};

struct StoreSaveResult {
    enum class Status { written, diskUnreadable, failed };
    Status status = Status::failed;
    // What was written; differs from the job's snapshot when another version was merged in.
    StoreSnapshot written;
    bool mergedDisk = false;
    StoreDiskStamp stamp;
    QString error;
};

// One read of the store file, for merging what another machine wrote.
struct StoreReadResult {
    QString filePath;
    StoreDiskStamp stamp;
    // None when the file can't be read or decoded.
    std::optional<StoreFileCodec::Decoded> decoded;
};

namespace StoreWriter {
StoreSaveResult save(const StoreSaveJob& job);
StoreReadResult read(const QString& filePath);
} // namespace StoreWriter
