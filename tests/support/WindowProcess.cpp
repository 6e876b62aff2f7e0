#include "support/WindowProcess.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

qint64 windowProcess(Display* display, unsigned long window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    qint64 pid = 0;
    const Atom property = XInternAtom(display, "_NET_WM_PID", False);
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &remaining, &data) == Success &&
        data && type == XA_CARDINAL && format == 32 && count == 1)
        pid = static_cast<qint64>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}
