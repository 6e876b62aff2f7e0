#include "Store/StoreFileIO.h"

#include "Platform/FileSystem.h"
#include "Platform/HeapRelease.h"
#include "Store/ImageFolder.h"
#include "Store/StoreFileEncoder.h"
#include "Store/StoreMerge.h"

#include <QFile>
#include <QFileInfo>

namespace StoreFileIO {

namespace {
constexpr qsizetype releaseStep = 1024 * 1024;
} // namespace

StoreReadResult read(const QString& filePath, std::stop_token stop)
{
    StoreReadResult result{filePath, StoreDiskStamp::of(filePath), std::nullopt};
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    // Mapped, the file's bytes stay in the page cache instead of a copy of our own, and the
    // pages already decoded are let go as the decoding goes on.
    if (const qint64 size = file.size(); size > 0) {
        if (const uchar* mapped = file.map(0, size)) {
            qsizetype released = 0;
            result.decoded =
                StoreFileCodec::decode(QByteArrayView(mapped, qsizetype(size)), [&](qsizetype read) {
                    if (read - released >= releaseStep) {
                        Platform::releaseMappedPages(mapped + released, read - released);
                        released = read;
                    }
                    return !stop.stop_requested();
                });
            file.unmap(const_cast<uchar*>(mapped));
            return result;
        }
    }
    result.decoded =
        StoreFileCodec::decode(file.readAll(), [&](qsizetype) { return !stop.stop_requested(); });
    return result;
}

StoreSaveResult save(const StoreSaveJob& job)
{
    StoreSaveResult result;
    result.written = job.snapshot;
    result.changeCount = job.changeCount;
    result.imageRemovals = job.imageRemovals;
    const QString directory = QFileInfo(job.filePath).path();
    for (auto image = job.images.cbegin(); image != job.images.cend(); ++image) {
        if (const auto error = ImageFolder::write(directory, image.key(), image.value())) {
            result.error = *error;
            return result;
        }
        result.writtenImages.append(image.key());
    }
    const StoreDiskStamp onDisk = StoreDiskStamp::of(job.filePath);
    if (onDisk.exists && onDisk != job.known) {
        const auto decoded = read(job.filePath).decoded;
        if (decoded && decoded->complete) {
            result.written = StoreMerge::merge(job.snapshot, decoded->snapshot, job.withheld);
            result.mergedDisk = true;
        } else if (!(result.setAside = Platform::keepUnreadableFileAside(job.filePath, job.now))) {
            result.status = StoreSaveResult::Status::diskUnreadable;
            result.stamp = onDisk;
            return result;
        }
    }
    StoreFileEncoder ownEncoder;
    StoreFileEncoder& encoder = job.encoder ? *job.encoder : ownEncoder;
    if (const auto error = encoder.write(job.filePath, result.written)) {
        result.error = *error;
        return result;
    }
    result.status = StoreSaveResult::Status::written;
    result.stamp = StoreDiskStamp::of(job.filePath);
    result.imageRemovals -= job.keptImages + result.written.imageFileNames();
    ImageFolder::removeUnused(directory, result.imageRemovals, {});
    return result;
}

} // namespace StoreFileIO
