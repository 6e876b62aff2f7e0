#include "Platform/WindowCompositing.h"

#include "Platform/linux/XcbConnection.h"

namespace Platform {

bool composesTranslucentWindows()
{
    xcb_connection_t* connection = Xcb::connection();
    return !connection || Xcb::hasCompositingManager(connection);
}

} // namespace Platform
