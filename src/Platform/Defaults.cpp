#include "Platform/Defaults.h"

#include "Platform/linux/JsonFileDefaults.h"

#include <QJsonArray>
#include <cmath>
#include <limits>
#include <memory>

namespace Platform {

namespace {
Defaults* installedFake = nullptr;
} // namespace

std::optional<bool> Defaults::boolValue(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isBool())
        return std::nullopt;
    return v.toBool();
}

std::optional<qint64> Defaults::intValue(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    constexpr double limit = 9007199254740992.0; // 2^53: every whole double below it is exact
    if (!std::isfinite(d) || std::trunc(d) != d || std::fabs(d) > limit)
        return std::nullopt;
    return static_cast<qint64>(d);
}

std::optional<double> Defaults::doubleValue(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isDouble())
        return std::nullopt;
    return v.toDouble();
}

std::optional<QString> Defaults::stringValue(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

std::optional<QStringList> Defaults::stringListValue(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isArray())
        return std::nullopt;
    QStringList list;
    for (const QJsonValue& element : v.toArray()) {
        if (!element.isString())
            return std::nullopt;
        list.append(element.toString());
    }
    return list;
}

void Defaults::setStringList(const QString& key, const QStringList& v)
{
    setValue(key, QJsonArray::fromStringList(v));
}

Defaults& defaults()
{
    if (installedFake)
        return *installedFake;
    static std::unique_ptr<Defaults> real =
        std::make_unique<JsonFileDefaults>(JsonFileDefaults::standardPath());
    return *real;
}

void setDefaultsForTesting(Defaults* fake)
{
    installedFake = fake;
}

} // namespace Platform
