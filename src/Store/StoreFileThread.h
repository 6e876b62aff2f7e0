#pragma once

#include "Store/StoreFileCodec.h"
#include "Store/StoreFileIO.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

class StoreFileEncoder;

// The one background thread on which the store's files are read and written, in the order
// asked: the load, saves, reads of a version another machine wrote, and image files. A load,
// save or read hands its result to its handler on the main thread, unless the main thread
// waited for it first and took the result itself.
class StoreFileThread final : public QObject {
    Q_OBJECT
public:
    using ReadHandler = std::function<void(const StoreReadResult&)>;
    using SaveHandler = std::function<void(const StoreSaveResult&)>;

    StoreFileThread(ReadHandler loaded, SaveHandler saved, ReadHandler read, QObject* parent = nullptr);
    // Waits for the work asked.
    ~StoreFileThread() override;

    void startLoad(const QString& path);
    bool isLoading() const { return loading_; }
    // The running load's result, waited for; none when no load runs.
    std::optional<StoreReadResult> waitForLoad();
    // Ends the running load's read and drops it.
    void abandonLoad();
    // Saves read back the clips of the file just loaded that are as they would be written.
    void learnLoadedClips(const QList<ClipItem>& history, const QList<StoreFileCodec::Span>& spans,
                          const QString& path);

    void startSave(StoreSaveJob job);
    bool isSaving() const { return saving_; }
    // The running save's result, waited for; none when no save runs.
    std::optional<StoreSaveResult> waitForSave();
    // Saves on the calling thread once the work asked is done.
    StoreSaveResult saveHere(StoreSaveJob job);

    void startRead(const QString& path);
    bool isReading() const { return reading_; }

    void writeImage(const QString& directory, const QString& fileName, const QByteArray& png);
    void waitForDone();

private:
    QThreadPool pool_;
    // Used on the thread only.
    std::unique_ptr<StoreFileEncoder> encoder_;
    QFutureWatcher<StoreReadResult> loadWatcher_;
    QFutureWatcher<StoreSaveResult> saveWatcher_;
    QFutureWatcher<StoreReadResult> readWatcher_;
    std::stop_source loadStop_;
    bool loading_ = false;
    bool saving_ = false;
    bool reading_ = false;
};
