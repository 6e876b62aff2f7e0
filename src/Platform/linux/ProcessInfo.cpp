#include "Platform/linux/ProcessInfo.h"

#include <QFile>
#include <QFileInfo>

namespace Platform {

namespace {

// The command line of a process is bounded by the kernel's argument limit; argv[0] is all
// that is needed here.
constexpr qint64 commandLineReadLimit = 4096;
constexpr qint64 statReadLimit = 1024;

QString processFolder(qint64 pid, const QString& procRoot)
{
    return procRoot + QLatin1Char('/') + QString::number(pid);
}

} // namespace

QString ProcessInfo::executableName() const
{
    // A replaced executable reads as "/usr/bin/app (deleted)".
    QString path = executablePath;
    if (path.endsWith(QLatin1String(" (deleted)")))
        path.chop(10);
    const QString name = path.section(QLatin1Char('/'), -1);
    return name.isEmpty() ? commandName : name;
}

std::optional<ProcessInfo> ProcessInfo::read(qint64 pid, const QString& procRoot)
{
    if (!isRunning(pid, procRoot))
        return std::nullopt;
    const QString folder = processFolder(pid, procRoot);
    ProcessInfo info;
    info.executablePath = QFileInfo(folder + QStringLiteral("/exe")).symLinkTarget();
    QFile cmdline(folder + QStringLiteral("/cmdline"));
    if (cmdline.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = cmdline.read(commandLineReadLimit);
        const QByteArray first = bytes.left(bytes.indexOf('\0') >= 0 ? bytes.indexOf('\0') : bytes.size());
        info.commandName = QString::fromLocal8Bit(first).section(QLatin1Char('/'), -1);
    }
    return info;
}

bool ProcessInfo::isRunning(qint64 pid, const QString& procRoot)
{
    if (pid <= 0)
        return false;
    QFile stat(processFolder(pid, procRoot) + QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // "pid (comm) S ...": the state follows the last ')', as comm may hold ')' itself.
    const QByteArray line = stat.read(statReadLimit);
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size())
        return false;
    return line.at(close + 2) != 'Z' && line.at(close + 2) != 'X';
}

} // namespace Platform
