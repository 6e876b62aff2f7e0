#include "TrayHost.h"

#include "support/WindowProcess.h"

#include <QElapsedTimer>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

constexpr int iconSize = 24;
constexpr long requestDock = 0;          // SYSTEM_TRAY_REQUEST_DOCK
constexpr long xembedEmbeddedNotify = 0; // XEMBED_EMBEDDED_NOTIFY
constexpr unsigned long pollIntervalMs = 10;

Atom atom(Display* display, const char* name)
{
    return XInternAtom(display, name, False);
}

void sendClientMessage(Display* display, Window target, Window about, Atom type, long mask,
                       std::initializer_list<long> data)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = about;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    int i = 0;
    for (const long value : data)
        event.xclient.data.l[i++] = value;
    XSendEvent(display, target, False, mask, &event);
}

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

TrayHost::TrayHost()
{
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        return;
    XSetErrorHandler(ignoreErrors);
    const int screen = DefaultScreen(display_);
    const Window root = RootWindow(display_, screen);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(display_, screen);
    host_ = XCreateWindow(display_, root, 0, 0, iconSize * 8, iconSize, 0, CopyFromParent, InputOutput,
                          CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XSelectInput(display_, host_, SubstructureNotifyMask);
    const long horizontal = 0;
    XChangeProperty(display_, host_, atom(display_, "_NET_SYSTEM_TRAY_ORIENTATION"), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&horizontal), 1);
    XMapRaised(display_, host_);

    const QByteArray selectionName = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
    const Atom selection = atom(display_, selectionName.constData());
    XSetSelectionOwner(display_, selection, host_, CurrentTime);
    owner_ = XGetSelectionOwner(display_, selection) == host_;
    if (owner_)
        sendClientMessage(display_, root, root, atom(display_, "MANAGER"), StructureNotifyMask,
                          {CurrentTime, static_cast<long>(selection), static_cast<long>(host_)});
    XSync(display_, False);
}

TrayHost::~TrayHost()
{
    if (!display_)
        return;
    XDestroyWindow(display_, host_);
    XCloseDisplay(display_);
}

bool TrayHost::isRunning() const
{
    return owner_;
}

quint64 TrayHost::waitForDock(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (docked_.isEmpty() && timer.elapsed() < timeoutMs) {
        processEvents();
        if (docked_.isEmpty())
            QThread::msleep(pollIntervalMs);
    }
    return docked_.value(0, 0);
}

void TrayHost::processEvents()
{
    if (!display_)
        return;
    const Atom opcode = atom(display_, "_NET_SYSTEM_TRAY_OPCODE");
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ClientMessage && event.xclient.message_type == opcode &&
            event.xclient.data.l[1] == requestDock)
            dock(static_cast<unsigned long>(event.xclient.data.l[2]));
    }
}

void TrayHost::dock(unsigned long icon)
{
    const int x = static_cast<int>(docked_.size()) * iconSize;
    XReparentWindow(display_, icon, host_, x, 0);
    XResizeWindow(display_, icon, iconSize, iconSize);
    XMapRaised(display_, icon);
    sendClientMessage(display_, icon, icon, atom(display_, "_XEMBED"), NoEventMask,
                      {CurrentTime, xembedEmbeddedNotify, 0, static_cast<long>(host_), 0});
    XSync(display_, False);
    docked_.append(icon);
}

qint64 TrayHost::processOf(quint64 window) const
{
    return windowProcess(display_, window);
}

QPoint TrayHost::centreOf(quint64 icon) const
{
    const int index = static_cast<int>(docked_.indexOf(icon));
    return {index * iconSize + iconSize / 2, iconSize / 2};
}

bool TrayHost::popupShownBy(qint64 pid) const
{
    return topLevelShownBy(pid, true);
}

bool TrayHost::windowShownBy(qint64 pid) const
{
    return topLevelShownBy(pid, false);
}

// Searches the whole tree: a window manager puts each top-level window into a frame of its own.
bool TrayHost::topLevelShownBy(qint64 pid, bool popupsOnly, unsigned long parent) const
{
    Window root = 0;
    Window parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, parent ? parent : DefaultRootWindow(display_), &root, &parentOfParent,
                    &children, &count))
        return false;
    bool shown = false;
    for (unsigned int i = 0; i < count && !shown; ++i) {
        XWindowAttributes attributes;
        if (children[i] == host_ || !XGetWindowAttributes(display_, children[i], &attributes) ||
            attributes.map_state != IsViewable)
            continue;
        shown = ((attributes.override_redirect || !popupsOnly) && processOf(children[i]) == pid) ||
                topLevelShownBy(pid, popupsOnly, children[i]);
    }
    if (children)
        XFree(children);
    return shown;
}

void TrayHost::click(const QPoint& at, int button) const
{
    XTestFakeMotionEvent(display_, DefaultScreen(display_), at.x(), at.y(), CurrentTime);
    XTestFakeButtonEvent(display_, static_cast<unsigned int>(button), True, CurrentTime);
    XTestFakeButtonEvent(display_, static_cast<unsigned int>(button), False, CurrentTime);
    XSync(display_, False);
}

void TrayHost::pressKey(unsigned long keysym) const
{
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
}
