#include "Platform/linux/QtPasteboard.h"

#include "Platform/linux/XcbConnection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstdlib>

namespace Platform {

namespace {

const QMimeData* currentContents()
{
    return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
}

std::optional<xcb_window_t> clipboardOwnerWindow(xcb_connection_t* connection)
{
    const xcb_atom_t clipboard = Xcb::atom(connection, "CLIPBOARD");
    if (clipboard == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, clipboard), nullptr);
    if (!reply)
        return std::nullopt;
    const xcb_window_t owner = reply->owner;
    std::free(reply);
    if (owner == XCB_WINDOW_NONE)
        return std::nullopt;
    return owner;
}

} // namespace

QtPasteboard::QtPasteboard()
{
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            ++changeCount_;
    });
}

QStringList QtPasteboard::types() const
{
    const QMimeData* contents = currentContents();
    return contents ? contents->formats() : QStringList();
}

QByteArray QtPasteboard::data(const QString& type) const
{
    const QMimeData* contents = currentContents();
    return contents ? contents->data(type) : QByteArray();
}

std::optional<QString> QtPasteboard::text() const
{
    const QMimeData* contents = currentContents();
    if (!contents || !contents->hasText())
        return std::nullopt;
    return contents->text();
}

qint64 QtPasteboard::write(QMimeData* contents)
{
    const qint64 before = changeCount_;
    QGuiApplication::clipboard()->setMimeData(contents, QClipboard::Clipboard);
    // Platforms that do not report their own writes still move the count.
    if (changeCount_ == before)
        ++changeCount_;
    return changeCount_;
}

std::optional<RunningApplication> QtPasteboard::ownerApplication()
{
    xcb_connection_t* connection = Xcb::connection();
    const std::optional<xcb_window_t> owner = connection ? clipboardOwnerWindow(connection) : std::nullopt;
    if (!owner)
        return std::nullopt;
    if (std::optional<RunningApplication> application = workspace().applicationForWindow(*owner))
        return application;
    // Toolkits own the clipboard with a hidden window of their own that names no process:
    // ask the server which process made it, then find that process's application.
    const std::optional<qint64> pid = Xcb::processOfWindow(connection, *owner);
    if (!pid)
        return std::nullopt;
    for (const RunningApplication& application : workspace().runningApplications()) {
        if (application.processIdentifier == *pid)
            return application;
    }
    return std::nullopt;
}

} // namespace Platform
