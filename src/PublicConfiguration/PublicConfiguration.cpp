#include "PublicConfiguration/PublicConfiguration.h"

#include "Platform/Bundle.h"
#include "Platform/CloudContainer.h"
#include "PublicConfiguration/PublicCloudRecord.h"
#include "PublicConfiguration/PublicConfigurationCoding.h"
#include "PublicConfiguration/PublicConfigurationDecodingError.h"
#include "PublicConfiguration/PublicConfigurationError.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <algorithm>

using namespace PublicConfigurationCoding;

namespace {

constexpr const char* resourceName = "PublicConfiguration";
constexpr const char* resourceType = "json";
constexpr const char* resourceFolder = "json";
// The program's current and earlier product identifiers; excluding one hides both.
constexpr const char* ownProductIds[] = {"vellora", "dorvane"};

qsizetype utf8Size(const QString& text)
{
    return text.toUtf8().size();
}

[[noreturn]] void invalid()
{
    throw PublicConfigurationError::invalidData();
}

// The union of blanks, line breaks and control characters (Cc and Cf).
bool isForbiddenInAddress(uint c)
{
    const QChar::Category category = QChar::category(c);
    return QChar::isSpace(c) || category == QChar::Other_Control || category == QChar::Other_Format;
}

// True when the authority part ("//user:password@host") names a user, even an empty one.
bool namesUser(const QString& text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0 || text.mid(colon + 1, 2) != QLatin1String("//"))
        return false;
    const QString rest = text.mid(colon + 3);
    qsizetype end = rest.size();
    for (const QChar stop : {u'/', u'?', u'#'}) {
        const qsizetype at = rest.indexOf(stop);
        if (at >= 0)
            end = std::min(end, at);
    }
    return rest.left(end).contains(u'@');
}

void validateProduct(const PublicProduct& product)
{
    if (product.id.isEmpty() || utf8Size(product.id) > PublicConfiguration::maxProductIdBytes)
        invalid();
    if (product.name.isEmpty() || utf8Size(product.name) > PublicConfiguration::maxProductNameBytes)
        invalid();
    if (utf8Size(product.summaryZh) > PublicConfiguration::maxProductSummaryBytes ||
        utf8Size(product.summaryEn) > PublicConfiguration::maxProductSummaryBytes)
        invalid();
    if (utf8Size(product.url) > PublicConfiguration::maxWebAddressBytes)
        invalid();
}

QSet<QString> excludedIds(const QString& id)
{
    for (const char* own : ownProductIds) {
        if (id == QLatin1String(own))
            return {QString::fromLatin1(ownProductIds[0]), QString::fromLatin1(ownProductIds[1])};
    }
    return {id};
}

// A cloud number: not a Boolean, and its text form an optional sign and decimal digits
// within the signed 64-bit range (so 1.0 passes and 1.5 or 1e+20 fail).
qint64 recordNumber(const QVariantMap& fields, const QString& key)
{
    static const QSet<int> numberTypes = {
        QMetaType::Int,   QMetaType::UInt,  QMetaType::LongLong, QMetaType::ULongLong, QMetaType::Long,
        QMetaType::ULong, QMetaType::Short, QMetaType::UShort,   QMetaType::Double,    QMetaType::Float};
    const QVariant value = fields.value(key);
    if (!numberTypes.contains(value.typeId()))
        invalid();
    QString text = value.toString();
    if (text.startsWith(u'+'))
        text.remove(0, 1);
    const QString digits = text.startsWith(u'-') ? text.mid(1) : text;
    if (digits.isEmpty() || !std::all_of(digits.cbegin(), digits.cend(),
                                         [](QChar c) { return c.isDigit() && c.unicode() < 0x80; }))
        invalid();
    bool ok = false;
    const qint64 number = text.toLongLong(&ok, 10);
    if (!ok)
        invalid();
    return number;
}

// A missing field reads as empty; anything but a string is invalid.
QString recordText(const QVariantMap& fields, const QString& key)
{
    const QVariant value = fields.value(key);
    if (!value.isValid())
        return {};
    if (value.typeId() != QMetaType::QString)
        invalid();
    return value.toString();
}

QString requiredRecordText(const QVariantMap& fields, const QString& key)
{
    const QVariant value = fields.value(key);
    if (value.typeId() != QMetaType::QString)
        invalid();
    return value.toString();
}

QList<PublicProduct> decodeProducts(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        throw PublicConfigurationDecodingError("\"productsJSON\": not a JSON array");
    QList<PublicProduct> products;
    for (const QJsonValue& item : document.array())
        products.append(PublicProduct::fromJson(item));
    return products;
}

} // namespace

const PublicConfiguration& PublicConfiguration::bundled()
{
    static const PublicConfiguration value = fromResource(Platform::mainBundle());
    return value;
}

PublicConfiguration PublicConfiguration::fromResource(const Platform::Bundle& bundle)
{
    const QString path =
        bundle.resourcePath(QString::fromLatin1(resourceName), QString::fromLatin1(resourceType),
                            QString::fromLatin1(resourceFolder));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return builtInFallback();
    try {
        PublicConfiguration configuration = decode(file.readAll());
        configuration.validate();
        return configuration;
    } catch (const PublicConfigurationError&) {
    } catch (const PublicConfigurationDecodingError&) {
    }
    return builtInFallback();
}

PublicConfiguration PublicConfiguration::builtInFallback()
{
    PublicConfiguration fallback;
    fallback.schemaVersion = supportedSchemaVersion;
    fallback.revision = 0;
    fallback.authorName = QStringLiteral("Vellora");
    fallback.authorBioZh = QStringLiteral("为 Linux 桌面打造简单好用的小工具。");
    fallback.authorBioEn = QStringLiteral("Simple, useful tools for the Linux desktop.");
    return fallback;
}

std::optional<QUrl> PublicConfiguration::webURL(const QString& text)
{
    if (text.isEmpty() || utf8Size(text) > maxWebAddressBytes)
        return std::nullopt;
    const QList<uint> codePoints = text.toUcs4();
    if (std::any_of(codePoints.cbegin(), codePoints.cend(), isForbiddenInAddress))
        return std::nullopt;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("https") && scheme != QLatin1String("http"))
        return std::nullopt;
    if (url.host().isEmpty() || namesUser(text) || !url.userInfo().isEmpty())
        return std::nullopt;
    return url;
}

void PublicConfiguration::validate() const
{
    if (schemaVersion != supportedSchemaVersion)
        throw PublicConfigurationError(PublicConfigurationError::Kind::unsupportedSchema);
    if (revision < 0)
        invalid();
    if (authorName.trimmed().isEmpty() || utf8Size(authorName) > maxAuthorNameBytes)
        invalid();
    if (utf8Size(authorBioZh) > maxAuthorBioBytes || utf8Size(authorBioEn) > maxAuthorBioBytes)
        invalid();
    if (!websiteURL.isEmpty() && !webURL(websiteURL))
        invalid();
    if (products.size() > maxProducts)
        invalid();
    QSet<QString> ids;
    for (const PublicProduct& product : products)
        ids.insert(product.id);
    if (ids.size() != products.size())
        invalid();
    for (const PublicProduct& product : products)
        validateProduct(product);
}

QList<PublicProduct> PublicConfiguration::visibleProducts(const QString& excludedId) const
{
    const QSet<QString> excluded = excludedIds(excludedId);
    QList<PublicProduct> kept;
    for (const PublicProduct& product : products) {
        if (product.enabled && !excluded.contains(product.id) && webURL(product.url))
            kept.append(product);
    }
    // UTF-8 byte order is code-point order (UTF-16 order is not, beyond U+FFFF).
    std::stable_sort(kept.begin(), kept.end(), [](const PublicProduct& a, const PublicProduct& b) {
        if (a.sortOrder != b.sortOrder)
            return a.sortOrder < b.sortOrder;
        return a.id.toUtf8() < b.id.toUtf8();
    });
    return kept;
}

QString PublicConfiguration::authorBio(AppLanguage language) const
{
    return text(language, authorBioZh, authorBioEn);
}

PublicConfiguration PublicConfiguration::fromJson(const QJsonValue& json)
{
    const QJsonObject object = requiredObject(json, QStringLiteral("configuration"));
    PublicConfiguration configuration;
    configuration.schemaVersion = requiredInteger(object, QStringLiteral("schemaVersion"));
    configuration.revision = requiredInteger(object, QStringLiteral("revision"));
    configuration.authorName = requiredString(object, QStringLiteral("authorName"));
    configuration.authorBioZh = requiredString(object, QStringLiteral("authorBioZh"));
    configuration.authorBioEn = requiredString(object, QStringLiteral("authorBioEn"));
    configuration.websiteURL = requiredString(object, QStringLiteral("websiteURL"));
    const QJsonValue products = object.value(QStringLiteral("products"));
    if (!products.isArray())
        throw PublicConfigurationDecodingError("\"products\": missing or not an array");
    for (const QJsonValue& item : products.toArray())
        configuration.products.append(PublicProduct::fromJson(item));
    return configuration;
}

PublicConfiguration PublicConfiguration::decode(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw PublicConfigurationDecodingError("not JSON: " + error.errorString().toStdString());
    if (!document.isObject())
        throw PublicConfigurationDecodingError("not a JSON object");
    return fromJson(document.object());
}

QJsonObject PublicConfiguration::toJson() const
{
    QJsonArray productArray;
    for (const PublicProduct& product : products)
        productArray.append(product.toJson());
    return QJsonObject{
        {QStringLiteral("schemaVersion"), schemaVersion}, {QStringLiteral("revision"), revision},
        {QStringLiteral("authorName"), authorName},       {QStringLiteral("authorBioZh"), authorBioZh},
        {QStringLiteral("authorBioEn"), authorBioEn},     {QStringLiteral("websiteURL"), websiteURL},
        {QStringLiteral("products"), productArray},
    };
}

PublicConfiguration PublicConfiguration::fromRecord(const Platform::CloudRecord& record)
{
    const QVariantMap& fields = record.fields;
    if (record.recordType != QLatin1String(PublicCloudRecord::recordType))
        invalid();
    if (requiredRecordText(fields, QStringLiteral("configKey")) !=
        QLatin1String(PublicCloudRecord::configKey))
        invalid();
    PublicConfiguration configuration;
    configuration.authorName = requiredRecordText(fields, QStringLiteral("authorName"));
    const QByteArray productsJson = requiredRecordText(fields, QStringLiteral("productsJSON")).toUtf8();
    if (productsJson.size() > PublicCloudRecord::maxProductsJsonBytes)
        invalid();
    if (recordNumber(fields, QStringLiteral("schemaVersion")) != supportedSchemaVersion)
        throw PublicConfigurationError(PublicConfigurationError::Kind::unsupportedSchema);
    configuration.revision = recordNumber(fields, QStringLiteral("revision"));
    if (configuration.revision < 1)
        invalid();
    configuration.authorBioZh = recordText(fields, QStringLiteral("authorBioZh"));
    configuration.authorBioEn = recordText(fields, QStringLiteral("authorBioEn"));
    configuration.websiteURL = recordText(fields, QStringLiteral("websiteURL"));
    configuration.products = decodeProducts(productsJson);
    configuration.validate();
    return configuration;
}
