#include "UI/Bar/ClipCardText.h"

#include "UI/ElidedLines.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <cmath>

namespace {

const QChar wordJoiner(0x2060);

bool looksLikeAddress(const QString& word)
{
    return word.contains(QLatin1String("://")) || word.contains(u'/') || word.contains(u'\\') ||
           word.contains(u'@');
}

QString expandedTabs(const QString& line)
{
    QString expanded;
    for (const QChar c : line) {
        if (c == u'\t')
            expanded.append(
                QString(ClipCardText::tabColumns - expanded.size() % ClipCardText::tabColumns, u' '));
        else
            expanded.append(c);
    }
    return expanded;
}

// Word joiners between the characters of every address, so that lines never break inside one.
QString unbreakableAddresses(const QString& paragraph)
{
    QStringList words = paragraph.split(u' ');
    for (QString& word : words) {
        if (!looksLikeAddress(word))
            continue;
        QString joined;
        for (const QChar c : word) {
            if (!joined.isEmpty() && !c.isLowSurrogate())
                joined.append(wordJoiner);
            joined.append(c);
        }
        word = joined;
    }
    return words.join(u' ');
}

qsizetype indentationLength(const QString& paragraph)
{
    qsizetype length = 0;
    while (length < paragraph.size() && paragraph[length].isSpace())
        ++length;
    return length;
}

// The paragraph broken at word boundaries only; a line may be wider than `width` when one
// word is. Each line keeps the paragraph's indentation.
QStringList wrapped(const QString& paragraph, const QFont& font, qreal width)
{
    const qsizetype indentLength = indentationLength(paragraph);
    if (indentLength == paragraph.size())
        return {QString()};
    const QString indent = expandedTabs(paragraph.left(indentLength));
    const QString text = unbreakableAddresses(paragraph.mid(indentLength));
    const qreal room = qMax(width / 2, width - QFontMetricsF(font).horizontalAdvance(indent));
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room);
        lines.append(indent + text.mid(line.textStart(), line.textLength()).remove(wordJoiner).trimmed());
    }
    layout.endLayout();
    return lines;
}

} // namespace

ClipCardText ClipCardText::layout(const QString& text, const QFont& font, const QSizeF& box, bool isCode,
                                  bool more)
{
    const QFontMetricsF metrics(font);
    const qreal width = box.width();
    const qsizetype maxLines = qMax(1, int(std::floor(box.height() / metrics.lineSpacing())));
    ClipCardText result;
    bool cutAtEnd = more;
    QStringList lines;
    for (const QString& paragraph : text.split(u'\n'))
        lines += isCode ? QStringList{expandedTabs(paragraph)} : wrapped(paragraph, font, width);
    if (lines.size() > maxLines) {
        lines.resize(maxLines);
        cutAtEnd = true;
    }
    for (const QString& line : lines) {
        const Qt::TextElideMode mode = !isCode && looksLikeAddress(line) ? Qt::ElideMiddle : Qt::ElideRight;
        result.lines.append(metrics.elidedText(line, mode, width));
        result.leftOut = result.leftOut || result.lines.last() != line;
    }
    result.leftOut = result.leftOut || cutAtEnd;
    if (cutAtEnd && !result.lines.isEmpty())
        result.lines.last() = lineEndingInEllipsis(result.lines.last(), metrics, width);
    return result;
}
