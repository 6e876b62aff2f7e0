#include "AppController.h"

#include "AI/ConversationDraft.h"
#include "AI/ModelError.h"
#include "BrowserLinks/BrowserShelfModel.h"
#include "Hotkey/HotKeyCenter.h"
#include "Platform/Accessibility.h"
#include "Platform/Bundle.h"
#include "Platform/Defaults.h"
#include "Platform/Pasteboard.h"
#include "Platform/SystemSleep.h"
#include "Platform/UpdateFramework.h"
#include "PublicConfiguration/PublicConfigurationStore.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/ConversationWindowController.h"
#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/CopyToastController.h"
#include "UI/PastePermissionGuide.h"
#include "UI/Settings/SettingsWindowController.h"
#include "UI/StandardUpdateUserDriver.h"
#include "UI/VelloraBrand.h"
#include "Updates/UpdateSettings.h"
#include "Util/DemoSeed.h"
#include "Util/LaunchAtLogin.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"
#include "Util/PreferencesSalvage.h"
#include "Util/SaveFailureText.h"
#include "Util/SyncedFolderText.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace {

const QString ownApplicationName = QStringLiteral("Vellora");
const QString warningSymbol = QStringLiteral("exclamationmark.triangle");

// Desktop entries of the text editors that "--demo-paste-to-textedit" pastes into, in order
// of preference.
const QStringList textEditorIDs = {
    QStringLiteral("org.gnome.TextEditor"),
    QStringLiteral("org.gnome.gedit"),
    QStringLiteral("org.kde.kate"),
    QStringLiteral("org.kde.kwrite"),
    QStringLiteral("org.xfce.mousepad"),
    QStringLiteral("xed"),
    QStringLiteral("pluma"),
};

void showModalAlert(const AppController::Alert& alert)
{
    QMessageBox box(QMessageBox::Warning,
                    Platform::mainBundle().infoString(QStringLiteral("CFBundleDisplayName")), alert.message,
                    QMessageBox::NoButton);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(alert.informativeText);
    QPushButton* ok = box.addButton(Localization::string(QStringLiteral("OK")), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.exec();
}

bool isOwnProcess(const Platform::RunningApplication& application)
{
    return application.processIdentifier == QCoreApplication::applicationPid() ||
           Platform::mainBundle().isOwnApplication(application.bundleIdentifier);
}

// An application that is not this one and still runs; one whose window names no process (a
// Tk program's does not) counts while that window is open.
bool isUsableTarget(const std::optional<Platform::RunningApplication>& target)
{
    if (!target || isOwnProcess(*target))
        return false;
    if (target->processIdentifier > 0)
        return Platform::workspace().isRunning(target->processIdentifier);
    return Platform::workspace().applicationForWindow(target->windowIdentifier).has_value();
}

// The bytes of a clip's image: an image clip's stored file, or the file a file clip points to.
std::optional<QByteArray> readClipImage(const ClipboardStore& store, const ClipItem& item)
{
    std::optional<QString> path;
    if (item.type == ClipType::image)
        path = store.imageFilePath(item);
    else if (item.type == ClipType::file && !item.fileURLs.isEmpty())
        path = item.fileURLs.first().toLocalFile();
    if (!path)
        return std::nullopt;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

AppController::LaunchOptions AppController::LaunchOptions::parse(const QStringList& arguments)
{
    LaunchOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--demo")) {
            options.demo = true;
        } else if (argument == QLatin1String("--demo-paste-to-textedit")) {
            options.demoPasteToTextEditor = true;
        } else if (argument == QLatin1String("--settings")) {
            options.settings = true;
        } else if (argument == QLatin1String("--appearance") && i + 1 < arguments.size()) {
            options.appearance = AppearanceModes::fromRawValue(arguments.at(++i));
        }
    }
    return options;
}

AppController& AppController::shared()
{
    static AppController controller({
        ClipboardStore::shared(),
        Settings::shared(),
        HotKeyCenter::shared(),
        [](const QString& message, const QString& symbolName, double seconds) {
            CopyToastController::shared().show(message, symbolName, seconds);
        },
        showModalAlert,
    });
    static const bool wired = [] {
        Hooks& hooks = controller.hooks();
        Platform::updateFramework().makeStandardUserDriver = [](const Platform::Bundle&) {
            return std::make_unique<StandardUpdateUserDriver>();
        };
        UpdateSettings& updates = UpdateSettings::shared();
        hooks.startUpdater = [&updates] { updates.startIfNeeded(); };
        hooks.canCheckForUpdates = [&updates] { return updates.canCheck(); };
        hooks.checkForUpdates = [&updates] { updates.check(); };
        connect(&updates, &UpdateSettings::canCheckChanged, &controller, &AppController::rebuildStatusMenu);
        hooks.refreshPublicConfiguration = [] { PublicConfigurationStore::shared().refresh(false); };
        return true;
    }();
    Q_UNUSED(wired);
    return controller;
}

AppController::AppController(Services services, QObject* parent)
    : QObject(parent)
    , services_(std::move(services))
    , monitor_(Platform::pasteboard(), services_.store, services_.settings)
    , pasteService_(monitor_, services_.store, services_.settings)
{}

AppController::~AppController()
{
    services_.settings.hooks().menuBarIconVisibilityChanged = {};
}

void AppController::beginStep(LaunchStep step)
{
    if (hooks_.launchStepStarted)
        hooks_.launchStepStarted(step);
}

void AppController::applicationDidFinishLaunching(const LaunchOptions& options)
{
    if (launched_)
        return;
    launched_ = true;
    options_ = options;

    beginStep(LaunchStep::becomeAccessory);
    QApplication::setQuitOnLastWindowClosed(false);

    if (!options.demo) {
        beginStep(LaunchStep::startUpdater);
        if (hooks_.startUpdater)
            hooks_.startUpdater();
    }

    beginStep(LaunchStep::applyAppearance);
    if (options.appearance)
        Appearance::shared().applyForThisRun(*options.appearance);
    else
        Appearance::shared().applySaved();

    // The main menu has no place on Linux desktops, which have no global menu bar; its
    // commands are in the status menu and the windows.

    beginStep(LaunchStep::observeSystemEvents);
    observeSystemEvents();

    if (!options.demo) {
        beginStep(LaunchStep::startMonitor);
        monitor_.start();
        beginStep(LaunchStep::refreshPublicConfiguration);
        if (hooks_.refreshPublicConfiguration)
            hooks_.refreshPublicConfiguration();
    }

    beginStep(LaunchStep::startHotKeys);
    startHotKeys();

    beginStep(LaunchStep::showStatusItem);
    followStatusItemPreference();
    beginStep(LaunchStep::applyLoginItem);
    LaunchAtLogin::connectSettings(services_.settings);
    LaunchAtLogin::set(services_.settings.launchAtLogin());

    if (options.demo) {
        beginStep(LaunchStep::fillDemoSamples);
        services_.store.whenLoaded(this, [this] { DemoSeed::fill(services_.store); });
    }

    beginStep(LaunchStep::scheduleFirstWindow);
    scheduleFirstWindow();
    reportPreferenceProblems();

    beginStep(LaunchStep::markOnboarded);
    services_.settings.setOnboarded(true);
    reportUnreadableStore();
    reportFailedSaves();
}

void AppController::observeSystemEvents()
{
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { rebuildStatusMenu(); });
    // Locale changes reach the language look-up by themselves; the menu's numbers follow here.
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && !options_.demo && hooks_.refreshPublicConfiguration)
            hooks_.refreshPublicConfiguration();
    });
    connect(&Platform::systemSleep(), &Platform::SystemSleep::didWake, this, &AppController::systemDidWake);
    connect(qApp, &QGuiApplication::screenAdded, this, &AppController::screensDidChange);
    connect(qApp, &QGuiApplication::screenRemoved, this, &AppController::screensDidChange);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &AppController::screensDidChange);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppController::applicationWillTerminate);
}

void AppController::followStatusItemPreference()
{
    Settings& settings = services_.settings;
    settings.hooks().menuBarIconVisibilityChanged = [this](bool visible) { setMenuBarIconVisible(visible); };
    // The open item names the hot key.
    connect(&settings, &Settings::hotkeyKeyCodeChanged, this, &AppController::rebuildStatusMenu);
    connect(&settings, &Settings::hotkeyModifiersChanged, this, &AppController::rebuildStatusMenu);
    setMenuBarIconVisible(settings.showMenuBarIcon());
}

void AppController::startHotKeys()
{
    HotKeyCenter& center = services_.hotKeys;
    center.trigger = [this] { whenHistoryLoaded([this] { clipboardHotKeyAction(); }); };
    center.browserLinksTrigger = [this] { whenHistoryLoaded([this] { browserLinksHotKeyAction(); }); };
    center.connectSettings();
    center.start();
}

void AppController::scheduleFirstWindow()
{
    if (PastePermissionGuide::isDue(Platform::defaults(), Platform::accessibility())) {
        QTimer::singleShot(permissionGuideDelay, this, &AppController::showPastePermissionGuide);
        return;
    }
    if (options_.demo)
        QTimer::singleShot(demoBarDelay, this, [this] { whenHistoryLoaded([this] { showBar(); }); });
}

void AppController::whenHistoryLoaded(std::function<void()> action)
{
    if (services_.store.isLoaded()) {
        action();
        return;
    }
    // Of the requests made while the history loads, the last one runs.
    const bool waiting = static_cast<bool>(actionAfterLoad_);
    actionAfterLoad_ = std::move(action);
    if (!waiting)
        services_.store.whenLoaded(this, [this] { std::exchange(actionAfterLoad_, {})(); });
}

void AppController::reportUnreadableStore()
{
    services_.store.whenLoaded(this, [this] {
        if (!services_.store.unreadableStoreFile())
            return;
        QTimer::singleShot(0, this, [this] {
            services_.showAlert({ClipboardStore::unreadableStoreMessage(),
                                 services_.store.unreadableStoreFile().value_or(QString())});
        });
    });
}

void AppController::reportFailedSaves()
{
    // Queued: a save that fails while quitting is only logged.
    connect(
        &services_.store, &ClipboardStore::saveFailed, this,
        [this](const QString& path, const QString& reason) {
            services_.showAlert({ClipboardStore::saveFailedMessage(path), reason});
        },
        Qt::QueuedConnection);
}

void AppController::reportPreferenceProblems()
{
    Platform::Defaults& defaults = Platform::defaults();
    // The store outlives this controller; a write after it has gone tells no one.
    defaults.saveFailed = [controller = QPointer(this)](const QString& path) {
        if (!controller)
            return;
        QTimer::singleShot(0, controller, [controller, path] {
            controller->services_.showAlert(
                {Settings::saveFailedMessage(), SaveFailureText::retryNotice(path)});
        });
    };
    defaults.saveIfNeeded();
    if (const std::optional<QString> kept = defaults.unreadableFile()) {
        if (const std::optional<AppLanguage> language = PreferencesSalvage::languageChoice(*kept))
            Localization::shared().setLanguage(*language);
        QTimer::singleShot(0, this, [this, file = *kept] {
            services_.showAlert(
                {Settings::unreadableFileMessage(), Settings::unreadableFileInformativeText(file)});
        });
    }
}

void AppController::applicationWillTerminate()
{
    if (terminated_)
        return;
    terminated_ = true;
    services_.browserShelf.end();
    pasteService_.advanceGeneration();
    pasteQueue_.end();
    monitor_.stop();
    services_.store.prepareForQuit();
    setMenuBarIconVisible(false);
    releaseWindows();
}

void AppController::releaseWindows()
{
    // Windows go with the application object, before this process-wide controller does.
    stopKeyMonitor();
    bar_.reset();
    settingsWindow_.reset();
    permissionGuide_.reset();
    for (const QPointer<ConversationWindowController>& window : std::as_const(conversations_))
        delete window.data();
    conversations_.clear();
}

bool AppController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::LocaleChange)
        rebuildStatusMenu();
    return QObject::eventFilter(watched, event);
}

void AppController::populateStatusMenu(QMenu* menu)
{
    menu->clear();
    const Settings& settings = services_.settings;
    const QString open = Localization::string(QStringLiteral("Open Vellora"));
    const QString shortcut = HotKeyCenter::describe(settings.hotkeyKeyCode(), settings.hotkeyModifiers());
    QAction* openBar =
        menu->addAction(settings.hotkeyKeyCode() < 0 ? open : open + QLatin1Char('\t') + shortcut);
    connect(openBar, &QAction::triggered, this, &AppController::showBar);
    QAction* openSettings = menu->addAction(Localization::string(QStringLiteral("Settings…")));
    connect(openSettings, &QAction::triggered, this, [this] { showSettings(std::nullopt); });
    QAction* checkForUpdates = menu->addAction(Localization::string(QStringLiteral("Check for Updates")));
    checkForUpdates->setEnabled(hooks_.canCheckForUpdates && hooks_.canCheckForUpdates());
    connect(checkForUpdates, &QAction::triggered, this, [this] {
        if (hooks_.checkForUpdates)
            hooks_.checkForUpdates();
    });

    addConversationItems(menu);

    menu->addSeparator();
    const QString pause =
        monitor_.isPaused() ? QStringLiteral("Resume Capture") : QStringLiteral("Pause Capture");
    QAction* pauseCapture = menu->addAction(Localization::string(pause));
    connect(pauseCapture, &QAction::triggered, this, [this] {
        monitor_.setPaused(!monitor_.isPaused());
        // Not while the menu's own action is still running.
        QMetaObject::invokeMethod(this, &AppController::rebuildStatusMenu, Qt::QueuedConnection);
    });

    menu->addSeparator();
    QAction* quit = menu->addAction(Localization::string(QStringLiteral("Quit Vellora")));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void AppController::addConversationItems(QMenu* menu)
{
    const QList<ConversationWindowController*> windows = conversationWindows();
    if (windows.isEmpty())
        return;
    menu->addSection(Localization::string(QStringLiteral("AI Conversations")));
    for (ConversationWindowController* window : windows) {
        QAction* item =
            menu->addAction(Localization::format(QStringLiteral("Conversation %d"), window->number()));
        connect(item, &QAction::triggered, window, &ConversationWindowController::showWindow);
    }
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

void AppController::clipboardHotKeyAction()
{
    const bool barVisible = bar_ && bar_->phase().isVisible();
    if (pasteQueue_.isActive() && !barVisible) {
        pasteNextQueueItem();
        return;
    }
    if (barVisible)
        hideBar();
    else
        showBar();
}

void AppController::browserLinksHotKeyAction()
{
    const bool visible = bar_ && bar_->phase().isVisible();
    if (visible && bar_->view()->source().kind == BarSource::Kind::browserShelf) {
        hideBar();
        return;
    }
    if (!visible)
        showBar();
    setBarSource(BarSource::browserShelf());
}

void AppController::showBar()
{
    if (const std::optional<Platform::RunningApplication> front = rememberableFrontApplication())
        barTarget_ = front;
    ownWindowTarget_ = ownFrontWindow();
    BarWindowController& controller = bar();
    const bool wasOnShelf = controller.view()->source().kind == BarSource::Kind::browserShelf;
    controller.resetForShow();
    if (wasOnShelf)
        services_.browserShelf.end();
    controller.show();
    controller.setKeyMonitorEnabled(true);
    keyMonitorInstalled_ = true;
}

void AppController::setBarSource(const BarSource& source)
{
    BarView& view = *bar().view();
    const bool wasOnShelf = view.source().kind == BarSource::Kind::browserShelf;
    view.setSource(source);
    BrowserShelfModel& shelf = services_.browserShelf;
    if (view.source().kind != BarSource::Kind::browserShelf) {
        if (wasOnShelf)
            shelf.end();
        return;
    }
    shelf.setQuery(view.searchField()->text());
    if (shelf.session().isOpen())
        shelf.selectFirst();
    else
        shelf.refresh();
}

void AppController::hideBar()
{
    services_.browserShelf.end();
    stopKeyMonitor();
    if (bar_)
        bar_->hide();
}

void AppController::stopKeyMonitor()
{
    if (!keyMonitorInstalled_ || !bar_)
        return;
    keyMonitorInstalled_ = false;
    bar_->setKeyMonitorEnabled(false);
}

BarWindowController* AppController::barController() const
{
    return bar_.get();
}

BarWindowController& AppController::bar()
{
    if (bar_)
        return *bar_;
    bar_ = std::make_unique<BarWindowController>(services_.store, services_.settings, services_.browserShelf);
    connect(bar_.get(), &BarWindowController::pasteRequested, this, &AppController::barPasteRequested);
    connect(bar_.get(), &BarWindowController::askAIRequested, this, &AppController::openAIDraft);
    connect(bar_.get(), &BarWindowController::settingsRequested, this,
            [this] { showSettings(std::nullopt); });
    connect(bar_.get(), &BarWindowController::phaseChanged, this, &AppController::barPhaseChanged);
    connect(bar_.get(), &BarWindowController::sourceRequested, this, &AppController::setBarSource);
    connect(bar_.get(), &BarWindowController::browserPagesPasteRequested, this,
            &AppController::pasteBrowserPages);
    connect(bar_.get(), &BarWindowController::browserPagesCopyRequested, this,
            &AppController::copyBrowserPages);
    return *bar_;
}

void AppController::barPhaseChanged()
{
    if (bar_->phase().isVisible())
        return;
    // The bar also hides by itself (Escape, a click outside): the shelf ends with it.
    services_.browserShelf.end();
    stopKeyMonitor();
}

void AppController::barPasteRequested(const QList<ClipItem>& items, PasteFormat format)
{
    if (items.size() == 1)
        pasteItem(items.first(), format);
    else
        startPasteQueue(items, format);
}

std::optional<Platform::RunningApplication> AppController::rememberableFrontApplication() const
{
    std::optional<Platform::RunningApplication> front = Platform::workspace().frontmostApplication();
    if (front && isOwnProcess(*front))
        return std::nullopt;
    return front;
}

// A shown window of this process in front, other than the bar.
std::optional<Platform::RunningApplication> AppController::ownFrontWindow() const
{
    std::optional<Platform::RunningApplication> front = Platform::workspace().frontmostApplication();
    if (!front || front->processIdentifier != QCoreApplication::applicationPid() ||
        front->windowIdentifier == 0)
        return std::nullopt;
    const QWidget* window = QWidget::find(WId(front->windowIdentifier));
    if (!window || !window->isVisible() || (bar_ && window == bar_->view()->window()))
        return std::nullopt;
    return front;
}

std::optional<Platform::RunningApplication> AppController::clipPasteTarget() const
{
    return ownWindowTarget_ && ownWindowTarget_->windowIdentifier &&
                   QWidget::find(WId(ownWindowTarget_->windowIdentifier))
               ? ownWindowTarget_
               : pasteTarget();
}

std::optional<Platform::RunningApplication> AppController::pasteTarget() const
{
    if (options_.demo && options_.demoPasteToTextEditor) {
        const QList<Platform::RunningApplication> running = Platform::workspace().runningApplications();
        for (const QString& editor : textEditorIDs) {
            for (const Platform::RunningApplication& application : running) {
                if (application.bundleIdentifier == editor)
                    return application;
            }
        }
    }
    return barTarget_;
}

void AppController::pasteItem(const ClipItem& item, PasteFormat format)
{
    hideBar();
    promoteIfWanted(item);
    paste(item, format, clipPasteTarget(), {});
}

void AppController::pasteBrowserPages(const QList<BrowserPage>& pages)
{
    const std::optional<QString> text = services_.browserShelf.text(pages);
    if (!text)
        return;
    const std::optional<Platform::RunningApplication> target = pasteTarget();
    if (!isUsableTarget(target)) {
        services_.showToast(Localization::string(
                                QStringLiteral("There is no app to paste into. Copy the addresses instead.")),
                            warningSymbol, noPasteTargetToastSeconds);
        return;
    }
    hideBar();
    paste(ownTextClip(*text), PasteFormat::plainText, target, {});
}

void AppController::copyBrowserPages(const QList<BrowserPage>& pages)
{
    const std::optional<QString> text = services_.browserShelf.text(pages);
    if (!text)
        return;
    const qint64 before = Platform::pasteboard().changeCount();
    pasteService_.copy(ownTextClip(*text), PasteFormat::plainText);
    if (Platform::pasteboard().changeCount() != before)
        services_.showToast(Localization::string(QStringLiteral("Copied to Clipboard")),
                            QStringLiteral("checkmark.circle.fill"), copiedToastSeconds);
    hideBar();
}

void AppController::startPasteQueue(const QList<ClipItem>& items, PasteFormat format)
{
    hideBar();
    pasteQueue_.start(items);
    pasteQueueFormat_ = format;
    if (!pasteQueue_.isActive())
        return;
    pasteNextQueueItem();
}

void AppController::pasteNextQueueItem()
{
    std::optional<PasteQueueSession::Ticket> ticket = pasteQueue_.takeNext();
    if (!ticket)
        return;
    // Later items go where the user pressed the hot key; the first where the bar was opened.
    std::optional<Platform::RunningApplication> target =
        ticket->position == 0 ? clipPasteTarget() : rememberableFrontApplication();
    const ClipItem item = ticket->item;
    paste(item, pasteQueueFormat_, target,
          [this, ticket = std::move(*ticket)](bool pasted) { pasteQueue_.finish(ticket, pasted); });
}

void AppController::paste(const ClipItem& item, PasteFormat format,
                          const std::optional<Platform::RunningApplication>& target,
                          std::function<void(bool)> then)
{
    const qint64 changeCountBefore = Platform::pasteboard().changeCount();
    // paste() starts the next generation; a completion from any other one was superseded.
    const quint64 generation = pasteService_.generation() + 1;
    pasteService_.paste(item, format, target,
                        [this, generation, changeCountBefore, target, then = std::move(then)](bool pasted) {
                            if (then)
                                then(pasted);
                            if (!pasted && pasteService_.generation() == generation && !terminated_)
                                explainPasteFailure(changeCountBefore, target);
                        });
}

void AppController::explainPasteFailure(qint64 changeCountBefore,
                                        const std::optional<Platform::RunningApplication>& target)
{
    if (Platform::pasteboard().changeCount() == changeCountBefore) {
        services_.showToast(
            Localization::string(QStringLiteral("This clip can't be pasted: its content is missing.")),
            warningSymbol, pasteFailedToastSeconds);
        return;
    }
    if (!Platform::accessibility().isTrusted()) {
        services_.showToast(Localization::string(QStringLiteral(
                                "Vellora can't send the paste keys here. Your clip is on the clipboard.")),
                            warningSymbol, pasteFailedToastSeconds);
        showPastePermissionGuide();
        return;
    }
    if (target && !Platform::workspace().isRunning(target->processIdentifier)) {
        services_.showToast(Localization::string(QStringLiteral(
                                "The app you were using is closed. Your clip is on the clipboard.")),
                            warningSymbol, pasteFailedToastSeconds);
        return;
    }
    services_.showToast(Localization::string(QStringLiteral(
                            "The paste did not reach the app. Your clip is on the clipboard.")),
                        warningSymbol, pasteFailedToastSeconds);
}

void AppController::promoteIfWanted(const ClipItem& item)
{
    if (!services_.settings.promoteOnPaste())
        return;
    const QList<ClipItem>& history = services_.store.history();
    const bool inHistory = std::any_of(history.cbegin(), history.cend(),
                                       [&](const ClipItem& clip) { return clip.id == item.id; });
    if (!inHistory)
        return;
    ClipItem promoted = item;
    promoted.createdAt = QDateTime::currentDateTimeUtc();
    services_.store.addCaptured(promoted);
}

void AppController::showSettings(std::optional<SettingsTab> tab)
{
    if (!services_.store.isLoaded()) {
        whenHistoryLoaded([this, tab] { showSettings(tab); });
        return;
    }
    const bool barWasVisible = bar_ && bar_->phase().isVisible();
    if (barWasVisible)
        returnToShelfAfterSettings_ = bar_->view()->source().kind == BarSource::Kind::browserShelf;
    returnToBarAfterSettings_ = returnToBarAfterSettings_ || barWasVisible;
    hideBar();
    if (!settingsWindow_)
        settingsWindow_ = std::make_unique<SettingsWindowController>([this] { settingsWindowClosed(); });
    settingsWindow_->present(tab);
}

SettingsWindowController* AppController::settingsWindowController() const
{
    return settingsWindow_.get();
}

void AppController::settingsWindowClosed()
{
    if (!returnToBarAfterSettings_)
        return;
    returnToBarAfterSettings_ = false;
    const bool toShelf = std::exchange(returnToShelfAfterSettings_, false);
    // Once the settings window is gone, so that its closing does not take the bar's focus.
    QMetaObject::invokeMethod(
        this,
        [this, toShelf] {
            showBar();
            // The shelf ended when the bar hid for the settings: this reads the browsers again.
            if (toShelf)
                setBarSource(BarSource::browserShelf());
        },
        Qt::QueuedConnection);
}

void AppController::toggleICloudSync()
{
    Settings& settings = services_.settings;
    ClipboardStore& store = services_.store;
    const Alert unavailable{
        Localization::string(QStringLiteral("iCloud Drive Unavailable")),
        SyncedFolderText::unavailableMessage(store.syncedFolder()),
    };
    if (!settings.iCloudSync() && !store.iCloudAvailable()) {
        services_.showAlert(unavailable);
        return;
    }
    const bool enabled = !settings.iCloudSync();
    settings.setICloudSync(enabled);
    if (store.setICloudSync(enabled))
        return;
    // The history stayed where it was: the preference says so too.
    settings.setICloudSync(!enabled);
    if (enabled)
        services_.showAlert(unavailable);
}

void AppController::openAIDraft(const QList<ClipItem>& items)
{
    ConversationDraft draft;
    try {
        const ClipboardStore& store = services_.store;
        draft = ConversationDraft::capture(
            items, [&store](const ClipItem& item) { return readClipImage(store, item); });
    } catch (const ModelError& error) {
        services_.showAlert(
            {Localization::string(QStringLiteral("Materials Not Ready")), error.errorDescription()});
        return;
    }
    hideBar();
    dropClosedConversations();
    const std::optional<Platform::RunningApplication> target = pasteTarget();
    QPointer<AppController> controller(this);
    auto* window = new ConversationWindowController(
        std::move(draft),
        [controller, target](ConversationResultAction action, const QString& answer,
                             std::function<void(bool)> completion) {
            if (!controller) {
                completion(false);
                return;
            }
            controller->performConversationResultAction(action, answer, target, std::move(completion));
        },
        this);
    window->setNumber(nextConversationNumber_++);
    window->view().setAppController(this);
    conversations_.append(window);
    window->onClose = [this] {
        dropClosedConversations();
        rebuildStatusMenu();
    };
    rebuildStatusMenu();
    window->showWindow();
}

QList<ConversationWindowController*> AppController::conversationWindows() const
{
    QList<ConversationWindowController*> open;
    for (const QPointer<ConversationWindowController>& window : conversations_) {
        if (window && !window->isClosed())
            open.append(window);
    }
    return open;
}

void AppController::dropClosedConversations()
{
    for (qsizetype i = conversations_.size() - 1; i >= 0; --i) {
        const QPointer<ConversationWindowController>& window = conversations_.at(i);
        if (window && !window->isClosed())
            continue;
        if (window)
            window->deleteLater();
        conversations_.removeAt(i);
    }
}

ClipItem AppController::ownTextClip(const QString& text)
{
    ClipItem clip;
    clip.type = ClipType::text;
    clip.text = text;
    clip.createdAt = QDateTime::currentDateTimeUtc();
    clip.sourceBundleID = Platform::mainBundle().bundleIdentifier();
    clip.sourceAppName = ownApplicationName;
    return clip;
}

void AppController::performConversationResultAction(ConversationResultAction action, const QString& answer,
                                                    const std::optional<Platform::RunningApplication>& target,
                                                    std::function<void(bool)> completion)
{
    if (answer.trimmed().isEmpty()) {
        completion(false);
        return;
    }
    const ClipItem clip = ownTextClip(answer);
    switch (action) {
    case ConversationResultAction::copy: {
        const qint64 before = Platform::pasteboard().changeCount();
        pasteService_.copy(clip, PasteFormat::asCaptured);
        const bool moved = Platform::pasteboard().changeCount() != before;
        if (moved)
            services_.showToast(Localization::string(QStringLiteral("Copied to Clipboard")),
                                QStringLiteral("checkmark.circle.fill"), copiedToastSeconds);
        completion(moved);
        return;
    }
    case ConversationResultAction::paste: {
        if (!isUsableTarget(target)) {
            services_.showToast(Localization::string(QStringLiteral(
                                    "The original app is closed. Copy the answer and choose a destination.")),
                                warningSymbol, targetClosedToastSeconds);
            completion(false);
            return;
        }
        hideBar();
        QPointer<AppController> controller(this);
        pasteService_.paste(
            clip, PasteFormat::asCaptured, target,
            [controller, completion = std::move(completion)](bool pasted) {
                if (!pasted && controller)
                    controller->services_.showToast(
                        Localization::string(QStringLiteral(
                            "Paste Back failed. Your answer is still here; check permission or "
                            "copy it manually.")),
                        warningSymbol, pasteBackFailedToastSeconds);
                completion(pasted);
            });
        return;
    }
    case ConversationResultAction::save:
        services_.store.addCaptured(clip);
        services_.store.saveNow();
        services_.showToast(Localization::string(QStringLiteral("Saved as Card")),
                            QStringLiteral("checkmark"), savedToastSeconds);
        completion(true);
        return;
    }
}

void AppController::systemDidWake()
{
    hideBar();
    services_.hotKeys.registerClipboardHotKeyAgain();
}

void AppController::screensDidChange()
{
    hideBar();
}

void AppController::showPastePermissionGuide()
{
    if (!permissionGuide_)
        permissionGuide_ =
            std::make_unique<PastePermissionGuide>(Platform::defaults(), Platform::accessibility());
    permissionGuide_->show();
}

PastePermissionGuide* AppController::pastePermissionGuide() const
{
    return permissionGuide_.get();
}
