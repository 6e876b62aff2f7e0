#include "AI/AISharingScope.h"

#include "AI/ModelConfiguration.h"

#include <cmath>

AISharingScope AISharingScope::make(const ModelConfiguration& configuration, bool materialsHoldImages)
{
    AISharingScope scope;
    scope.endpoint = configuration.endpoint().toString(QUrl::FullyEncoded);
    scope.includesImages = configuration.supportsImages && materialsHoldImages;
    scope.includesResponsePreferences = !configuration.systemPrompt.trimmed().isEmpty();
    scope.historyTurnLimit = configuration.historyTurns;
    return scope;
}

bool AISharingScope::covers(const AISharingScope& other) const
{
    if (endpoint != other.endpoint)
        return false;
    if (other.includesImages && !includesImages)
        return false;
    if (other.includesResponsePreferences && !includesResponsePreferences)
        return false;
    if (!historyTurnLimit)
        return true;
    return other.historyTurnLimit && *historyTurnLimit >= *other.historyTurnLimit;
}

QJsonObject AISharingScope::toJson() const
{
    QJsonObject o{{QStringLiteral("endpoint"), endpoint},
                  {QStringLiteral("includesImages"), includesImages},
                  {QStringLiteral("includesResponsePreferences"), includesResponsePreferences}};
    if (historyTurnLimit)
        o.insert(QStringLiteral("historyTurnLimit"), *historyTurnLimit);
    return o;
}

std::optional<AISharingScope> AISharingScope::fromJson(const QJsonObject& o)
{
    const QJsonValue endpoint = o.value(QLatin1String("endpoint"));
    const QJsonValue images = o.value(QLatin1String("includesImages"));
    const QJsonValue preferences = o.value(QLatin1String("includesResponsePreferences"));
    const QJsonValue limit = o.value(QLatin1String("historyTurnLimit"));
    if (!endpoint.isString() || !images.isBool() || !preferences.isBool())
        return std::nullopt;
    AISharingScope scope{endpoint.toString(), images.toBool(), preferences.toBool(), std::nullopt};
    if (limit.isUndefined() || limit.isNull())
        return scope;
    if (!limit.isDouble() || std::trunc(limit.toDouble()) != limit.toDouble())
        return std::nullopt;
    scope.historyTurnLimit = limit.toInteger();
    return scope;
}
