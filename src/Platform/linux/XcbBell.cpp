#include "Platform/linux/XcbBell.h"

#include "Platform/linux/XcbConnection.h"

namespace Platform {

void XcbBell::beep()
{
    xcb_connection_t* connection = Xcb::connection();
    if (!connection)
        return;
    xcb_bell(connection, 0);
    xcb_flush(connection);
}

} // namespace Platform
