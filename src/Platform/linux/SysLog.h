#pragma once

#include "Platform/SystemLog.h"

namespace Platform {

// syslog(3), user facility.
class SysLog final : public SystemLog {
public:
    void write(const QString& line) override;
};

} // namespace Platform
