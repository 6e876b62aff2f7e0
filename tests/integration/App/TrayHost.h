#pragma once

#include <QList>
#include <QPoint>
#include <QtGlobal>

struct _XDisplay;

// A minimal system tray for tests: owns the _NET_SYSTEM_TRAY_S<n> selection on its own X
// connection, announces itself with MANAGER, and embeds every icon that asks to dock
// (SYSTEM_TRAY_REQUEST_DOCK) side by side in a window at the top left of the screen.
class TrayHost {
public:
    TrayHost();
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // Whether this host owns the tray selection.
    bool isRunning() const;
    // Handles pending requests until an icon has docked or the time is up; the icon's
    // window, or 0.
    quint64 waitForDock(int timeoutMs);
    // Handles pending requests without waiting.
    void processEvents();
    QList<quint64> dockedIcons() const { return docked_; }

    // The process that owns a window (_NET_WM_PID), or 0.
    qint64 processOf(quint64 window) const;
    // The centre of a docked icon in screen coordinates.
    QPoint centreOf(quint64 icon) const;
    // Whether a popup (an override-redirect, viewable top-level window) of the process shows.
    bool popupShownBy(qint64 pid) const;
    // Whether any viewable window of the process shows.
    bool windowShownBy(qint64 pid) const;

    // Synthesised input through XTest.
    void click(const QPoint& at, int button) const;
    void pressKey(unsigned long keysym) const;

private:
    void dock(unsigned long icon);
    bool topLevelShownBy(qint64 pid, bool popupsOnly, unsigned long parent = 0) const;

    _XDisplay* display_ = nullptr;
    unsigned long host_ = 0;
    bool owner_ = false;
    QList<quint64> docked_;
};
