#include "Store/JsonValueScanner.h"

#include <cstring>

namespace {

constexpr qsizetype notFound = -1;
const QByteArrayView byteOrderMark("\xEF\xBB\xBF");

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool endsBareValue(char c)
{
    return isSpace(c) || c == ',' || c == ']' || c == '}' || c == ':';
}

} // namespace

JsonValueScanner::JsonValueScanner(QByteArrayView bytes)
    : bytes_(bytes)
{
    if (bytes_.startsWith(byteOrderMark))
        position_ = byteOrderMark.size();
}

void JsonValueScanner::skipSpace()
{
    while (position_ < bytes_.size() && isSpace(bytes_[position_]))
        ++position_;
}

std::optional<char> JsonValueScanner::peek()
{
    skipSpace();
    if (position_ >= bytes_.size())
        return std::nullopt;
    return bytes_[position_];
}

bool JsonValueScanner::take(char c)
{
    if (peek() != c)
        return false;
    ++position_;
    return true;
}

bool JsonValueScanner::atEnd()
{
    return !peek();
}

// The index after the closing quote of the string whose opening quote is at `from`.
qsizetype JsonValueScanner::stringEnd(qsizetype from) const
{
    const char* data = bytes_.data();
    qsizetype i = from + 1;
    while (i < bytes_.size()) {
        const void* quote = std::memchr(data + i, '"', size_t(bytes_.size() - i));
        if (!quote)
            return notFound;
        const qsizetype at = static_cast<const char*>(quote) - data;
        qsizetype backslashes = 0;
        while (at - backslashes - 1 > from && data[at - backslashes - 1] == '\\')
            ++backslashes;
        if (backslashes % 2 == 0)
            return at + 1;
        i = at + 1;
    }
    return notFound;
}

// The index after the bracket that closes the one at `from`.
qsizetype JsonValueScanner::containerEnd(qsizetype from) const
{
    qsizetype depth = 0;
    qsizetype i = from;
    while (i < bytes_.size()) {
        const char c = bytes_[i];
        if (c == '"') {
            i = stringEnd(i);
            if (i == notFound)
                return notFound;
            continue;
        }
        if (c == '{' || c == '[')
            ++depth;
        else if ((c == '}' || c == ']') && --depth == 0)
            return i + 1;
        ++i;
    }
    return notFound;
}

std::optional<QByteArrayView> JsonValueScanner::takeValue()
{
    const std::optional<char> first = peek();
    if (!first)
        return std::nullopt;
    qsizetype end = position_;
    if (*first == '"') {
        end = stringEnd(position_);
    } else if (*first == '{' || *first == '[') {
        end = containerEnd(position_);
    } else {
        while (end < bytes_.size() && !endsBareValue(bytes_[end]))
            ++end;
    }
    if (end == notFound || end == position_)
        return std::nullopt;
    const QByteArrayView value = bytes_.sliced(position_, end - position_);
    position_ = end;
    return value;
}
