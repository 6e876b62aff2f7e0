#pragma once

#include "Platform/Accessibility.h"

// The permission to synthesize keys, granted or not as a test says.
class FakeAccessibility final : public Platform::Accessibility {
public:
    bool isTrusted() const override { return trusted; }

    bool trusted = true;
};
