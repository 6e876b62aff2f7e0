#include "FakeFileManager.h"
#include "Platform/Bundle.h"
#include "Platform/linux/X11Workspace.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using Platform::RunningApplication;
using Platform::X11Workspace;

namespace {

constexpr int windowTimeoutMs = 5000;
const QString probeId = QStringLiteral("org.vellora.WorkspaceProbe");
const QString messageId = QStringLiteral("vellora-test-message");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

unsigned long windowProperty(Display* display, Window window, Atom property)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    unsigned long value = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count,
                           &remaining, &data) == Success &&
        data && type == XA_WINDOW && format == 32 && count == 1)
        value = *reinterpret_cast<unsigned long*>(data);
    if (data)
        XFree(data);
    return value;
}

// Windows are managed, focused and activated by the window manager that scripts/test runs.
bool windowManagerRuns()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const unsigned long window = windowProperty(display, DefaultRootWindow(display), check);
    const bool runs = window != 0 && windowProperty(display, window, check) == window;
    XCloseDisplay(display);
    return runs;
}

// Applications of this test's own: this executable (found by its program name) and
// xmessage (found by its window class, as it sets no _NET_WM_PID).
class WorkspaceIntegration : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(windowManagerRuns()) << "scripts/test runs openbox"; }

    WorkspaceIntegration()
    {
        const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        writeFile(data.path() + "/applications/" + probeId + ".desktop",
                  "[Desktop Entry]\nType=Application\nName=Probe\nName[ja]=プローブ\nIcon=probe\nExec=" +
                      program.toUtf8() + " --flag\n");
        writeFile(
            data.path() + "/applications/" + messageId + ".desktop",
            "[Desktop Entry]\nType=Application\nName=Message\nExec=xmessage\nStartupWMClass=Xmessage\n");
        X11Workspace::Options options = X11Workspace::standardOptions();
        options.applicationFolders = {data.path() + "/applications"};
        options.dataFolders = {data.path()};
        options.openURL = [this](const QUrl& url) {
            opened.append(url);
            return true;
        };
        options.messageLocale = QStringLiteral("ja_JP.UTF-8");
        workspace = std::make_unique<X11Workspace>(options);
    }

    std::unique_ptr<QWidget> showWindow(const QString& title)
    {
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(title);
        window->resize(240, 120);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    bool waitForFrontWindow(quint64 window)
    {
        return QTest::qWaitFor(
            [&] {
                const std::optional<RunningApplication> front = workspace->frontmostApplication();
                return front && front->windowIdentifier == window;
            },
            windowTimeoutMs);
    }

    QTemporaryDir data;
    QList<QUrl> opened;
    std::unique_ptr<X11Workspace> workspace;
};

TEST_F(WorkspaceIntegration, findsThisProcessAsFrontmostAndRunning)
{
    const auto window = showWindow("probe front");
    window->activateWindow();
    ASSERT_TRUE(waitForFrontWindow(window->winId()));

    const RunningApplication front = *workspace->frontmostApplication();
    EXPECT_EQ(front.processIdentifier, getpid());
    EXPECT_EQ(front.bundleIdentifier, probeId);
    EXPECT_EQ(front.localizedName, QString::fromUtf8("プローブ"));
    EXPECT_EQ(front.iconName, "probe");
    EXPECT_TRUE(front.hasDesktopEntry);

    const auto second = showWindow("probe second");
    const QList<RunningApplication> running = workspace->runningApplications();
    const auto ours = std::count_if(running.begin(), running.end(), [](const RunningApplication& a) {
        return a.processIdentifier == getpid();
    });
    EXPECT_EQ(ours, 1) << "one entry per process, however many windows it has";
}

TEST_F(WorkspaceIntegration, aChildWindowBelongsToItsApplication)
{
    const auto window = showWindow("probe parent");
    QWidget child(window.get());
    child.setAttribute(Qt::WA_NativeWindow);
    child.setGeometry(10, 10, 40, 40);
    child.show();
    const std::optional<RunningApplication> owner = workspace->applicationForWindow(child.winId());
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->processIdentifier, getpid());
    EXPECT_EQ(owner->windowIdentifier, window->winId());
    EXPECT_FALSE(workspace->applicationForWindow(0));
    EXPECT_FALSE(workspace->applicationForWindow(0x7ffffff0)) << "a window that does not exist";
}

// A copy of Vellora that no desktop entry describes is known by its window class. The window
// is another process's, as a running copy's would be.
TEST_F(WorkspaceIntegration, knowsVelloraByItsWindowClass)
{
    QProcess toolkit;
    toolkit.start(QStringLiteral("wish"), {});
    ASSERT_TRUE(toolkit.waitForStarted()) << "needs Tk's wish";
    toolkit.write("wm withdraw .; toplevel .w -class Vellora; wm geometry .w 80x60; update\n");

    const Platform::Bundle& own = Platform::mainBundle();
    std::optional<RunningApplication> found;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            for (const RunningApplication& application : workspace->runningApplications()) {
                if (application.processIdentifier == toolkit.processId())
                    found = application;
            }
            return found.has_value();
        },
        windowTimeoutMs));
    toolkit.kill();
    toolkit.waitForFinished();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->bundleIdentifier, own.bundleIdentifier());
    EXPECT_EQ(found->localizedName, QStringLiteral("Vellora"));
    EXPECT_EQ(found->iconName, own.bundleIdentifier());
    EXPECT_TRUE(own.isOwnApplication(QStringLiteral("Vellora")));
    EXPECT_FALSE(own.isOwnApplication(QStringLiteral("vellora"))) << "the instance name is not the class";
}

TEST_F(WorkspaceIntegration, activatesTheRememberedWindow)
{
    const auto first = showWindow("probe first");
    const auto second = showWindow("probe second");
    second->activateWindow();
    ASSERT_TRUE(waitForFrontWindow(second->winId()));

    RunningApplication target = *workspace->applicationForWindow(first->winId());
    ASSERT_TRUE(workspace->activate(target));
    EXPECT_TRUE(waitForFrontWindow(first->winId()));

    target.windowIdentifier = second->winId();
    ASSERT_TRUE(workspace->activate(target));
    EXPECT_TRUE(waitForFrontWindow(second->winId()));

    RunningApplication gone;
    gone.processIdentifier = 1 << 30;
    gone.windowIdentifier = 0x7ffffff0;
    EXPECT_FALSE(workspace->activate(gone)) << "neither the window nor a window of the process exists";
}

TEST_F(WorkspaceIntegration, findsAndActivatesAnotherClientByItsWindowClass)
{
    const QString xmessage = QStandardPaths::findExecutable("xmessage");
    ASSERT_FALSE(xmessage.isEmpty()) << "scripts/setup installs x11-utils";
    QProcess message;
    message.start(xmessage, {"-geometry", "+300+300", "a message from another client"});
    ASSERT_TRUE(message.waitForStarted());
    std::optional<RunningApplication> found;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const RunningApplication& app : workspace->runningApplications()) {
                if (app.bundleIdentifier == messageId)
                    found = app;
            }
            return found.has_value();
        },
        windowTimeoutMs));
    EXPECT_EQ(found->localizedName, "Message");
    EXPECT_NE(found->windowIdentifier, 0u);

    const auto window = showWindow("probe over the message");
    window->activateWindow();
    ASSERT_TRUE(waitForFrontWindow(window->winId()));
    ASSERT_TRUE(workspace->activate(*found));
    EXPECT_TRUE(waitForFrontWindow(found->windowIdentifier));
    EXPECT_EQ(workspace->frontmostApplication()->bundleIdentifier, messageId);

    message.kill();
    message.waitForFinished();
}

// A copier without a window is named as its window would name it: by the desktop entry that
// runs its program, else by the program's name, also once the process has ended.
TEST_F(WorkspaceIntegration, aProgramWithoutAWindowIsNamedByItsDesktopEntry)
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const RunningApplication probe = workspace->applicationForProgram(getpid(), program);
    EXPECT_EQ(probe.bundleIdentifier, probeId);
    EXPECT_EQ(probe.localizedName, QString::fromUtf8("プローブ"));
    EXPECT_EQ(probe.processIdentifier, getpid());
    const RunningApplication copier = workspace->applicationForProgram(999999, QStringLiteral("xclip"));
    EXPECT_EQ(copier.bundleIdentifier, "xclip");
    EXPECT_EQ(copier.localizedName, "xclip");
    EXPECT_FALSE(copier.hasDesktopEntry);
}

TEST_F(WorkspaceIntegration, knowsWhetherAProcessStillRuns)
{
    EXPECT_TRUE(workspace->isRunning(getpid()));
    QProcess process;
    process.start("true");
    ASSERT_TRUE(process.waitForFinished());
    EXPECT_FALSE(workspace->isRunning(process.processId()));
}

// The file manager answers on a connection of its own, in a thread of its own, so that the
// blocking call from the main thread gets its answer.
class FileManagerService {
public:
    explicit FileManagerService(bool withObject)
    {
        thread.start();
        manager.moveToThread(&thread);
        bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-file-manager")));
        registered =
            bus->isConnected() && bus->registerService(QStringLiteral("org.freedesktop.FileManager1"));
        if (withObject)
            bus->registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                                QDBusConnection::ExportAllSlots);
    }
    ~FileManagerService()
    {
        bus->unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        bus->unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        bus.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-file-manager"));
        thread.quit();
        thread.wait();
    }

    QThread thread;
    FakeFileManager manager;
    std::unique_ptr<QDBusConnection> bus;
    bool registered = false;
};

TEST_F(WorkspaceIntegration, revealFileAsksTheFileManagerToShowTheItem)
{
    writeFile(data.path() + "/docs/a file.txt", "x");
    FileManagerService service(true);
    ASSERT_TRUE(service.registered) << "the test runs on a private session bus";
    EXPECT_TRUE(workspace->revealFile(data.path() + "/docs/a file.txt"));
    EXPECT_EQ(service.manager.shownItems(),
              QStringList({QUrl::fromLocalFile(data.path() + "/docs/a file.txt").toString()}));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(WorkspaceIntegration, revealFileOpensTheFolderWhenTheFileManagerFails)
{
    writeFile(data.path() + "/docs/b.txt", "x");
    FileManagerService service(false); // the name is taken but nothing answers the call
    ASSERT_TRUE(service.registered);
    EXPECT_TRUE(workspace->revealFile(data.path() + "/docs/b.txt"));
    EXPECT_EQ(opened, QList<QUrl>({QUrl::fromLocalFile(data.path() + "/docs")}));
}

} // namespace
