#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

namespace Platform {

// An application with a window on the display. `bundleIdentifier` is the id of its desktop
// entry ("org.gnome.TextEditor"); an application without one is named by its window class,
// or else by its executable's name.
struct RunningApplication {
    QString bundleIdentifier;
    QString localizedName;
    QString iconName; // the entry's Icon: a theme name or an absolute path; may be empty
    qint64 processIdentifier = 0;
    quint64 windowIdentifier = 0; // the window found for it; 0 when none is known
    bool hasDesktopEntry = false;

    bool operator==(const RunningApplication&) const = default;
};

// What the desktop knows of an application by its identifier.
struct ApplicationInfo {
    QString bundleIdentifier;
    QString name;
    QString iconName;
    bool installed = false;

    bool operator==(const ApplicationInfo&) const = default;
};

// The desktop's applications and windows: opening addresses and files, the running
// applications, the one in front, and activating one. Without a display every query answers
// empty and every action fails.
class Workspace {
public:
    virtual ~Workspace() = default;

    virtual bool openURL(const QUrl& url) = 0;
    // Shows the file selected in the file manager, or else opens its folder.
    virtual bool revealFile(const QString& path) = 0;
    // Starts the desktop's own settings program (the current desktop's first, then any other
    // installed one). False when none is installed or none could be started.
    virtual bool openDesktopSettings() = 0;

    // One entry per process with a window, in the window manager's stacking of clients.
    virtual QList<RunningApplication> runningApplications() = 0;
    // The application of the active window, with that window's identifier.
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    // The application that owns a window (any of its windows), if the window exists.
    virtual std::optional<RunningApplication> applicationForWindow(quint64 windowIdentifier) = 0;
    // The application of a process that shows no window (a command-line copier), by its
    // program: named like the running applications, through the desktop entry that runs
    // the program when there is one, else by the program's name.
    virtual RunningApplication applicationForProgram(qint64 processIdentifier, const QString& executable) = 0;
    // Brings the application's remembered window (or else its first window) to the front
    // with the keyboard focus. False when no such window exists.
    virtual bool activate(const RunningApplication& application) = 0;
    // Whether the process still runs.
    virtual bool isRunning(qint64 processIdentifier) const = 0;
    // Whether a compositing manager draws the screen, so that a moving window shows no
    // half-drawn frames.
    virtual bool isCompositing() { return false; }

    // Installed or not: `installed` is false and the name empty for an unknown identifier.
    virtual ApplicationInfo applicationInfo(const QString& bundleIdentifier) = 0;
    // The installed applications that menus show, in identifier order.
    virtual QList<ApplicationInfo> installedApplications() = 0;
    // The application's icon; a null icon when it has none or is not installed.
    virtual QIcon icon(const QString& bundleIdentifier) = 0;
};

// The process-wide instance (Linux: X11, /proc and the XDG desktop entries).
Workspace& workspace();
// Tests install tests/fakes/FakeWorkspace; nullptr restores the real one.
void setWorkspaceForTesting(Workspace* fake);

} // namespace Platform
