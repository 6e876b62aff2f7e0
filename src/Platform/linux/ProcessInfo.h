#pragma once

#include <QString>
#include <optional>

namespace Platform {

// What /proc tells of a process: its executable and the name it was started by.
struct ProcessInfo {
    QString executablePath; // the target of /proc/<pid>/exe; empty when not readable
    QString commandName;    // argv[0] without its folder

    // The program's file name: the executable's, else argv[0]'s.
    QString executableName() const;

    // None when the process does not exist (or has ended and awaits its parent).
    static std::optional<ProcessInfo> read(qint64 pid, const QString& procRoot = QStringLiteral("/proc"));
    static bool isRunning(qint64 pid, const QString& procRoot = QStringLiteral("/proc"));
    // The executable's path, without the mark of one replaced since it started; empty when
    // not readable.
    static QString executableOf(qint64 pid, const QString& procRoot = QStringLiteral("/proc"));
};

} // namespace Platform
