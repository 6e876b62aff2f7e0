#include "PublicConfiguration/PublicCloudSettings.h"

#include "Platform/Bundle.h"
#include "Platform/CloudContainer.h"
#include "PublicConfiguration/PublicCloudRecord.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <algorithm>

namespace {

const QString containerKey = QStringLiteral("VelloraPublicConfigContainerIdentifier");
const QString earlierContainerKey = QStringLiteral("DorvanePublicConfigContainerIdentifier");
const QString containersEntitlement = QStringLiteral("com.apple.developer.icloud-container-identifiers");
const QString servicesEntitlement = QStringLiteral("com.apple.developer.icloud-services");
const QString environmentEntitlement = QStringLiteral("com.apple.developer.icloud-container-environment");
const QString cloudDatabaseService = QStringLiteral("CloudKit");

bool isContainerIdentifier(const QString& text)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("iCloud\\.[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)+")));
    return pattern.match(text).hasMatch();
}

// True when `value` is a list of strings, one of them `wanted`.
bool listOfStringsContains(const QJsonValue& value, const QString& wanted)
{
    if (!value.isArray())
        return false;
    const QJsonArray list = value.toArray();
    const bool allStrings =
        std::all_of(list.begin(), list.end(), [](const QJsonValue& v) { return v.isString(); });
    return allStrings && list.contains(wanted);
}

} // namespace

std::optional<PublicCloudSettings> PublicCloudSettings::current()
{
    return current(Platform::mainBundle(), Platform::cloudContainer());
}

std::optional<PublicCloudSettings> PublicCloudSettings::current(const Platform::Bundle& bundle,
                                                                const Platform::CloudContainer& container)
{
    QJsonObject info;
    for (const QString& key : {containerKey, earlierContainerKey}) {
        const QJsonValue value = bundle.infoValue(key);
        if (!value.isUndefined())
            info.insert(key, value);
    }
    if (info.isEmpty())
        return std::nullopt;
    const std::optional<Platform::CodeSigningInformation> signing = container.signingInformation();
    if (!signing || !signing->teamIdentifier.isString() || !signing->entitlements.isObject())
        return std::nullopt;
    return fromEntitlements(info, signing->entitlements.toObject());
}

std::optional<PublicCloudSettings> PublicCloudSettings::fromEntitlements(const QJsonObject& info,
                                                                         const QJsonObject& entitlements)
{
    const QJsonValue named =
        info.contains(containerKey) ? info.value(containerKey) : info.value(earlierContainerKey);
    if (!named.isString() || !isContainerIdentifier(named.toString()))
        return std::nullopt;
    const QString identifier = named.toString();
    if (!listOfStringsContains(entitlements.value(containersEntitlement), identifier))
        return std::nullopt;
    if (!listOfStringsContains(entitlements.value(servicesEntitlement), cloudDatabaseService))
        return std::nullopt;
    const QJsonValue environment = entitlements.value(environmentEntitlement);
    const QString name = environment.toString();
    if (!environment.isString() ||
        (name != QLatin1String("Development") && name != QLatin1String("Production")))
        return std::nullopt;
    return PublicCloudSettings{identifier, name};
}

QString PublicCloudSettings::cacheIdentity() const
{
    return containerIdentifier + u'|' + environment + u'|' + QLatin1String(PublicCloudRecord::configKey);
}
