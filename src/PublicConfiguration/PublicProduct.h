#pragma once

#include "Util/AppLanguage.h"

#include <QJsonObject>
#include <QString>

// One of the maker's applications, identified by `id`.
struct PublicProduct {
    QString id;
    QString name;
    QString summaryZh;
    QString summaryEn;
    QString url;
    bool enabled = false;
    qint64 sortOrder = 0;

    // The Chinese summary for Chinese languages, else the English one; each falls back on
    // the other when it is empty.
    QString summary(AppLanguage language) const;

    // Requires "id", "name", "url", "enabled" and "sortOrder"; missing or null summaries read
    // as empty. Throws PublicConfigurationDecodingError.
    static PublicProduct fromJson(const QJsonValue& json);
    // Every key, the empty summaries included.
    QJsonObject toJson() const;

    bool operator==(const PublicProduct& other) const = default;
};
