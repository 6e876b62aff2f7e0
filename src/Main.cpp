#include "AppController.h"

#include "App/PlatformHooks.h"
#include "Platform/Bundle.h"
#include "Platform/Defaults.h"
#include "Platform/HeapRelease.h"
#include "Platform/SingleInstance.h"
#include "Store/ClipboardStore.h"
#include "Store/DataDirectory.h"
#include "UI/LanguageFont.h"
#include "UI/QtTranslations.h"
#include "Util/Localization.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Wayland sessions run Vellora through XWayland: global hot keys and pasting need X11.
void preferX11()
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

int signalSockets[2] = {-1, -1};

void forwardSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(signalSockets[1], &byte, 1);
    static_cast<void>(written);
}

// SIGTERM (sent at logout) and SIGINT end Vellora through the ordinary quit, so that the
// application's termination steps run. The handler only writes to a socket; the event loop
// reads it.
void quitOnTerminationSignals(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalSockets[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        const ssize_t read = ::read(signalSockets[0], &byte, 1);
        static_cast<void>(read);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// Milliseconds since the kernel started this process (its start time in /proc/self/stat,
// in clock ticks since boot), or -1 when unreadable.
double millisecondsSinceExec()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Field 22 (starttime) counted from the state, the first field after "(comm)".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    constexpr int startTimeIndex = 22 - 3;
    if (fields.size() <= startTimeIndex)
        return -1;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    const double startMs = fields.at(startTimeIndex).toDouble() / ticks * 1000.0;
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6 - startMs;
}

// VELLORA_BENCH_STARTUP=1: once the status item is shown, print the start-up time and the wall
// clock; once the history is loaded, print that time and quit.
void reportStartupAndQuit(const QElapsedTimer& sinceMain)
{
    QTimer::singleShot(0, qApp, [&sinceMain] {
        const QSystemTrayIcon* item = AppController::shared().statusItem();
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("startup_ms_since_main=%.1f startup_ms_since_exec=%.0f status_item_clock_ns=%lld "
                    "status_item_visible=%d",
                    static_cast<double>(sinceMain.nsecsElapsed()) / 1e6, millisecondsSinceExec(),
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                    item && item->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() ? 1 : 0);
        AppController::shared().store().whenLoaded(qApp, [&sinceMain] {
            std::printf(" history_ms_since_main=%.1f\n", static_cast<double>(sinceMain.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    });
}

const QByteArray showBarRequest = QByteArrayLiteral("bar");
const QByteArray showSettingsRequest = QByteArrayLiteral("settings");

void answerLaterRuns(Platform::SingleInstance& instance)
{
    QObject::connect(&instance, &Platform::SingleInstance::requested, qApp, [](const QByteArray& request) {
        if (request == showSettingsRequest)
            AppController::shared().showSettings(std::nullopt);
        else if (request == showBarRequest)
            AppController::shared().showBar();
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    Platform::returnLargeBlocksWhenFreed();
    preferX11();

    QApplication app(argc, argv);
    const Platform::Bundle& bundle = Platform::mainBundle();
    QApplication::setApplicationName(bundle.infoString(QStringLiteral("CFBundleName")));
    QApplication::setOrganizationName(bundle.infoString(QStringLiteral("CFBundleName")));
    QApplication::setApplicationVersion(bundle.appVersion());
    QApplication::setDesktopFileName(bundle.bundleIdentifier());
    QApplication::setQuitOnLastWindowClosed(false);
    quitOnTerminationSignals(app);

    const LaunchOptions options = LaunchOptions::parse(QApplication::arguments());
    // A demo keeps its own data, so it may run beside the real one, but only once.
    Platform::SingleInstance instance(options.demo ? QStringLiteral("vellora-demo")
                                                   : QStringLiteral("vellora"));
    switch (instance.claim(options.settings ? showSettingsRequest : showBarRequest)) {
    case Platform::SingleInstance::Outcome::handedOver:
        return 0;
    case Platform::SingleInstance::Outcome::unreachable:
        std::fprintf(stderr, "Vellora is already running but does not answer (%s).\n",
                     qPrintable(instance.lockPath()));
        return 1;
    case Platform::SingleInstance::Outcome::running:
        answerLaterRuns(instance);
        break;
    }

    DataDirectory::setDemo(options.demo);
    PlatformHooks::install();
    const QtTranslations qtTranslations(Localization::shared());
    const LanguageFont languageFont(Localization::shared());
    AppController::shared().applicationDidFinishLaunching(options);
    if (options.settings)
        AppController::shared().showSettings(std::nullopt);
    if (qEnvironmentVariable("VELLORA_BENCH_STARTUP") == QLatin1String("1"))
        reportStartupAndQuit(sinceMain);
    const int status = QApplication::exec();
    // Changes that a failed save kept in memory get one more try.
    Platform::defaults().saveIfNeeded();
    return status;
}
