#pragma once

#include "Store/ClipUndoStack.h"

#include <QObject>
#include <QTimer>
#include <functional>

// The deletions of history clips that can still be undone, with the timer that tells, by
// expired(), when the oldest one's undo window has passed.
class DeletionUndo final : public QObject {
    Q_OBJECT
public:
    explicit DeletionUndo(std::function<QDateTime()> now, QObject* parent = nullptr);

    void push(ClipUndoStack::Deletion deletion);
    bool canUndo() const;
    // The newest deletion that can still be undone, taken.
    std::optional<ClipUndoStack::Deletion> takeUndoable();
    // The clips of the deletions whose undo window has passed, taken.
    QList<ClipItem> takeExpiredClips();
    QList<ClipItem> takeAllClips();
    // Every clip waiting here, for keeping them out of merges and image clean-up.
    QSet<QUuid> pendingIDs() const { return stack_.pendingIDs(); }
    QList<ClipItem> pendingClips() const { return stack_.pendingClips(); }

signals:
    void expired();

private:
    void restartTimer();

    std::function<QDateTime()> now_;
    ClipUndoStack stack_;
    QTimer timer_;
};
