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

// The fields after "pid (comm)" of /proc/<pid>/stat, the state first; comm may hold ')'.
QList<QByteArray> statFields(qint64 pid, const QString& procRoot)
{
    QFile stat(processFolder(pid, procRoot) + QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.read(statReadLimit);
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size())
        return {};
    return line.mid(close + 2).trimmed().split(' ');
}

} // namespace

QString ProcessInfo::executableName() const
{
    const QString name = executablePath.section(QLatin1Char('/'), -1);
    return name.isEmpty() ? commandName : name;
}

QString ProcessInfo::executableOf(qint64 pid, const QString& procRoot)
{
    QString path = QFileInfo(processFolder(pid, procRoot) + QStringLiteral("/exe")).symLinkTarget();
    // A replaced executable reads as "/usr/bin/app (deleted)".
    if (path.endsWith(QLatin1String(" (deleted)")))
        path.chop(10);
    return path;
}

std::optional<ProcessInfo> ProcessInfo::read(qint64 pid, const QString& procRoot)
{
    if (!isRunning(pid, procRoot))
        return std::nullopt;
    const QString folder = processFolder(pid, procRoot);
    ProcessInfo info;
    info.executablePath = executableOf(pid, procRoot);
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
    const QList<QByteArray> fields = statFields(pid, procRoot);
    return !fields.isEmpty() && fields.first() != "Z" && fields.first() != "X";
}

} // namespace Platform
