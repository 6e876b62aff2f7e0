#include "PublicConfiguration/PublicConfigurationCache.h"

#include "Models/JsonCoding.h"
#include "Platform/FileSystem.h"
#include "PublicConfiguration/PublicConfigurationCoding.h"
#include "PublicConfiguration/PublicConfigurationDecodingError.h"
#include "PublicConfiguration/PublicConfigurationError.h"

#include <QFile>
#include <QJsonDocument>
#include <cmath>
#include <stdexcept>

namespace {

// Times beyond a few thousand years of the reference date are not times a cache was written.
constexpr double maxAbsoluteSeconds = 1e11;

std::optional<QByteArray> readAtMost(const QString& path, qsizetype limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > limit)
        return std::nullopt;
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

QByteArray PublicConfigurationCache::encoded() const
{
    const QJsonObject object{
        {QStringLiteral("identity"), identity},
        {QStringLiteral("fetchedAt"), JsonCoding::secondsSinceReferenceDate(fetchedAt)},
        {QStringLiteral("value"), value.toJson()},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

PublicConfigurationCache PublicConfigurationCache::decode(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw PublicConfigurationDecodingError("cache: not a JSON object");
    const QJsonObject object = document.object();
    PublicConfigurationCache cache;
    cache.identity = PublicConfigurationCoding::requiredString(object, QStringLiteral("identity"));
    const QJsonValue fetchedAt = object.value(QStringLiteral("fetchedAt"));
    const double seconds = fetchedAt.toDouble();
    if (!fetchedAt.isDouble() || !std::isfinite(seconds) || std::abs(seconds) > maxAbsoluteSeconds)
        throw PublicConfigurationDecodingError("\"fetchedAt\": not a finite time");
    cache.fetchedAt = JsonCoding::dateFromSecondsSinceReferenceDate(seconds);
    cache.value = PublicConfiguration::fromJson(object.value(QStringLiteral("value")));
    return cache;
}

std::optional<PublicConfigurationCache>
PublicConfigurationCache::load(const QString& path, const QString& identity, const QDateTime& now)
{
    const std::optional<QByteArray> bytes = readAtMost(path, maxBytes);
    if (!bytes)
        return std::nullopt;
    try {
        PublicConfigurationCache cache = decode(*bytes);
        if (cache.identity != identity || cache.value.revision < 1 || cache.fetchedAt > now)
            return std::nullopt;
        cache.value.validate();
        return cache;
    } catch (const PublicConfigurationDecodingError&) {
    } catch (const PublicConfigurationError&) {
    }
    return std::nullopt;
}

void PublicConfigurationCache::write(const QString& path) const
{
    const QByteArray bytes = encoded();
    if (bytes.size() > maxBytes)
        throw PublicConfigurationError::invalidData();
    if (const std::optional<QString> error = Platform::writeFileAtomically(path, bytes))
        throw std::runtime_error("can't write " + path.toStdString() + ": " + error->toStdString());
}
