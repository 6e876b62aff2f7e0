#pragma once

#include <QtGlobal>

struct _XDisplay;

// The process that owns an X window by its _NET_WM_PID property, or 0 when it names none.
qint64 windowProcess(_XDisplay* display, unsigned long window);
