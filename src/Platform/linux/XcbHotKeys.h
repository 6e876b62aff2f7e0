#pragma once

#include "Platform/HotKeys.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QSet>
#include <xcb/xcb.h>

namespace Platform {

// Passive key grabs on the root window through Qt's own X connection, so that the key
// events arrive in Qt's event loop on the main thread, where a native event filter takes
// them. Each combination is grabbed also with Caps Lock and Num Lock on; a grab that another
// client holds (BadAccess) refuses the registration.
class XcbHotKeys final : public HotKeys, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    XcbHotKeys();
    ~XcbHotKeys() override;

    std::optional<Id> registerHotKey(int keyCode, int modifiers) override;
    void unregisterHotKey(Id id) override;

private:
    struct Grab {
        xcb_keycode_t keyCode = 0;
        quint16 modifiers = 0;
        bool operator==(const Grab&) const = default;
    };
    friend size_t qHash(const Grab& grab, size_t seed)
    {
        return qHashMulti(seed, grab.keyCode, grab.modifiers);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    bool grab(xcb_connection_t* connection, const Grab& grab);
    void ungrab(xcb_connection_t* connection, const Grab& grab);
    // Ends the presses of a key; true when one of ours was down.
    bool releaseKey(xcb_keycode_t keyCode);

    QHash<Id, Grab> grabs_;
    QSet<Id> down_;
    Id nextId_ = 1;
    bool filterInstalled_ = false;
};

} // namespace Platform
