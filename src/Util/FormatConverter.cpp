#include "Util/FormatConverter.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <cctype>
#include <optional>

namespace FormatConverter {

namespace {

const QString htmlHead = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>");
const QString htmlTail = QStringLiteral("</body></html>");

// RTF ---------------------------------------------------------------------------------------

constexpr int defaultUnicodeSkip = 1;
constexpr int maxControlWordLength = 32;
constexpr int maxParameterDigits = 10;

// Groups whose text is not part of the document's text.
const QSet<QByteArray>& skippedDestinations()
{
    static const QSet<QByteArray> names{"fonttbl",
                                        "colortbl",
                                        "stylesheet",
                                        "info",
                                        "pict",
                                        "object",
                                        "header",
                                        "headerl",
                                        "headerr",
                                        "headerf",
                                        "footer",
                                        "footerl",
                                        "footerr",
                                        "footerf",
                                        "footnote",
                                        "listtable",
                                        "listoverridetable",
                                        "rsidtbl",
                                        "generator",
                                        "xmlnstbl",
                                        "themedata",
                                        "colorschememapping",
                                        "datastore",
                                        "latentstyles",
                                        "pgdsctbl",
                                        "fldinst",
                                        "shppict",
                                        "nonshppict",
                                        "shp",
                                        "revtbl",
                                        "filetbl",
                                        "private",
                                        "bkmkstart",
                                        "bkmkend",
                                        "mmathPr",
                                        "template"};
    return names;
}

const QHash<QByteArray, QString>& wordCharacters()
{
    static const QHash<QByteArray, QString> characters{
        {"par", QStringLiteral("\n")},           {"line", QStringLiteral("\n")},
        {"sect", QStringLiteral("\n")},          {"page", QStringLiteral("\n")},
        {"row", QStringLiteral("\n")},           {"tab", QStringLiteral("\t")},
        {"cell", QStringLiteral("\t")},          {"emdash", QStringLiteral("\u2014")},
        {"endash", QStringLiteral("\u2013")},    {"bullet", QStringLiteral("\u2022")},
        {"lquote", QStringLiteral("\u2018")},    {"rquote", QStringLiteral("\u2019")},
        {"ldblquote", QStringLiteral("\u201C")}, {"rdblquote", QStringLiteral("\u201D")},
        {"emspace", QStringLiteral(" ")},        {"enspace", QStringLiteral(" ")},
        {"qmspace", QStringLiteral(" ")},
    };
    return characters;
}

QByteArray codePageName(int codePage)
{
    switch (codePage) {
    case 65001:
        return "UTF-8";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "EUC-KR";
    case 950:
        return "Big5";
    case 10000:
        return "macintosh";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}

// Reads the text of an RTF document in one pass, without recursion.
class RtfTextReader {
public:
    explicit RtfTextReader(const QByteArray& rtf)
        : rtf_(rtf)
    {}

    QString read()
    {
        while (pos_ < rtf_.size()) {
            const char c = rtf_.at(pos_);
            if (c == '{')
                openGroup();
            else if (c == '}')
                closeGroup();
            else if (c == '\\')
                readControl();
            else
                readCharacter(c);
        }
        flushBytes();
        while (text_.endsWith(QLatin1Char('\n')))
            text_.chop(1);
        return text_;
    }

private:
    struct GroupState {
        bool skip = false;
        int unicodeSkip = defaultUnicodeSkip;
    };

    void openGroup()
    {
        flushBytes();
        groups_.append(state_);
        groupStart_ = true;
        ++pos_;
    }

    void closeGroup()
    {
        flushBytes();
        if (!groups_.isEmpty())
            state_ = groups_.takeLast();
        groupStart_ = false;
        fallbackToSkip_ = 0;
        ++pos_;
    }

    void readCharacter(char c)
    {
        ++pos_;
        groupStart_ = false;
        if (c == '\r' || c == '\n')
            return;
        appendByte(c);
    }

    void appendByte(char c)
    {
        if (fallbackToSkip_ > 0) {
            --fallbackToSkip_;
            return;
        }
        if (!state_.skip)
            bytes_.append(c);
    }

    void appendText(const QString& text)
    {
        flushBytes();
        if (!state_.skip)
            text_ += text;
    }

    void flushBytes()
    {
        if (bytes_.isEmpty())
            return;
        text_ += decoder_.isValid() ? decoder_.decode(bytes_) : QString::fromLatin1(bytes_);
        bytes_.clear();
    }

    void readControl()
    {
        const bool first = groupStart_;
        groupStart_ = false;
        if (pos_ + 1 >= rtf_.size()) {
            ++pos_;
            return;
        }
        const char next = rtf_.at(pos_ + 1);
        if (std::isalpha(static_cast<unsigned char>(next))) {
            readControlWord(first);
            return;
        }
        pos_ += 2;
        switch (next) {
        case '\'':
            readHexByte();
            break;
        case '*':
            state_.skip = true;
            break;
        case '\\':
        case '{':
        case '}':
            appendByte(next);
            break;
        case '~':
            appendText(QStringLiteral("\u00A0"));
            break;
        case '_':
            appendText(QStringLiteral("-"));
            break;
        case '\r':
        case '\n':
            appendText(QStringLiteral("\n"));
            break;
        default:
            break;
        }
    }

    void readHexByte()
    {
        bool ok = false;
        const int value = rtf_.mid(pos_, 2).toInt(&ok, 16);
        if (!ok)
            return;
        pos_ += 2;
        appendByte(static_cast<char>(value));
    }

    void readControlWord(bool firstInGroup)
    {
        ++pos_;
        const qsizetype start = pos_;
        while (pos_ < rtf_.size() && pos_ - start < maxControlWordLength &&
               std::isalpha(static_cast<unsigned char>(rtf_.at(pos_))))
            ++pos_;
        const QByteArray word = rtf_.mid(start, pos_ - start);
        const qsizetype parameterStart = pos_;
        if (pos_ < rtf_.size() && rtf_.at(pos_) == '-')
            ++pos_;
        while (pos_ < rtf_.size() && pos_ - parameterStart <= maxParameterDigits &&
               std::isdigit(static_cast<unsigned char>(rtf_.at(pos_))))
            ++pos_;
        bool hasParameter = false;
        const int parameter = rtf_.mid(parameterStart, pos_ - parameterStart).toInt(&hasParameter);
        if (pos_ < rtf_.size() && rtf_.at(pos_) == ' ')
            ++pos_;
        handleWord(word, hasParameter ? std::optional<int>(parameter) : std::nullopt, firstInGroup);
    }

    void handleWord(const QByteArray& word, std::optional<int> parameter, bool firstInGroup)
    {
        if (firstInGroup && skippedDestinations().contains(word)) {
            state_.skip = true;
            return;
        }
        if (word == "bin") {
            flushBytes();
            pos_ += std::max(0, parameter.value_or(0));
            return;
        }
        if (word == "u" && parameter) {
            appendText(
                QString(QChar(static_cast<char16_t>(*parameter < 0 ? *parameter + 0x10000 : *parameter))));
            fallbackToSkip_ = state_.unicodeSkip;
            return;
        }
        if (word == "uc" && parameter) {
            state_.unicodeSkip = std::max(0, *parameter);
            return;
        }
        if (word == "ansicpg" && parameter) {
            flushBytes();
            decoder_ = QStringDecoder(codePageName(*parameter).constData());
            return;
        }
        if (word == "mac") {
            flushBytes();
            decoder_ = QStringDecoder("macintosh");
            return;
        }
        if (const auto found = wordCharacters().constFind(word); found != wordCharacters().constEnd())
            appendText(*found);
    }

    const QByteArray& rtf_;
    qsizetype pos_ = 0;
    GroupState state_;
    QList<GroupState> groups_;
    bool groupStart_ = false;
    int fallbackToSkip_ = 0;
    QByteArray bytes_;
    QStringDecoder decoder_{"windows-1252"};
    QString text_;
};

// Cleaned HTML -------------------------------------------------------------------------------

// One stretch of text with the only attributes that survive cleaning.
struct Run {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool code = false;
    QString href;
    QString text;

    bool sameStyle(const Run& other) const
    {
        return bold == other.bold && italic == other.italic && underline == other.underline &&
               strike == other.strike && code == other.code && href == other.href;
    }
};

Run runOf(const QTextFragment& fragment)
{
    const QTextCharFormat format = fragment.charFormat();
    Run run;
    run.bold = format.fontWeight() >= QFont::DemiBold;
    run.italic = format.fontItalic();
    run.href = format.isAnchor() ? format.anchorHref() : QString();
    // Links are underlined by the importer itself.
    run.underline = format.fontUnderline() && run.href.isEmpty();
    run.strike = format.fontStrikeOut();
    const QStringList families = format.fontFamilies().toStringList();
    run.code = format.fontFixedPitch() || families.contains(QStringLiteral("monospace"), Qt::CaseInsensitive);
    run.text = fragment.text();
    run.text.remove(QChar::ObjectReplacementCharacter);
    return run;
}

QString escapedText(const QString& text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QChar::LineSeparator, QStringLiteral("<br>"));
    escaped.replace(QChar::Nbsp, QStringLiteral("&nbsp;"));
    return escaped;
}

QString runHtml(const Run& run)
{
    QString html = escapedText(run.text);
    const auto wrap = [&html](bool on, const char* tag) {
        if (on)
            html = QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), html);
    };
    wrap(run.code, "code");
    wrap(run.strike, "s");
    wrap(run.underline, "u");
    wrap(run.italic, "i");
    wrap(run.bold, "b");
    if (!run.href.isEmpty())
        html = QStringLiteral("<a href=\"%1\">%2</a>").arg(run.href.toHtmlEscaped(), html);
    return html;
}

// The block's runs with white space trimmed at both ends. Headings drop the bold the importer
// gives them and preformatted blocks the code style.
QList<Run> blockRuns(const QTextBlock& block, bool heading, bool preformatted)
{
    QList<Run> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        Run run = runOf(fragment);
        run.bold = run.bold && !heading;
        run.code = run.code && !preformatted;
        if (run.text.isEmpty())
            continue;
        if (!runs.isEmpty() && runs.last().sameStyle(run))
            runs.last().text += run.text;
        else
            runs.append(run);
    }
    if (preformatted)
        return runs;
    while (!runs.isEmpty() && runs.first().text.trimmed().isEmpty())
        runs.removeFirst();
    while (!runs.isEmpty() && runs.last().text.trimmed().isEmpty())
        runs.removeLast();
    if (!runs.isEmpty()) {
        static const QRegularExpression leadingSpace(QStringLiteral("^\\s+"));
        static const QRegularExpression trailingSpace(QStringLiteral("\\s+$"));
        runs.first().text.remove(leadingSpace);
        runs.last().text.remove(trailingSpace);
    }
    return runs;
}

QString blockContent(const QTextBlock& block, const QString& tag)
{
    const bool heading = tag.startsWith(QLatin1Char('h'));
    QString html;
    for (const Run& run : blockRuns(block, heading, tag == QLatin1String("pre")))
        html += runHtml(run);
    return html;
}

bool isOrdered(const QTextList* list)
{
    const QTextListFormat::Style style = list->format().style();
    return style != QTextListFormat::ListDisc && style != QTextListFormat::ListCircle &&
           style != QTextListFormat::ListSquare;
}

QString blockTag(const QTextBlock& block)
{
    if (block.textList())
        return QStringLiteral("li");
    if (const int level = block.blockFormat().headingLevel(); level >= 1 && level <= 6)
        return QStringLiteral("h%1").arg(level);
    if (block.blockFormat().nonBreakableLines())
        return QStringLiteral("pre");
    return QStringLiteral("p");
}

QString cleanedBody(const QTextDocument& document)
{
    QString body;
    const QTextList* openList = nullptr;
    const auto closeList = [&] {
        if (openList)
            body += isOrdered(openList) ? QStringLiteral("</ol>") : QStringLiteral("</ul>");
        openList = nullptr;
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList* list = block.textList();
        if (list != openList) {
            closeList();
            if (list)
                body += isOrdered(list) ? QStringLiteral("<ol>") : QStringLiteral("<ul>");
            openList = list;
        }
        const QString tag = blockTag(block);
        const QString content = blockContent(block, tag);
        if (content.isEmpty() && !list)
            continue;
        // Lines of one preformatted text are blocks of their own here.
        static const QString preformattedEnd = QStringLiteral("</pre>");
        if (tag == QLatin1String("pre") && body.endsWith(preformattedEnd)) {
            body.insert(body.size() - preformattedEnd.size(), QLatin1Char('\n') + content);
            continue;
        }
        body += QStringLiteral("<%1>%2</%1>").arg(tag, content);
    }
    closeList();
    return body;
}

void loadHtml(QTextDocument& document, const QByteArray& html)
{
    document.setHtml(decodeHtml(html));
}

} // namespace

QString decodeHtml(const QByteArray& html)
{
    QStringDecoder decoder = QStringDecoder::decoderForHtml(html);
    if (!decoder.isValid())
        return QString::fromUtf8(html);
    return decoder.decode(html);
}

QString plainTextFromHtml(const QByteArray& html)
{
    QTextDocument document;
    loadHtml(document, html);
    // Images stand as U+FFFC in a document's text.
    return document.toPlainText().remove(QChar::ObjectReplacementCharacter);
}

QString plainTextFromRtf(const QByteArray& rtf)
{
    return RtfTextReader(rtf).read();
}

QByteArray cleanedHtml(const QByteArray& html)
{
    QTextDocument document;
    loadHtml(document, html);
    return (htmlHead + cleanedBody(document) + htmlTail).toUtf8();
}

QByteArray htmlFromPlainText(const QString& text)
{
    return (htmlHead + Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) + htmlTail).toUtf8();
}

QString markdownFromHtml(const QByteArray& html)
{
    QTextDocument document;
    loadHtml(document, html);
    QString markdown = document.toMarkdown(QTextDocument::MarkdownDialectGitHub);
    while (markdown.endsWith(QLatin1Char('\n')))
        markdown.chop(1);
    return markdown;
}

} // namespace FormatConverter
