#pragma once

#include "Platform/Workspace.h"

#include <optional>

class QWidget;
struct LaunchOptions;

// Where pastes go: the application in front when the bar showed, or a window of Vellora's
// own that was in front then (a conversation's question, a settings field).
class PasteTargets {
public:
    explicit PasteTargets(const LaunchOptions& options);

    // Remembers what is in front as the bar shows; `barWindow` (none before the bar's first
    // show) is never taken as a target.
    void rememberFront(const QWidget* barWindow);

    // The application pastes go to: the one in front before the bar showed (with
    // "--demo-paste-to-textedit", a running text editor when there is one).
    std::optional<Platform::RunningApplication> pasteTarget() const;
    // Where a clip chosen in the bar goes: the own window remembered when it still exists,
    // else pasteTarget().
    std::optional<Platform::RunningApplication> clipPasteTarget() const;

    // The application in front unless it is this one.
    static std::optional<Platform::RunningApplication> rememberableFrontApplication();
    // An application that is not this one and still runs; one whose window names no process
    // (a Tk program's does not) counts while that window is open.
    static bool isUsable(const std::optional<Platform::RunningApplication>& target);

private:
    const LaunchOptions& options_;
    std::optional<Platform::RunningApplication> barTarget_;
    std::optional<Platform::RunningApplication> ownWindowTarget_;
};
