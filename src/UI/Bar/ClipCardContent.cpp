#include "UI/Bar/ClipCardContent.h"

#include "Monitor/PasteFormat.h"
#include "UI/Bar/ClipRichTextPreview.h"
#include "UI/VelloraTypography.h"
#include "Util/ColorHex.h"
#include "Util/Localization.h"

#include <QFileInfo>
#include <QUrl>

namespace {

QString trimmedEnd(QStringView line)
{
    while (!line.isEmpty() && line.back().isSpace())
        line.chop(1);
    return line.toString();
}

struct Preview {
    QString text;
    // Whether text beyond the preview was left out.
    bool cut = false;
};

// Where the first line with more than white space starts.
qsizetype firstFilledLine(QStringView text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size() && text[i].isSpace(); ++i) {
        if (text[i] == u'\n')
            start = i + 1;
    }
    return start;
}

// The first lines of the first characters from the first line that is not blank, trailing
// white space removed; lines keep their indentation.
Preview previewLines(const QString& text)
{
    const QStringView filled = QStringView(text).sliced(firstFilledLine(text));
    const QStringView head = filled.left(ClipCardContent::maxPreviewCharacters);
    QStringList lines;
    qsizetype end = 0;
    while (end <= head.size() && lines.size() < ClipCardContent::maxPreviewLines) {
        qsizetype next = head.indexOf(u'\n', end);
        if (next < 0)
            next = head.size();
        const QStringView line = head.sliced(end, next - end);
        lines.append(trimmedEnd(line));
        end = next + 1;
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const bool cut =
        head.size() < filled.size() || (end < head.size() && !head.sliced(end).trimmed().isEmpty());
    return {lines.join(u'\n'), cut};
}

QString fileName(const QUrl& url)
{
    const QString name = url.isLocalFile() ? QFileInfo(url.toLocalFile()).fileName() : url.fileName();
    return name.isEmpty() ? url.toDisplayString() : name;
}

QString clipText(const ClipItem& item)
{
    if (item.text)
        return *item.text;
    return item.type == ClipType::richText ? PasteFormats::plainText(item) : QString();
}

} // namespace

QString ClipCardContent::kindTitle(const ClipItem& item)
{
    switch (item.type) {
    case ClipType::text:
        return Localization::string(QStringLiteral("Text"));
    case ClipType::richText:
        return Localization::string(QStringLiteral("Rich Text"));
    case ClipType::link:
        return Localization::string(QStringLiteral("Link"));
    case ClipType::image:
        return Localization::string(QStringLiteral("Image"));
    case ClipType::file:
        if (item.fileURLs.size() > 1)
            return Localization::format(QStringLiteral("%lld Files"), qint64(item.fileURLs.size()));
        return Localization::string(QStringLiteral("File"));
    case ClipType::color:
        return Localization::string(QStringLiteral("Color"));
    }
    return {};
}

ClipCardContent ClipCardContent::of(const ClipItem& item)
{
    ClipCardContent content;
    const bool hasTitle = item.customTitle && !item.customTitle->trimmed().isEmpty();
    content.title = hasTitle ? item.customTitle->trimmed() : kindTitle(item);
    switch (item.type) {
    case ClipType::text:
    case ClipType::richText: {
        const QString text = clipText(item);
        content.isCode = VelloraTypography::isCode(text.left(maxPreviewCharacters));
        const Preview preview = previewLines(text);
        content.preview = preview.text;
        content.cut = preview.cut;
        content.length = text.size();
        if (item.type == ClipType::richText && item.htmlData)
            content.richText = ClipRichTextPreview::make(*item.htmlData);
        break;
    }
    case ClipType::image:
        break;
    case ClipType::link: {
        const QString address = clipText(item).trimmed();
        content.preview = previewLines(address).text;
        content.length = address.size();
        content.linkHost = QUrl(content.preview.section(u'\n', 0, 0).trimmed()).host();
        break;
    }
    case ClipType::file:
        for (const QUrl& url : item.fileURLs.first(qMin(item.fileURLs.size(), maxFileNames)))
            content.fileNames.append(fileName(url));
        content.preview = content.fileNames.join(u'\n');
        break;
    case ClipType::color:
        content.color = colorFromHex(item.colorHex.value_or(QString()));
        // A colour copied as text shows the text it pastes back as.
        if (item.text && !item.text->trimmed().isEmpty())
            content.preview = item.text->trimmed();
        else
            content.preview = content.color ? hexString(*content.color) : item.colorHex.value_or(QString());
        break;
    }
    return content;
}
