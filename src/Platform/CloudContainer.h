#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>
#include <stdexcept>
#include <variant>

namespace Platform {

// A failure reported by the cloud database: no account, no network, an unknown container,
// throttling. `retryAfterSeconds` is the wait the service asks for, when it names one.
class CloudError final : public std::runtime_error {
public:
    explicit CloudError(const std::string& reason, std::optional<double> retryAfterSeconds = std::nullopt)
        : std::runtime_error(reason)
        , retryAfterSeconds(retryAfterSeconds)
    {}

    std::optional<double> retryAfterSeconds;
};

// What the running code's signature says about it. Each value is QJsonValue::Undefined when
// the signature holds no such entry.
struct CodeSigningInformation {
    QJsonValue teamIdentifier;
    // The entitlements dictionary: "com.apple.developer.icloud-container-identifiers" and
    // the other keys that grant the use of a cloud container.
    QJsonValue entitlements;
};

// One record of a public database: its type and its fields as the service stores them
// (QString, a number type or bool; a missing field is absent from the map).
struct CloudRecord {
    QString recordType;
    QVariantMap fields;
};

// One page of a query: each match is a record or the error that stands for it, in the
// order the service gave them, and a cursor when more matches may follow.
struct CloudQueryPage {
    QList<std::variant<CloudRecord, CloudError>> matches;
    std::optional<QByteArray> cursor;
};

// A query of the default zone of a container's public database: records of one type whose
// field `predicateKey` equals `predicateValue`.
struct CloudQuery {
    QString containerIdentifier;
    QString recordType;
    QString predicateKey;
    QString predicateValue;
    QStringList desiredKeys;
    int resultsLimit = 0;
};

// The application's cloud container: the entitlements that name it and queries of its
// public database. The query calls block until the service answers; run them off the
// main thread.
class CloudContainer {
public:
    virtual ~CloudContainer() = default;

    // None when the running code carries no readable signature.
    virtual std::optional<CodeSigningInformation> signingInformation() const = 0;
    // Throws CloudError.
    virtual CloudQueryPage query(const CloudQuery& query) = 0;
    // The next page after `cursor`; throws CloudError.
    virtual CloudQueryPage continueQuery(const QString& containerIdentifier, const QByteArray& cursor,
                                         const QStringList& desiredKeys, int resultsLimit) = 0;
};

// The process-wide instance. On Linux no code signature entitles the copy to a cloud
// container: a build whose "VelloraPublicConfigurationURL" names an address reads its one
// record from there over HTTPS; any other build is entitled to no container.
CloudContainer& cloudContainer();
// Tests install tests/fakes/FakeCloudContainer; nullptr restores the real one.
void setCloudContainerForTesting(CloudContainer* fake);

} // namespace Platform
