#include "Platform/linux/SysLog.h"

#include <syslog.h>

namespace Platform {

void SysLog::write(const QString& line)
{
    const QByteArray utf8 = line.toUtf8();
    syslog(LOG_USER | LOG_NOTICE, "%s", utf8.constData());
}

} // namespace Platform
