#include "Models/Pinboard.h"

#include "Models/JsonCoding.h"

#include <QJsonArray>

bool Pinboard::operator==(const Pinboard& other) const
{
    return id == other.id && name == other.name && colorHex == other.colorHex && clips == other.clips &&
           isCloudPlaceholder == other.isCloudPlaceholder &&
           modifiedAt.toMSecsSinceEpoch() == other.modifiedAt.toMSecsSinceEpoch();
}

QJsonObject Pinboard::toJson() const
{
    using namespace JsonCoding;
    QJsonArray clipArray;
    for (const ClipItem& clip : clips)
        clipArray.append(clip.toJson());
    QJsonObject object{
        {QStringLiteral("id"), uuidString(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("colorHex"), colorHex},
        {QStringLiteral("clips"), clipArray},
        {QStringLiteral("modifiedAt"), secondsSinceReferenceDate(modifiedAt)},
    };
    if (isCloudPlaceholder)
        object.insert(QStringLiteral("isCloudPlaceholder"), *isCloudPlaceholder);
    return object;
}

std::optional<Pinboard> Pinboard::fromJson(const QJsonObject& object)
{
    using namespace JsonCoding;
    const auto id = uuidFromString(object.value(QStringLiteral("id")).toString());
    const QJsonValue name = object.value(QStringLiteral("name"));
    const QJsonValue color = object.value(QStringLiteral("colorHex"));
    const QJsonValue clips = object.value(QStringLiteral("clips"));
    const QJsonValue placeholder = object.value(QStringLiteral("isCloudPlaceholder"));
    const auto modified = optionalDate(object, QStringLiteral("modifiedAt"));
    if (!id || !name.isString() || !color.isString() || !clips.isArray() || !modified)
        return std::nullopt;
    if (!placeholder.isUndefined() && !placeholder.isBool())
        return std::nullopt;

    Pinboard board;
    board.id = *id;
    board.name = name.toString();
    board.colorHex = color.toString();
    board.modifiedAt = modified->value_or(dateFromSecondsSinceReferenceDate(0));
    if (placeholder.isBool())
        board.isCloudPlaceholder = placeholder.toBool();
    for (const QJsonValue& entry : clips.toArray()) {
        const auto clip = ClipItem::fromJson(entry.toObject());
        if (!entry.isObject() || !clip)
            return std::nullopt;
        board.clips.append(*clip);
    }
    return board;
}
