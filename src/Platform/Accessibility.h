#pragma once

namespace Platform {

// Whether this application may synthesize key presses in other applications.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    virtual bool isTrusted() const = 0;
};

// The process-wide instance (Linux: true on X11 when the server offers XTEST; false where
// synthesizing is impossible, e.g. without an X display).
Accessibility& accessibility();
// Tests install their own; nullptr restores the real one.
void setAccessibilityForTesting(Accessibility* fake);

} // namespace Platform
