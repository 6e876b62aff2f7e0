#include "RoadDesktop.h"

#include "Platform/Workspace.h"
#include "support/WindowProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTest>
#include <algorithm>
#include <optional>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

constexpr int copyAttempts = 5;
constexpr int captureWaitMs = 3000;
constexpr int outputPollMs = 20;

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

struct WindowTree {
    Window parent = 0;
    QList<Window> children;
};

std::optional<WindowTree> queryTree(Display* display, Window window)
{
    Window root = 0;
    WindowTree tree;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &tree.parent, &children, &count))
        return std::nullopt;
    tree.children = QList<Window>(children, children + count);
    if (children)
        XFree(children);
    return tree;
}

} // namespace

RoadDesktop::RoadDesktop()
{
    display_ = XOpenDisplay(nullptr);
    if (display_)
        XSetErrorHandler(ignoreErrors);
}

RoadDesktop::~RoadDesktop()
{
    if (display_)
        XCloseDisplay(display_);
}

void RoadDesktop::pressKeys(std::initializer_list<unsigned long> keysyms) const
{
    QList<KeyCode> codes;
    for (const unsigned long keysym : keysyms)
        codes.append(XKeysymToKeycode(display_, keysym));
    for (const KeyCode code : codes)
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
    for (auto it = codes.crbegin(); it != codes.crend(); ++it)
        XTestFakeKeyEvent(display_, *it, False, CurrentTime);
    XSync(display_, False);
}

bool RoadDesktop::hasViewableWindow(qint64 pid, int minimumWidth) const
{
    return searchTree(DefaultRootWindow(display_), pid, minimumWidth);
}

bool RoadDesktop::bringToFront(qint64 pid) const
{
    return QTest::qWaitFor(
        [&] {
            const auto front = Platform::workspace().frontmostApplication();
            if (front && front->processIdentifier == pid)
                return true;
            for (const auto& application : Platform::workspace().runningApplications()) {
                if (application.processIdentifier == pid)
                    Platform::workspace().activate(application);
            }
            return false;
        },
        roadTimeoutMs);
}

bool RoadDesktop::hasKeyboardFocus(qint64 pid) const
{
    Window window = 0;
    int revert = 0;
    XGetInputFocus(display_, &window, &revert);
    while (window != 0 && window != PointerRoot && window != DefaultRootWindow(display_)) {
        if (windowProcess(display_, window) == pid)
            return true;
        const std::optional<WindowTree> tree = queryTree(display_, window);
        if (!tree)
            return false;
        window = tree->parent;
    }
    return false;
}

bool RoadDesktop::searchTree(unsigned long window, qint64 pid, int minimumWidth) const
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    if (attributes.width >= minimumWidth && windowProcess(display_, window) == pid)
        return true;
    const std::optional<WindowTree> tree = queryTree(display_, window);
    return tree && std::any_of(tree->children.cbegin(), tree->children.cend(),
                               [&](Window child) { return searchTree(child, pid, minimumWidth); });
}

Child::~Child()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.kill();
    process.waitForFinished();
}

QString Child::waitForLine(const QString& prefix, const std::function<bool(const QString&)>& accept)
{
    const QDeadlineTimer deadline(roadTimeoutMs);
    while (!deadline.hasExpired()) {
        output += QString::fromUtf8(process.readAllStandardOutput());
        const QStringList lines = output.split(QLatin1Char('\n'));
        for (qsizetype i = lines.size() - 2; i >= 0; --i) {
            if (lines.at(i).startsWith(prefix) && (!accept || accept(lines.at(i).mid(prefix.size()))))
                return lines.at(i).mid(prefix.size());
        }
        QTest::qWait(outputPollMs);
    }
    return {};
}

bool startPasteTarget(Child& target)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELLORA_TEST_PASTE_TARGET"), QStringLiteral("1"));
    target.process.setProcessEnvironment(environment);
    target.process.start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--gtest_also_run_disabled_tests"),
                          QStringLiteral("--gtest_filter=PasteTarget.DISABLED_Run")});
    const QString ready = QStringLiteral("ready");
    return target.process.waitForStarted() &&
           target.waitForLine({}, [&](const QString& line) { return line == ready; }) == ready;
}

bool ClipboardOwner::copy(const QString& text, const QString& target)
{
    QStringList arguments{QStringLiteral("-selection"), QStringLiteral("clipboard"),
                          QStringLiteral("-quiet")};
    if (!target.isEmpty())
        arguments << QStringLiteral("-t") << target;
    process.start(QStringLiteral("xclip"), arguments);
    if (!process.waitForStarted())
        return false;
    process.write(text.toUtf8());
    process.closeWriteChannel();
    return true;
}

VelloraProcess::VelloraProcess()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("VELLORA_BENCH_STARTUP"));
    for (const char* folder : {"home", "config", "data", "cache"})
        QDir().mkpath(root.filePath(QLatin1String(folder)));
    environment.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), root.filePath(QStringLiteral("cache")));
    process.setProcessEnvironment(environment);
}

bool VelloraProcess::start()
{
    process.start(QStringLiteral(VELLORA_EXECUTABLE), {});
    return process.waitForStarted();
}

bool VelloraProcess::historyContains(const QString& text) const
{
    QFile file(root.filePath(QStringLiteral("data/Dorvane/store.json")));
    return file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(text);
}

bool VelloraProcess::copyElsewhere(const QString& text, const QString& target, const QString& stored)
{
    for (int attempt = 0; attempt < copyAttempts; ++attempt) {
        owners_.push_back(std::make_unique<ClipboardOwner>());
        if (!owners_.back()->copy(text, target))
            return false;
        if (QTest::qWaitFor([&] { return historyContains(stored.isEmpty() ? text : stored); }, captureWaitMs))
            return true;
    }
    return false;
}
