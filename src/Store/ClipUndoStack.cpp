#include "Store/ClipUndoStack.h"

void ClipUndoStack::push(Deletion deletion)
{
    if (!deletion.removed.isEmpty())
        deletions_.append(std::move(deletion));
}

bool ClipUndoStack::isExpired(const Deletion& deletion, const QDateTime& now) const
{
    return deletion.deletedAt.addSecs(undoWindow.count()) <= now;
}

std::optional<ClipUndoStack::Deletion> ClipUndoStack::takeUndoable(const QDateTime& now)
{
    if (!canUndo(now))
        return std::nullopt;
    return deletions_.takeLast();
}

bool ClipUndoStack::canUndo(const QDateTime& now) const
{
    return !deletions_.isEmpty() && !isExpired(deletions_.last(), now);
}

QList<ClipUndoStack::Deletion> ClipUndoStack::takeExpired(const QDateTime& now)
{
    QList<Deletion> expired;
    while (!deletions_.isEmpty() && isExpired(deletions_.first(), now))
        expired.append(deletions_.takeFirst());
    return expired;
}

QList<ClipUndoStack::Deletion> ClipUndoStack::takeAll()
{
    return std::exchange(deletions_, {});
}

std::optional<QDateTime> ClipUndoStack::nextExpiry() const
{
    if (deletions_.isEmpty())
        return std::nullopt;
    return deletions_.first().deletedAt.addSecs(undoWindow.count());
}

QSet<QUuid> ClipUndoStack::pendingIDs() const
{
    QSet<QUuid> ids;
    for (const Deletion& deletion : deletions_) {
        for (const Removed& removed : deletion.removed)
            ids.insert(removed.clip.id);
    }
    return ids;
}

QList<ClipItem> ClipUndoStack::pendingClips() const
{
    QList<ClipItem> clips;
    for (const Deletion& deletion : deletions_) {
        for (const Removed& removed : deletion.removed)
            clips.append(removed.clip);
    }
    return clips;
}
