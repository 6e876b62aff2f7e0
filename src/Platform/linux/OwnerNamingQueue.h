#pragma once

#include "Platform/linux/ClipboardSnapshot.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <xcb/xcb.h>

namespace Platform {

// Hands read copies on in the order they were read, after naming the program that serves a
// copy whose owner window names an ended process (a copier that forked and ended; see
// DisplayConnections). That search takes a few looks at the display's connections and /proc,
// so it runs here, on a thread and X connection of its own, after the copy's bytes were
// read: it delays neither the reading of a copy nor that of the next one.
class OwnerNamingQueue final {
public:
    // The copier a copy replaced leaves the display a moment after the copy was made: while
    // no newer copy waits, the search looks this many times, this far apart.
    static constexpr int settleLooks = 5;
    static constexpr std::chrono::milliseconds settleInterval{20};

    using Deliver = std::function<void(std::optional<ClipboardSnapshot>)>;

    explicit OwnerNamingQueue(Deliver deliver);
    // Copies not yet handed on are dropped.
    ~OwnerNamingQueue();

    OwnerNamingQueue(const OwnerNamingQueue&) = delete;
    OwnerNamingQueue& operator=(const OwnerNamingQueue&) = delete;

    // endedOwner: the ended process the display named as the owner when the copy was read;
    // the copy is then credited to the process holding that process's connection, or to
    // none. Without it the copy goes on as it is.
    void add(std::optional<ClipboardSnapshot> snapshot, std::optional<qint64> endedOwner = std::nullopt);

private:
    struct Item {
        std::optional<ClipboardSnapshot> snapshot;
        std::optional<qint64> endedOwner;
    };

    void run();
    void name(ClipboardSnapshot& snapshot, qint64 endedOwner);
    // Waits for the interval; false when a newer copy came or the queue stops meanwhile.
    bool settle();

    Deliver deliver_;
    xcb_connection_t* connection_ = nullptr;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Item> items_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace Platform
