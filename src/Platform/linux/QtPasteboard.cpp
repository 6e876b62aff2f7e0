#include "Platform/linux/QtPasteboard.h"

#include "Platform/linux/XcbConnection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace Platform {

namespace {

QClipboard* clipboard()
{
    return QGuiApplication::clipboard();
}

// Windows of a connection carry its resource-id base in their high bits.
XClipboardReader::OwnWindowTest ownWindowTest(xcb_connection_t* connection)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const uint32_t base = setup->resource_id_base;
    const uint32_t mask = setup->resource_id_mask;
    return [base, mask](xcb_window_t window) { return (window & ~mask) == base; };
}

} // namespace

QtPasteboard::QtPasteboard()
{
    if (xcb_connection_t* connection = Xcb::connection()) {
        reader_ = XClipboardReader::start(
            this, [this](std::optional<ClipboardSnapshot> snapshot) { takeCopy(std::move(snapshot)); },
            ownWindowTest(connection));
    }
    connect(clipboard(), &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            takeQtChange();
    });
}

QtPasteboard::~QtPasteboard() = default;

void QtPasteboard::takeQtChange()
{
    // With a reader, QClipboard would read other programs' copies on this thread: only our
    // own are taken from it.
    if (!writing_ && (!reader_ || clipboard()->ownsClipboard()))
        takeOwnCopy(ClipboardSnapshot::of(clipboard()->mimeData(QClipboard::Clipboard)));
}

void QtPasteboard::takeOwnCopy(ClipboardSnapshot snapshot)
{
    own_ = std::move(snapshot);
    contents_ = *own_;
    ++changeCount_;
}

void QtPasteboard::takeCopy(std::optional<ClipboardSnapshot> snapshot)
{
    if (!snapshot) {
        if (own_)
            contents_ = *own_;
        return;
    }
    contents_ = std::move(*snapshot);
    ++changeCount_;
    emit copyTaken();
}

std::optional<QString> QtPasteboard::text() const
{
    const QStringList types = contents_.types();
    if (!types.contains(QStringLiteral("text/plain")))
        return std::nullopt;
    return QString::fromUtf8(contents_.data(QStringLiteral("text/plain")));
}

qint64 QtPasteboard::write(QMimeData* contents)
{
    ClipboardSnapshot snapshot = ClipboardSnapshot::of(contents);
    writing_ = true;
    clipboard()->setMimeData(contents, QClipboard::Clipboard);
    writing_ = false;
    takeOwnCopy(std::move(snapshot));
    return changeCount_;
}

std::optional<RunningApplication> QtPasteboard::ownerApplication()
{
    if (contents_.ownerWindow != XCB_WINDOW_NONE) {
        if (std::optional<RunningApplication> application =
                workspace().applicationForWindow(contents_.ownerWindow))
            return application;
    }
    // Toolkits own the clipboard with a hidden window of their own that names no process:
    // the process that made it was asked when the copy was read.
    if (!contents_.ownerProcess)
        return std::nullopt;
    for (const RunningApplication& application : workspace().runningApplications()) {
        if (application.processIdentifier == *contents_.ownerProcess)
            return application;
    }
    // A command-line copier (xclip) has no window to show at all: its program names it.
    if (contents_.ownerExecutable.isEmpty())
        return std::nullopt;
    return workspace().applicationForProgram(*contents_.ownerProcess, contents_.ownerExecutable);
}

void QtPasteboard::observeCopies(QObject* context, std::function<void()> handler)
{
    connect(this, &QtPasteboard::copyTaken, context, std::move(handler));
}

} // namespace Platform
