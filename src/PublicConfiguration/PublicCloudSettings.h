#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

namespace Platform {
class Bundle;
class CloudContainer;
} // namespace Platform

// The cloud container that the running copy may read its public configuration from.
struct PublicCloudSettings {
    QString containerIdentifier;
    // "Development" or "Production", as the entitlements name it.
    QString environment;

    // The settings of the running copy, from the main bundle's information keys and the
    // code signature; none when the copy is not entitled to the container it names.
    static std::optional<PublicCloudSettings> current();
    // The same from a given bundle and container service; the signature is not read when
    // the information keys name no container.
    static std::optional<PublicCloudSettings> current(const Platform::Bundle& bundle,
                                                      const Platform::CloudContainer& container);
    // None unless the information keys name a well-formed container identifier that the
    // entitlements list, with the "CloudKit" service and an exact environment.
    static std::optional<PublicCloudSettings> fromEntitlements(const QJsonObject& info,
                                                               const QJsonObject& entitlements);

    // "<container>|<environment>|public-catalog-v1": the cache belongs to this identity.
    QString cacheIdentity() const;

    bool operator==(const PublicCloudSettings& other) const = default;
};
