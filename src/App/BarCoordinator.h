#pragma once

#include "Models/BarSource.h"

#include <functional>
#include <memory>

class BarWindowController;
class BrowserShelfModel;
class ClipboardStore;
class PasteTargets;
class Settings;

// The bar's life: created on first use, shown with its key handling after the paste targets
// are remembered, its source changed, hidden. The browser shelf ends whenever the bar leaves
// it or hides.
class BarCoordinator {
public:
    struct Environment {
        ClipboardStore& store;
        Settings& settings;
        BrowserShelfModel& browserShelf;
        PasteTargets& targets;
        // Connects a newly created bar's requests.
        std::function<void(BarWindowController& bar)> wire;
    };

    explicit BarCoordinator(Environment environment);
    ~BarCoordinator();

    // Remembers the application in front, resets the bar to the history (ending a browser
    // shelf left open) and shows it with its key handling.
    void show();
    // Shows the bar as the first window of a demo run, which the user did not ask for: their
    // first hot key takes it over (keeps it and gives it the keyboard) rather than closing it.
    void showOnLaunch();
    // To the browser shelf: the shelf's query becomes the bar's search text, then the shelf
    // reselects its first page when its session is open, else reads the browsers again. From
    // the browser shelf to another source: the shelf ends.
    void setSource(const BarSource& source);
    // Ends the browser shelf, removes the key handling and slides the bar out.
    void hide();
    void stopKeyMonitor();

    bool isVisible() const;
    // Whether the bar shows as launching showed it, not yet taken over by a request of the user.
    bool isLaunchBar() const { return launchBar_; }
    // Whether the bar shows the browser shelf (or would when shown again).
    bool isOnShelf() const;
    BarWindowController* controller() const { return bar_.get(); }
    // Removes the bar's window.
    void release();

private:
    BarWindowController& bar();
    void phaseChanged();

    Environment env_;
    std::unique_ptr<BarWindowController> bar_;
    bool keyMonitorInstalled_ = false;
    bool launchBar_ = false;
};
