#pragma once

#include "PublicConfiguration/PublicProduct.h"
#include "Util/AppLanguage.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

namespace Platform {
class Bundle;
struct CloudRecord;
} // namespace Platform

// The small read-only record about the maker and the maker's other applications that the
// About page shows. It comes from the application's resources, the cache of the last cloud
// read or the cloud record itself; all three pass validate().
struct PublicConfiguration {
    static constexpr qint64 supportedSchemaVersion = 1;
    static constexpr qsizetype maxWebAddressBytes = 2048;
    static constexpr qsizetype maxAuthorNameBytes = 256;
    static constexpr qsizetype maxAuthorBioBytes = 8192;
    static constexpr qsizetype maxProducts = 50;
    static constexpr qsizetype maxProductIdBytes = 128;
    static constexpr qsizetype maxProductNameBytes = 256;
    static constexpr qsizetype maxProductSummaryBytes = 4096;

    qint64 schemaVersion = supportedSchemaVersion;
    qint64 revision = 0;
    QString authorName;
    QString authorBioZh;
    QString authorBioEn;
    QString websiteURL;
    QList<PublicProduct> products;

    // The copy in the application's resources, or the built-in fallback when that is
    // missing, unreadable or invalid. Worked out once per process on first use.
    static const PublicConfiguration& bundled();
    // The same look-up in a given bundle, worked out afresh.
    static PublicConfiguration fromResource(const Platform::Bundle& bundle);
    // Schema 1, revision 0, the program's own name and biographies, no website or products.
    static PublicConfiguration builtInFallback();

    // The address when `text` is an acceptable web address: not empty, at most 2048 UTF-8
    // bytes, no blank or control character anywhere, http or https in any case, a host,
    // no user or password.
    static std::optional<QUrl> webURL(const QString& text);

    // Throws PublicConfigurationError (invalidData or unsupportedSchema) at the first
    // broken rule.
    void validate() const;

    // The enabled products with a web address, without `excludedId` ("vellora" and
    // "dorvane" exclude each other too), by ascending sortOrder, then id by code point.
    QList<PublicProduct> visibleProducts(const QString& excludedId) const;

    QString authorBio(AppLanguage language) const;

    // Requires all seven keys; unknown keys are ignored. Throws PublicConfigurationDecodingError.
    static PublicConfiguration fromJson(const QJsonValue& json);
    static PublicConfiguration decode(const QByteArray& bytes);
    QJsonObject toJson() const;

    // The configuration in a cloud record. Throws PublicConfigurationError or
    // PublicConfigurationDecodingError.
    static PublicConfiguration fromRecord(const Platform::CloudRecord& record);

    bool operator==(const PublicConfiguration& other) const = default;
};
