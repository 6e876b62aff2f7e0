#pragma once

#include "Platform/Accessibility.h"

namespace Platform {

// Trusted when Qt runs on X11 and the server offers XTEST: X11 asks for no grant.
class XTestAccessibility final : public Accessibility {
public:
    bool isTrusted() const override;
};

} // namespace Platform
