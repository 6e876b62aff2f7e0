#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

// Writes session files byte for byte as the browser does: a little-endian header, then
// commands of a 16-bit size (counting the identifier byte), an identifier and a payload.
class SessionFileWriter {
public:
    static constexpr quint32 snssSignature = 0x53534E53;

    explicit SessionFileWriter(qint32 version = 3, quint32 signature = snssSignature)
    {
        appendInt(bytes_, qint32(signature));
        appendInt(bytes_, version);
    }

    const QByteArray& bytes() const { return bytes_; }

    SessionFileWriter& command(quint8 id, const QByteArray& payload)
    {
        const auto size = quint16(payload.size() + 1);
        bytes_.append(char(size & 0xff)).append(char(size >> 8)).append(char(id)).append(payload);
        return *this;
    }

    SessionFileWriter& setTabWindow(qint32 window, qint32 tab) { return command(0, ints({window, tab})); }
    SessionFileWriter& setTabIndex(qint32 tab, qint32 index) { return command(2, ints({tab, index})); }
    SessionFileWriter& prunedFromBack(qint32 tab, qint32 keep) { return command(5, ints({tab, keep})); }
    SessionFileWriter& selectNavigation(qint32 tab, qint32 index) { return command(7, ints({tab, index})); }
    SessionFileWriter& selectTab(qint32 window, qint32 index) { return command(8, ints({window, index})); }
    SessionFileWriter& windowType(qint32 window, qint32 type) { return command(9, ints({window, type})); }
    SessionFileWriter& prunedFromFront(qint32 tab, qint32 count) { return command(11, ints({tab, count})); }
    SessionFileWriter& tabClosed(qint32 tab) { return command(16, closed(tab)); }
    SessionFileWriter& windowClosed(qint32 window) { return command(17, closed(window)); }
    SessionFileWriter& pruned(qint32 tab, qint32 index, qint32 count)
    {
        return command(24, ints({tab, index, count}));
    }

    // A pickle: its payload size, then the tab, the index, the address (UTF-8), the title
    // (UTF-16), and the fields that follow in real files (page state, transition, ...).
    SessionFileWriter& navigation(qint32 tab, qint32 index, const QString& url, const QString& title)
    {
        QByteArray body = ints({tab, index});
        const QByteArray url8 = url.toUtf8();
        appendInt(body, qint32(url8.size()));
        body.append(url8);
        pad(body);
        appendInt(body, qint32(title.size()));
        for (const QChar c : title)
            body.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
        pad(body);
        appendInt(body, 12);
        body.append("page-state\0\0", 12);
        appendInt(body, 0x21);
        QByteArray pickle;
        appendInt(pickle, qint32(body.size()));
        return command(6, pickle + body);
    }

    static void appendInt(QByteArray& bytes, qint32 value)
    {
        char raw[4];
        qToLittleEndian(value, raw);
        bytes.append(raw, 4);
    }

    static QByteArray ints(std::initializer_list<qint32> values)
    {
        QByteArray bytes;
        for (const qint32 value : values)
            appendInt(bytes, value);
        return bytes;
    }

private:
    // An identifier, four bytes of padding and the closing time (64 bits).
    static QByteArray closed(qint32 id) { return ints({id, 0, 0x3c0fe1d0, 0x0005fb12}); }

    static void pad(QByteArray& bytes)
    {
        while (bytes.size() % 4 != 0)
            bytes.append('\0');
    }

    QByteArray bytes_;
};
