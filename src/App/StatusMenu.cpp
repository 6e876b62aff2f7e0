#include "App/StatusMenu.h"

#include "Monitor/ClipboardMonitor.h"
#include "Platform/Bundle.h"
#include "Settings/Settings.h"
#include "UI/AI/ConversationWindowController.h"
#include "UI/VelloraBrand.h"
#include "Util/KeyNames.h"
#include "Util/Localization.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

StatusMenu::StatusMenu(Settings& settings, ClipboardMonitor& monitor, Actions actions, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , monitor_(monitor)
    , actions_(std::move(actions))
{}

StatusMenu::~StatusMenu()
{
    settings_.hooks().menuBarIconVisibilityChanged = {};
}

void StatusMenu::followPreference()
{
    settings_.hooks().menuBarIconVisibilityChanged = [this](bool visible) { setVisible(visible); };
    // The open item names the hot key.
    connect(&settings_, &Settings::hotkeyKeyCodeChanged, this, &StatusMenu::rebuild);
    connect(&settings_, &Settings::hotkeyModifiersChanged, this, &StatusMenu::rebuild);
    setVisible(settings_.showMenuBarIcon());
}

void StatusMenu::populate(QMenu* menu)
{
    menu->clear();
    const QString open = Localization::string(QStringLiteral("Open Vellora"));
    const QString shortcut = KeyNames::describe(settings_.hotkeyKeyCode(), settings_.hotkeyModifiers());
    QAction* openBar =
        menu->addAction(settings_.hotkeyKeyCode() < 0 ? open : open + QLatin1Char('\t') + shortcut);
    connect(openBar, &QAction::triggered, this, [this] { actions_.showBar(); });
    QAction* openSettings = menu->addAction(Localization::string(QStringLiteral("Settings…")));
    connect(openSettings, &QAction::triggered, this, [this] { actions_.showSettings(); });
    QAction* checkForUpdates = menu->addAction(Localization::string(QStringLiteral("Check for Updates")));
    checkForUpdates->setEnabled(actions_.canCheckForUpdates());
    connect(checkForUpdates, &QAction::triggered, this, [this] { actions_.checkForUpdates(); });

    addConversationItems(menu);

    menu->addSeparator();
    const QString pause =
        monitor_.isPaused() ? QStringLiteral("Resume Capture") : QStringLiteral("Pause Capture");
    QAction* pauseCapture = menu->addAction(Localization::string(pause));
    connect(pauseCapture, &QAction::triggered, this, [this] {
        monitor_.setPaused(!monitor_.isPaused());
        // Not while the menu's own action is still running.
        QMetaObject::invokeMethod(this, &StatusMenu::rebuild, Qt::QueuedConnection);
    });

    menu->addSeparator();
    QAction* quit = menu->addAction(Localization::string(QStringLiteral("Quit Vellora")));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void StatusMenu::addConversationItems(QMenu* menu)
{
    const QList<ConversationWindowController*> windows = actions_.conversations();
    if (windows.isEmpty())
        return;
    menu->addSection(Localization::string(QStringLiteral("AI Conversations")));
    for (ConversationWindowController* window : windows) {
        QAction* item =
            menu->addAction(Localization::format(QStringLiteral("Conversation %d"), window->number()));
        connect(item, &QAction::triggered, window, &ConversationWindowController::showWindow);
    }
}

void StatusMenu::setVisible(bool visible)
{
    if (visible == static_cast<bool>(item_))
        return;
    if (!visible) {
        item_.reset();
        menu_.reset();
        emit itemChanged();
        return;
    }
    menu_ = std::make_unique<QMenu>();
    connect(menu_.get(), &QMenu::aboutToShow, this, &StatusMenu::fillIfEmpty);
    item_ = std::make_unique<QSystemTrayIcon>(VelloraBrand::markIcon());
    item_->setToolTip(Platform::mainBundle().infoString(QStringLiteral("CFBundleDisplayName")));
    item_->setContextMenu(menu_.get());
    // A plain click opens the menu too, as a status item's click does.
    connect(item_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger && menu_)
            menu_->popup(QCursor::pos());
    });
    item_->show();
    fillAfterTheIconShows();
    emit itemChanged();
}

void StatusMenu::fillAfterTheIconShows()
{
    // The menu's items wait until the event loop has gone round once with the icon, whose
    // requests then reach the display server first.
    QMenu* menu = menu_.get();
    QTimer::singleShot(0, menu, [this, menu] { QTimer::singleShot(0, menu, [this] { fillIfEmpty(); }); });
}

void StatusMenu::fillIfEmpty()
{
    if (menu_ && menu_->isEmpty())
        populate(menu_.get());
}

void StatusMenu::rebuild()
{
    if (menu_)
        populate(menu_.get());
}
