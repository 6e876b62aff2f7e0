#include "Platform/linux/XClipboardReader.h"

#include "Platform/LogCategories.h"
#include "Platform/linux/ProcessInfo.h"
#include "Platform/linux/XcbConnection.h"

#include <QImageReader>
#include <QObject>
#include <algorithm>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xfixes.h>

namespace Platform {

namespace {

// The names plain text is offered under, best first; read as UTF-8 "text/plain".
constexpr const char* plainTextTargets[] = {"UTF8_STRING", "text/plain;charset=utf-8", "text/plain",
                                            "STRING"};
const QString plainTextType = QStringLiteral("text/plain");
const QString pngType = QStringLiteral("image/png");
constexpr uint8_t eventTypeMask = 0x7f; // the high bit marks events sent by other clients

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeDeleter>;

PropertyReply getProperty(xcb_connection_t* connection, bool remove, xcb_window_t window, xcb_atom_t property,
                          qint64 maxBytes)
{
    const auto words = static_cast<uint32_t>(std::min<qint64>((maxBytes + 3) / 4, UINT32_MAX));
    return PropertyReply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, remove, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, words),
        nullptr));
}

QByteArray valueOf(xcb_get_property_reply_t* reply)
{
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                      xcb_get_property_value_length(reply));
}

bool isPlainTextAlias(const QByteArray& name)
{
    return name == "UTF8_STRING" || name == "STRING" || name == "TEXT" || name == "COMPOUND_TEXT" ||
           name.startsWith("text/plain");
}

// Texts, file lists, colours and rich text are kept under their own names, and so are the
// marker types; X's own targets (TARGETS, MULTIPLE, TIMESTAMP, PIXMAP, …) are upper case.
bool isKeptAsOffered(const QByteArray& name)
{
    if (isPlainTextAlias(name) || name.startsWith("image/"))
        return false;
    if (name.startsWith("text/") || name.startsWith("x-special/") || name == "application/x-color" ||
        name == "application/rtf")
        return true;
    return !name.contains('/') &&
           std::any_of(name.cbegin(), name.cend(), [](char c) { return c >= 'a' && c <= 'z'; });
}

QDeadlineTimer earlier(std::chrono::milliseconds timeout, const QDeadlineTimer& deadline)
{
    return std::min(QDeadlineTimer(timeout), deadline);
}

bool isEvent(const xcb_generic_event_t* event, uint8_t type)
{
    return (event->response_type & eventTypeMask) == type;
}

} // namespace

std::unique_ptr<XClipboardReader> XClipboardReader::start(QObject* receiver, Handler handler,
                                                          OwnWindowTest isOwn)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    auto* version =
        xfixes && xfixes->present
            ? xcb_xfixes_query_version_reply(
                  connection, xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, 0), nullptr)
            : nullptr;
    const int stopFd = version ? eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1;
    std::free(version);
    if (stopFd < 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    std::unique_ptr<XClipboardReader> reader(
        new XClipboardReader(connection, stopFd, receiver, std::move(handler), std::move(isOwn)));
    reader->xfixesFirstEvent_ = xfixes->first_event;
    reader->thread_ = std::thread(&XClipboardReader::run, reader.get());
    return reader;
}

XClipboardReader::XClipboardReader(xcb_connection_t* connection, int stopFd, QObject* receiver,
                                   Handler handler, OwnWindowTest isOwn)
    : connection_(connection)
    , stopFd_(stopFd)
    , receiver_(receiver)
    , handler_(std::move(handler))
    , isOwn_(std::move(isOwn))
    , root_(Xcb::rootWindow(connection))
    , clipboard_(Xcb::atom(connection, "CLIPBOARD"))
    , naming_([this](std::optional<ClipboardSnapshot> snapshot) { deliver(std::move(snapshot)); })
{
    const xcb_window_t listener = xcb_generate_id(connection_);
    xcb_create_window(connection_, 0, listener, root_, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_xfixes_select_selection_input(connection_, listener, clipboard_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(connection_);
}

// On the reader's own thread, so that the application's start waits neither for these round
// trips nor for the image plugins to load; copies made meanwhile are queued as events.
void XClipboardReader::prepareReading()
{
    targets_ = Xcb::atom(connection_, "TARGETS");
    incr_ = Xcb::atom(connection_, "INCR");
    property_ = Xcb::atom(connection_, "VELLORA_CLIPBOARD");
    for (const QByteArray& type : QImageReader::supportedMimeTypes())
        readableImageTypes_.append(type);
}

XClipboardReader::~XClipboardReader()
{
    stopping_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof(one));
    if (thread_.joinable())
        thread_.join();
    xcb_disconnect(connection_);
    ::close(stopFd_);
}

void XClipboardReader::run()
{
    prepareReading();
    while (!stopping_) {
        if (changes_.empty()) {
            waitFor([](const xcb_generic_event_t*) { return false; },
                    QDeadlineTimer(QDeadlineTimer::Forever));
            continue;
        }
        const OwnerChange change = changes_.front();
        changes_.pop_front();
        // A newer owner already answers in its place.
        if (!changes_.empty()) {
            qCDebug(logCapture) << "reader: owner" << change.owner << "passed over for a newer one";
            continue;
        }
        if (change.owner == XCB_WINDOW_NONE) {
            qCDebug(logCapture) << "reader: the clipboard has no owner";
            naming_.add(ClipboardSnapshot());
            continue;
        }
        // Our own copies are known in-process; only their place in the order is told.
        if (isOwn_(change.owner)) {
            qCDebug(logCapture) << "reader: our own copy";
            naming_.add(std::nullopt);
            continue;
        }
        if (std::optional<ReadCopy> copy = read(change))
            naming_.add(std::move(copy->snapshot), copy->endedOwner);
    }
}

void XClipboardReader::deliver(std::optional<ClipboardSnapshot> snapshot)
{
    // Queued calls to one receiver run in the order they were made.
    QMetaObject::invokeMethod(
        receiver_,
        [handler = handler_, snapshot = std::move(snapshot)]() mutable { handler(std::move(snapshot)); },
        Qt::QueuedConnection);
}

std::optional<XClipboardReader::ReadCopy> XClipboardReader::read(const OwnerChange& change)
{
    ReadCopy copy;
    ClipboardSnapshot& snapshot = copy.snapshot;
    snapshot.ownerWindow = change.owner;
    const QDeadlineTimer deadline(copyTimeout);
    reading_ = true;
    superseded_ = false;
    request(targets_, change.time);
    // The owner is named while it answers, so naming never delays the reading: its window's
    // process now, and for a copier that has ended, the process that took over its
    // connection once the bytes are read (OwnerNamingQueue).
    snapshot.ownerProcess = Xcb::processOfWindow(connection_, change.owner);
    if (snapshot.ownerProcess) {
        // A copier that forks and ends may be ending while it is read: with nothing left to
        // name it by, it is named as one that has ended.
        const std::optional<ProcessInfo> process = ProcessInfo::read(*snapshot.ownerProcess);
        if (process && !process->executableName().isEmpty())
            snapshot.ownerExecutable = process->executableName();
        else
            copy.endedOwner = snapshot.ownerProcess;
    }
    qint64 total = 0;
    if (const std::optional<QByteArray> list = receive(targets_, deadline, maxTypeBytes)) {
        for (const Target& target : wantedTargets(*list)) {
            if (superseded_ || stopping_ || deadline.hasExpired())
                break;
            request(target.atom, change.time);
            std::optional<QByteArray> bytes =
                receive(target.atom, deadline, std::min(maxTypeBytes, maxCopyBytes - total));
            if (!bytes)
                continue;
            total += bytes->size();
            snapshot.entries.append({target.type, target.atom == XCB_ATOM_STRING
                                                      ? QString::fromLatin1(*bytes).toUtf8()
                                                      : *bytes});
        }
    }
    reading_ = false;
    releaseRequestor();
    qCDebug(logCapture) << "reader: window" << change.owner << "of process"
                        << snapshot.ownerProcess.value_or(0) << snapshot.ownerExecutable << "gave"
                        << snapshot.entries.size() << "types," << total << "bytes; superseded:" << superseded_
                        << "timed out:" << deadline.hasExpired();
    if (superseded_ && snapshot.entries.isEmpty())
        return std::nullopt;
    return copy;
}

QList<XClipboardReader::Target> XClipboardReader::wantedTargets(const QByteArray& targetList)
{
    QList<xcb_atom_t> atoms(targetList.size() / qsizetype(sizeof(xcb_atom_t)));
    std::memcpy(atoms.data(), targetList.constData(), atoms.size() * sizeof(xcb_atom_t));
    QList<QByteArray> names;
    for (const xcb_atom_t atom : atoms)
        names.append(atomName(atom));

    QList<Target> wanted;
    for (const char* name : plainTextTargets) {
        if (const qsizetype i = names.indexOf(QByteArray(name)); i >= 0) {
            wanted.append({atoms[i], plainTextType});
            break;
        }
    }
    qsizetype image = names.indexOf(pngType.toLatin1());
    for (qsizetype i = 0; image < 0 && i < names.size(); ++i) {
        if (names[i].startsWith("image/") && readableImageTypes_.contains(names[i]))
            image = i;
    }
    if (image >= 0)
        wanted.append({atoms[image], QString::fromLatin1(names[image])});
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (isKeptAsOffered(names[i]))
            wanted.append({atoms[i], QString::fromUtf8(names[i])});
    }
    return wanted;
}

void XClipboardReader::request(xcb_atom_t target, xcb_timestamp_t time)
{
    xcb_convert_selection(connection_, requestor(), clipboard_, target, property_, time);
    xcb_flush(connection_);
    awaiting_ = Awaiting::answer;
}

std::optional<QByteArray> XClipboardReader::receive(xcb_atom_t target, const QDeadlineTimer& copyDeadline,
                                                    qint64 limit)
{
    const xcb_window_t window = requestor_;
    const Event answer = waitFor(
        [&](const xcb_generic_event_t* event) {
            if (!isEvent(event, XCB_SELECTION_NOTIFY))
                return false;
            const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
            return notify->requestor == window && notify->selection == clipboard_ && notify->target == target;
        },
        earlier(answerTimeout, copyDeadline));
    if (!answer) {
        qCDebug(logCapture) << "reader: no answer for" << atomName(target) << "in time";
        // Its owner may still answer: the window is kept for that, and the next type is
        // asked for on another.
        releaseRequestor();
        return std::nullopt;
    }
    awaiting_ = Awaiting::nothing;
    const xcb_atom_t property = reinterpret_cast<const xcb_selection_notify_event_t*>(answer.get())->property;
    if (property == XCB_ATOM_NONE)
        return std::nullopt;
    // The type and size first: nothing over the limit is read.
    const PropertyReply head = getProperty(connection_, false, window, property, sizeof(uint32_t));
    if (!head)
        return std::nullopt;
    if (head->type == incr_) {
        requestorSawIncr_ = true;
        const QByteArray announced = valueOf(head.get());
        uint32_t lowerBound = 0;
        if (announced.size() >= qsizetype(sizeof(lowerBound)))
            std::memcpy(&lowerBound, announced.constData(), sizeof(lowerBound));
        if (lowerBound > limit) {
            qCDebug(logCapture) << "reader:" << atomName(target) << "over the limit:" << lowerBound
                                << "bytes";
            // The owner waits for the transfer to start: it runs to its end unread.
            xcb_delete_property(connection_, window, property);
            awaiting_ = Awaiting::chunk;
            releaseRequestor();
            return std::nullopt;
        }
        return receiveIncrementally(property, copyDeadline, limit);
    }
    const qint64 size = xcb_get_property_value_length(head.get()) + qint64(head->bytes_after);
    if (size > limit) {
        qCDebug(logCapture) << "reader:" << atomName(target) << "over the limit:" << size << "bytes";
        return std::nullopt;
    }
    const PropertyReply whole = getProperty(connection_, true, window, property, size);
    if (!whole)
        return std::nullopt;
    return valueOf(whole.get());
}

std::optional<QByteArray>
XClipboardReader::receiveIncrementally(xcb_atom_t property, const QDeadlineTimer& copyDeadline, qint64 limit)
{
    const xcb_window_t window = requestor_;
    // Deleting the INCR property asks for the first chunk; deleting each chunk for the next.
    xcb_delete_property(connection_, window, property);
    awaiting_ = Awaiting::chunk;
    QByteArray bytes;
    for (;;) {
        const Event chunk = waitFor(
            [&](const xcb_generic_event_t* event) {
                if (!isEvent(event, XCB_PROPERTY_NOTIFY))
                    return false;
                const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
                return notify->window == window && notify->atom == property &&
                       notify->state == XCB_PROPERTY_NEW_VALUE;
            },
            earlier(answerTimeout, copyDeadline));
        // One byte more than allowed tells a chunk that would pass the limit.
        const PropertyReply reply =
            chunk ? getProperty(connection_, true, window, property, limit - bytes.size() + 1) : nullptr;
        if (!reply || reply->bytes_after > 0 ||
            bytes.size() + xcb_get_property_value_length(reply.get()) > limit) {
            // Given up half-way: the owner is let finish on a retired window. A chunk that
            // was not taken is deleted for it to go on.
            if (reply)
                xcb_delete_property(connection_, window, property);
            releaseRequestor();
            return std::nullopt;
        }
        if (xcb_get_property_value_length(reply.get()) == 0) {
            awaiting_ = Awaiting::nothing;
            return bytes;
        }
        bytes += valueOf(reply.get());
    }
}

xcb_window_t XClipboardReader::requestor()
{
    if (requestor_ == XCB_WINDOW_NONE) {
        requestor_ = xcb_generate_id(connection_);
        const uint32_t eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(connection_, 0, requestor_, root_, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &eventMask);
        awaiting_ = Awaiting::nothing;
        requestorSawIncr_ = false;
    }
    return requestor_;
}

void XClipboardReader::releaseRequestor()
{
    if (requestor_ == XCB_WINDOW_NONE)
        return;
    if (awaiting_ == Awaiting::nothing && !requestorSawIncr_) {
        xcb_destroy_window(connection_, requestor_);
        xcb_flush(connection_);
    } else {
        // An INCR owner that has finished may still stop listening to the window: a moment
        // is left for it.
        const auto lifetime = awaiting_ == Awaiting::nothing ? answerTimeout : retiredLifetime;
        retired_.push_back({requestor_, awaiting_ == Awaiting::answer, awaiting_ == Awaiting::chunk,
                            QDeadlineTimer(lifetime)});
        qCDebug(logCapture) << "reader: window" << requestor_ << "kept for its owner; awaiting"
                            << (awaiting_ == Awaiting::answer  ? "an answer"
                                : awaiting_ == Awaiting::chunk ? "a chunk"
                                                               : "nothing");
    }
    requestor_ = XCB_WINDOW_NONE;
    awaiting_ = Awaiting::nothing;
}

bool XClipboardReader::takeRetiredEvent(const xcb_generic_event_t* event)
{
    xcb_window_t window = XCB_WINDOW_NONE;
    if (isEvent(event, XCB_SELECTION_NOTIFY))
        window = reinterpret_cast<const xcb_selection_notify_event_t*>(event)->requestor;
    else if (isEvent(event, XCB_PROPERTY_NOTIFY))
        window = reinterpret_cast<const xcb_property_notify_event_t*>(event)->window;
    const auto retired = std::find_if(retired_.begin(), retired_.end(),
                                      [&](const RetiredRequestor& r) { return r.window == window; });
    if (window == XCB_WINDOW_NONE || retired == retired_.end())
        return false;
    bool finished = false;
    if (isEvent(event, XCB_SELECTION_NOTIFY) && retired->awaitingAnswer) {
        // The late answer: a transfer it starts runs to its end unread, so that the owner is
        // not left waiting; anything else is all the owner writes.
        retired->awaitingAnswer = false;
        const xcb_atom_t property = reinterpret_cast<const xcb_selection_notify_event_t*>(event)->property;
        const PropertyReply head = property == XCB_ATOM_NONE
                                       ? nullptr
                                       : getProperty(connection_, false, window, property, sizeof(uint32_t));
        retired->draining = head && head->type == incr_;
        if (retired->draining)
            xcb_delete_property(connection_, window, property);
        finished = !retired->draining;
    } else if (isEvent(event, XCB_PROPERTY_NOTIFY) && retired->draining) {
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (notify->state != XCB_PROPERTY_NEW_VALUE)
            return true;
        // Only the size: the chunk itself is not fetched. A property already deleted is no
        // chunk (a notice may come late); an empty one ends the transfer.
        const PropertyReply head = getProperty(connection_, false, window, notify->atom, 0);
        if (!head || head->type == XCB_ATOM_NONE)
            return true;
        xcb_delete_property(connection_, window, notify->atom);
        if (xcb_get_property_value_length(head.get()) + head->bytes_after == 0) {
            retired->draining = false;
            retired->deadline = QDeadlineTimer(answerTimeout);
        }
    }
    if (finished) {
        xcb_destroy_window(connection_, window);
        retired_.erase(retired);
    }
    xcb_flush(connection_);
    return true;
}

void XClipboardReader::destroyExpiredRequestors()
{
    const auto expired = std::remove_if(retired_.begin(), retired_.end(), [this](const RetiredRequestor& r) {
        if (!r.deadline.hasExpired())
            return false;
        xcb_destroy_window(connection_, r.window);
        return true;
    });
    if (expired != retired_.end()) {
        retired_.erase(expired, retired_.end());
        xcb_flush(connection_);
    }
}

XClipboardReader::Event
XClipboardReader::waitFor(const std::function<bool(const xcb_generic_event_t*)>& matches,
                          QDeadlineTimer deadline)
{
    xcb_flush(connection_);
    for (;;) {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
            Event event(raw);
            if (takeOwnerChange(event.get())) {
                superseded_ = reading_;
                return {};
            }
            if (takeRetiredEvent(event.get()))
                continue;
            if (matches(event.get()))
                return event;
        }
        if (xcb_connection_has_error(connection_)) {
            stopping_ = true;
            return {};
        }
        destroyExpiredRequestors();
        if (stopping_ || deadline.hasExpired())
            return {};
        QDeadlineTimer wake = deadline;
        for (const RetiredRequestor& retired : retired_)
            wake = std::min(wake, retired.deadline);
        pollfd fds[] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {stopFd_, POLLIN, 0}};
        const qint64 remaining = wake.remainingTime();
        ::poll(fds, 2, remaining < 0 ? -1 : int(std::min<qint64>(remaining, INT_MAX)));
    }
}

bool XClipboardReader::takeOwnerChange(const xcb_generic_event_t* event)
{
    if (!isEvent(event, xfixesFirstEvent_ + XCB_XFIXES_SELECTION_NOTIFY))
        return false;
    const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
    const bool newOwner = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER;
    changes_.push_back(
        {newOwner ? notify->owner : xcb_window_t(XCB_WINDOW_NONE), notify->selection_timestamp});
    return true;
}

QByteArray XClipboardReader::atomName(xcb_atom_t atom)
{
    if (const auto known = atomNames_.constFind(atom); known != atomNames_.cend())
        return *known;
    std::unique_ptr<xcb_get_atom_name_reply_t, FreeDeleter> reply(
        xcb_get_atom_name_reply(connection_, xcb_get_atom_name(connection_, atom), nullptr));
    const QByteArray name =
        reply ? QByteArray(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()))
              : QByteArray();
    atomNames_.insert(atom, name);
    return name;
}

} // namespace Platform
