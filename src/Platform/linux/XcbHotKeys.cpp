#include "Platform/linux/XcbHotKeys.h"

#include "Platform/LogCategories.h"
#include "Platform/linux/EvdevKeyMap.h"
#include "Platform/linux/XcbConnection.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cstdlib>

namespace Platform {

namespace {

constexpr quint16 capsLockMask = XCB_MOD_MASK_LOCK;
constexpr quint16 numLockMask = XCB_MOD_MASK_2;
constexpr std::array<quint16, 4> lockVariants{0, capsLockMask, numLockMask, capsLockMask | numLockMask};
// The modifiers a hot key is told apart by; lock states and keyboard groups are not.
constexpr quint16 significantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

} // namespace

XcbHotKeys::XcbHotKeys() = default;

XcbHotKeys::~XcbHotKeys()
{
    if (xcb_connection_t* connection = Xcb::connection()) {
        for (const Grab& grab : std::as_const(grabs_))
            ungrab(connection, grab);
        xcb_flush(connection);
    }
    if (filterInstalled_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

std::optional<HotKeys::Id> XcbHotKeys::registerHotKey(int keyCode, int modifiers)
{
    xcb_connection_t* connection = Xcb::connection();
    const std::optional<quint8> key = EvdevKeyMap::x11KeyCode(keyCode);
    if (!connection || !key) {
        qCWarning(logHotKeys) << "no key on this keyboard for key code" << keyCode << "or no X connection";
        return std::nullopt;
    }
    const Grab wanted{*key, EvdevKeyMap::x11Modifiers(modifiers)};
    // Grabbing a combination twice would deliver it to only one of the two registrations.
    if (std::find(grabs_.cbegin(), grabs_.cend(), wanted) != grabs_.cend())
        return std::nullopt;
    if (!grab(connection, wanted))
        return std::nullopt;
    qCDebug(logHotKeys) << "grabbed key" << wanted.keyCode << "with modifiers" << Qt::hex << wanted.modifiers;
    if (!filterInstalled_) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        filterInstalled_ = true;
    }
    const Id id = nextId_++;
    grabs_.insert(id, wanted);
    return id;
}

void XcbHotKeys::unregisterHotKey(Id id)
{
    const auto found = grabs_.constFind(id);
    if (found == grabs_.constEnd())
        return;
    if (xcb_connection_t* connection = Xcb::connection()) {
        ungrab(connection, *found);
        xcb_flush(connection);
    }
    grabs_.erase(found);
    down_.remove(id);
}

bool XcbHotKeys::grab(xcb_connection_t* connection, const Grab& wanted)
{
    const xcb_window_t root = Xcb::rootWindow(connection);
    std::array<xcb_void_cookie_t, lockVariants.size()> cookies{};
    for (size_t i = 0; i < lockVariants.size(); ++i) {
        cookies[i] = xcb_grab_key_checked(connection, 1, root, wanted.modifiers | lockVariants[i],
                                          wanted.keyCode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    if (refused) {
        qCWarning(logHotKeys) << "the X server refused the grab of key" << wanted.keyCode << "with modifiers"
                              << Qt::hex << wanted.modifiers << "(another program holds it)";
        ungrab(connection, wanted);
        xcb_flush(connection);
    }
    return !refused;
}

void XcbHotKeys::ungrab(xcb_connection_t* connection, const Grab& grab)
{
    const xcb_window_t root = Xcb::rootWindow(connection);
    for (const quint16 variant : lockVariants)
        xcb_ungrab_key(connection, grab.keyCode, root, grab.modifiers | variant);
}

bool XcbHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (type == XCB_KEY_RELEASE)
        return releaseKey(key->detail);
    const Grab pressedKey{key->detail, static_cast<quint16>(key->state & significantModifiers)};
    for (auto it = grabs_.cbegin(); it != grabs_.cend(); ++it) {
        if (it.value() != pressedKey)
            continue;
        if (!down_.contains(it.key())) {
            down_.insert(it.key());
            emit pressed(it.key());
        }
        return true;
    }
    return false;
}

bool XcbHotKeys::releaseKey(xcb_keycode_t keyCode)
{
    bool released = false;
    for (auto it = down_.begin(); it != down_.end();) {
        if (grabs_.value(*it).keyCode == keyCode) {
            it = down_.erase(it);
            released = true;
        } else {
            ++it;
        }
    }
    return released;
}

} // namespace Platform
