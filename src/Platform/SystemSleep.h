#pragma once

#include <QObject>

namespace Platform {

// Tells when the machine wakes from sleep.
class SystemSleep : public QObject {
    Q_OBJECT
public:
    explicit SystemSleep(QObject* parent = nullptr)
        : QObject(parent)
    {}
    ~SystemSleep() override = default;

signals:
    void didWake();
};

// The process-wide service (Linux: logind's PrepareForSleep signal on the system bus).
SystemSleep& systemSleep();
// Tests install a fake; nullptr restores the real one.
void setSystemSleepForTesting(SystemSleep* fake);

} // namespace Platform
