#pragma once

#include "Models/ClipItem.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QUuid>
#include <chrono>
#include <optional>

// Deletions of history clips that can still be undone, newest last. A deletion can be
// undone for five minutes; after that, or on quit, it is final.
class ClipUndoStack {
public:
    static constexpr std::chrono::seconds undoWindow{5 * 60};

    struct Removed {
        // The clip's position in the history before the deletion.
        qsizetype index = 0;
        ClipItem clip;
    };
    struct Deletion {
        QList<Removed> removed;
        QDateTime deletedAt;
    };

    bool isEmpty() const { return deletions_.isEmpty(); }
    void push(Deletion deletion);
    // The newest deletion that can still be undone at `now`, taken off the stack.
    std::optional<Deletion> takeUndoable(const QDateTime& now);
    bool canUndo(const QDateTime& now) const;
    // The deletions whose undo window has passed at `now`, taken off the stack.
    QList<Deletion> takeExpired(const QDateTime& now);
    QList<Deletion> takeAll();
    // When the oldest deletion becomes final; none when the stack is empty.
    std::optional<QDateTime> nextExpiry() const;
    // Every clip waiting here, for keeping them out of merges and image clean-up.
    QSet<QUuid> pendingIDs() const;
    QList<ClipItem> pendingClips() const;

private:
    bool isExpired(const Deletion& deletion, const QDateTime& now) const;

    QList<Deletion> deletions_;
};
