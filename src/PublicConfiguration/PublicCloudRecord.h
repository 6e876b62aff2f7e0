#pragma once

#include <QString>
#include <QStringList>

// The cloud record that holds the public configuration.
namespace PublicCloudRecord {

inline constexpr const char* recordType = "PublicAppConfig";
inline constexpr const char* configKey = "public-catalog-v1";
// The most UTF-8 bytes of "productsJSON".
inline constexpr qsizetype maxProductsJsonBytes = 65'536;

// The fields, in the order the query asks for them.
inline QStringList desiredKeys()
{
    return {QStringLiteral("configKey"),  QStringLiteral("schemaVersion"), QStringLiteral("revision"),
            QStringLiteral("authorName"), QStringLiteral("authorBioZh"),   QStringLiteral("authorBioEn"),
            QStringLiteral("websiteURL"), QStringLiteral("productsJSON")};
}

} // namespace PublicCloudRecord
