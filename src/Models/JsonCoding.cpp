#include "Models/JsonCoding.h"

#include <QJsonValue>
#include <cmath>

namespace JsonCoding {

namespace {
// 2001-01-01T00:00:00Z in milliseconds since the Unix epoch.
constexpr qint64 referenceDateMSecs = 978307200000;
// About ten thousand years either side; anything beyond is not a time we wrote.
constexpr double maxReferenceSeconds = 3.2e11;
} // namespace

double secondsSinceReferenceDate(const QDateTime& time)
{
    return double(time.toMSecsSinceEpoch() - referenceDateMSecs) / 1000.0;
}

QDateTime dateFromSecondsSinceReferenceDate(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(referenceDateMSecs + qint64(std::llround(seconds * 1000.0)),
                                          Qt::UTC);
}

QString uuidString(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> uuidFromString(const QString& text)
{
    const QUuid id = QUuid::fromString(text);
    if (id.isNull())
        return std::nullopt;
    return id;
}

std::optional<QByteArray> dataFromBase64(const QString& text)
{
    auto result = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return *result;
}

std::optional<std::optional<QString>> optionalString(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::optional<QString>{};
    if (!value.isString())
        return std::nullopt;
    QString text = value.toString();
    // Decoding reserves a character for each UTF-8 byte: without this, a text with non-ASCII
    // letters keeps that room for as long as it is held.
    if (text.capacity() > text.size())
        text.squeeze();
    return std::optional<QString>{std::move(text)};
}

std::optional<std::optional<QByteArray>> optionalData(const QJsonObject& object, const QString& key)
{
    const auto text = optionalString(object, key);
    if (!text)
        return std::nullopt;
    if (!*text)
        return std::optional<QByteArray>{};
    const auto data = dataFromBase64(**text);
    if (!data)
        return std::nullopt;
    return std::optional<QByteArray>{*data};
}

std::optional<std::optional<QDateTime>> optionalDate(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::optional<QDateTime>{};
    if (!value.isDouble() || !std::isfinite(value.toDouble()) ||
        std::abs(value.toDouble()) > maxReferenceSeconds)
        return std::nullopt;
    return std::optional<QDateTime>{dateFromSecondsSinceReferenceDate(value.toDouble())};
}

void insertIfSet(QJsonObject& object, const QString& key, const std::optional<QString>& value)
{
    if (value)
        object.insert(key, *value);
}

void insertIfSet(QJsonObject& object, const QString& key, const std::optional<QByteArray>& value)
{
    if (value)
        object.insert(key, QString::fromLatin1(value->toBase64()));
}

} // namespace JsonCoding
