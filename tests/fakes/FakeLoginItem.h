#pragma once

#include "Platform/LoginItem.h"

#include <optional>

// A login item in memory; a set `failure` is thrown by the next changes.
class FakeLoginItem final : public Platform::LoginItem {
public:
    bool isEnabled() const override { return enabled; }
    void registerItem() override
    {
        ++registrations;
        if (failure)
            throw *failure;
        enabled = true;
    }
    void unregisterItem() override
    {
        ++unregistrations;
        if (failure)
            throw *failure;
        enabled = false;
    }

    bool enabled = false;
    std::optional<Platform::LoginItemError> failure;
    int registrations = 0;
    int unregistrations = 0;
};
