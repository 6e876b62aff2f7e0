#pragma once

#include "Util/AppLanguage.h"

#include <QJsonObject>
#include <QString>

// Field readers shared by the JSON forms of the configuration and of its products. Each
// throws PublicConfigurationDecodingError naming the key when it is missing or of the
// wrong JSON type.
namespace PublicConfigurationCoding {

QString requiredString(const QJsonObject& object, const QString& key);
// A JSON number that is a whole number within the signed 64-bit range.
qint64 requiredInteger(const QJsonObject& object, const QString& key);
bool requiredBool(const QJsonObject& object, const QString& key);
// A missing key or null reads as the empty string.
QString optionalString(const QJsonObject& object, const QString& key);
QJsonObject requiredObject(const QJsonValue& value, const QString& what);

// The Chinese text for "zh-Hans" and "zh-Hant", the English text for every other language;
// an empty choice falls back on the other text.
QString text(AppLanguage language, const QString& chinese, const QString& english);

} // namespace PublicConfigurationCoding
