#include "Monitor/PasteFormat.h"

#include "Monitor/PasteboardTypes.h"
#include "Util/ColorHex.h"
#include "Util/FormatConverter.h"

#include <QMimeData>
#include <QStringList>

namespace PasteFormats {

namespace {

QByteArray colorBytes(const QColor& color)
{
    // Four 16-bit components, red, green, blue and alpha, in the machine's byte order.
    const QRgba64 rgba = color.rgba64();
    const quint16 components[4]{rgba.red(), rgba.green(), rgba.blue(), rgba.alpha()};
    return QByteArray(reinterpret_cast<const char*>(components), sizeof(components));
}

QString filePaths(const QList<QUrl>& urls)
{
    QStringList lines;
    for (const QUrl& url : urls)
        lines.append(url.isLocalFile() ? url.toLocalFile() : url.toString());
    return lines.join(QLatin1Char('\n'));
}

PasteboardContents textContents(const QString& text)
{
    if (text.isEmpty())
        return {};
    return {{PasteboardTypes::plainText, text.toUtf8()}};
}

PasteboardContents richTextContents(const ClipItem& item, PasteFormat format)
{
    const QString plain = plainText(item);
    switch (format) {
    case PasteFormat::asCaptured: {
        PasteboardContents contents;
        if (item.rtfData && !item.rtfData->isEmpty())
            contents.append({PasteboardTypes::rtf, *item.rtfData});
        if (item.htmlData && !item.htmlData->isEmpty())
            contents.append({PasteboardTypes::html, *item.htmlData});
        return contents + textContents(plain);
    }
    case PasteFormat::plainText:
        return textContents(plain);
    case PasteFormat::cleanedRichText: {
        if (plain.isEmpty() && !item.htmlData)
            return {};
        const QByteArray html = item.htmlData && !item.htmlData->isEmpty()
                                    ? FormatConverter::cleanedHtml(*item.htmlData)
                                    : FormatConverter::htmlFromPlainText(plain);
        return PasteboardContents{{PasteboardTypes::html, html}} + textContents(plain);
    }
    case PasteFormat::markdown:
        if (item.htmlData && !item.htmlData->isEmpty())
            return textContents(FormatConverter::markdownFromHtml(*item.htmlData));
        return textContents(plain);
    }
    return {};
}

PasteboardContents fileContents(const ClipItem& item, PasteFormat format)
{
    if (item.fileURLs.isEmpty())
        return {};
    const QString paths = filePaths(item.fileURLs);
    if (format == PasteFormat::plainText || format == PasteFormat::markdown)
        return textContents(paths);
    QStringList urls;
    for (const QUrl& url : item.fileURLs)
        urls.append(QString::fromUtf8(url.toEncoded()));
    return {
        {PasteboardTypes::uriList, (urls.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8()},
        {PasteboardTypes::gnomeCopiedFiles,
         (QStringLiteral("copy\n") + urls.join(QLatin1Char('\n'))).toUtf8()},
        {PasteboardTypes::plainText, paths.toUtf8()},
    };
}

PasteboardContents colorContents(const ClipItem& item, PasteFormat format)
{
    const std::optional<QColor> color = item.colorHex ? colorFromHex(*item.colorHex) : std::nullopt;
    if (!color)
        return {};
    // A colour copied as text goes back as that text.
    const QString text = item.text && !item.text->isEmpty() ? *item.text : hexString(*color);
    if (format == PasteFormat::plainText || format == PasteFormat::markdown)
        return textContents(text);
    return {{PasteboardTypes::color, colorBytes(*color)}, {PasteboardTypes::plainText, text.toUtf8()}};
}

} // namespace

QString plainText(const ClipItem& item)
{
    QString text;
    if (item.text && !item.text->isEmpty())
        text = *item.text;
    else if (item.htmlData && !item.htmlData->isEmpty())
        text = FormatConverter::plainTextFromHtml(*item.htmlData);
    else if (item.rtfData && !item.rtfData->isEmpty())
        text = FormatConverter::plainTextFromRtf(*item.rtfData);
    // A document's text stands U+FFFC for each image; a source's own text may carry it too.
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

PasteboardContents contents(const ClipItem& item, PasteFormat format, const QByteArray& imagePng)
{
    switch (item.type) {
    case ClipType::text:
    case ClipType::link:
        return textContents(item.text.value_or(QString()));
    case ClipType::richText:
        return richTextContents(item, format);
    case ClipType::image:
        if (imagePng.isEmpty())
            return {};
        return {{PasteboardTypes::png, imagePng}};
    case ClipType::file:
        return fileContents(item, format);
    case ClipType::color:
        return colorContents(item, format);
    }
    return {};
}

QMimeData* mimeData(const PasteboardContents& contents)
{
    auto* data = new QMimeData;
    for (const auto& [type, bytes] : contents)
        data->setData(type, bytes);
    return data;
}

} // namespace PasteFormats
