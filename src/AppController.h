#pragma once

#include "UI/Appearance.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>

class QMenu;
class QSystemTrayIcon;

// Owns the application's controllers and wires the shared objects together. The
// application is an accessory: no main window, no taskbar entry, an optional status item.
class AppController final : public QObject {
    Q_OBJECT
public:
    // What the command line asks for.
    struct LaunchOptions {
        bool demo = false;                        // "--demo"
        std::optional<AppearanceMode> appearance; // "--appearance" system|light|dark
        bool demoPasteToTextEditor = false;       // "--demo-paste-to-textedit"

        // Unknown arguments are ignored, as is a value after "--appearance" that names no
        // appearance (the saved appearance then applies).
        static LaunchOptions parse(const QStringList& arguments);
        bool operator==(const LaunchOptions&) const = default;
    };

    static AppController& shared();
    ~AppController() override;

    // Runs once the application object exists: appearance, status item, onboarding mark.
    void applicationDidFinishLaunching(const LaunchOptions& options);
    // Releases what must go before the application object does.
    void applicationWillTerminate();

    // Fills the status item's menu; it ends with "Quit Vellora".
    void populateStatusMenu(QMenu* menu);
    // Creates the status item with its icon and menu when missing, or removes it.
    void setMenuBarIconVisible(bool visible);
    QSystemTrayIcon* statusItem() const;

    const LaunchOptions& launchOptions() const { return options_; }

signals:
    void statusItemChanged();

private:
    AppController();
    void rebuildStatusMenu();

    LaunchOptions options_;
    std::unique_ptr<QMenu> statusMenu_;
    std::unique_ptr<QSystemTrayIcon> statusItem_;
};
