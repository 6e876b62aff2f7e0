#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// A strings table in the ".strings" text format: `"key" = "value";` entries between
// /* block */ and // line comments, read from UTF-8 (with or without a byte-order mark) or
// from UTF-16 with a byte-order mark.
class StringsTable {
public:
    struct Entry {
        QString key;
        QString value;
        int line = 0;
        bool operator==(const Entry&) const = default;
    };

    // Why a table can't be read, thrown by parse() and read(). `line` counts from 1; it is 0
    // when the file itself can't be read.
    struct Error {
        int line = 0;
        QString message;
        // "line 4: unterminated string".
        QString description() const;
    };

    // Throws StringsTable::Error for the first fault found; a table is never half read.
    static StringsTable parse(const QByteArray& data);
    static StringsTable read(const QString& path);

    // Every entry in file order, duplicates included. A temporary table hands its entries
    // over, so `for (auto& e : StringsTable::read(path).entries())` is safe.
    const QList<Entry>& entries() const& { return entries_; }
    QList<Entry> entries() && { return std::move(entries_); }
    // The entries whose key an earlier entry already has.
    QList<Entry> duplicates() const;
    // Key to value; of duplicate keys the last one wins.
    QHash<QString, QString> values() const;

private:
    explicit StringsTable(QList<Entry> entries)
        : entries_(std::move(entries))
    {}

    QList<Entry> entries_;
};
