#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

struct _XDisplay;

// How long the road waits for another process to answer.
inline constexpr int roadTimeoutMs = 15000;
// The bar is a strip the width of the screen; the smallest window of it that counts as shown.
inline constexpr int barMinimumWidth = 400;

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
    // Whether keys typed now go to a window of that process.
    bool hasKeyboardFocus(qint64 pid) const;
    // Brings the process's window to the front, as the user working in it has it; false when
    // it never comes to the front.
    bool bringToFront(qint64 pid) const;

private:
    bool searchTree(unsigned long window, qint64 pid, int minimumWidth) const;

    _XDisplay* display_ = nullptr;
};

// A program with a process of its own whose output lines are read while the event loop runs.
class Child {
public:
    ~Child();

    // The rest of the newest line that starts with the prefix and satisfies the condition;
    // empty on time-out.
    QString waitForLine(const QString& prefix, const std::function<bool(const QString&)>& accept = {});

    QProcess process;
    QString output;
};

// Starts this test executable again in the paste-target role (PasteTarget.DISABLED_Run): a
// text field of another process that reports its text. True once the field has the focus.
bool startPasteTarget(Child& target);

// Another X client that owns the clipboard with a text, as a copy in another program does;
// offered as the target type when one is given.
class ClipboardOwner : public Child {
public:
    bool copy(const QString& text, const QString& target = {});
};

// Vellora itself, with home, preferences and data folders of its own.
class VelloraProcess : public Child {
public:
    VelloraProcess();

    bool start();
    // Whether the saved history holds the text (the store is saved 0.4 s after a copy).
    bool historyContains(const QString& text) const;
    // Copies in another X client and waits until Vellora has the clip in its history (until
    // the saved history holds `stored`, when given). What is on the clipboard when Vellora
    // starts is not captured, so the copy is made again while Vellora may still be starting.
    bool copyElsewhere(const QString& text, const QString& target = {}, const QString& stored = {});

    QTemporaryDir root;

private:
    std::vector<std::unique_ptr<ClipboardOwner>> owners_;
};
