#pragma once

#include "Platform/DesktopAppearance.h"

// A desktop whose preference the test sets; counts how often it was asked.
class FakeDesktopAppearance final : public Platform::DesktopAppearance {
public:
    bool prefersDark() override
    {
        ++queries;
        return dark;
    }
    // Changes the preference as the desktop would, announcing it.
    void setDark(bool value)
    {
        dark = value;
        emit changed();
    }

    bool dark = false;
    int queries = 0;
};
