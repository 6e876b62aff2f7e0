#include "Models/ClipItem.h"

#include "Models/JsonCoding.h"

#include <QJsonArray>

namespace {

bool sameMoment(const QDateTime& a, const QDateTime& b)
{
    return a.toMSecsSinceEpoch() == b.toMSecsSinceEpoch() && a.isValid() == b.isValid();
}

bool sameOptionalMoment(const std::optional<QDateTime>& a, const std::optional<QDateTime>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || sameMoment(*a, *b);
}

std::optional<QList<QUrl>> readURLs(const QJsonObject& object)
{
    const QJsonValue value = object.value(QStringLiteral("fileURLs"));
    if (value.isUndefined() || value.isNull())
        return QList<QUrl>{};
    if (!value.isArray())
        return std::nullopt;
    QList<QUrl> urls;
    for (const QJsonValue& entry : value.toArray()) {
        const QUrl url(entry.toString(), QUrl::StrictMode);
        if (!entry.isString() || !url.isValid())
            return std::nullopt;
        urls.append(url);
    }
    return urls;
}

// Rich-text parts side by side without ambiguity at their borders.
QByteArray lengthPrefixed(const QByteArray& part)
{
    return QByteArray::number(part.size()) + ':' + part;
}

} // namespace

bool ClipItem::operator==(const ClipItem& other) const
{
    return id == other.id && type == other.type && text == other.text && rtfData == other.rtfData &&
           htmlData == other.htmlData && imageFileName == other.imageFileName &&
           imageHash == other.imageHash && ocrText == other.ocrText && fileURLs == other.fileURLs &&
           colorHex == other.colorHex && sourceBundleID == other.sourceBundleID &&
           sourceAppName == other.sourceAppName && customTitle == other.customTitle &&
           sameMoment(createdAt, other.createdAt) && sameOptionalMoment(modifiedAt, other.modifiedAt);
}

bool ClipItem::hasSameContent(const ClipItem& other) const
{
    if (type != other.type)
        return false;
    switch (type) {
    case ClipType::text:
    case ClipType::link:
        return text.value_or(QString()) == other.text.value_or(QString());
    case ClipType::richText:
        return text.value_or(QString()) == other.text.value_or(QString()) &&
               rtfData.value_or(QByteArray()) == other.rtfData.value_or(QByteArray()) &&
               htmlData.value_or(QByteArray()) == other.htmlData.value_or(QByteArray());
    case ClipType::image:
        return id == other.id || (imageHash && other.imageHash && *imageHash == *other.imageHash);
    case ClipType::file:
        return id == other.id || (!fileURLs.isEmpty() && fileURLs == other.fileURLs);
    case ClipType::color:
        return id == other.id ||
               (colorHex && other.colorHex && colorHex->compare(*other.colorHex, Qt::CaseInsensitive) == 0);
    }
    return false;
}

QByteArray ClipItem::contentKey() const
{
    QByteArray key = ClipTypes::rawValue(type).toLatin1() + '\n';
    switch (type) {
    case ClipType::text:
    case ClipType::link:
        return key + text.value_or(QString()).toUtf8();
    case ClipType::richText:
        return key + lengthPrefixed(text.value_or(QString()).toUtf8()) +
               lengthPrefixed(rtfData.value_or(QByteArray())) +
               lengthPrefixed(htmlData.value_or(QByteArray()));
    case ClipType::image:
        if (imageHash)
            return key + imageHash->toUtf8();
        break;
    case ClipType::file:
        if (!fileURLs.isEmpty())
            return key + QUrl::toStringList(fileURLs).join(QLatin1Char('\n')).toUtf8();
        break;
    case ClipType::color:
        if (colorHex)
            return key + colorHex->toLower().toUtf8();
        break;
    }
    return key + "#" + id.toByteArray();
}

QJsonObject ClipItem::toJson() const
{
    using namespace JsonCoding;
    QJsonObject object{
        {QStringLiteral("id"), uuidString(id)},
        {QStringLiteral("type"), ClipTypes::rawValue(type)},
        {QStringLiteral("createdAt"), secondsSinceReferenceDate(createdAt)},
    };
    insertIfSet(object, QStringLiteral("text"), text);
    insertIfSet(object, QStringLiteral("rtfData"), rtfData);
    insertIfSet(object, QStringLiteral("htmlData"), htmlData);
    insertIfSet(object, QStringLiteral("imageFileName"), imageFileName);
    insertIfSet(object, QStringLiteral("imageHash"), imageHash);
    insertIfSet(object, QStringLiteral("ocrText"), ocrText);
    if (!fileURLs.isEmpty()) {
        QJsonArray urls;
        for (const QUrl& url : fileURLs)
            urls.append(url.toString(QUrl::FullyEncoded));
        object.insert(QStringLiteral("fileURLs"), urls);
    }
    insertIfSet(object, QStringLiteral("colorHex"), colorHex);
    insertIfSet(object, QStringLiteral("sourceBundleID"), sourceBundleID);
    insertIfSet(object, QStringLiteral("sourceAppName"), sourceAppName);
    insertIfSet(object, QStringLiteral("customTitle"), customTitle);
    if (modifiedAt)
        object.insert(QStringLiteral("modifiedAt"), secondsSinceReferenceDate(*modifiedAt));
    return object;
}

std::optional<ClipItem> ClipItem::fromJson(const QJsonObject& object)
{
    using namespace JsonCoding;
    const auto id = uuidFromString(object.value(QStringLiteral("id")).toString());
    const auto type = ClipTypes::fromRawValue(object.value(QStringLiteral("type")).toString());
    const auto created = optionalDate(object, QStringLiteral("createdAt"));
    const auto modified = optionalDate(object, QStringLiteral("modifiedAt"));
    const auto urls = readURLs(object);
    if (!id || !type || !created || !*created || !modified || !urls)
        return std::nullopt;

    ClipItem item;
    item.id = *id;
    item.type = *type;
    item.createdAt = **created;
    item.modifiedAt = *modified;
    item.fileURLs = *urls;

    const auto rtf = optionalData(object, QStringLiteral("rtfData"));
    const auto html = optionalData(object, QStringLiteral("htmlData"));
    if (!rtf || !html)
        return std::nullopt;
    item.rtfData = *rtf;
    item.htmlData = *html;

    const std::pair<QString, std::optional<QString>*> strings[] = {
        {QStringLiteral("text"), &item.text},
        {QStringLiteral("imageFileName"), &item.imageFileName},
        {QStringLiteral("imageHash"), &item.imageHash},
        {QStringLiteral("ocrText"), &item.ocrText},
        {QStringLiteral("colorHex"), &item.colorHex},
        {QStringLiteral("sourceBundleID"), &item.sourceBundleID},
        {QStringLiteral("sourceAppName"), &item.sourceAppName},
        {QStringLiteral("customTitle"), &item.customTitle},
    };
    for (const auto& [key, field] : strings) {
        const auto value = optionalString(object, key);
        if (!value)
            return std::nullopt;
        *field = *value;
    }
    return item;
}
