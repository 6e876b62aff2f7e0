#include "Platform/linux/ProcessInfo.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace Platform {

namespace {

// The command line of a process is bounded by the kernel's argument limit; argv[0] is all
// that is needed here.
constexpr qint64 commandLineReadLimit = 4096;
constexpr qint64 statReadLimit = 1024;
// How far after its parent a background child's process id may be, and how long ago it
// may have started (it forks just before taking the clipboard).
constexpr qint64 maximumChildDistance = 16;
constexpr double maximumChildAgeSeconds = 5.0;

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

// Whether the id is a process of its own and not one thread of another: a thread's
// /proc/<tid> can be looked up too, and it shares its process's group.
bool isProcess(qint64 pid, const QString& procRoot)
{
    QFile status(processFolder(pid, procRoot) + QStringLiteral("/status"));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.read(statReadLimit).split('\n')) {
        if (line.startsWith("Tgid:"))
            return line.mid(5).trimmed().toLongLong() == pid;
    }
    return false;
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

std::optional<qint64> ProcessInfo::backgroundChild(qint64 endedPid, const QString& procRoot)
{
    // stat's fields from the state on: 0 state, 2 process group, 19 start time in clock ticks.
    constexpr int groupField = 2;
    constexpr int startField = 19;
    QFile uptimeFile(procRoot + QStringLiteral("/uptime"));
    if (endedPid <= 0 || !uptimeFile.open(QIODevice::ReadOnly))
        return std::nullopt;
    const double uptime = uptimeFile.readAll().split(' ').first().toDouble();
    const double ticksPerSecond = double(sysconf(_SC_CLK_TCK));
    for (qint64 pid = endedPid + 1; pid <= endedPid + maximumChildDistance; ++pid) {
        const QList<QByteArray> fields = statFields(pid, procRoot);
        if (fields.size() <= startField || fields.first() == "Z" || fields.first() == "X")
            continue;
        const bool leadsGroup = fields.at(groupField).toLongLong() == pid;
        const double age = uptime - fields.at(startField).toDouble() / ticksPerSecond;
        if (!leadsGroup && age <= maximumChildAgeSeconds && isProcess(pid, procRoot))
            return pid;
    }
    return std::nullopt;
}

} // namespace Platform
