#include "RoadDesktop.h"

#include <QList>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

RoadDesktop::RoadDesktop()
{
    display_ = XOpenDisplay(nullptr);
    if (display_)
        XSetErrorHandler(ignoreErrors);
}

RoadDesktop::~RoadDesktop()
{
    if (display_)
        XCloseDisplay(display_);
}

void RoadDesktop::pressKeys(std::initializer_list<unsigned long> keysyms) const
{
    QList<KeyCode> codes;
    for (const unsigned long keysym : keysyms)
        codes.append(XKeysymToKeycode(display_, keysym));
    for (const KeyCode code : codes)
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
    for (auto it = codes.crbegin(); it != codes.crend(); ++it)
        XTestFakeKeyEvent(display_, *it, False, CurrentTime);
    XSync(display_, False);
}

bool RoadDesktop::hasViewableWindow(qint64 pid, int minimumWidth) const
{
    return searchTree(DefaultRootWindow(display_), pid, minimumWidth);
}

bool RoadDesktop::searchTree(unsigned long window, qint64 pid, int minimumWidth) const
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    if (attributes.width >= minimumWidth && processOf(window) == pid)
        return true;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count))
        return false;
    bool found = false;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = searchTree(children[i], pid, minimumWidth);
    if (children)
        XFree(children);
    return found;
}

qint64 RoadDesktop::processOf(unsigned long window) const
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    qint64 pid = 0;
    const Atom property = XInternAtom(display_, "_NET_WM_PID", False);
    if (XGetWindowProperty(display_, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &remaining, &data) == Success &&
        data && type == XA_CARDINAL && format == 32 && count == 1)
        pid = static_cast<qint64>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}
