#pragma once

namespace Platform {

// The desktop's short alert sound.
class SystemSound {
public:
    virtual ~SystemSound() = default;

    virtual void beep() = 0;
};

// The process-wide instance (Linux: the X server's bell).
SystemSound& systemSound();
// Tests install their own; nullptr restores the real one.
void setSystemSoundForTesting(SystemSound* fake);

} // namespace Platform
