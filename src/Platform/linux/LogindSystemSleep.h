#pragma once

#include "Platform/SystemSleep.h"

#include <QDBusConnection>

namespace Platform {

// logind announces sleep with PrepareForSleep(true) and waking with PrepareForSleep(false).
// Without a bus or logind nothing is ever reported.
class LogindSystemSleep final : public SystemSleep {
    Q_OBJECT
public:
    explicit LogindSystemSleep(QDBusConnection bus, QObject* parent = nullptr);

private slots:
    void prepareForSleep(bool start);
};

} // namespace Platform
