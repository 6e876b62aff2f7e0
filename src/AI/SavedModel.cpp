#include "AI/SavedModel.h"

QString uuidString(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> uuidFromString(const QString& text)
{
    const QUuid id = QUuid::fromString(text);
    if (id.isNull() && text != uuidString(QUuid()))
        return std::nullopt;
    return id;
}

QJsonObject SavedModel::toJson() const
{
    return {{QStringLiteral("id"), uuidString(id)},
            {QStringLiteral("configuration"), configuration.toJson()},
            {QStringLiteral("isEnabled"), isEnabled}};
}

std::optional<SavedModel> SavedModel::fromJson(const QJsonObject& object)
{
    const QJsonValue id = object.value(QLatin1String("id"));
    const QJsonValue configuration = object.value(QLatin1String("configuration"));
    const QJsonValue enabled = object.value(QLatin1String("isEnabled"));
    if (!id.isString() || !configuration.isObject() || !(enabled.isBool() || enabled.isUndefined()))
        return std::nullopt;
    const std::optional<QUuid> uuid = uuidFromString(id.toString());
    const std::optional<ModelConfiguration> decoded = ModelConfiguration::fromJson(configuration.toObject());
    if (!uuid || !decoded)
        return std::nullopt;
    return SavedModel{*uuid, *decoded, enabled.toBool(true)};
}
