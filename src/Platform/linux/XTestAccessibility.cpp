#include "Platform/linux/XTestAccessibility.h"

#include "Platform/linux/XcbConnection.h"

namespace Platform {

bool XTestAccessibility::isTrusted() const
{
    xcb_connection_t* connection = Xcb::connection();
    return connection && Xcb::hasXTest(connection);
}

} // namespace Platform
