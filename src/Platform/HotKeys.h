#pragma once

#include <QObject>
#include <optional>

namespace Platform {

// System-wide hot keys: a key with modifiers that reaches this application whichever
// window has the keyboard focus. Keys and modifiers are in the stored numbering (virtual key
// codes; Command, Shift, Option and Control bits).
class HotKeys : public QObject {
    Q_OBJECT
public:
    using Id = quint32;

    using QObject::QObject;

    // None when the desktop refuses the combination (another program holds it), the key has
    // no place on this keyboard, or there is no desktop to register with.
    virtual std::optional<Id> registerHotKey(int keyCode, int modifiers) = 0;
    virtual void unregisterHotKey(Id id) = 0;

signals:
    // On the main thread, once per press: holding the keys down does not repeat it.
    void pressed(Platform::HotKeys::Id id);
};

// The process-wide instance (Linux: key grabs on the X root window).
HotKeys& hotKeys();
// Tests install tests/fakes/FakeHotKeys; nullptr restores the real one.
void setHotKeysForTesting(HotKeys* fake);

} // namespace Platform
