#include "Platform/linux/ChromiumTabScript.h"

#include <QList>
#include <optional>

namespace Platform {

namespace {

// The script with its four parameters as holes in square brackets.
constexpr char16_t scriptPattern[] = uR"SCRIPT(with timeout of [TIMEOUT] seconds
    tell application id [BUNDLE-ID]
        if not running then error "浏览器已退出。" number -600
        set collectedRows to {}
        set firstErrorMessage to ""
        set firstErrorCode to ""
        set browserWindows to every window
        repeat with windowIndex from 1 to count of browserWindows
            try
                set browserWindow to item windowIndex of browserWindows
                if [WINDOW-CONDITION] then
                set windowTabs to every tab of browserWindow
                repeat with tabIndex from 1 to count of windowTabs
                    try
                        set browserTab to item tabIndex of windowTabs
                        set tabURL to URL of browserTab
                        if tabURL is not missing value then
                            set tabURL to tabURL as text
                            if tabURL is not "" then
                                set tabTitle to ""
                                try
                                    set rawTitle to [TITLE-PROPERTY] of browserTab
                                    if rawTitle is not missing value then set tabTitle to rawTitle as text
                                on error errorText number errorNumber
                                    if firstErrorCode is "" then
                                        set firstErrorMessage to errorText
                                        set firstErrorCode to errorNumber as text
                                    end if
                                end try
                                set end of collectedRows to {windowIndex as text, tabIndex as text, tabTitle, tabURL}
                            end if
                        end if
                    on error errorText number errorNumber
                        if firstErrorCode is "" then
                            set firstErrorMessage to errorText
                            set firstErrorCode to errorNumber as text
                        end if
                    end try
                end repeat
                end if
            on error errorText number errorNumber
                if firstErrorCode is "" then
                    set firstErrorMessage to errorText
                    set firstErrorCode to errorNumber as text
                end if
            end try
        end repeat
        return {{"status", firstErrorMessage, firstErrorCode}} & collectedRows
    end tell
end timeout)SCRIPT";

constexpr char16_t everyWindowCondition[] = u"true";
constexpr char16_t normalWindowCondition[] = u"mode of browserWindow is not \"incognito\"";

struct Token {
    enum class Kind { word, number, text, symbol, lineBreak, hole };
    Kind kind;
    QString value;

    bool operator==(const Token&) const = default;
};

using Tokens = QList<Token>;

bool isWordStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isWordPart(QChar c)
{
    return isWordStart(c) || isDigit(c);
}

// Splits a script into tokens; none when the text holds anything the script does not. Holes
// ("[NAME]") are allowed only in the pattern.
class Tokenizer {
public:
    Tokenizer(QStringView text, bool allowHoles)
        : text_(text)
        , allowHoles_(allowHoles)
    {}

    std::optional<Tokens> run()
    {
        while (pos_ < text_.size()) {
            if (!next())
                return std::nullopt;
        }
        if (!tokens_.isEmpty() && tokens_.last().kind == Token::Kind::lineBreak)
            tokens_.removeLast();
        return tokens_;
    }

private:
    bool next()
    {
        const QChar c = text_[pos_];
        if (c == u' ' || c == u'\t') {
            ++pos_;
            return true;
        }
        if (c == u'\n' || c == u'\r')
            return lineBreak();
        if (isWordStart(c))
            return take(Token::Kind::word, isWordPart);
        if (isDigit(c))
            return take(Token::Kind::number, isDigit);
        if (c == u'"')
            return text();
        if (c == u'[' && allowHoles_)
            return hole();
        if (QStringView(u"{},&-").contains(c)) {
            tokens_.append({Token::Kind::symbol, QString(c)});
            ++pos_;
            return true;
        }
        return false;
    }

    bool lineBreak()
    {
        ++pos_;
        if (!tokens_.isEmpty() && tokens_.last().kind != Token::Kind::lineBreak)
            tokens_.append({Token::Kind::lineBreak, {}});
        return true;
    }

    bool take(Token::Kind kind, bool (*belongs)(QChar))
    {
        const qsizetype start = pos_;
        while (pos_ < text_.size() && belongs(text_[pos_]))
            ++pos_;
        tokens_.append({kind, text_.sliced(start, pos_ - start).toString()});
        return true;
    }

    // A quoted text; a backslash escapes a quote or a backslash, and nothing else.
    bool text()
    {
        QString value;
        for (++pos_; pos_ < text_.size(); ++pos_) {
            const QChar c = text_[pos_];
            if (c == u'"') {
                ++pos_;
                tokens_.append({Token::Kind::text, value});
                return true;
            }
            if (c == u'\n' || c == u'\r')
                return false;
            if (c == u'\\') {
                if (++pos_ == text_.size() || (text_[pos_] != u'"' && text_[pos_] != u'\\'))
                    return false;
            }
            value.append(text_[pos_]);
        }
        return false;
    }

    bool hole()
    {
        const qsizetype close = text_.indexOf(u']', pos_);
        tokens_.append({Token::Kind::hole, text_.sliced(pos_ + 1, close - pos_ - 1).toString()});
        pos_ = close + 1;
        return true;
    }

    QStringView text_;
    bool allowHoles_;
    qsizetype pos_ = 0;
    Tokens tokens_;
};

const Tokens& patternTokens()
{
    static const Tokens tokens = *Tokenizer(scriptPattern, true).run();
    return tokens;
}

const Tokens& windowConditionTokens(bool skipsIncognito)
{
    static const Tokens every = *Tokenizer(everyWindowCondition, false).run();
    static const Tokens normal = *Tokenizer(normalWindowCondition, false).run();
    return skipsIncognito ? normal : every;
}

// Walks the script's tokens along the pattern, filling in the parameters at the holes.
class PatternMatch {
public:
    PatternMatch(const Tokens& source, ChromiumTabScript& script)
        : source_(source)
        , script_(script)
    {}

    bool run()
    {
        for (const Token& expected : patternTokens()) {
            const bool matched =
                expected.kind == Token::Kind::hole ? fillHole(expected.value) : take(expected);
            if (!matched)
                return false;
        }
        return pos_ == source_.size();
    }

private:
    bool take(const Token& expected)
    {
        if (pos_ >= source_.size() || source_[pos_] != expected)
            return false;
        ++pos_;
        return true;
    }

    const Token* takeKind(Token::Kind kind)
    {
        if (pos_ >= source_.size() || source_[pos_].kind != kind)
            return nullptr;
        return &source_[pos_++];
    }

    bool takeAll(const Tokens& expected)
    {
        const qsizetype start = pos_;
        for (const Token& token : expected) {
            if (!take(token)) {
                pos_ = start;
                return false;
            }
        }
        return true;
    }

    bool fillHole(const QString& name)
    {
        if (name == u"TIMEOUT")
            return fillTimeout();
        if (name == u"BUNDLE-ID")
            return fillBundleID();
        if (name == u"WINDOW-CONDITION")
            return fillWindowCondition();
        return fillTitleProperty();
    }

    bool fillTimeout()
    {
        const Token* token = takeKind(Token::Kind::number);
        bool ok = false;
        const int seconds = token ? token->value.toInt(&ok) : 0;
        script_.timeoutSeconds = seconds;
        return ok && seconds >= 1 && seconds <= ChromiumTabScript::maxTimeoutSeconds;
    }

    bool fillBundleID()
    {
        const Token* token = takeKind(Token::Kind::text);
        if (!token || token->value.isEmpty())
            return false;
        script_.bundleID = token->value;
        return true;
    }

    bool fillWindowCondition()
    {
        script_.skipsIncognito = takeAll(windowConditionTokens(true));
        return script_.skipsIncognito || takeAll(windowConditionTokens(false));
    }

    bool fillTitleProperty()
    {
        const Token* token = takeKind(Token::Kind::word);
        if (!token || (token->value != u"title" && token->value != u"name"))
            return false;
        script_.titleProperty = token->value;
        return true;
    }

    const Tokens& source_;
    ChromiumTabScript& script_;
    qsizetype pos_ = 0;
};

} // namespace

std::unique_ptr<ChromiumTabScript> ChromiumTabScript::recognise(const QString& source)
{
    const std::optional<Tokens> tokens = Tokenizer(source, false).run();
    if (!tokens)
        return nullptr;
    auto script = std::make_unique<ChromiumTabScript>();
    if (!PatternMatch(*tokens, *script).run())
        return nullptr;
    return script;
}

} // namespace Platform
