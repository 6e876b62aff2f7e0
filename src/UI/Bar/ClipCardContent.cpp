#include "UI/Bar/ClipCardContent.h"

#include "Monitor/PasteFormat.h"
#include "Util/ColorHex.h"
#include "Util/Localization.h"

#include <QFileInfo>
#include <QUrl>

namespace {

// The first lines of the first characters, trailing white space removed.
QString previewLines(const QString& text)
{
    const QStringView head = QStringView(text).left(ClipCardContent::maxPreviewCharacters);
    QStringList lines;
    for (const QStringView line : head.split(u'\n')) {
        if (lines.size() == ClipCardContent::maxPreviewLines)
            break;
        lines.append(line.toString().trimmed());
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
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
    case ClipType::richText:
        content.preview = previewLines(clipText(item));
        break;
    case ClipType::image:
        break;
    case ClipType::link: {
        content.preview = previewLines(clipText(item));
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
        content.preview = content.color ? hexString(*content.color) : item.colorHex.value_or(QString());
        break;
    }
    return content;
}
