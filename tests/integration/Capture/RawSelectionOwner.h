#pragma once

#include <QByteArray>
#include <QString>
#include <xcb/xcb.h>

// A clipboard owner written straight on xcb, for what toolkits do not let a test do: serve
// one text, in INCR chunks when it is large, beside a short HTML title, or own the clipboard
// and never answer at all.
class RawSelectionOwner {
public:
    // A chunk of an INCR transfer; texts longer than this go in chunks.
    static constexpr int incrChunkBytes = 256 * 1024;
    static inline const QByteArray html = QByteArrayLiteral("<p>Numbered lines</p>");

    explicit RawSelectionOwner(QByteArray text, bool answers = true);
    // A text of the given size whose every line differs, so that a chunk lost, repeated or
    // out of order shows.
    static QByteArray numberedText(qsizetype size);
    ~RawSelectionOwner();

    // Takes the clipboard and serves it until another client takes it (an INCR transfer
    // under way then runs to its end, as command-line copiers do) or the time is up. Tells
    // `say` "ready" once it owns the clipboard, "transfer started" at an INCR transfer's
    // first chunk, "transfer ended: <bytes>" at its last, and "x error: <code>" at each error
    // the server reports.
    void serve(int lifetimeMs, void (*say)(const QString& line));

private:
    void answer(const xcb_selection_request_event_t& request);
    // Whether that was the last chunk.
    bool sendNextChunk(xcb_window_t requestor, xcb_atom_t property);
    xcb_atom_t atom(const char* name) const;

    QByteArray text_;
    bool answers_;
    xcb_connection_t* connection_;
    xcb_window_t window_ = 0;
    xcb_atom_t clipboard_, targets_, utf8_, incr_, html_;
    // The INCR transfer under way: to whom, where, and how far.
    xcb_window_t incrRequestor_ = 0;
    xcb_atom_t incrProperty_ = 0;
    qsizetype incrOffset_ = 0;
};
