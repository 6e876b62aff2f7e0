#include "Util/StringsTable.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace {

using Error = StringsTable::Error;
using Entry = StringsTable::Entry;

constexpr int hexDigitsPerEscape = 4;

int lineOf(const QString& text, qsizetype position)
{
    return int(text.left(position).count(QLatin1Char('\n'))) + 1;
}

// The line of the first byte sequence that is not UTF-8. A newline byte never occurs inside
// a multi-byte sequence, so each line can be checked on its own.
int firstInvalidUtf8Line(const QByteArray& bytes)
{
    int line = 1;
    for (const QByteArray& chunk : bytes.split('\n')) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        (void)decoder.decode(chunk);
        if (decoder.hasError())
            return line;
        ++line;
    }
    return line - 1;
}

QString decodeUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw Error{firstInvalidUtf8Line(bytes), QStringLiteral("the text is not valid UTF-8")};
    return text;
}

// The position of the first surrogate without its partner, or -1.
qsizetype firstUnpairedSurrogate(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isLowSurrogate())
            return i;
        if (!c.isHighSurrogate())
            continue;
        if (i + 1 == text.size() || !text.at(i + 1).isLowSurrogate())
            return i;
        ++i;
    }
    return -1;
}

// Qt's decoder passes surrogates without a partner through, so they are looked for here.
QString decodeUtf16(const QByteArray& bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    const qsizetype unpaired = firstUnpairedSurrogate(text);
    if (decoder.hasError() || bytes.size() % 2 != 0 || unpaired >= 0) {
        const qsizetype replaced = text.indexOf(QChar(QChar::ReplacementCharacter));
        const qsizetype bad = unpaired >= 0 ? unpaired : replaced >= 0 ? replaced : text.size();
        throw Error{lineOf(text, bad), QStringLiteral("the text is not valid UTF-16")};
    }
    return text;
}

QString decode(const QByteArray& data)
{
    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    static const QByteArray utf16LeBom("\xFF\xFE");
    static const QByteArray utf16BeBom("\xFE\xFF");
    if (data.startsWith(utf16LeBom))
        return decodeUtf16(data.sliced(utf16LeBom.size()), QStringConverter::Utf16LE);
    if (data.startsWith(utf16BeBom))
        return decodeUtf16(data.sliced(utf16BeBom.size()), QStringConverter::Utf16BE);
    return decodeUtf8(data.startsWith(utf8Bom) ? data.sliced(utf8Bom.size()) : data);
}

bool isUnquotedCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_' ||
           u == u'.' || u == u'-';
}

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

QString describe(QChar c)
{
    return QStringLiteral("'%1'").arg(c);
}

class Parser {
public:
    explicit Parser(const QString& text)
        : text_(text)
    {}

    QList<Entry> entries()
    {
        QList<Entry> entries;
        while (skipSpaceAndComments())
            entries.append(entry());
        return entries;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    QChar current() const { return text_.at(pos_); }
    QChar next() const { return pos_ + 1 < text_.size() ? text_.at(pos_ + 1) : QChar(); }

    QString found() const { return atEnd() ? QStringLiteral("the end of the file") : describe(current()); }

    Entry entry()
    {
        const int line = line_;
        const QString key = token(QStringLiteral("a key"));
        const int keyEndLine = line_;
        skipSpaceAndComments();
        if (atEnd() || current() != QLatin1Char('='))
            throw Error{keyEndLine, QStringLiteral("missing '=' after the key \"%1\"").arg(key)};
        ++pos_;
        skipSpaceAndComments();
        const QString value = token(QStringLiteral("a value after '='"));
        const int valueEndLine = line_;
        skipSpaceAndComments();
        if (atEnd() || current() != QLatin1Char(';'))
            throw Error{valueEndLine, QStringLiteral("missing ';' after the value of \"%1\"").arg(key)};
        ++pos_;
        return Entry{key, value, line};
    }

    QString token(const QString& what)
    {
        if (!atEnd() && current() == QLatin1Char('"'))
            return quoted();
        if (!atEnd() && isUnquotedCharacter(current()))
            return unquoted();
        throw Error{line_, QStringLiteral("expected %1, found %2").arg(what, found())};
    }

    QString unquoted()
    {
        const qsizetype start = pos_;
        while (!atEnd() && isUnquotedCharacter(current()))
            ++pos_;
        return text_.sliced(start, pos_ - start);
    }

    QString quoted()
    {
        const int startLine = line_;
        QString value;
        ++pos_;
        while (true) {
            if (atEnd())
                throw Error{startLine, QStringLiteral("unterminated string")};
            const QChar c = current();
            if (c == QLatin1Char('"')) {
                ++pos_;
                return value;
            }
            if (c == QLatin1Char('\\')) {
                value += escape(startLine);
                continue;
            }
            if (c == QLatin1Char('\n'))
                ++line_;
            value += c;
            ++pos_;
        }
    }

    // The text of the escape at pos_ (a backslash); advances past it.
    QString escape(int stringLine)
    {
        ++pos_;
        if (atEnd())
            throw Error{stringLine, QStringLiteral("unterminated string")};
        const QChar c = current();
        ++pos_;
        switch (c.unicode()) {
        case u'"':
        case u'\\':
            return QString(c);
        case u'n':
            return QStringLiteral("\n");
        case u't':
            return QStringLiteral("\t");
        case u'r':
            return QStringLiteral("\r");
        case u'0':
            return QString(QChar(0));
        case u'u':
        case u'U':
            return unicodeEscape(c);
        default:
            throw Error{line_, QStringLiteral("unknown escape \"\\%1\"").arg(c)};
        }
    }

    // \uXXXX after its letter; a high surrogate must be followed by a low one in a second escape.
    QString unicodeEscape(QChar letter)
    {
        const char16_t unit = hexUnit(letter);
        if (QChar::isLowSurrogate(unit))
            throw Error{line_, QStringLiteral("unpaired surrogate in \"\\%1\" escape").arg(letter)};
        if (!QChar::isHighSurrogate(unit))
            return QString(QChar(unit));
        const bool escapeFollows = pos_ + 1 < text_.size() && current() == QLatin1Char('\\') &&
                                   (next() == QLatin1Char('u') || next() == QLatin1Char('U'));
        if (!escapeFollows)
            throw Error{line_, QStringLiteral("unpaired surrogate in \"\\%1\" escape").arg(letter)};
        pos_ += 2;
        const char16_t low = hexUnit(text_.at(pos_ - 1));
        if (!QChar::isLowSurrogate(low))
            throw Error{line_, QStringLiteral("unpaired surrogate in \"\\%1\" escape").arg(letter)};
        const QChar pair[] = {QChar(unit), QChar(low)};
        return QString(pair, 2);
    }

    char16_t hexUnit(QChar letter)
    {
        bool ok = false;
        const QString digits = text_.mid(pos_, hexDigitsPerEscape);
        const uint unit = digits.size() == hexDigitsPerEscape ? digits.toUInt(&ok, 16) : 0;
        if (!ok || !std::all_of(digits.begin(), digits.end(), isHexDigit))
            throw Error{line_, QStringLiteral("\"\\%1\" needs four hexadecimal digits").arg(letter)};
        pos_ += hexDigitsPerEscape;
        return char16_t(unit);
    }

    // Skips white space and comments; false at the end of the text.
    bool skipSpaceAndComments()
    {
        while (!atEnd()) {
            const QChar c = current();
            if (c == QLatin1Char('\n')) {
                ++line_;
                ++pos_;
            } else if (c.isSpace()) {
                ++pos_;
            } else if (c == QLatin1Char('/') && next() == QLatin1Char('*')) {
                skipBlockComment();
            } else if (c == QLatin1Char('/') && next() == QLatin1Char('/')) {
                while (!atEnd() && current() != QLatin1Char('\n'))
                    ++pos_;
            } else {
                return true;
            }
        }
        return false;
    }

    void skipBlockComment()
    {
        const int startLine = line_;
        const qsizetype end = text_.indexOf(QStringLiteral("*/"), pos_ + 2);
        if (end < 0)
            throw Error{startLine, QStringLiteral("unterminated comment")};
        line_ += int(QStringView(text_).sliced(pos_, end - pos_).count(QLatin1Char('\n')));
        pos_ = end + 2;
    }

    const QString& text_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

} // namespace

QString StringsTable::Error::description() const
{
    return QStringLiteral("line %1: %2").arg(line).arg(message);
}

StringsTable StringsTable::parse(const QByteArray& data)
{
    const QString text = decode(data);
    return StringsTable(Parser(text).entries());
}

StringsTable StringsTable::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error{0, QStringLiteral("can't be opened: %1").arg(file.errorString())};
    return parse(file.readAll());
}

QList<StringsTable::Entry> StringsTable::duplicates() const
{
    QList<Entry> found;
    QSet<QString> seen;
    for (const Entry& entry : entries_) {
        if (seen.contains(entry.key))
            found.append(entry);
        seen.insert(entry.key);
    }
    return found;
}

QHash<QString, QString> StringsTable::values() const
{
    QHash<QString, QString> table;
    table.reserve(entries_.size());
    for (const Entry& entry : entries_)
        table.insert(entry.key, entry.value);
    return table;
}
