#pragma once

#include <QtGlobal>
#include <optional>
#include <xcb/xcb.h>

namespace Platform {

// The local connections to an X display and the processes that hold them, as the kernel's
// socket diagnostics and /proc tell them.
class DisplayConnections {
public:
    // A copier such as xclip connects, takes the clipboard, forks and ends; its child serves
    // the copy on the inherited connection while the display still names the ended parent.
    // The process that holds that connection, or none unless it is certain: the ended process
    // is the only client of the display whose process has ended, and exactly one connection
    // to the display is held by no running client. One look: a copier that was just replaced
    // may still be leaving the display.
    static std::optional<qint64> holderOfEndedClient(xcb_connection_t* connection, qint64 endedPid);
};

} // namespace Platform
