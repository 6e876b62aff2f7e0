#pragma once

namespace Platform {

// Synthesized key presses, as if typed on the keyboard, delivered to the focused window.
class KeyEvents {
public:
    virtual ~KeyEvents() = default;

    // Presses and releases a key (a stored virtual key code) with exactly the given modifiers
    // (a stored modifier mask): modifiers the user still holds are released first.
    // False when keys can't be synthesized here or the key has no place on this keyboard.
    virtual bool postKeyStroke(int keyCode, int modifiers) = 0;
};

// The process-wide instance (Linux: the XTEST extension).
KeyEvents& keyEvents();
// Tests install tests/fakes/FakeKeyEvents; nullptr restores the real one.
void setKeyEventsForTesting(KeyEvents* fake);

} // namespace Platform
