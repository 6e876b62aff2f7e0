#pragma once

#include "Platform/Workspace.h"
#include "Platform/linux/DesktopEntryIndex.h"

#include <QStringList>
#include <functional>

struct _XDisplay;

namespace Platform {

// The workspace of an X11 desktop: windows and the active window from the window manager's
// EWMH properties (_NET_CLIENT_LIST, _NET_ACTIVE_WINDOW, _NET_WM_PID, WM_CLASS), programs
// from /proc, applications from the XDG desktop entries. It opens its own connection to
// $DISPLAY on first need. Main thread only.
class X11Workspace final : public Workspace {
public:
    struct Options {
        QStringList applicationFolders; // in precedence order
        QStringList dataFolders;        // searched for "pixmaps/<icon>"
        std::function<bool(const QUrl&)> openURL;
        QString fileManagerService; // a D-Bus name offering org.freedesktop.FileManager1
        int fileManagerTimeoutMs = 0;
        QString messageLocale;      // POSIX form, e.g. "de_DE.UTF-8"
        QStringList desktopNames;   // $XDG_CURRENT_DESKTOP, e.g. {"ubuntu", "GNOME"}
        QStringList programFolders; // searched for settings programs; empty means $PATH
        std::function<bool(const QString& program)> startProgram; // detached; false when it can't
    };
    // The desktop's own folders, QDesktopServices, the session's file manager, the message
    // locale and desktop names of the environment, and detached processes.
    static Options standardOptions();

    explicit X11Workspace(Options options = standardOptions());
    ~X11Workspace() override;
    X11Workspace(const X11Workspace&) = delete;
    X11Workspace& operator=(const X11Workspace&) = delete;

    bool openURL(const QUrl& url) override;
    bool revealFile(const QString& path) override;
    bool openDesktopSettings() override;
    QList<RunningApplication> runningApplications() override;
    std::optional<RunningApplication> frontmostApplication() override;
    std::optional<RunningApplication> applicationForWindow(quint64 windowIdentifier) override;
    RunningApplication applicationForProgram(qint64 processIdentifier, const QString& executable) override;
    bool activate(const RunningApplication& application) override;
    bool isRunning(qint64 processIdentifier) const override;
    bool isCompositing() override;
    ApplicationInfo applicationInfo(const QString& bundleIdentifier) override;
    QList<ApplicationInfo> installedApplications() override;
    QIcon icon(const QString& bundleIdentifier) override;

private:
    _XDisplay* display();
    bool showInFileManager(const QString& path) const;
    // The executable is read from the process when none is given.
    RunningApplication describe(quint64 window, qint64 pid, const QByteArray& windowClass,
                                QString executable = {}) const;
    QList<quint64> clientWindows();
    quint64 firstWindowOf(qint64 pid);
    bool hasWindowManager();

    Options options_;
    DesktopEntryIndex index_;
    _XDisplay* display_ = nullptr;
    bool triedDisplay_ = false;
};

} // namespace Platform
