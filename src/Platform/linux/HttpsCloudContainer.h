#pragma once

#include "Platform/CloudContainer.h"

#include <QSslConfiguration>
#include <QUrl>

namespace Platform {

// A container whose public database is one record served over HTTPS at an address chosen
// when the application is built. The copy is entitled to the container its information
// keys name whenever the address is https. The document is the record as a JSON object:
// its type under "recordType" and its fields under "fields".
class HttpsCloudContainer final : public CloudContainer {
public:
    static constexpr qint64 maxRecordBytes = 262'144;
    static constexpr int silenceMs = 30'000;

    HttpsCloudContainer(QUrl recordURL, QString containerIdentifier, QSslConfiguration tls,
                        int silenceMs = HttpsCloudContainer::silenceMs);

    std::optional<CodeSigningInformation> signingInformation() const override;
    // Reads the record; it matches when its type and predicate field are the query's.
    CloudQueryPage query(const CloudQuery& query) override;
    // The one page has no cursor: there is never a next one.
    CloudQueryPage continueQuery(const QString& containerIdentifier, const QByteArray& cursor,
                                 const QStringList& desiredKeys, int resultsLimit) override;

private:
    QUrl recordURL_;
    QString containerIdentifier_;
    QSslConfiguration tls_;
    int silenceMs_;
};

} // namespace Platform
