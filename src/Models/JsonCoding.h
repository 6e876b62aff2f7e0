#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>
#include <optional>

// The stored JSON conventions: identifiers as upper-case strings, times as seconds since
// 2001-01-01 00:00:00 UTC, byte data as Base64, optional fields left out when unset.
namespace JsonCoding {

double secondsSinceReferenceDate(const QDateTime& time);
QDateTime dateFromSecondsSinceReferenceDate(double seconds);

QString uuidString(const QUuid& id);
// None unless the text is a UUID (any case, braces optional).
std::optional<QUuid> uuidFromString(const QString& text);

// None when the text is not strict Base64.
std::optional<QByteArray> dataFromBase64(const QString& text);

// Readers of one optional field: std::nullopt means the record is malformed (present
// with the wrong type); an inner empty optional means the key is absent.
std::optional<std::optional<QString>> optionalString(const QJsonObject& object, const QString& key);
std::optional<std::optional<QByteArray>> optionalData(const QJsonObject& object, const QString& key);
std::optional<std::optional<QDateTime>> optionalDate(const QJsonObject& object, const QString& key);

void insertIfSet(QJsonObject& object, const QString& key, const std::optional<QString>& value);
void insertIfSet(QJsonObject& object, const QString& key, const std::optional<QByteArray>& value);

} // namespace JsonCoding
