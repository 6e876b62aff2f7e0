#include "Settings/PrivacyPolicyCatalog.h"

#include "Platform/Bundle.h"
#include "Util/Localization.h"

#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>

namespace {

constexpr qint64 supportedSchemaVersion = 1;
// Integers beyond 2^63 do not fit the stored 64-bit field.
constexpr double integerLimit = 9223372036854775808.0;

const QString resourceName = QStringLiteral("PrivacyPolicy");
const QString resourceExtension = QStringLiteral("json");
const QString resourceFolder = QStringLiteral("json");
const QString policyDateFormat = QStringLiteral("yyyy-MM-dd");

// --- decoding: every listed key is required with its JSON type ---

std::optional<QString> decodeString(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<qint64> decodeInteger(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || number < -integerLimit ||
        number >= integerLimit)
        return std::nullopt;
    return value.toInteger();
}

std::optional<QStringList> decodeStrings(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    QStringList result;
    for (const QJsonValue element : value.toArray()) {
        if (!element.isString())
            return std::nullopt;
        result.append(element.toString());
    }
    return result;
}

std::optional<QMap<QString, QString>> decodeStringMap(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    QMap<QString, QString> result;
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
        result.insert(it.key(), it.value().toString());
    }
    return result;
}

std::optional<PrivacyPolicySection> decodeSection(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto id = decodeString(object.value(QLatin1String("id")));
    const auto title = decodeString(object.value(QLatin1String("title")));
    const auto paragraphs = decodeStrings(object.value(QLatin1String("paragraphs")));
    if (!id || !title || !paragraphs)
        return std::nullopt;
    return PrivacyPolicySection{*id, *title, *paragraphs};
}

std::optional<QList<PrivacyPolicySection>> decodeSections(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    QList<PrivacyPolicySection> result;
    for (const QJsonValue element : value.toArray()) {
        auto section = decodeSection(element);
        if (!section)
            return std::nullopt;
        result.append(std::move(*section));
    }
    return result;
}

std::optional<PrivacyPolicyDocument> decodeDocument(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto languageName = decodeString(object.value(QLatin1String("languageName")));
    const auto title = decodeString(object.value(QLatin1String("title")));
    const auto description = decodeString(object.value(QLatin1String("description")));
    const auto lead = decodeStrings(object.value(QLatin1String("lead")));
    const auto updatedLabel = decodeString(object.value(QLatin1String("updatedLabel")));
    const auto sourceVersion = decodeString(object.value(QLatin1String("sourceVersion")));
    const auto navigation = decodeStringMap(object.value(QLatin1String("navigation")));
    const auto sections = decodeSections(object.value(QLatin1String("sections")));
    if (!languageName || !title || !description || !lead || !updatedLabel || !sourceVersion || !navigation ||
        !sections)
        return std::nullopt;
    return PrivacyPolicyDocument{*languageName, *title,         *description, *lead,
                                 *updatedLabel, *sourceVersion, *navigation,  *sections};
}

std::optional<QMap<QString, PrivacyPolicyDocument>> decodeLocales(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    QMap<QString, PrivacyPolicyDocument> result;
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        auto document = decodeDocument(it.value());
        if (!document)
            return std::nullopt;
        result.insert(it.key(), std::move(*document));
    }
    return result;
}

// --- validation ---

void require(bool rule)
{
    if (!rule)
        throw PrivacyPolicyCatalog::PolicyError(PrivacyPolicyCatalog::PolicyError::Kind::invalidDocument);
}

// A real date written exactly as "yyyy-MM-dd": formatting it again gives the same text.
bool isPolicyDate(const QString& text)
{
    const QDate date = QDate::fromString(text, policyDateFormat);
    return date.isValid() && date.toString(policyDateFormat) == text;
}

bool isSupportAddress(const QString& address)
{
    // Matched against the whole text: a trailing line break is not part of an address.
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral(R"([A-Za-z0-9._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]{2,})")));
    return pattern.match(address).hasMatch();
}

bool passesTextRule(const QString& text)
{
    static const QRegularExpression markup(QStringLiteral(R"(<\s*(?:[a-zA-Z!/]))"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    return !text.trimmed().isEmpty() && !markup.match(text).hasMatch();
}

// The number of lead paragraphs, then the number of paragraphs of each section.
QList<qsizetype> structureSignature(const PrivacyPolicyDocument& document)
{
    QList<qsizetype> signature{document.lead.size()};
    for (const PrivacyPolicySection& section : document.sections)
        signature.append(section.paragraphs.size());
    return signature;
}

QStringList documentTexts(const PrivacyPolicyDocument& document)
{
    QStringList texts{document.languageName, document.title, document.description, document.updatedLabel};
    texts += document.lead;
    for (const PrivacyPolicySection& section : document.sections)
        texts += section.paragraphs;
    for (const PrivacyPolicySection& section : document.sections)
        texts.append(section.title);
    texts += document.navigation.values();
    return texts;
}

QStringList sectionIDs(const PrivacyPolicyDocument& document)
{
    QStringList ids;
    for (const PrivacyPolicySection& section : document.sections)
        ids.append(section.id);
    return ids;
}

template <typename Map> QSet<QString> keySet(const Map& map)
{
    const QList<QString> keys = map.keys();
    return QSet<QString>(keys.begin(), keys.end());
}

void validateDocument(const PrivacyPolicyDocument& document, const QString& policyVersion,
                      const QList<qsizetype>& sourceSignature)
{
    require(document.sourceVersion == policyVersion);
    require(!document.lead.isEmpty());
    require(sectionIDs(document) == PrivacyPolicyCatalog::requiredSectionIDs());
    require(keySet(document.navigation) == PrivacyPolicyCatalog::navigationFields());
    require(structureSignature(document) == sourceSignature);
    for (const PrivacyPolicySection& section : document.sections)
        require(!section.paragraphs.isEmpty());
    for (const QString& text : documentTexts(document))
        require(passesTextRule(text));
}

AppLanguage effective(AppLanguage language)
{
    return language == AppLanguage::system ? Localization::shared().resolvedLanguage() : language;
}

} // namespace

const char* PrivacyPolicyCatalog::PolicyError::what() const noexcept
{
    return kind_ == Kind::missingResource ? "PolicyError.missingResource" : "PolicyError.invalidDocument";
}

const QSet<QString>& PrivacyPolicyCatalog::requiredLanguageCodes()
{
    static const QSet<QString> codes = [] {
        QSet<QString> result;
        for (AppLanguage language : AppLanguages::allCases()) {
            if (language != AppLanguage::system)
                result.insert(AppLanguages::rawValue(language));
        }
        return result;
    }();
    return codes;
}

const QSet<QString>& PrivacyPolicyCatalog::navigationFields()
{
    static const QSet<QString> fields{QStringLiteral("skip"),     QStringLiteral("home"),
                                      QStringLiteral("product"),  QStringLiteral("privacy"),
                                      QStringLiteral("support"),  QStringLiteral("contents"),
                                      QStringLiteral("language"), QStringLiteral("footer")};
    return fields;
}

const QStringList& PrivacyPolicyCatalog::requiredSectionIDs()
{
    static const QStringList ids{QStringLiteral("local"),         QStringLiteral("ai"),
                                 QStringLiteral("control"),       QStringLiteral("sync"),
                                 QStringLiteral("website"),       QStringLiteral("basis"),
                                 QStringLiteral("international"), QStringLiteral("rights"),
                                 QStringLiteral("security"),      QStringLiteral("contact")};
    return ids;
}

const QUrl& PrivacyPolicyCatalog::websiteBaseURL()
{
    static const QUrl base(QStringLiteral("https://vellora.app/"));
    return base;
}

const std::optional<PrivacyPolicyCatalog>& PrivacyPolicyCatalog::bundled()
{
    static const std::optional<PrivacyPolicyCatalog> catalog = load(Platform::mainBundle());
    return catalog;
}

std::optional<PrivacyPolicyCatalog> PrivacyPolicyCatalog::load(const Platform::Bundle& bundle)
{
    const QString path = bundle.resourcePath(resourceName, resourceExtension, resourceFolder);
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray json = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return fromJson(json);
}

std::optional<PrivacyPolicyCatalog> PrivacyPolicyCatalog::fromJson(const QByteArray& json)
{
    std::optional<PrivacyPolicyCatalog> catalog = decode(json);
    if (!catalog)
        return std::nullopt;
    try {
        catalog->validate();
    } catch (const PolicyError&) {
        return std::nullopt;
    }
    return catalog;
}

std::optional<PrivacyPolicyCatalog> PrivacyPolicyCatalog::decode(const QByteArray& json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const auto schemaVersion = decodeInteger(object.value(QLatin1String("schemaVersion")));
    const auto policyVersion = decodeString(object.value(QLatin1String("policyVersion")));
    const auto sourceLocale = decodeString(object.value(QLatin1String("sourceLocale")));
    const auto supportEmail = decodeString(object.value(QLatin1String("supportEmail")));
    auto locales = decodeLocales(object.value(QLatin1String("locales")));
    if (!schemaVersion || !policyVersion || !sourceLocale || !supportEmail || !locales)
        return std::nullopt;
    return PrivacyPolicyCatalog{*schemaVersion, *policyVersion, *sourceLocale, *supportEmail,
                                std::move(*locales)};
}

void PrivacyPolicyCatalog::validate() const
{
    require(schemaVersion == supportedSchemaVersion);
    require(keySet(locales) == requiredLanguageCodes());
    require(isPolicyDate(policyVersion));
    require(isSupportAddress(supportEmail));
    const auto source = locales.constFind(sourceLocale);
    require(source != locales.constEnd());
    const QList<qsizetype> sourceSignature = structureSignature(*source);
    for (const PrivacyPolicyDocument& document : locales)
        validateDocument(document, policyVersion, sourceSignature);
}

std::optional<PrivacyPolicyDocument> PrivacyPolicyCatalog::document(AppLanguage language) const
{
    const auto found = locales.constFind(AppLanguages::rawValue(effective(language)));
    if (found == locales.constEnd())
        return std::nullopt;
    return *found;
}

QUrl PrivacyPolicyCatalog::onlineURL(AppLanguage language)
{
    const AppLanguage resolved = effective(language);
    QUrl url = websiteBaseURL();
    if (resolved == AppLanguage::chinese)
        url.setPath(url.path() + QStringLiteral("privacy.html"));
    else
        url.setPath(url.path() + QStringLiteral("privacy/") + AppLanguages::rawValue(resolved) +
                    QStringLiteral(".html"));
    return url;
}
