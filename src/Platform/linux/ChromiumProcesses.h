#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Platform {

// The Chrome-family browsers that this user runs, found from their command lines in /proc:
// for each browser's main process (not its helpers), the user data folders it may be using:
// the one named by --user-data-dir, else the default of its install, a Flatpak or Snap
// install included.
class ChromiumProcesses {
public:
    struct Process {
        qint64 pid = 0;
        QString bundleID;            // "com.google.Chrome" (Chromium too) or "com.microsoft.edgemac"
        QStringList userDataFolders; // where to look, most likely first

        bool operator==(const Process&) const = default;
    };

    // Where to look and whose processes count; tests pass a folder laid out like /proc.
    struct Scope {
        QString procRoot = QStringLiteral("/proc");
        qint64 uid = -1; // -1: this process's user
        QString home;    // empty: this user's home folder
    };

    static QList<Process> scan(const Scope& scope);
    // The main processes of one browser.
    static QList<Process> ofBrowser(const QString& bundleID, const Scope& scope);
};

} // namespace Platform
