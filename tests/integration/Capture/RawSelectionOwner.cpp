#include "RawSelectionOwner.h"

#include <QDeadlineTimer>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <poll.h>

namespace {

constexpr uint8_t eventTypeMask = 0x7f;

} // namespace

RawSelectionOwner::RawSelectionOwner(QByteArray text, bool answers)
    : text_(std::move(text))
    , answers_(answers)
    , connection_(xcb_connect(nullptr, nullptr))
{
    clipboard_ = atom("CLIPBOARD");
    targets_ = atom("TARGETS");
    utf8_ = atom("UTF8_STRING");
    incr_ = atom("INCR");
    html_ = atom("text/html");
}

QByteArray RawSelectionOwner::numberedText(qsizetype size)
{
    QByteArray text;
    text.reserve(size + 16);
    for (int line = 0; text.size() < size; ++line)
        text += QByteArray::number(line).rightJustified(9, '0') + '\n';
    text.truncate(size);
    return text;
}

RawSelectionOwner::~RawSelectionOwner()
{
    xcb_disconnect(connection_);
}

xcb_atom_t RawSelectionOwner::atom(const char* name) const
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

void RawSelectionOwner::serve(int lifetimeMs, void (*say)(const QString& line))
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, 0, window_, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(connection_, window_, clipboard_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    say(QStringLiteral("ready"));
    bool cleared = false;
    const QDeadlineTimer deadline(lifetimeMs);
    while (!deadline.hasExpired() && !xcb_connection_has_error(connection_)) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(connection_),
                                                                         &std::free);
        if (!event) {
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            ::poll(&fd, 1, int(deadline.remainingTime()));
            continue;
        }
        const uint8_t type = event->response_type & eventTypeMask;
        if (type == 0) {
            say(QStringLiteral("x error: %1")
                    .arg(reinterpret_cast<xcb_generic_error_t*>(event.get())->error_code));
            continue;
        }
        if (type == XCB_SELECTION_CLEAR) {
            cleared = true;
            if (incrRequestor_ == 0)
                return;
        }
        if (!answers_)
            continue;
        if (type == XCB_SELECTION_REQUEST) {
            answer(*reinterpret_cast<xcb_selection_request_event_t*>(event.get()));
        } else if (type == XCB_PROPERTY_NOTIFY) {
            const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event.get());
            if (notify->window == incrRequestor_ && notify->atom == incrProperty_ &&
                notify->state == XCB_PROPERTY_DELETE) {
                if (incrOffset_ == 0)
                    say(QStringLiteral("transfer started"));
                if (sendNextChunk(incrRequestor_, incrProperty_)) {
                    say(QStringLiteral("transfer ended: %1").arg(incrOffset_));
                    if (cleared) {
                        xcb_flush(connection_);
                        return;
                    }
                }
            }
        }
        xcb_flush(connection_);
    }
}

void RawSelectionOwner::answer(const xcb_selection_request_event_t& request)
{
    xcb_atom_t property = request.property;
    if (request.target == targets_) {
        const xcb_atom_t offered[] = {targets_, utf8_, html_};
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM,
                            32, std::size(offered), offered);
    } else if (request.target == html_) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request.requestor, property, html_, 8,
                            uint32_t(html.size()), html.constData());
    } else if (request.target == utf8_ && text_.size() <= incrChunkBytes) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request.requestor, property, utf8_, 8,
                            uint32_t(text_.size()), text_.constData());
    } else if (request.target == utf8_) {
        // Announce the size, then send a chunk each time the requestor deletes the property.
        const uint32_t size = uint32_t(text_.size());
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection_, request.requestor, XCB_CW_EVENT_MASK, &mask);
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request.requestor, property, incr_, 32, 1,
                            &size);
        incrRequestor_ = request.requestor;
        incrProperty_ = property;
        incrOffset_ = 0;
    } else {
        property = XCB_ATOM_NONE;
    }
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    xcb_send_event(connection_, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
}

bool RawSelectionOwner::sendNextChunk(xcb_window_t requestor, xcb_atom_t property)
{
    // The last chunk is empty and ends the transfer.
    const QByteArray chunk = text_.mid(incrOffset_, incrChunkBytes);
    incrOffset_ += chunk.size();
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, requestor, property, utf8_, 8,
                        uint32_t(chunk.size()), chunk.constData());
    if (chunk.isEmpty())
        incrRequestor_ = 0;
    return chunk.isEmpty();
}
