#pragma once

#include "Models/ClipItem.h"
#include "Models/ClipSearch.h"
#include "Models/Pinboard.h"
#include "Settings/HistoryRetentionMode.h"
#include "Store/DeletionUndo.h"
#include "Store/HistoryEdits.h"
#include "Store/HistoryRetention.h"
#include "Store/PendingImageFiles.h"
#include "Store/StoreDiskStamp.h"
#include "Store/StoreFileIO.h"
#include "Store/StoreFileThread.h"
#include "Store/StoreFileWatch.h"
#include "Store/StoreSaveSchedule.h"
#include "Store/StoreSnapshot.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace Platform {
class CloudDrive;
}
class Settings;

// The single history store: the history (newest first), the pinboards, the selection,
// and the data directory that holds them as "store.json" beside the folder "images".
// Lives on the main thread; files are read and written on one background thread, in order.
// Saving writes nothing when nothing changed. A failed save keeps everything in memory, is
// reported once until a save succeeds again, and is tried again with the next change and
// at quit; image files are removed only once a written store file no longer names them.
//
// A store file that can't be read, or that holds malformed records, is never replaced:
// the store starts with what it could read (or empty) and writes nothing until the user
// changes something (a copy, a deletion, an edit, a pinboard change, trimming, clearing,
// moving the data directory). Before that first write the file is renamed to
// "store.json.unreadable-<yyyyMMdd-HHmmss>" beside it, so its bytes stay as they were.
// A file found unreadable while saving (damaged by another program since it was read or
// written) is set aside the same way by that save, which then writes the whole history.
//
// Clips removed by deletion, trimming or clearing are recorded as deleted, so merging never
// brings them back; with sync on, the history is shared, and a clip one machine trims is
// gone on all of them.
//
// The store decides; its parts do the rest: HistoryEdits and HistoryRetention edit the lists,
// DeletionUndo keeps deletions for undo, StoreSaveSchedule and PendingImageFiles say when a
// save is due and what it writes, StoreFileThread reads and writes on the background thread,
// StoreFileWatch tells of another machine's writes, ClipSearch searches.
class Settings;

class ClipboardStore final : public QObject {
    Q_OBJECT
public:
    // Texts longer than this are stored cut to this length.
    static constexpr qsizetype maxTextLength = HistoryEdits::maxTextLength;
    // Rich-text data larger than this is left out; the clip keeps its plain text.
    static constexpr qsizetype maxRichTextBytes = HistoryEdits::maxRichTextBytes;
    // Larger images are refused.
    static constexpr qsizetype maxImageBytes = 64 * 1024 * 1024;
    // Retention never keeps fewer clips than this, nor more than the ceiling.
    static constexpr int minimumHistoryLimit = HistoryRetention::minimumLimit;
    static constexpr int historyCeiling = HistoryRetention::ceiling;
    static constexpr std::chrono::milliseconds saveDelay{400};
    // However often changes come, a change is saved at most this long after it was made.
    static constexpr std::chrono::milliseconds maxSaveDelay{2000};
    static constexpr std::chrono::milliseconds ownWriteQuietPeriod{1500};
    // Deletion records older than this are dropped from the store file, so it does not grow
    // without end; a machine that stayed away longer may bring such a clip back once.
    static constexpr std::chrono::hours tombstoneLifetime{24 * 90};

    inline static const QString storeFileName = QStringLiteral("store.json");

    struct Environment {
        // The preferences the store follows: syncing, retention, permanent deletion.
        Settings& settings;
        // The local data directory; empty means DataDirectory::local().
        QString localDirectory;
        // The synced folder; null means Platform::cloudDrive().
        Platform::CloudDrive* cloudDrive = nullptr;
        // The clock; empty means the current time.
        std::function<QDateTime()> now;
    };

    explicit ClipboardStore(Environment environment, QObject* parent = nullptr);
    ~ClipboardStore() override;

    // Reads the store file of the data directory in use (the synced one when the iCloudSync
    // preference is on and the folder is available) and starts watching it when synced.
    void load();
    // The same, reading and decoding on the background thread; the history is published in
    // one step, with loaded(). Clips captured meanwhile are added after it, in order.
    void loadInBackground();
    bool isLoaded() const { return loaded_; }
    // Runs `action` now when the history is loaded, else once it is (unless `context` is gone).
    void whenLoaded(QObject* context, std::function<void()> action);

    const QList<ClipItem>& history() const { return state_.history; }
    const QList<Pinboard>& pinboards() const { return state_.pinboards; }
    const StoreSnapshot& snapshot() const { return state_; }
    // The search over history and pinboard clips.
    ClipSearch& searchIndex() { return search_; }
    // A history or pinboard clip by identifier.
    std::optional<ClipItem> item(const QUuid& id) const;

    // The data directory in use, local or in the synced folder.
    QString baseDir() const;
    QString storeFilePath() const;
    // The image file of a clip when it is on disk.
    std::optional<QString> imageFilePath(const ClipItem& item) const;

    // A copied clip: a history clip with the same content moves to the top with the new
    // time; otherwise the clip goes on top and the history is trimmed. Saves later.
    void addCaptured(ClipItem item);
    // An image clip with its PNG bytes, stored as "<hash>.png" (SHA-256 of the bytes unless
    // the clip has a hash). False, changing nothing, when the image is over the limit.
    bool addCapturedImage(ClipItem item, const QByteArray& png);
    // Replaces the history or pinboard clip with the same identifier; false when none.
    bool updateItem(ClipItem item);

    // Deletes history and pinboard clips. History deletions can be undone for five
    // minutes unless the deletePermanently preference is on or `skipUndo` is set; pinboard
    // deletions are final.
    void deleteItems(const QList<QUuid>& ids, bool skipUndo = false);
    bool canUndoDelete() const;
    // Puts the newest undoable deletion back in place; false when there is none.
    bool undoDelete();
    // Makes the deletions whose undo time has passed final (runs on its own timer too).
    void finalizeExpiredDeletions();

    // How many history clips trimHistory() would remove with these values. No side effect.
    int retentionRemovalCount(HistoryRetentionMode mode, int limit, int days) const;
    // Applies the retention preferences now, unless they are not yet confirmed (see
    // Settings::historyRetentionConfirmed()). Removed clips count as deleted when merging.
    void trimHistory();
    // Removes every history clip now, with pending deletions; keeps pinboards and the images
    // they use. Can't be undone.
    void clearHistory();

    QUuid addPinboard(const QString& name, const QString& colorHex);
    bool renamePinboard(const QUuid& id, const QString& name);
    bool setPinboardColor(const QUuid& id, const QString& colorHex);
    bool removePinboard(const QUuid& id);
    bool movePinboard(qsizetype from, qsizetype to);
    // Puts a copy of a clip (under a new identifier) on top of a pinboard.
    std::optional<QUuid> pin(const QUuid& clipID, const QUuid& pinboardID);

    const QList<QUuid>& selection() const { return selection_; }
    void setSelection(const QList<QUuid>& ids);

    // Saves 0.4 s after the last call, and at most 2 s after the first unsaved change.
    // A save merges what another machine wrote first.
    void scheduleSave();
    // Saves at once, when anything is unsaved, and waits for the file.
    void saveNow();
    // Makes pending deletions final and saves at once when anything is unsaved. While the
    // history is still loading with no clip captured meanwhile, ends the load instead.
    void prepareForQuit();
    bool hasUnsavedChanges() const { return saves_.hasUnsavedChanges(); }

    // The unreadable store file kept in place, until the first change sets it aside.
    std::optional<QString> unreadableStoreFile() const;
    // What the user is told while an unreadable store file is kept.
    static QString unreadableStoreMessage();
    // What the user is told when the store file at `path` could not be written.
    static QString saveFailedMessage(const QString& path);

    // The synced folder the store moves its data directory into.
    const Platform::CloudDrive& syncedFolder() const { return cloud(); }
    // Whether the synced folder can be used; reads the file system on each call.
    bool syncedFolderAvailable() const;
    bool isSyncedFolderActive() const { return syncActive_; }
    // Moves the data directory to or from the synced folder: creates the target, copies the
    // images, merges a store file found there, saves, and starts or stops watching.
    // False, changing nothing, when the target can't be used.
    bool setSyncedFolderActive(bool enabled);

signals:
    void historyChanged();
    void pinboardsChanged();
    void selectionChanged();
    // A new image clip went into the history (not a repeated one): its text can be recognised.
    void imageClipAdded(const QUuid& id);
    // The history is loaded and published.
    void loaded();
    // A save could not write the store file at `path`; the history stays in memory. Told once
    // until a save succeeds again.
    void saveFailed(const QString& path, const QString& reason);
    // A save found the store file unreadable, moved it to `asidePath` and wrote the history.
    void unreadableFileSetAside(const QString& asidePath);

private:
    QDateTime now() const;
    Platform::CloudDrive& cloud() const;
    QString cloudDataDirectory() const;
    QString directoryFor(bool synced) const;

    void replaceState(StoreSnapshot next);
    void noteUserChange();
    void publishLoaded(StoreReadResult result);
    void waitForLoad();
    void applyRetention();
    QList<ClipItem> removeHistoryAt(const QList<qsizetype>& indexes);
    void finalizeDeletion(const QList<ClipItem>& clips);
    void removeUnusedImages(const QSet<QString>& candidates);
    void repairSelection();
    // Applies a change to one pinboard; the change returns whether it changed anything.
    bool changePinboard(const QUuid& id, const std::function<bool(Pinboard&)>& change);

    std::optional<StoreSaveJob> prepareSave();
    void startBackgroundSave();
    void finishSave(const StoreSaveResult& result);
    void reportSaveFailure(const QString& reason);
    void waitForBackgroundSave();
    bool setUnreadableFileAside();
    void pruneTombstones();

    void updateWatching();
    void checkStoreFile();
    void mergeStoreFile(const StoreReadResult& result);

    Environment environment_;
    StoreSnapshot state_;
    DeletionUndo undo_{[this] { return now(); }};
    QList<QUuid> selection_;
    bool syncActive_ = false;

    bool unreadable_ = false;
    bool changedSinceLoad_ = false;
    StoreDiskStamp knownDiskStamp_;

    bool loaded_ = false;
    QList<ClipItem> capturedBeforeLoad_;
    ClipSearch search_;

    StoreSaveSchedule saves_{saveDelay, maxSaveDelay, [this] { return now(); }};
    PendingImageFiles images_;

    StoreFileThread files_;
    bool saveAgainAfterCurrent_ = false;

    StoreFileWatch watch_{ownWriteQuietPeriod};
};
