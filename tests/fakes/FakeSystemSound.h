#pragma once

#include "Platform/SystemSound.h"

// Counts the alert sounds played.
class FakeSystemSound final : public Platform::SystemSound {
public:
    void beep() override { ++beeps; }

    int beeps = 0;
};
