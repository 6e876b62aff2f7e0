#pragma once

#include <QtGlobal>
#include <initializer_list>

struct _XDisplay;

// The test's own connection to the X display: synthesized key presses through XTest, and
// a look at which windows a process shows.
class RoadDesktop {
public:
    RoadDesktop();
    ~RoadDesktop();
    RoadDesktop(const RoadDesktop&) = delete;
    RoadDesktop& operator=(const RoadDesktop&) = delete;

    bool isOpen() const { return display_ != nullptr; }
    // Presses the keys in order and releases them in reverse order, as a chord is typed.
    void pressKeys(std::initializer_list<unsigned long> keysyms) const;
    // Whether the process (by _NET_WM_PID) has a mapped, viewable window at least this wide.
    bool hasViewableWindow(qint64 pid, int minimumWidth) const;

private:
    bool searchTree(unsigned long window, qint64 pid, int minimumWidth) const;
    qint64 processOf(unsigned long window) const;

    _XDisplay* display_ = nullptr;
};
