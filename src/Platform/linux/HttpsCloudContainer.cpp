#include "Platform/linux/HttpsCloudContainer.h"

#include "Platform/HttpsGet.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace Platform {

namespace {

const char* reasonOf(HttpsGet::Failure failure)
{
    switch (failure) {
    case HttpsGet::Failure::insecureAddress:
        return "the record's address or a redirect is not https";
    case HttpsGet::Failure::tooLarge:
        return "the record is too large";
    case HttpsGet::Failure::timedOut:
        return "the record server did not answer in time";
    case HttpsGet::Failure::httpStatus:
        return "the record server answered with an error";
    case HttpsGet::Failure::network:
    case HttpsGet::Failure::cancelled:
        break;
    }
    return "the record server could not be reached";
}

CloudRecord recordOf(const QByteArray& document)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(document, &error);
    const QJsonValue type = json.object().value(QLatin1String("recordType"));
    const QJsonValue fields = json.object().value(QLatin1String("fields"));
    if (error.error != QJsonParseError::NoError || !type.isString() || !fields.isObject())
        throw CloudError("the record is not a JSON record");
    return CloudRecord{type.toString(), fields.toObject().toVariantMap()};
}

} // namespace

HttpsCloudContainer::HttpsCloudContainer(QUrl recordURL, QString containerIdentifier, QSslConfiguration tls,
                                         int silenceMs)
    : recordURL_(std::move(recordURL))
    , containerIdentifier_(std::move(containerIdentifier))
    , tls_(std::move(tls))
    , silenceMs_(silenceMs)
{}

std::optional<CodeSigningInformation> HttpsCloudContainer::signingInformation() const
{
    if (!HttpsGet::isHttps(recordURL_))
        return std::nullopt;
    const QJsonObject entitlements{
        {QStringLiteral("com.apple.developer.icloud-container-identifiers"),
         QJsonArray{containerIdentifier_}},
        {QStringLiteral("com.apple.developer.icloud-services"), QJsonArray{QStringLiteral("CloudKit")}},
        {QStringLiteral("com.apple.developer.icloud-container-environment"), QStringLiteral("Production")},
    };
    return CodeSigningInformation{QString(), entitlements};
}

CloudQueryPage HttpsCloudContainer::query(const CloudQuery& query)
{
    QByteArray document;
    try {
        document = HttpsGet::fetch(recordURL_, {maxRecordBytes, silenceMs_}, tls_);
    } catch (const HttpsGet::Error& error) {
        throw CloudError(reasonOf(error.failure));
    }
    const CloudRecord record = recordOf(document);
    CloudQueryPage page;
    if (record.recordType == query.recordType &&
        record.fields.value(query.predicateKey) == QVariant(query.predicateValue) && query.resultsLimit > 0)
        page.matches.append(record);
    return page;
}

CloudQueryPage HttpsCloudContainer::continueQuery(const QString&, const QByteArray&, const QStringList&, int)
{
    return {};
}

} // namespace Platform
