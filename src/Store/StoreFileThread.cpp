#include "Store/StoreFileThread.h"

#include "Platform/HeapRelease.h"
#include "Store/ImageFolder.h"
#include "Store/StoreFileEncoder.h"

#include <QtConcurrent>
#include <tuple>

StoreFileThread::StoreFileThread(ReadHandler loaded, SaveHandler saved, ReadHandler read, QObject* parent)
    : QObject(parent)
    , encoder_(std::make_unique<StoreFileEncoder>())
{
    pool_.setMaxThreadCount(1);
    // A result the main thread waited for is taken there; its queued signal then does nothing.
    connect(&loadWatcher_, &QFutureWatcher<StoreReadResult>::finished, this,
            [this, loaded = std::move(loaded)] {
                if (std::exchange(loading_, false))
                    loaded(loadWatcher_.result());
            });
    connect(&saveWatcher_, &QFutureWatcher<StoreSaveResult>::finished, this,
            [this, saved = std::move(saved)] {
                if (std::exchange(saving_, false))
                    saved(saveWatcher_.result());
            });
    connect(&readWatcher_, &QFutureWatcher<StoreReadResult>::finished, this, [this, read = std::move(read)] {
        if (std::exchange(reading_, false))
            read(readWatcher_.result());
    });
}

StoreFileThread::~StoreFileThread()
{
    pool_.waitForDone();
}

void StoreFileThread::startLoad(const QString& path)
{
    loading_ = true;
    loadStop_ = {};
    loadWatcher_.setFuture(QtConcurrent::run(&pool_, [path, stop = loadStop_.get_token()] {
        StoreReadResult result = StoreFileIO::read(path, stop);
        // What decoding each clip used on the way is free now.
        Platform::releaseFreeMemory();
        return result;
    }));
}

std::optional<StoreReadResult> StoreFileThread::waitForLoad()
{
    if (!std::exchange(loading_, false))
        return std::nullopt;
    loadWatcher_.waitForFinished();
    return loadWatcher_.future().result();
}

void StoreFileThread::abandonLoad()
{
    loadStop_.request_stop();
    loadWatcher_.waitForFinished();
    loading_ = false;
}

void StoreFileThread::learnLoadedClips(const QList<ClipItem>& history,
                                       const QList<StoreFileCodec::Span>& spans, const QString& path)
{
    std::ignore = QtConcurrent::run(&pool_, [encoder = encoder_.get(), history, spans, path] {
        encoder->prime(history, spans, path);
        Platform::releaseFreeMemory();
    });
}

void StoreFileThread::startSave(StoreSaveJob job)
{
    saving_ = true;
    job.encoder = encoder_.get();
    saveWatcher_.setFuture(QtConcurrent::run(&pool_, [job = std::move(job)] {
        StoreSaveResult result = StoreFileIO::save(job);
        // The clips the save replaced are free now.
        Platform::releaseFreeMemory();
        return result;
    }));
}

std::optional<StoreSaveResult> StoreFileThread::waitForSave()
{
    if (!std::exchange(saving_, false))
        return std::nullopt;
    saveWatcher_.waitForFinished();
    return saveWatcher_.future().result();
}

StoreSaveResult StoreFileThread::saveHere(StoreSaveJob job)
{
    pool_.waitForDone();
    job.encoder = encoder_.get();
    return StoreFileIO::save(job);
}

void StoreFileThread::startRead(const QString& path)
{
    reading_ = true;
    readWatcher_.setFuture(QtConcurrent::run(&pool_, [path] { return StoreFileIO::read(path); }));
}

void StoreFileThread::writeImage(const QString& directory, const QString& fileName, const QByteArray& png)
{
    std::ignore = QtConcurrent::run(
        &pool_, [directory, fileName, png] { std::ignore = ImageFolder::write(directory, fileName, png); });
}

void StoreFileThread::waitForDone()
{
    pool_.waitForDone();
}
