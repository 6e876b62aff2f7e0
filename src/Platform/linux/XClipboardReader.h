#pragma once

#include "Platform/linux/ClipboardSnapshot.h"
#include "Platform/linux/OwnerNamingQueue.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>
#include <xcb/xcb.h>

class QObject;

namespace Platform {

// Reads every new copy of another program on a thread of its own, over an X connection of
// its own, so that an owner that answers slowly or never holds up only this thread. XFixes
// tells of each new owner of the CLIPBOARD selection; the reader asks that owner for its
// targets and then for the types a clipboard history keeps (plain text, other texts, one
// image, colours, file lists and marker types), INCR transfers included. Each answer has
// answerTimeout and each copy copyTimeout; a type is passed over when its announced size is
// over maxTypeBytes or would bring the copy over maxCopyBytes. Finished copies are handed
// to the receiver's thread in the order they were made, and so is, as none, each time one of
// this process's own copies becomes the clipboard's content. A copy replaced before it could
// be read is passed over; one replaced while being read keeps what arrived before.
//
// A requestor window is never destroyed while an owner may still write to it: one whose
// answer the reader stopped waiting for (a newer copy came, or the answer was late) is kept
// until that answer comes, an INCR transfer it started is let run to its end, and only then,
// or after retiredLifetime, is it destroyed. Xlib ends a program that writes to a window
// that is gone, and that program may be the one whose copy the clipboard holds now.
class XClipboardReader final {
public:
    static constexpr std::chrono::milliseconds answerTimeout{1000};
    static constexpr std::chrono::milliseconds copyTimeout{10000};
    static constexpr std::chrono::milliseconds retiredLifetime{60000};
    static constexpr qint64 maxTypeBytes = 64 * 1024 * 1024;
    static constexpr qint64 maxCopyBytes = 128 * 1024 * 1024;

    using Handler = std::function<void(std::optional<ClipboardSnapshot>)>;
    // Whether a window belongs to this process (its own copies are not read).
    using OwnWindowTest = std::function<bool(xcb_window_t)>;

    // None when there is no X server or it lacks XFixes.
    static std::unique_ptr<XClipboardReader> start(QObject* receiver, Handler handler, OwnWindowTest isOwn);
    ~XClipboardReader();

    XClipboardReader(const XClipboardReader&) = delete;
    XClipboardReader& operator=(const XClipboardReader&) = delete;

private:
    struct EventDeleter {
        void operator()(xcb_generic_event_t* event) const { std::free(event); }
    };
    using Event = std::unique_ptr<xcb_generic_event_t, EventDeleter>;
    struct OwnerChange {
        xcb_window_t owner;
        xcb_timestamp_t time;
    };
    struct Target {
        xcb_atom_t atom;
        QString type;
    };
    struct ReadCopy {
        ClipboardSnapshot snapshot;
        // The owner's process as the display named it, ended when the copy was read.
        std::optional<qint64> endedOwner;
    };
    // What the owner may still write to the current requestor window.
    enum class Awaiting { nothing, answer, chunk };
    // A requestor window given up while an owner could still write to it.
    struct RetiredRequestor {
        xcb_window_t window;
        bool awaitingAnswer;
        // An INCR transfer runs on: each chunk is asked for and dropped.
        bool draining;
        QDeadlineTimer deadline;
    };

    XClipboardReader(xcb_connection_t* connection, int stopFd, QObject* receiver, Handler handler,
                     OwnWindowTest isOwn);

    void prepareReading();
    void run();
    void deliver(std::optional<ClipboardSnapshot> snapshot);
    std::optional<ReadCopy> read(const OwnerChange& change);
    QList<Target> wantedTargets(const QByteArray& targetList);
    void request(xcb_atom_t target, xcb_timestamp_t time);
    // The bytes of one target, or none (refused, too large, no answer in time, replaced).
    std::optional<QByteArray> receive(xcb_atom_t target, const QDeadlineTimer& copyDeadline, qint64 limit);
    std::optional<QByteArray> receiveIncrementally(xcb_atom_t property, const QDeadlineTimer& copyDeadline,
                                                   qint64 limit);
    // The current requestor window, made when there is none.
    xcb_window_t requestor();
    // Done with the current requestor window: destroyed, or retired while an owner may still
    // write to it.
    void releaseRequestor();
    // Takes an event for a retired window; false when it is for none.
    bool takeRetiredEvent(const xcb_generic_event_t* event);
    void destroyExpiredRequestors();
    // The next event that `matches`; none at the deadline, at stop, or (while reading) once
    // a newer owner change came. Owner changes are queued meanwhile.
    Event waitFor(const std::function<bool(const xcb_generic_event_t*)>& matches, QDeadlineTimer deadline);
    bool takeOwnerChange(const xcb_generic_event_t* event);
    QByteArray atomName(xcb_atom_t atom);

    xcb_connection_t* connection_;
    int stopFd_;
    QObject* receiver_;
    Handler handler_;
    OwnWindowTest isOwn_;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    xcb_atom_t clipboard_ = XCB_ATOM_NONE;
    xcb_atom_t targets_ = XCB_ATOM_NONE;
    xcb_atom_t incr_ = XCB_ATOM_NONE;
    xcb_atom_t property_ = XCB_ATOM_NONE;
    uint8_t xfixesFirstEvent_ = 0;
    QHash<xcb_atom_t, QByteArray> atomNames_;
    QList<QByteArray> readableImageTypes_;
    std::deque<OwnerChange> changes_;
    xcb_window_t requestor_ = XCB_WINDOW_NONE;
    Awaiting awaiting_ = Awaiting::nothing;
    // Whether an INCR transfer ran on the current requestor window.
    bool requestorSawIncr_ = false;
    std::vector<RetiredRequestor> retired_;
    bool reading_ = false;
    bool superseded_ = false;
    std::atomic<bool> stopping_ = false;
    // Copies go through it to the receiver, named after they were read.
    OwnerNamingQueue naming_;
    std::thread thread_;
};

} // namespace Platform
