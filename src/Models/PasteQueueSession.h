#pragma once

#include "Models/ClipItem.h"

#include <QList>
#include <QUuid>
#include <optional>

// The paste queue: clips pasted one after another, one per press of the hot key. Each paste
// is taken out as a ticket and handed back when it ends; a ticket of an ended or restarted
// queue, or of a position already passed, changes nothing, so a late answer can never skip
// or repeat a clip.
class PasteQueueSession {
public:
    struct Ticket {
        QUuid sessionID;
        qsizetype position = 0;
        ClipItem item;
    };

    // Starts a new queue (a new session identifier) at its first clip; an empty list ends
    // the queue instead.
    void start(const QList<ClipItem>& items);
    // Drops the queue and any ticket still out.
    void end();

    // A queue with clips left to paste.
    bool isActive() const { return !items_.isEmpty(); }
    // A ticket is out and not yet handed back.
    bool isDispatching() const { return dispatching_; }
    QUuid sessionID() const { return sessionID_; }
    const QList<ClipItem>& items() const { return items_; }
    qsizetype position() const { return position_; }

    // The ticket for the clip at the current position; none when the queue is not active or
    // a ticket is already out.
    std::optional<Ticket> takeNext();
    // Hands a ticket back: a successful paste moves to the next clip and ends the queue after
    // the last; a failed one leaves the position, so the same clip is pasted on the next
    // press. False, changing nothing, for a stale ticket.
    bool finish(const Ticket& ticket, bool pasted);

private:
    QList<ClipItem> items_;
    qsizetype position_ = 0;
    bool dispatching_ = false;
    QUuid sessionID_;
};
