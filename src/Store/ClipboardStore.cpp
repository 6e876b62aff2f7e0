#include "Store/ClipboardStore.h"

#include "Platform/CloudDrive.h"
#include "Platform/FileSystem.h"
#include "Platform/SystemLog.h"
#include "Settings/Settings.h"
#include "Store/DataDirectory.h"
#include "Store/DeletionUndo.h"
#include "Store/HistoryEdits.h"
#include "Store/HistoryRetention.h"
#include "Store/ImageFolder.h"
#include "Store/StoreFileCodec.h"
#include "Store/StoreMerge.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <tuple>

using namespace HistoryEdits;

ClipboardStore::ClipboardStore(Environment environment, QObject* parent)
    : QObject(parent)
    , environment_(std::move(environment))
    , files_([this](const StoreReadResult& result) { publishLoaded(result); },
             [this](const StoreSaveResult& result) { finishSave(result); },
             [this](const StoreReadResult& result) { mergeStoreFile(result); })
{
    if (environment_.localDirectory.isEmpty())
        environment_.localDirectory = DataDirectory::local();
    // A child, so that benches can hear when a save starts.
    saves_.setParent(this);
    connect(&saves_, &StoreSaveSchedule::due, this, &ClipboardStore::startBackgroundSave);
    connect(&undo_, &DeletionUndo::expired, this, &ClipboardStore::finalizeExpiredDeletions);
    connect(&watch_, &StoreFileWatch::settled, this, &ClipboardStore::checkStoreFile);
}

ClipboardStore::~ClipboardStore() = default;

QDateTime ClipboardStore::now() const
{
    return environment_.now ? environment_.now() : QDateTime::currentDateTimeUtc();
}

Platform::CloudDrive& ClipboardStore::cloud() const
{
    return environment_.cloudDrive ? *environment_.cloudDrive : Platform::cloudDrive();
}

QString ClipboardStore::cloudDataDirectory() const
{
    return cloud().folder() + QLatin1Char('/') + DataDirectory::name();
}

QString ClipboardStore::directoryFor(bool synced) const
{
    return synced ? cloudDataDirectory() : environment_.localDirectory;
}

QString ClipboardStore::baseDir() const
{
    return directoryFor(syncActive_);
}

QString ClipboardStore::storeFilePath() const
{
    return baseDir() + QLatin1Char('/') + storeFileName;
}

// Loading

void ClipboardStore::load()
{
    waitForLoad();
    waitForBackgroundSave();
    syncActive_ = environment_.settings.iCloudSync() && syncedFolderAvailable();
    publishLoaded(StoreFileIO::read(storeFilePath()));
}

void ClipboardStore::loadInBackground()
{
    if (files_.isLoading())
        return;
    waitForBackgroundSave();
    syncActive_ = environment_.settings.iCloudSync() && syncedFolderAvailable();
    loaded_ = false;
    files_.startLoad(storeFilePath());
}

void ClipboardStore::waitForLoad()
{
    if (const auto result = files_.waitForLoad())
        publishLoaded(*result);
}

void ClipboardStore::publishLoaded(StoreReadResult result)
{
    knownDiskStamp_ = result.stamp;
    unreadable_ = result.stamp.exists && (!result.decoded || !result.decoded->complete);
    changedSinceLoad_ = false;
    StoreSnapshot next = result.decoded ? std::move(result.decoded->snapshot) : StoreSnapshot{};
    const QList<ClipItem> readHistory = next.history;
    const QList<StoreFileCodec::Span> spans =
        result.decoded ? result.decoded->historySpans : QList<StoreFileCodec::Span>{};
    const QList<ClipItem> captured = std::exchange(capturedBeforeLoad_, {});
    QList<QUuid> newImages;
    for (const ClipItem& item : captured) {
        if (insertCaptured(next.history, item))
            newImages.append(item.id);
    }
    loaded_ = true;
    replaceState(std::move(next));
    if (!captured.isEmpty()) {
        noteUserChange();
        applyRetention();
        scheduleSave();
    }
    for (const QUuid& id : std::as_const(newImages))
        emit imageClipAdded(id);
    updateWatching();
    files_.learnLoadedClips(readHistory, spans, result.filePath);
    emit loaded();
}

void ClipboardStore::whenLoaded(QObject* context, std::function<void()> action)
{
    if (loaded_) {
        action();
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(this, &ClipboardStore::loaded, context, [connection, action = std::move(action)] {
        disconnect(*connection);
        action();
    });
}

std::optional<QString> ClipboardStore::unreadableStoreFile() const
{
    if (!unreadable_)
        return std::nullopt;
    return storeFilePath();
}

QString ClipboardStore::saveFailedMessage(const QString& path)
{
    return Localization::format(
        QStringLiteral("Your clipboard history could not be saved to “%@”. It is kept in memory, and "
                       "saving is tried again with the next change and when Vellora quits."),
        path);
}

QString ClipboardStore::unreadableStoreMessage()
{
    return Localization::string(
        QStringLiteral("Your clipboard history file could not be read. It is kept unchanged, and new clips "
                       "start a new history."));
}

// Reading

std::optional<ClipItem> ClipboardStore::item(const QUuid& id) const
{
    if (const qsizetype index = indexOf(state_.history, id); index >= 0)
        return state_.history[index];
    for (const Pinboard& board : state_.pinboards) {
        if (const qsizetype index = indexOf(board.clips, id); index >= 0)
            return board.clips[index];
    }
    return std::nullopt;
}

std::optional<QString> ClipboardStore::imageFilePath(const ClipItem& item) const
{
    if (!item.imageFileName)
        return std::nullopt;
    const auto path = ImageFolder::path(baseDir(), *item.imageFileName);
    if (!path || !QFileInfo(*path).isFile())
        return std::nullopt;
    return path;
}

// Changing

void ClipboardStore::replaceState(StoreSnapshot next)
{
    // Lists still sharing their data are unchanged; only the others need comparing.
    const bool historyDiffers = !next.history.isSharedWith(state_.history) && next.history != state_.history;
    const bool pinboardsDiffer =
        !next.pinboards.isSharedWith(state_.pinboards) && next.pinboards != state_.pinboards;
    state_ = std::move(next);
    if (historyDiffers)
        emit historyChanged();
    if (pinboardsDiffer)
        emit pinboardsChanged();
    if (historyDiffers || pinboardsDiffer)
        repairSelection();
}

void ClipboardStore::noteUserChange()
{
    changedSinceLoad_ = true;
}

void ClipboardStore::addCaptured(ClipItem item)
{
    applySizeLimits(item);
    if (!loaded_) {
        capturedBeforeLoad_.append(std::move(item));
        return;
    }
    noteUserChange();
    StoreSnapshot next = state_;
    const bool newImage = insertCaptured(next.history, item);
    replaceState(std::move(next));
    if (newImage)
        emit imageClipAdded(item.id);
    applyRetention();
    scheduleSave();
}

bool ClipboardStore::addCapturedImage(ClipItem item, const QByteArray& png)
{
    if (png.isEmpty() || png.size() > maxImageBytes)
        return false;
    if (!item.imageHash || !ImageFolder::isPlainFileName(ImageFolder::fileNameForHash(*item.imageHash)))
        item.imageHash =
            QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha256).toHex());
    item.type = ClipType::image;
    item.imageFileName = ImageFolder::fileNameForHash(*item.imageHash);
    const QString directory = baseDir();
    const QString fileName = *item.imageFileName;
    // Kept until a save finds it on disk; written now so that it shows at once.
    images_.add(fileName, png);
    files_.writeImage(directory, fileName, png);
    addCaptured(std::move(item));
    return true;
}

bool ClipboardStore::updateItem(ClipItem item)
{
    item.modifiedAt = std::max(now(), item.createdAt);
    StoreSnapshot next = state_;
    if (const qsizetype index = indexOf(next.history, item.id); index >= 0) {
        next.history[index] = item;
    } else {
        auto board = std::find_if(next.pinboards.begin(), next.pinboards.end(),
                                  [&](const Pinboard& b) { return indexOf(b.clips, item.id) >= 0; });
        if (board == next.pinboards.end())
            return false;
        board->clips[indexOf(board->clips, item.id)] = item;
        board->modifiedAt = now();
    }
    noteUserChange();
    replaceState(std::move(next));
    scheduleSave();
    return true;
}

// Deleting

QList<ClipItem> ClipboardStore::removeHistoryAt(const QList<qsizetype>& indexes)
{
    StoreSnapshot next = state_;
    QList<ClipItem> removed = takeAt(next.history, indexes);
    replaceState(std::move(next));
    return removed;
}

void ClipboardStore::deleteItems(const QList<QUuid>& ids, bool skipUndo)
{
    const QSet<QUuid> wanted(ids.begin(), ids.end());
    ClipUndoStack::Deletion deletion{{}, now()};
    for (qsizetype i = 0; i < state_.history.size(); ++i) {
        if (wanted.contains(state_.history[i].id))
            deletion.removed.append({i, state_.history[i]});
    }
    StoreSnapshot next = state_;
    QSet<QString> pinboardImages;
    for (Pinboard& board : next.pinboards) {
        const qsizetype before = board.clips.size();
        for (const ClipItem& clip : std::as_const(board.clips)) {
            if (wanted.contains(clip.id) && clip.imageFileName)
                pinboardImages.insert(*clip.imageFileName);
        }
        board.clips.removeIf([&](const ClipItem& clip) { return wanted.contains(clip.id); });
        if (board.clips.size() != before)
            board.modifiedAt = now();
    }
    if (deletion.removed.isEmpty() && next.pinboards == state_.pinboards)
        return;
    noteUserChange();
    replaceState(std::move(next));

    QList<qsizetype> indexes;
    for (const auto& removed : std::as_const(deletion.removed))
        indexes.append(removed.index);
    const QList<ClipItem> removedClips = removeHistoryAt(indexes);
    if (skipUndo || environment_.settings.deletePermanently()) {
        finalizeDeletion(removedClips);
    } else {
        undo_.push(std::move(deletion));
    }
    removeUnusedImages(pinboardImages);
    scheduleSave();
}

bool ClipboardStore::canUndoDelete() const
{
    return undo_.canUndo();
}

bool ClipboardStore::undoDelete()
{
    const auto deletion = undo_.takeUndoable();
    if (!deletion)
        return false;
    StoreSnapshot next = state_;
    QList<ClipItem> repeated;
    for (const auto& removed : deletion->removed) {
        const bool present =
            std::any_of(next.history.cbegin(), next.history.cend(),
                        [&](const ClipItem& clip) { return clip.hasSameContent(removed.clip); });
        if (present) {
            repeated.append(removed.clip);
            continue;
        }
        next.history.insert(std::min(removed.index, next.history.size()), removed.clip);
    }
    noteUserChange();
    replaceState(std::move(next));
    finalizeDeletion(repeated);
    scheduleSave();
    return true;
}

void ClipboardStore::finalizeExpiredDeletions()
{
    finalizeDeletion(undo_.takeExpiredClips());
}

void ClipboardStore::finalizeDeletion(const QList<ClipItem>& clips)
{
    if (clips.isEmpty())
        return;
    const QDateTime deletedAt = now();
    for (const ClipItem& clip : clips)
        state_.deletedClips.insert(clip.id, deletedAt);
    removeUnusedImages(imageNames(clips));
    scheduleSave();
}

void ClipboardStore::removeUnusedImages(const QSet<QString>& candidates)
{
    // Removed by the save that no longer names them.
    images_.markForRemoval(candidates);
}

// Retention

int ClipboardStore::retentionRemovalCount(HistoryRetentionMode mode, int limit, int days) const
{
    return int(HistoryRetention::removals(state_.history, mode, limit, days, now()).size());
}

void ClipboardStore::applyRetention()
{
    const Settings& settings = environment_.settings;
    if (!settings.historyRetentionConfirmed())
        return;
    const auto indexes =
        HistoryRetention::removals(state_.history, settings.historyRetentionMode(), settings.historyLimit(),
                                   settings.historyRetentionDays(), now());
    if (indexes.isEmpty())
        return;
    finalizeDeletion(removeHistoryAt(indexes));
}

void ClipboardStore::trimHistory()
{
    noteUserChange();
    applyRetention();
}

void ClipboardStore::clearHistory()
{
    noteUserChange();
    const QList<ClipItem> removed = state_.history + undo_.takeAllClips();
    StoreSnapshot next = state_;
    next.history.clear();
    replaceState(std::move(next));
    finalizeDeletion(removed);
    scheduleSave();
}

// Pinboards

bool ClipboardStore::changePinboard(const QUuid& id, const std::function<bool(Pinboard&)>& change)
{
    StoreSnapshot next = state_;
    const auto board = std::find_if(next.pinboards.begin(), next.pinboards.end(),
                                    [&](const Pinboard& b) { return b.id == id; });
    if (board == next.pinboards.end() || !change(*board))
        return false;
    board->modifiedAt = now();
    noteUserChange();
    replaceState(std::move(next));
    scheduleSave();
    return true;
}

QUuid ClipboardStore::addPinboard(const QString& name, const QString& colorHex)
{
    Pinboard board;
    board.name = name;
    board.colorHex = colorHex;
    board.modifiedAt = now();
    StoreSnapshot next = state_;
    next.pinboards.append(board);
    noteUserChange();
    replaceState(std::move(next));
    scheduleSave();
    return board.id;
}

bool ClipboardStore::renamePinboard(const QUuid& id, const QString& name)
{
    return changePinboard(id, [&](Pinboard& board) { return std::exchange(board.name, name) != name; });
}

bool ClipboardStore::setPinboardColor(const QUuid& id, const QString& colorHex)
{
    return changePinboard(
        id, [&](Pinboard& board) { return std::exchange(board.colorHex, colorHex) != colorHex; });
}

bool ClipboardStore::removePinboard(const QUuid& id)
{
    StoreSnapshot next = state_;
    const auto board = std::find_if(next.pinboards.begin(), next.pinboards.end(),
                                    [&](const Pinboard& b) { return b.id == id; });
    if (board == next.pinboards.end())
        return false;
    const QSet<QString> images = imageNames(board->clips);
    next.pinboards.erase(board);
    next.deletedPinboards.insert(id, now());
    noteUserChange();
    replaceState(std::move(next));
    removeUnusedImages(images);
    scheduleSave();
    return true;
}

bool ClipboardStore::movePinboard(qsizetype from, qsizetype to)
{
    const qsizetype count = state_.pinboards.size();
    if (from < 0 || to < 0 || from >= count || to >= count || from == to)
        return false;
    StoreSnapshot next = state_;
    next.pinboards.move(from, to);
    noteUserChange();
    replaceState(std::move(next));
    scheduleSave();
    return true;
}

std::optional<QUuid> ClipboardStore::pin(const QUuid& clipID, const QUuid& pinboardID)
{
    auto copy = item(clipID);
    if (!copy)
        return std::nullopt;
    copy->id = QUuid::createUuid();
    copy->modifiedAt.reset();
    if (!changePinboard(pinboardID, [&](Pinboard& board) {
            board.clips.prepend(*copy);
            return true;
        }))
        return std::nullopt;
    return copy->id;
}

// Selection

void ClipboardStore::setSelection(const QList<QUuid>& ids)
{
    if (ids == selection_)
        return;
    selection_ = ids;
    emit selectionChanged();
}

void ClipboardStore::repairSelection()
{
    QList<QUuid> kept = selection_;
    kept.removeIf([this](const QUuid& id) { return !item(id); });
    setSelection(kept);
}

// Saving

void ClipboardStore::scheduleSave()
{
    saves_.schedule();
}

void ClipboardStore::pruneTombstones()
{
    const QDateTime cutoff =
        now().addSecs(-std::chrono::duration_cast<std::chrono::seconds>(tombstoneLifetime).count());
    const auto prune = [&](QHash<QUuid, QDateTime>& tombstones) {
        tombstones.removeIf([&](QHash<QUuid, QDateTime>::iterator entry) { return entry.value() < cutoff; });
    };
    prune(state_.deletedClips);
    prune(state_.deletedPinboards);
}

bool ClipboardStore::setUnreadableFileAside()
{
    const QString path = storeFilePath();
    if (QFileInfo::exists(path) && !Platform::keepUnreadableFileAside(path, now()))
        return false;
    unreadable_ = false;
    knownDiskStamp_ = StoreDiskStamp::of(path);
    return true;
}

std::optional<StoreSaveJob> ClipboardStore::prepareSave()
{
    if (!loaded_ || !hasUnsavedChanges())
        return std::nullopt;
    if (unreadable_) {
        if (!changedSinceLoad_)
            return std::nullopt;
        if (!setUnreadableFileAside()) {
            reportSaveFailure(
                Localization::string(QStringLiteral("The unreadable history file could not be set aside.")));
            return std::nullopt;
        }
    }
    pruneTombstones();
    const quint64 changeCount = saves_.beginSave();
    return StoreSaveJob{storeFilePath(),
                        state_,
                        undo_.pendingIDs(),
                        knownDiskStamp_,
                        images_.unwritten(),
                        images_.takeRemovals(),
                        imageNames(undo_.pendingClips()),
                        changeCount,
                        now()};
}

void ClipboardStore::startBackgroundSave()
{
    if (files_.isSaving()) {
        saveAgainAfterCurrent_ = true;
        return;
    }
    if (auto job = prepareSave())
        files_.startSave(std::move(*job));
}

void ClipboardStore::waitForBackgroundSave()
{
    if (const auto result = files_.waitForSave())
        finishSave(*result);
}

void ClipboardStore::saveNow()
{
    saves_.cancel();
    waitForLoad();
    waitForBackgroundSave();
    saveAgainAfterCurrent_ = false;
    if (auto job = prepareSave())
        finishSave(files_.saveHere(std::move(*job)));
}

void ClipboardStore::finishSave(const StoreSaveResult& result)
{
    // An image removed by the save but captured again meanwhile stays to be written.
    images_.saveFinished(result, result.imageRemovals.isEmpty() ? QSet<QString>{} : state_.imageFileNames());
    switch (result.status) {
    case StoreSaveResult::Status::diskUnreadable:
        // Set aside before the next write, or told why it can't be.
        unreadable_ = true;
        knownDiskStamp_ = result.stamp;
        break;
    case StoreSaveResult::Status::failed:
        reportSaveFailure(result.error);
        break;
    case StoreSaveResult::Status::written:
        saves_.noteWritten(result.changeCount);
        knownDiskStamp_ = result.stamp;
        watch_.noteOwnWrite();
        if (result.mergedDisk) {
            replaceState(StoreMerge::merge(state_, result.written, undo_.pendingIDs()));
            applyRetention();
        }
        updateWatching();
        NotificationCenter::shared().post(Notifications::storeDidSave);
        if (result.setAside)
            emit unreadableFileSetAside(*result.setAside);
        break;
    }
    if (std::exchange(saveAgainAfterCurrent_, false))
        startBackgroundSave();
}

void ClipboardStore::reportSaveFailure(const QString& reason)
{
    if (!saves_.noteFailed())
        return;
    const QString path = storeFilePath();
    Platform::systemLog().write(
        QStringLiteral("Vellora: the clipboard history could not be saved to %1: %2").arg(path, reason));
    emit saveFailed(path, reason);
}

void ClipboardStore::prepareForQuit()
{
    // Nothing can have changed yet but the clips captured meanwhile, which are saved with it.
    if (files_.isLoading() && capturedBeforeLoad_.isEmpty()) {
        files_.abandonLoad();
        return;
    }
    finalizeDeletion(undo_.takeAllClips());
    saveNow();
}

// Synced folder

bool ClipboardStore::syncedFolderAvailable() const
{
    return cloud().isAvailable();
}

bool ClipboardStore::setSyncedFolderActive(bool enabled)
{
    if (enabled == syncActive_)
        return true;
    if (enabled && !syncedFolderAvailable())
        return false;
    saveNow();
    const QString from = baseDir();
    const QString target = directoryFor(enabled);
    if (Platform::makePrivateFolder(target) || ImageFolder::copyMissing(from, target))
        return false;

    // A store file found there is merged in; one that can't be read is kept aside at the next save.
    const StoreReadResult found = StoreFileIO::read(target + QLatin1Char('/') + storeFileName);
    StoreSnapshot next =
        found.decoded ? StoreMerge::merge(state_, found.decoded->snapshot, undo_.pendingIDs()) : state_;
    unreadable_ = found.stamp.exists && (!found.decoded || !found.decoded->complete);
    syncActive_ = enabled;
    knownDiskStamp_ = found.stamp;
    noteUserChange();
    saves_.markUnsaved();
    replaceState(std::move(next));
    applyRetention();
    saveNow();
    updateWatching();
    return true;
}

// Watching

void ClipboardStore::updateWatching()
{
    if (syncActive_)
        watch_.watch(baseDir(), storeFilePath());
    else
        watch_.stop();
}

void ClipboardStore::checkStoreFile()
{
    if (!syncActive_)
        return;
    if (files_.isSaving() || files_.isReading()) {
        watch_.settleAgain();
        return;
    }
    const QString path = storeFilePath();
    const StoreDiskStamp stamp = StoreDiskStamp::of(path);
    if (!stamp.exists || stamp == knownDiskStamp_)
        return;
    files_.startRead(path);
}

void ClipboardStore::mergeStoreFile(const StoreReadResult& result)
{
    // A file that can't be read is left alone; it is never replaced without the user.
    if (!syncActive_ || result.filePath != storeFilePath() || !result.decoded || !result.decoded->complete)
        return;
    if (result.stamp == knownDiskStamp_ || files_.isSaving())
        return;
    knownDiskStamp_ = result.stamp;
    unreadable_ = false;
    const StoreSnapshot merged = StoreMerge::merge(state_, result.decoded->snapshot, undo_.pendingIDs());
    const bool fileLacksSomething = merged != result.decoded->snapshot;
    replaceState(merged);
    applyRetention();
    if (fileLacksSomething)
        scheduleSave();
}
