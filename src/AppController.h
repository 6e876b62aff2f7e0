#pragma once

#include "AI/ConversationResultAction.h"
#include "App/BarCoordinator.h"
#include "App/ConversationWindows.h"
#include "App/FileProblemAlerts.h"
#include "App/LaunchOptions.h"
#include "App/PasteCoordinator.h"
#include "App/PasteTargets.h"
#include "App/SettingsWindowPresenter.h"
#include "App/StatusMenu.h"
#include "BrowserLinks/BrowserShelfModel.h"
#include "Models/BarSource.h"
#include "Models/ClipItem.h"
#include "Monitor/ClipboardMonitor.h"
#include "Monitor/PasteFormat.h"
#include "Monitor/PasteService.h"
#include "Platform/Workspace.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/Settings/SettingsTab.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class BarWindowController;
class ClipboardStore;
class ConversationWindowController;
class HotKeyCenter;
class PastePermissionGuide;
class PublicConfigurationStore;
class QSystemTrayIcon;
class Settings;
class UpdateSettings;

// Owns the application's controllers and wires the shared objects together: it runs the
// launch, the hot keys and the reactions to the system, and connects the parts under App/
// (the status menu, the bar, pasting, the settings window, the conversation windows), which
// hold the peers they need. Its public functions are what Main, the parts' callbacks and the
// bar's signals reach. The application is an accessory: no main window, no taskbar entry, an
// optional status item.
class AppController final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds permissionGuideDelay{600};
    static constexpr std::chrono::milliseconds demoBarDelay{500};

    // The steps of launching, in their order; a step that does not apply to a run is skipped.
    enum class LaunchStep {
        becomeAccessory,
        startUpdater, // not with "--demo"
        applyAppearance,
        observeSystemEvents,
        startMonitor,               // not with "--demo"
        refreshPublicConfiguration, // not with "--demo"
        startHotKeys,
        showStatusItem,
        applyLoginItem,
        fillDemoSamples,     // only with "--demo"
        scheduleFirstWindow, // the permission guide when due, else the bar with "--demo"
        markOnboarded,
    };

    // A modal alert with one default button, "OK".
    struct Alert {
        QString message;
        QString informativeText;
        bool operator==(const Alert&) const = default;
    };

    // The shared objects the controller wires together and the way it talks to the user;
    // shared() uses the process-wide ones. The browser shelf is the shared one unless given;
    // without the updater or the public configuration record, their hooks stay empty.
    struct Services {
        ClipboardStore& store;
        Settings& settings;
        HotKeyCenter& hotKeys;
        PasteCoordinator::ShowToast showToast;
        std::function<void(const Alert& alert)> showAlert;
        BrowserShelfModel& browserShelf = BrowserShelfModel::shared();
        UpdateSettings* updates = nullptr;
        PublicConfigurationStore* publicConfiguration = nullptr;
    };

    // Work that parts not built into this controller take over; each runs only when set. The
    // constructor sets the first four from the updater and the record it was given.
    struct Hooks {
        // After launching, not with "--demo".
        std::function<void()> startUpdater;
        // After launching and whenever the application becomes active, not with "--demo".
        std::function<void()> refreshPublicConfiguration;
        // Whether "Check for Updates" is enabled, and what it runs.
        std::function<bool()> canCheckForUpdates;
        std::function<void()> checkForUpdates;
        // Told as each launch step begins.
        std::function<void(LaunchStep step)> launchStepStarted;
    };

    // The process-wide controller over the process-wide services, for Main.
    static AppController& shared();

    explicit AppController(Services services, QObject* parent = nullptr);
    ~AppController() override;

    Hooks& hooks() { return hooks_; }
    ClipboardStore& store() const { return services_.store; }

    // Runs the launch steps once the application object exists.
    void applicationDidFinishLaunching(const LaunchOptions& options);
    // Ends the browser shelf and the paste queue, drops a paste still waiting, makes pending
    // deletions final and saves the store at once. Runs once.
    void applicationWillTerminate();

    // Fills the status menu again when it exists, e.g. after the updater's state changed.
    void rebuildStatusMenu();
    // Creates the status item with its icon and menu when missing, or removes it.
    void setMenuBarIconVisible(bool visible);
    QSystemTrayIcon* statusItem() const;

    // The clipboard hot key: pastes the next queue item when a paste queue runs and the bar
    // is hidden; otherwise shows the bar, or hides it while it shows or is shown.
    void clipboardHotKeyAction();
    // The browser-links hot key shows the bar on the browser shelf, or hides the bar while it
    // shows the shelf.
    void browserLinksHotKeyAction();
    // Remembers the application in front, resets the bar to the history (ending a browser
    // shelf left open) and shows it with its key handling. Creates the bar on first use.
    void showBar();
    // The one way the bar's source changes. To the browser shelf: the shelf's query becomes
    // the bar's search text, then the shelf reselects its first page when its session is
    // open, else reads the browsers again. From the browser shelf to another source: the
    // shelf ends.
    void setBarSource(const BarSource& source);
    // Ends the browser shelf, removes the bar's key handling and slides the bar out.
    void hideBar();
    BarWindowController* barController() const;

    // Hides the bar and pastes the clip into the application that was in front before the
    // bar showed; a failure is told in a toast (and without the permission to paste, the
    // permission guide opens). The clip stays on the clipboard.
    void pasteItem(const ClipItem& item, PasteFormat format);
    // The addresses of browser shelf pages, one per line, pasted as plain text into the
    // application that was in front when the bar opened, or copied; neither enters the
    // history. Nothing happens when the pages give no text; a paste without such an
    // application only says so. Both end the shelf and hide the bar.
    void pasteBrowserPages(const QList<BrowserPage>& pages);
    void copyBrowserPages(const QList<BrowserPage>& pages);
    // Pastes the first clip now and each next one on the following presses of the hot key.
    void startPasteQueue(const QList<ClipItem>& items, PasteFormat format);
    // The application pastes go to: the one in front before the bar showed (with
    // "--demo-paste-to-textedit", a running text editor when there is one).
    std::optional<Platform::RunningApplication> pasteTarget() const;

    // Opens the settings window on the pane (none keeps the current one), hiding the bar
    // and showing it again when the settings window closes.
    void showSettings(std::optional<SettingsTab> tab);
    // Turns syncing through the cloud folder on or off; an alert when it can't be turned on.
    void toggleSyncedFolder();

    // The conversation windows that are not closed, oldest first.
    QList<ConversationWindowController*> conversationWindows() const;
    // What a conversation's view asks of this controller: the bar's phase, showing and hiding
    // it, the settings window's model pane.
    ConversationDraftView::AppActions conversationAppActions();

    // Reactions to the system: after waking from sleep the bar hides and the clipboard hot
    // key is registered again; on a change of screens the bar hides.
    void systemDidWake();
    void screensDidChange();

    void showPastePermissionGuide();
    PastePermissionGuide* pastePermissionGuide() const;

    ClipboardMonitor& monitor() { return monitor_; }

signals:
    void statusItemChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hookUpdaterAndRecord();
    void beginStep(LaunchStep step);
    void observeSystemEvents();
    void startHotKeys();
    void scheduleFirstWindow();
    // Runs the action now, or once the history is loaded.
    void whenHistoryLoaded(std::function<void()> action);
    FileProblemAlerts::ShowAlert alertPresenter();
    void wireBar(BarWindowController& bar);
    void barPasteRequested(const QList<ClipItem>& items, PasteFormat format);
    void releaseWindows();

    Services services_;
    Hooks hooks_;
    LaunchOptions options_;
    bool launched_ = false;
    bool terminated_ = false;
    std::function<void()> actionAfterLoad_;

    ClipboardMonitor monitor_;
    PasteTargets targets_;
    BarCoordinator bar_;
    PasteCoordinator paste_;
    StatusMenu statusMenu_;
    SettingsWindowPresenter settingsWindow_;
    ConversationWindows conversations_;
    FileProblemAlerts fileProblems_;
    std::unique_ptr<PastePermissionGuide> permissionGuide_;
};
