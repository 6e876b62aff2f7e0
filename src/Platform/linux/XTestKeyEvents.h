#pragma once

#include "Platform/KeyEvents.h"

namespace Platform {

// Key presses through XTEST on Qt's connection to the X server.
class XTestKeyEvents final : public KeyEvents {
public:
    bool postKeyStroke(int keyCode, int modifiers) override;
};

} // namespace Platform
