#include "AppController.h"

#include "Platform/Bundle.h"
#include "Settings/Settings.h"
#include "UI/VelloraBrand.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

AppController::LaunchOptions AppController::LaunchOptions::parse(const QStringList& arguments)
{
    LaunchOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--demo")) {
            options.demo = true;
        } else if (argument == QLatin1String("--demo-paste-to-textedit")) {
            options.demoPasteToTextEditor = true;
        } else if (argument == QLatin1String("--appearance") && i + 1 < arguments.size()) {
            options.appearance = AppearanceModes::fromRawValue(arguments.at(++i));
        }
    }
    return options;
}

AppController& AppController::shared()
{
    static AppController controller;
    return controller;
}

AppController::AppController() = default;

AppController::~AppController() = default;

void AppController::applicationDidFinishLaunching(const LaunchOptions& options)
{
    options_ = options;
    if (options.appearance)
        Appearance::shared().applyForThisRun(*options.appearance);
    else
        Appearance::shared().applySaved();

    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { rebuildStatusMenu(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppController::applicationWillTerminate);

    Settings& settings = Settings::shared();
    settings.hooks().menuBarIconVisibilityChanged = [this](bool visible) { setMenuBarIconVisible(visible); };
    setMenuBarIconVisible(settings.showMenuBarIcon());
    settings.setOnboarded(true);
}

void AppController::applicationWillTerminate()
{
    setMenuBarIconVisible(false);
}

void AppController::populateStatusMenu(QMenu* menu)
{
    menu->clear();
    QAction* quit = menu->addAction(Localization::string(QStringLiteral("Quit Vellora")));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void AppController::setMenuBarIconVisible(bool visible)
{
    if (visible == static_cast<bool>(statusItem_))
        return;
    if (!visible) {
        statusItem_.reset();
        statusMenu_.reset();
        emit statusItemChanged();
        return;
    }
    statusMenu_ = std::make_unique<QMenu>();
    populateStatusMenu(statusMenu_.get());
    statusItem_ = std::make_unique<QSystemTrayIcon>(VelloraBrand::markIcon());
    statusItem_->setToolTip(Platform::mainBundle().infoString(QStringLiteral("CFBundleDisplayName")));
    statusItem_->setContextMenu(statusMenu_.get());
    // A plain click opens the menu too, as a status item's click does.
    connect(statusItem_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger && statusMenu_)
                    statusMenu_->popup(QCursor::pos());
            });
    statusItem_->show();
    emit statusItemChanged();
}

QSystemTrayIcon* AppController::statusItem() const
{
    return statusItem_.get();
}

void AppController::rebuildStatusMenu()
{
    if (statusMenu_)
        populateStatusMenu(statusMenu_.get());
}
