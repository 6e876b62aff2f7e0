#pragma once

#include <QList>
#include <QObject>
#include <functional>
#include <memory>

class ClipboardMonitor;
class ConversationWindowController;
class QMenu;
class QSystemTrayIcon;
class Settings;

// The status item in the panel's tray and its menu: open the bar, "Settings…", "Check for
// Updates", the open conversations, pausing capture, "Quit Vellora".
class StatusMenu final : public QObject {
    Q_OBJECT
public:
    // What the menu's items run; each is set by the creator.
    struct Actions {
        std::function<void()> showBar;
        std::function<void()> showSettings;
        std::function<bool()> canCheckForUpdates;
        std::function<void()> checkForUpdates;
        // The conversation windows that are not closed, oldest first.
        std::function<QList<ConversationWindowController*>()> conversations;
    };

    StatusMenu(Settings& settings, ClipboardMonitor& monitor, Actions actions, QObject* parent = nullptr);
    ~StatusMenu() override;

    void populate(QMenu* menu);
    // Fills the menu again when it exists.
    void rebuild();
    // Creates the item with its icon and menu when missing, or removes it. The menu is
    // filled right after the icon shows, or when it is about to open if that comes first.
    void setVisible(bool visible);
    QSystemTrayIcon* item() const { return item_.get(); }
    // Shows the item as the preference says, and follows the preference and the hot key.
    void followPreference();

signals:
    void itemChanged();

private:
    void addConversationItems(QMenu* menu);
    void fillAfterTheIconShows();
    void fillIfEmpty();

    Settings& settings_;
    ClipboardMonitor& monitor_;
    Actions actions_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> item_;
};
