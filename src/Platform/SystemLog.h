#pragma once

#include <QString>

namespace Platform {

// The system log. The system keeps no log of its own; a few failures write one line here.
class SystemLog {
public:
    virtual ~SystemLog() = default;
    virtual void write(const QString& line) = 0;
};

SystemLog& systemLog();
void setSystemLogForTesting(SystemLog* fake);

} // namespace Platform
