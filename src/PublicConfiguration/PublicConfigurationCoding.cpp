#include "PublicConfiguration/PublicConfigurationCoding.h"

#include "PublicConfiguration/PublicConfigurationDecodingError.h"

#include <QJsonValue>

namespace PublicConfigurationCoding {

namespace {

[[noreturn]] void fail(const QString& key, const char* problem)
{
    throw PublicConfigurationDecodingError(
        QStringLiteral("\"%1\": %2").arg(key, QLatin1String(problem)).toStdString());
}

QJsonValue present(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        fail(key, "missing");
    return value;
}

} // namespace

QString requiredString(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = present(object, key);
    if (!value.isString())
        fail(key, "not a string");
    return value.toString();
}

qint64 requiredInteger(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = present(object, key);
    if (!value.isDouble())
        fail(key, "not a number");
    // toInteger() gives its default for a fraction or a value outside the 64-bit range.
    const qint64 first = value.toInteger(0);
    if (first != value.toInteger(1))
        fail(key, "not a whole 64-bit number");
    return first;
}

bool requiredBool(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = present(object, key);
    if (!value.isBool())
        fail(key, "not a Boolean");
    return value.toBool();
}

QString optionalString(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isString())
        fail(key, "not a string");
    return value.toString();
}

QJsonObject requiredObject(const QJsonValue& value, const QString& what)
{
    if (!value.isObject())
        fail(what, "not an object");
    return value.toObject();
}

QString text(AppLanguage language, const QString& chinese, const QString& english)
{
    const bool prefersChinese =
        language == AppLanguage::chinese || language == AppLanguage::traditionalChinese;
    const QString& preferred = prefersChinese ? chinese : english;
    const QString& other = prefersChinese ? english : chinese;
    return preferred.isEmpty() ? other : preferred;
}

} // namespace PublicConfigurationCoding
