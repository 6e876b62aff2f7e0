#include "AppController.h"

#include "App/DemoSeed.h"
#include "Hotkey/HotKeyCenter.h"
#include "Platform/Accessibility.h"
#include "Platform/Bundle.h"
#include "Platform/Defaults.h"
#include "Platform/Pasteboard.h"
#include "Platform/SystemSleep.h"
#include "PublicConfiguration/PublicConfigurationStore.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/ConversationWindowController.h"
#include "UI/Appearance.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/CopyToastController.h"
#include "UI/PastePermissionGuide.h"
#include "Updates/UpdateSettings.h"
#include "Util/LaunchAtLogin.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"
#include "Util/SyncedFolderText.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

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

} // namespace

AppController& AppController::shared()
{
    // Never destroyed: a load or a save may still be running on its thread when the process
    // exits.
    static ClipboardStore* store = [] {
        auto* created = new ClipboardStore({Settings::shared()});
        created->loadInBackground();
        return created;
    }();
    static AppController controller({
        *store,
        Settings::shared(),
        HotKeyCenter::shared(),
        [](const QString& message, const QString& symbolName, double seconds) {
            CopyToastController::shared().show(message, symbolName, seconds);
        },
        showModalAlert,
        BrowserShelfModel::shared(),
        &UpdateSettings::shared(),
        &PublicConfigurationStore::shared(),
    });
    return controller;
}

AppController::AppController(Services services, QObject* parent)
    : QObject(parent)
    , services_(std::move(services))
    , monitor_(Platform::pasteboard(), services_.store, services_.settings)
    , targets_(options_)
    , bar_({services_.store, services_.settings, services_.browserShelf, targets_,
            [this](BarWindowController& bar) { wireBar(bar); }})
    , paste_({monitor_, services_.store, services_.settings, targets_, services_.showToast,
              [this] { hideBar(); }, [this] { showPastePermissionGuide(); }})
    , statusMenu_(services_.settings, monitor_,
                  {
                      [this] { showBar(); },
                      [this] { showSettings(std::nullopt); },
                      [this] { return hooks_.canCheckForUpdates && hooks_.canCheckForUpdates(); },
                      [this] {
                          if (hooks_.checkForUpdates)
                              hooks_.checkForUpdates();
                      },
                      [this] { return conversationWindows(); },
                  })
    , settingsWindow_({
          bar_,
          services_.settings,
          services_.store,
          [this](SettingsTab tab) { showSettings(tab); },
          [this] { toggleSyncedFolder(); },
      })
    , conversations_({
          services_.store,
          paste_,
          alertPresenter(),
          [this] {
              hideBar();
              return pasteTarget();
          },
          [this](ConversationWindowController& window) {
              window.view().setAppActions(conversationAppActions());
          },
          [this] { rebuildStatusMenu(); },
      })
    , fileProblems_(services_.store, alertPresenter())
{
    connect(&statusMenu_, &StatusMenu::itemChanged, this, &AppController::statusItemChanged);
    hookUpdaterAndRecord();
}

void AppController::hookUpdaterAndRecord()
{
    if (UpdateSettings* updates = services_.updates) {
        hooks_.startUpdater = [updates] { updates->startIfNeeded(); };
        hooks_.canCheckForUpdates = [updates] { return updates->canCheck(); };
        hooks_.checkForUpdates = [updates] { updates->check(); };
        connect(updates, &UpdateSettings::canCheckChanged, this, &AppController::rebuildStatusMenu);
    }
    if (PublicConfigurationStore* record = services_.publicConfiguration)
        hooks_.refreshPublicConfiguration = [record] { record->refresh(false); };
}

AppController::~AppController() = default;

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
    statusMenu_.followPreference();
    beginStep(LaunchStep::applyLoginItem);
    services_.settings.hooks().launchAtLoginChanged = LaunchAtLogin::set;
    LaunchAtLogin::set(services_.settings.launchAtLogin());

    if (options.demo) {
        beginStep(LaunchStep::fillDemoSamples);
        services_.store.whenLoaded(this, [this] { DemoSeed::fill(services_.store); });
    }

    beginStep(LaunchStep::scheduleFirstWindow);
    scheduleFirstWindow();
    fileProblems_.reportPreferenceProblems();

    beginStep(LaunchStep::markOnboarded);
    services_.settings.setOnboarded(true);
    fileProblems_.reportUnreadableStore();
    fileProblems_.reportFailedSaves();
}

FileProblemAlerts::ShowAlert AppController::alertPresenter()
{
    return [this](const QString& message, const QString& informativeText) {
        services_.showAlert({message, informativeText});
    };
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
        QTimer::singleShot(demoBarDelay, this,
                           [this] { whenHistoryLoaded([this] { bar_.showOnLaunch(); }); });
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

void AppController::applicationWillTerminate()
{
    if (terminated_)
        return;
    terminated_ = true;
    services_.browserShelf.end();
    paste_.end();
    monitor_.stop();
    services_.store.prepareForQuit();
    setMenuBarIconVisible(false);
    releaseWindows();
}

void AppController::releaseWindows()
{
    // Windows go with the application object, before this process-wide controller does.
    bar_.release();
    settingsWindow_.release();
    permissionGuide_.reset();
    conversations_.closeAll();
}

bool AppController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::LocaleChange)
        rebuildStatusMenu();
    return QObject::eventFilter(watched, event);
}

void AppController::rebuildStatusMenu()
{
    statusMenu_.rebuild();
}

void AppController::setMenuBarIconVisible(bool visible)
{
    statusMenu_.setVisible(visible);
}

QSystemTrayIcon* AppController::statusItem() const
{
    return statusMenu_.item();
}

void AppController::clipboardHotKeyAction()
{
    const bool barVisible = bar_.isVisible();
    if (paste_.queue().isActive() && !barVisible) {
        paste_.pasteNextQueueItem();
        return;
    }
    // The bar a demo run showed by itself is the user's first press's bar: it stays.
    if (barVisible && !bar_.isLaunchBar())
        hideBar();
    else
        showBar();
}

void AppController::browserLinksHotKeyAction()
{
    const bool visible = bar_.isVisible();
    if (visible && bar_.isOnShelf()) {
        hideBar();
        return;
    }
    if (!visible)
        showBar();
    setBarSource(BarSource::browserShelf());
}

void AppController::showBar()
{
    bar_.show();
}

void AppController::setBarSource(const BarSource& source)
{
    bar_.setSource(source);
}

void AppController::hideBar()
{
    bar_.hide();
}

BarWindowController* AppController::barController() const
{
    return bar_.controller();
}

void AppController::wireBar(BarWindowController& bar)
{
    connect(&bar, &BarWindowController::pasteRequested, this, &AppController::barPasteRequested);
    connect(&bar, &BarWindowController::askAIRequested, &conversations_, &ConversationWindows::open);
    connect(&bar, &BarWindowController::settingsRequested, this, [this] { showSettings(std::nullopt); });
    connect(&bar, &BarWindowController::browserPagesPasteRequested, this, &AppController::pasteBrowserPages);
    connect(&bar, &BarWindowController::browserPagesCopyRequested, this, &AppController::copyBrowserPages);
}

void AppController::barPasteRequested(const QList<ClipItem>& items, PasteFormat format)
{
    if (items.size() == 1)
        pasteItem(items.first(), format);
    else
        startPasteQueue(items, format);
}

std::optional<Platform::RunningApplication> AppController::pasteTarget() const
{
    return targets_.pasteTarget();
}

void AppController::pasteItem(const ClipItem& item, PasteFormat format)
{
    paste_.pasteClip(item, format);
}

void AppController::pasteBrowserPages(const QList<BrowserPage>& pages)
{
    if (const std::optional<QString> text = services_.browserShelf.text(pages))
        paste_.pasteAddresses(*text);
}

void AppController::copyBrowserPages(const QList<BrowserPage>& pages)
{
    if (const std::optional<QString> text = services_.browserShelf.text(pages))
        paste_.copyAddresses(*text);
}

void AppController::startPasteQueue(const QList<ClipItem>& items, PasteFormat format)
{
    paste_.startQueue(items, format);
}

void AppController::showSettings(std::optional<SettingsTab> tab)
{
    if (!services_.store.isLoaded()) {
        whenHistoryLoaded([this, tab] { showSettings(tab); });
        return;
    }
    settingsWindow_.present(tab);
}

void AppController::toggleSyncedFolder()
{
    Settings& settings = services_.settings;
    ClipboardStore& store = services_.store;
    const Alert unavailable{
        Localization::string(QStringLiteral("iCloud Drive Unavailable")),
        SyncedFolderText::unavailableMessage(store.syncedFolder()),
    };
    if (!settings.iCloudSync() && !store.syncedFolderAvailable()) {
        services_.showAlert(unavailable);
        return;
    }
    const bool enabled = !settings.iCloudSync();
    settings.setICloudSync(enabled);
    if (store.setSyncedFolderActive(enabled))
        return;
    // The history stayed where it was: the preference says so too.
    settings.setICloudSync(!enabled);
    if (enabled)
        services_.showAlert(unavailable);
}

ConversationDraftView::AppActions AppController::conversationAppActions()
{
    return {
        [this] { return barController() ? barController()->phase() : BarPhase{}; },
        [this] { showBar(); },
        [this] { hideBar(); },
        [this] { showSettings(SettingsTab::model); },
    };
}

QList<ConversationWindowController*> AppController::conversationWindows() const
{
    return conversations_.openWindows();
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
