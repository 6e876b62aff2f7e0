#pragma once

#include <QtGlobal>

// The current reading session of the browser shelf: a generation number raised by every
// refresh and every end, and whether a session is open.
class BrowserLinkSession {
public:
    quint64 generation() const { return generation_; }
    bool isOpen() const { return isOpen_; }

    // A new generation, open.
    quint64 open();
    // A new generation, closed.
    void end();

private:
    quint64 generation_ = 0;
    bool isOpen_ = false;
};
