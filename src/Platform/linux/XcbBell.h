#pragma once

#include "Platform/SystemSound.h"

namespace Platform {

// The X server's bell, rung on Qt's connection; silent without an X display.
class XcbBell final : public SystemSound {
public:
    void beep() override;
};

} // namespace Platform
