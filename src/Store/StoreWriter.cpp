#include "Store/StoreWriter.h"

#include "Platform/FileSystem.h"
#include "Store/StoreMerge.h"

#include <QFile>

namespace StoreWriter {

StoreReadResult read(const QString& filePath)
{
    StoreReadResult result{filePath, StoreDiskStamp::of(filePath), std::nullopt};
    QFile file(filePath);
    if (file.open(QIODevice::ReadOnly))
        result.decoded = StoreFileCodec::decode(file.readAll());
    return result;
}

StoreSaveResult save(const StoreSaveJob& job)
{
    StoreSaveResult result;
    result.written = job.snapshot;
    const StoreDiskStamp onDisk = StoreDiskStamp::of(job.filePath);
    if (onDisk.exists && onDisk != job.known) {
        const auto decoded = read(job.filePath).decoded;
        if (!decoded || !decoded->complete) {
            result.status = StoreSaveResult::Status::diskUnreadable;
            result.stamp = onDisk;
            return result;
        }
        result.written = StoreMerge::merge(job.snapshot, decoded->snapshot, job.withheld);
        result.mergedDisk = true;
    }
    if (const auto error =
            Platform::writeFileAtomically(job.filePath, StoreFileCodec::encode(result.written))) {
        result.status = StoreSaveResult::Status::failed;
        result.error = *error;
        return result;
    }
    result.status = StoreSaveResult::Status::written;
    result.stamp = StoreDiskStamp::of(job.filePath);
    return result;
}

} // namespace StoreWriter
