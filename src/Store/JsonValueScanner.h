#pragma once

#include <QByteArrayView>
#include <optional>

// Walks the top level of a JSON text without building a tree: skips white space, takes
// punctuation and finds where one value ends, so that a large document can be decoded one
// value at a time. It checks brackets and strings only; whoever parses a value checks the rest.
class JsonValueScanner {
public:
    explicit JsonValueScanner(QByteArrayView bytes);

    void skipSpace();
    // Takes `c` after white space; false, taking nothing, when another byte comes.
    bool take(char c);
    // The next byte after white space; none at the end.
    std::optional<char> peek();
    bool atEnd();
    // The value that starts after white space, taken; none when it is unterminated or empty.
    std::optional<QByteArrayView> takeValue();

private:
    qsizetype stringEnd(qsizetype from) const;
    qsizetype containerEnd(qsizetype from) const;

    QByteArrayView bytes_;
    qsizetype position_ = 0;
};
