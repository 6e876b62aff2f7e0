#include "PublicConfiguration/PublicProduct.h"

#include "PublicConfiguration/PublicConfigurationCoding.h"

using namespace PublicConfigurationCoding;

QString PublicProduct::summary(AppLanguage language) const
{
    return text(language, summaryZh, summaryEn);
}

PublicProduct PublicProduct::fromJson(const QJsonValue& json)
{
    const QJsonObject object = requiredObject(json, QStringLiteral("product"));
    PublicProduct product;
    product.id = requiredString(object, QStringLiteral("id"));
    product.name = requiredString(object, QStringLiteral("name"));
    product.summaryZh = optionalString(object, QStringLiteral("summaryZh"));
    product.summaryEn = optionalString(object, QStringLiteral("summaryEn"));
    product.url = requiredString(object, QStringLiteral("url"));
    product.enabled = requiredBool(object, QStringLiteral("enabled"));
    product.sortOrder = requiredInteger(object, QStringLiteral("sortOrder"));
    return product;
}

QJsonObject PublicProduct::toJson() const
{
    return QJsonObject{
        {QStringLiteral("id"), id},
        {QStringLiteral("name"), name},
        {QStringLiteral("summaryZh"), summaryZh},
        {QStringLiteral("summaryEn"), summaryEn},
        {QStringLiteral("url"), url},
        {QStringLiteral("enabled"), enabled},
        {QStringLiteral("sortOrder"), sortOrder},
    };
}
