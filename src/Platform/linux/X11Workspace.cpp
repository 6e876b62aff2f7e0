#include "Platform/linux/X11Workspace.h"

#include "Platform/Bundle.h"
#include "Platform/linux/ProcessInfo.h"
#include "Platform/linux/XcbConnection.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace Platform {

namespace {

constexpr int fileManagerTimeoutMs = 3000; // a file manager started on demand needs about a second
constexpr long maximumClientWindows = 4096;
constexpr int maximumWindowDepth = 64;
constexpr long activationSourcePager = 2; // EWMH: a request from a pager or similar tool

int trappedErrors = 0;

int countError(Display*, XErrorEvent*)
{
    ++trappedErrors;
    return 0;
}

// WORKAROUND: Xlib's default error handler ends the process, and windows may vanish between
// two requests. The trap collects errors while it lives and restores the previous handler.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display)
        : display_(display)
        , previous_(XSetErrorHandler(countError))
    {
        trappedErrors = 0;
    }
    ~ErrorTrap()
    {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool failed() const
    {
        XSync(display_, False);
        return trappedErrors > 0;
    }

private:
    Display* display_;
    XErrorHandler previous_;
};

Atom atom(Display* display, const char* name)
{
    static QHash<QByteArray, Atom> cache;
    const QByteArray key(name);
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    const Atom value = XInternAtom(display, name, False);
    cache.insert(key, value);
    return value;
}

QList<unsigned long> longsProperty(Display* display, Window window, Atom property, Atom type,
                                   long maximumItems = 1)
{
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, maximumItems, False, type,
                                          &actualType, &actualFormat, &count, &remaining, &data);
    QList<unsigned long> values;
    if (status == Success && data && actualType == type && actualFormat == 32) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        values = QList<unsigned long>(longs, longs + count);
    }
    if (data)
        XFree(data);
    return values;
}

unsigned long longProperty(Display* display, Window window, const char* property, Atom type)
{
    return longsProperty(display, window, atom(display, property), type).value(0, 0);
}

QByteArray windowClass(Display* display, Window window)
{
    constexpr long maximumLongs = 256; // WM_CLASS is two short names
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, XA_WM_CLASS, 0, maximumLongs, False, XA_STRING,
                                          &actualType, &actualFormat, &count, &remaining, &data);
    QByteArray value;
    if (status == Success && data && actualType == XA_STRING && actualFormat == 8)
        value = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
    if (data)
        XFree(data);
    return value;
}

// The parent of a window, or 0 at the root or when the window is gone.
Window parentOf(Display* display, Window window)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return 0;
    if (children)
        XFree(children);
    return parent == root ? 0 : parent;
}

bool windowExists(Display* display, Window window)
{
    XWindowAttributes attributes;
    return window != 0 && XGetWindowAttributes(display, window, &attributes) != 0;
}

// The settings program of each desktop, by the lower-case name in $XDG_CURRENT_DESKTOP.
struct SettingsProgram {
    const char* desktop;
    const char* program;
};
constexpr SettingsProgram settingsPrograms[] = {
    {"gnome", "gnome-control-center"},
    {"unity", "gnome-control-center"},
    {"kde", "systemsettings"},
    {"kde", "systemsettings5"},
    {"xfce", "xfce4-settings-manager"},
    {"x-cinnamon", "cinnamon-settings"},
    {"mate", "mate-control-center"},
    {"budgie", "budgie-control-center"},
    {"lxqt", "lxqt-config"},
    {"deepin", "dde-control-center"},
};

// The current desktop's programs first, then every other one in table order.
QStringList settingsProgramsFor(const QStringList& desktopNames)
{
    QStringList programs;
    for (const QString& desktop : desktopNames) {
        for (const SettingsProgram& entry : settingsPrograms) {
            if (desktop.compare(QLatin1String(entry.desktop), Qt::CaseInsensitive) == 0)
                programs.append(QString::fromLatin1(entry.program));
        }
    }
    for (const SettingsProgram& entry : settingsPrograms)
        programs.append(QString::fromLatin1(entry.program));
    programs.removeDuplicates();
    return programs;
}

QString messageLocaleFromEnvironment()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("C");
}

} // namespace

X11Workspace::Options X11Workspace::standardOptions()
{
    Options options;
    options.applicationFolders = DesktopEntryIndex::standardApplicationFolders();
    options.dataFolders = DesktopEntryIndex::standardDataFolders();
    options.openURL = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    options.fileManagerService = QStringLiteral("org.freedesktop.FileManager1");
    options.fileManagerTimeoutMs = fileManagerTimeoutMs;
    options.messageLocale = messageLocaleFromEnvironment();
    options.desktopNames = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    options.startProgram = [](const QString& program) { return QProcess::startDetached(program, {}); };
    return options;
}

X11Workspace::X11Workspace(Options options)
    : options_(std::move(options))
    , index_(options_.applicationFolders)
{}

X11Workspace::~X11Workspace()
{
    if (display_)
        XCloseDisplay(display_);
}

Display* X11Workspace::display()
{
    if (triedDisplay_)
        return display_;
    triedDisplay_ = true;
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        display_ = XOpenDisplay(nullptr);
    return display_;
}

bool X11Workspace::openURL(const QUrl& url)
{
    if (!url.isValid() || url.isEmpty() || !options_.openURL)
        return false;
    return options_.openURL(url);
}

bool X11Workspace::revealFile(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return false;
    if (showInFileManager(info.absoluteFilePath()))
        return true;
    return openURL(QUrl::fromLocalFile(info.absolutePath()));
}

bool X11Workspace::openDesktopSettings()
{
    if (!options_.startProgram)
        return false;
    for (const QString& name : settingsProgramsFor(options_.desktopNames)) {
        const QString program = QStandardPaths::findExecutable(name, options_.programFolders);
        if (!program.isEmpty() && options_.startProgram(program))
            return true;
    }
    return false;
}

bool X11Workspace::showInFileManager(const QString& path) const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || options_.fileManagerService.isEmpty())
        return false;
    QDBusConnectionInterface* daemon = bus.interface();
    const bool registered = daemon && daemon->isServiceRegistered(options_.fileManagerService).value();
    const bool activatable =
        daemon && daemon->activatableServiceNames().value().contains(options_.fileManagerService);
    if (!registered && !activatable)
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        options_.fileManagerService, QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, options_.fileManagerTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

RunningApplication X11Workspace::applicationForProgram(qint64 processIdentifier, const QString& executable)
{
    return describe(0, processIdentifier, {}, executable);
}

RunningApplication X11Workspace::describe(quint64 window, qint64 pid, const QByteArray& windowClass,
                                          QString executable) const
{
    const QList<QByteArray> names = windowClass.split('\0');
    const QString instance = QString::fromUtf8(names.value(0));
    const QString className = QString::fromUtf8(names.value(1));
    if (executable.isEmpty() && pid > 0) {
        if (const std::optional<ProcessInfo> process = ProcessInfo::read(pid))
            executable = process->executableName();
    }

    RunningApplication application;
    application.processIdentifier = pid;
    application.windowIdentifier = window;
    if (const DesktopEntry* entry = index_.match(className, instance, executable)) {
        application.bundleIdentifier = entry->id;
        application.localizedName = entry->nameForLocale(options_.messageLocale);
        application.iconName = entry->icon;
        application.hasDesktopEntry = true;
        return application;
    }
    const Bundle& own = mainBundle();
    if (own.isOwnApplication(className)) {
        application.bundleIdentifier = own.bundleIdentifier();
        application.localizedName = own.infoString(QStringLiteral("CFBundleDisplayName"));
        application.iconName = application.bundleIdentifier;
        return application;
    }
    application.bundleIdentifier = !className.isEmpty()  ? className
                                   : !instance.isEmpty() ? instance
                                                         : executable;
    application.localizedName = application.bundleIdentifier;
    return application;
}

QList<quint64> X11Workspace::clientWindows()
{
    Display* d = display();
    const Window root = DefaultRootWindow(d);
    const QList<unsigned long> managed =
        longsProperty(d, root, atom(d, "_NET_CLIENT_LIST"), XA_WINDOW, maximumClientWindows);
    if (!managed.isEmpty())
        return {managed.begin(), managed.end()};

    // Without a window manager the applications' windows are the root's viewable children.
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    QList<quint64> windows;
    if (!XQueryTree(d, root, &rootReturn, &parent, &children, &count))
        return windows;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(d, children[i], &attributes) && attributes.map_state == IsViewable &&
            !attributes.override_redirect && !windowClass(d, children[i]).isEmpty())
            windows.append(children[i]);
    }
    if (children)
        XFree(children);
    return windows;
}

QList<RunningApplication> X11Workspace::runningApplications()
{
    Display* d = display();
    if (!d)
        return {};
    ErrorTrap trap(d);
    QList<RunningApplication> applications;
    QSet<qint64> seenProcesses;
    QSet<QString> seenWithoutProcess;
    for (const quint64 window : clientWindows()) {
        qint64 pid = static_cast<qint64>(longProperty(d, window, "_NET_WM_PID", XA_CARDINAL));
        // Toolkits such as Tk name no process: ask the server which one made the window.
        if (pid <= 0 && Xcb::connection())
            pid = Xcb::processOfWindow(Xcb::connection(), xcb_window_t(window)).value_or(0);
        const QByteArray wmClass = windowClass(d, window);
        if (pid <= 0 && wmClass.isEmpty())
            continue;
        if (seenProcesses.contains(pid))
            continue;
        const RunningApplication application = describe(window, pid, wmClass);
        if (pid <= 0 && seenWithoutProcess.contains(application.bundleIdentifier))
            continue;
        if (pid > 0)
            seenProcesses.insert(pid);
        else
            seenWithoutProcess.insert(application.bundleIdentifier);
        applications.append(application);
    }
    return applications;
}

std::optional<RunningApplication> X11Workspace::frontmostApplication()
{
    Display* d = display();
    if (!d)
        return std::nullopt;
    quint64 active = 0;
    {
        ErrorTrap trap(d);
        active = longProperty(d, DefaultRootWindow(d), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        if (active == 0) {
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(d, &focus, &revert);
            if (focus != PointerRoot)
                active = focus;
        }
    }
    if (active == 0)
        return std::nullopt;
    return applicationForWindow(active);
}

std::optional<RunningApplication> X11Workspace::applicationForWindow(quint64 windowIdentifier)
{
    Display* d = display();
    if (!d || windowIdentifier == 0)
        return std::nullopt;
    ErrorTrap trap(d);
    // The window to activate later is the application's top-level one: the managed client
    // among the ancestors, or else the outermost ancestor that names its process or class.
    const QList<quint64> clients = clientWindows();
    Window named = 0;
    Window window = windowIdentifier;
    for (int depth = 0; window != 0 && depth < maximumWindowDepth; ++depth) {
        if (longProperty(d, window, "_NET_WM_PID", XA_CARDINAL) > 0 || !windowClass(d, window).isEmpty())
            named = window;
        if (clients.contains(window))
            break;
        window = parentOf(d, window);
    }
    if (named == 0)
        return std::nullopt;
    return describe(named, static_cast<qint64>(longProperty(d, named, "_NET_WM_PID", XA_CARDINAL)),
                    windowClass(d, named));
}

quint64 X11Workspace::firstWindowOf(qint64 pid)
{
    Display* d = display();
    for (const quint64 window : clientWindows()) {
        if (static_cast<qint64>(longProperty(d, window, "_NET_WM_PID", XA_CARDINAL)) == pid)
            return window;
    }
    return 0;
}

bool X11Workspace::hasWindowManager()
{
    Display* d = display();
    const unsigned long check = longProperty(d, DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return check != 0 && longProperty(d, check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) == check;
}

bool X11Workspace::isCompositing()
{
    Display* d = display();
    if (!d)
        return false;
    const QByteArray selection = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(d));
    return XGetSelectionOwner(d, atom(d, selection.constData())) != None;
}

bool X11Workspace::activate(const RunningApplication& application)
{
    Display* d = display();
    if (!d)
        return false;
    ErrorTrap trap(d);
    Window window = application.windowIdentifier;
    if (!windowExists(d, window))
        window = application.processIdentifier > 0 ? firstWindowOf(application.processIdentifier) : 0;
    if (window == 0)
        return false;
    if (hasWindowManager()) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atom(d, "_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = activationSourcePager;
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        XMapRaised(d, window);
        XSetInputFocus(d, window, RevertToParent, CurrentTime);
    }
    return !trap.failed();
}

bool X11Workspace::isRunning(qint64 processIdentifier) const
{
    return ProcessInfo::isRunning(processIdentifier);
}

ApplicationInfo X11Workspace::applicationInfo(const QString& bundleIdentifier)
{
    const DesktopEntry* entry = index_.entry(bundleIdentifier);
    if (!entry)
        return {bundleIdentifier, {}, {}, false};
    return {entry->id, entry->nameForLocale(options_.messageLocale), entry->icon, true};
}

QList<ApplicationInfo> X11Workspace::installedApplications()
{
    QList<ApplicationInfo> applications;
    for (const DesktopEntry& entry : index_.entries()) {
        if (!entry.noDisplay)
            applications.append({entry.id, entry.nameForLocale(options_.messageLocale), entry.icon, true});
    }
    return applications;
}

QIcon X11Workspace::icon(const QString& bundleIdentifier)
{
    const DesktopEntry* entry = index_.entry(bundleIdentifier);
    if (!entry || entry->icon.isEmpty())
        return {};
    const QString& name = entry->icon;
    if (QDir::isAbsolutePath(name))
        return QFileInfo::exists(name) ? QIcon(name) : QIcon();
    if (!name.contains(QLatin1Char('/'))) {
        const QIcon themed = QIcon::fromTheme(name);
        if (!themed.isNull())
            return themed;
    }
    for (const QString& folder : options_.dataFolders) {
        for (const char* suffix : {"", ".png", ".svg", ".xpm"}) {
            const QString path = folder + QStringLiteral("/pixmaps/") + name + QLatin1String(suffix);
            if (QFileInfo(path).isFile())
                return QIcon(path);
        }
    }
    return {};
}

} // namespace Platform
