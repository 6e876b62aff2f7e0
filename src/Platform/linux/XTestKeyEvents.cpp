#include "Platform/linux/XTestKeyEvents.h"

#include "Platform/LogCategories.h"
#include "Platform/linux/EvdevKeyMap.h"
#include "Platform/linux/XcbConnection.h"

#include <QList>
#include <cstdlib>
#include <xcb/xtest.h>

namespace Platform {

namespace {

constexpr int keymapBytes = 32;

constexpr int modifierCount = 8;

// The key codes of the modifier keys, one list per modifier (Shift, Lock, Control, Mod1…Mod5).
QList<QList<xcb_keycode_t>> modifierKeys(xcb_connection_t* connection)
{
    QList<QList<xcb_keycode_t>> keys;
    xcb_get_modifier_mapping_reply_t* reply =
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr);
    if (!reply)
        return keys;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < modifierCount; ++modifier) {
        QList<xcb_keycode_t> group;
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code != 0)
                group.append(code);
        }
        keys.append(group);
    }
    std::free(reply);
    return keys;
}

QList<xcb_keycode_t> keysHeldDown(xcb_connection_t* connection, const QList<xcb_keycode_t>& candidates)
{
    QList<xcb_keycode_t> held;
    xcb_query_keymap_reply_t* reply =
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr);
    if (!reply)
        return held;
    for (const xcb_keycode_t code : candidates) {
        if (code / 8 < keymapBytes && (reply->keys[code / 8] & (1 << (code % 8))))
            held.append(code);
    }
    std::free(reply);
    return held;
}

void fakeKey(xcb_connection_t* connection, uint8_t type, xcb_keycode_t code)
{
    xcb_test_fake_input(connection, type, code, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
}

} // namespace

bool XTestKeyEvents::postKeyStroke(int keyCode, int modifiers)
{
    xcb_connection_t* connection = Xcb::connection();
    const std::optional<quint8> key = EvdevKeyMap::x11KeyCode(keyCode);
    if (!connection || !key || !Xcb::hasXTest(connection)) {
        qCWarning(logPaste) << "can't synthesize key code" << keyCode
                            << (key ? "without XTEST" : "(no such key)");
        return false;
    }

    const quint16 wanted = EvdevKeyMap::x11Modifiers(modifiers);
    const QList<QList<xcb_keycode_t>> modifierCodes = modifierKeys(connection);
    QList<xcb_keycode_t> allModifierKeys;
    QList<xcb_keycode_t> pressFirst;
    for (int modifier = 0; modifier < modifierCodes.size(); ++modifier) {
        const QList<xcb_keycode_t>& group = modifierCodes.at(modifier);
        allModifierKeys += group;
        if ((wanted & (1 << modifier)) && !group.isEmpty())
            pressFirst.append(group.first());
    }

    for (const xcb_keycode_t held : keysHeldDown(connection, allModifierKeys))
        fakeKey(connection, XCB_KEY_RELEASE, held);
    for (const xcb_keycode_t code : pressFirst)
        fakeKey(connection, XCB_KEY_PRESS, code);
    fakeKey(connection, XCB_KEY_PRESS, *key);
    fakeKey(connection, XCB_KEY_RELEASE, *key);
    for (auto it = pressFirst.crbegin(); it != pressFirst.crend(); ++it)
        fakeKey(connection, XCB_KEY_RELEASE, *it);
    xcb_flush(connection);
    qCDebug(logPaste) << "synthesized X key" << *key << "with X modifiers" << Qt::hex << wanted
                      << "for stored key" << Qt::dec << keyCode << "and modifiers" << Qt::hex << modifiers;
    return true;
}

} // namespace Platform
