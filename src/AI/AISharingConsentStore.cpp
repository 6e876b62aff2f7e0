#include "AI/AISharingConsentStore.h"

#include "Platform/Defaults.h"

#include <QJsonArray>

namespace {

QList<AISharingScope> decodeGrants(const QJsonValue& stored)
{
    if (!stored.isArray())
        return {};
    QList<AISharingScope> grants;
    for (const QJsonValue& element : stored.toArray()) {
        const std::optional<AISharingScope> grant =
            element.isObject() ? AISharingScope::fromJson(element.toObject()) : std::nullopt;
        if (!grant)
            return {};
        grants.append(*grant);
    }
    return grants;
}

} // namespace

AISharingConsentStore& AISharingConsentStore::shared()
{
    static AISharingConsentStore* instance = new AISharingConsentStore(Platform::defaults());
    return *instance;
}

AISharingConsentStore::AISharingConsentStore(Platform::Defaults& defaults, QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
    , grants_(decodeGrants(defaults.value(storageKey)))
{}

bool AISharingConsentStore::isAllowed(const AISharingScope& scope) const
{
    return std::any_of(grants_.cbegin(), grants_.cend(),
                       [&scope](const AISharingScope& grant) { return grant.covers(scope); });
}

void AISharingConsentStore::approve(const AISharingScope& scope)
{
    if (isAllowed(scope))
        return;
    grants_.removeIf([&scope](const AISharingScope& grant) { return scope.covers(grant); });
    grants_.append(scope);
    QJsonArray stored;
    for (const AISharingScope& grant : grants_)
        stored.append(grant.toJson());
    defaults_.setValue(storageKey, stored);
    emit grantsChanged();
}

void AISharingConsentStore::revokeAll()
{
    defaults_.remove(storageKey);
    if (grants_.isEmpty())
        return;
    grants_.clear();
    emit grantsChanged();
}
