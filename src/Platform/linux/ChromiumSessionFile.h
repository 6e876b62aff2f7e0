#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <variant>

namespace Platform {

// Reads the session file ("SNSS") in which a Chrome-family browser keeps its open windows and
// tabs: a header, then a log of commands that the browser appends to as tabs change. Only
// bytes go in; the caller reads the file.
class ChromiumSessionFile {
public:
    // One open tab: the address and title of the page it shows (either may be empty).
    struct Tab {
        QString url;
        QString title;

        bool operator==(const Tab&) const = default;
    };

    struct Window {
        QList<Tab> tabs;

        bool operator==(const Window&) const = default;
    };

    // Why the bytes are not a session file this reader understands.
    struct Failure {
        QString reason;

        bool operator==(const Failure&) const = default;
    };

    static constexpr quint32 signature = 0x53534E53; // "SNSS", little-endian

    // The windows in the order they first appear, each with its tabs in their order in the
    // window. Windows without tabs and tabs without pages are left out; a command cut short at
    // the end (the browser is writing) is ignored.
    static std::variant<QList<Window>, Failure> parse(QByteArrayView bytes);
};

} // namespace Platform
