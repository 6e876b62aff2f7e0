#include "Platform/linux/XcbConnection.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <string>
#include <xcb/res.h>
#include <xcb/xtest.h>

namespace Platform::Xcb {

xcb_connection_t* connection()
{
    if (!qGuiApp)
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

bool hasCompositingManager(xcb_connection_t* connection)
{
    // Qt connects to the screen that DISPLAY names; ":0" and a DISPLAY it can't parse mean 0.
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        screen = 0;
    std::free(host);
    const xcb_atom_t selection = atom(connection, ("_NET_WM_CM_S" + std::to_string(screen)).c_str());
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool owned = reply && reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
}

bool hasXTest(xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_test_id);
    return extension && extension->present;
}

namespace {

// The local process of the client owning the resource (of every client for XCB_NONE), through the
// X-Resource extension; none when the server can't answer.
std::optional<QList<qint64>> localClientProcesses(xcb_connection_t* connection, xcb_window_t client)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_res_id);
    if (!extension || !extension->present)
        return std::nullopt;
    const xcb_res_client_id_spec_t spec{client, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    xcb_res_query_client_ids_reply_t* reply =
        xcb_res_query_client_ids_reply(connection, xcb_res_query_client_ids(connection, 1, &spec), nullptr);
    if (!reply)
        return std::nullopt;
    QList<qint64> pids;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply); it.rem; xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
            xcb_res_client_id_value_value_length(it.data) > 0)
            pids.append(*xcb_res_client_id_value_value(it.data));
    }
    std::free(reply);
    return pids;
}

} // namespace

std::optional<qint64> processOfWindow(xcb_connection_t* connection, xcb_window_t window)
{
    const std::optional<QList<qint64>> pids = localClientProcesses(connection, window);
    if (!pids || pids->isEmpty())
        return std::nullopt;
    return pids->constLast();
}

std::optional<QList<qint64>> processesOfClients(xcb_connection_t* connection)
{
    return localClientProcesses(connection, XCB_NONE);
}

} // namespace Platform::Xcb
