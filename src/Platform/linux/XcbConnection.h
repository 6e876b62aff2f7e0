#pragma once

#include <QList>
#include <QtGlobal>
#include <optional>
#include <xcb/xcb.h>

namespace Platform::Xcb {

// Qt's own connection to the X server, or nullptr when the application does not run on
// the xcb platform (offscreen tests, Wayland without XWayland).
xcb_connection_t* connection();
// The root window of the connection's first screen.
xcb_window_t rootWindow(xcb_connection_t* connection);
// The atom of a name, XCB_ATOM_NONE when the server does not answer.
xcb_atom_t atom(xcb_connection_t* connection, const char* name);
// Whether a compositing manager owns the default screen's `_NET_WM_CM_S<screen>` selection.
bool hasCompositingManager(xcb_connection_t* connection);
// Whether the server offers the XTEST extension.
bool hasXTest(xcb_connection_t* connection);
// The process of the local client that created a window, through the X-Resource
// extension; none when the server can't tell (a remote client, no extension).
std::optional<qint64> processOfWindow(xcb_connection_t* connection, xcb_window_t window);
// The process of every local client of the display, once per connection; none when the
// server can't tell.
std::optional<QList<qint64>> processesOfClients(xcb_connection_t* connection);

} // namespace Platform::Xcb
