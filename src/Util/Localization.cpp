#include "Util/Localization.h"

#include "Platform/Bundle.h"
#include "Platform/Defaults.h"
#include "Platform/SystemLog.h"
#include "Platform/UserText.h"
#include "Util/NotificationCenter.h"
#include "Util/StringsTable.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMutexLocker>
#include <cmath>
#include <limits>

namespace {

const QString languageKey = QStringLiteral("dorvaneLanguage");
const QString tableName = QStringLiteral("Localizable");
const QString tableExtension = QStringLiteral("strings");

// Regions whose Chinese is written in Traditional or in Simplified characters, as
// lower-case subtags; a script subtag ("Hans", "Hant") decides before any region.
const QStringList traditionalChineseRegions{QStringLiteral("tw"), QStringLiteral("hk"), QStringLiteral("mo")};
const QStringList simplifiedChineseRegions{QStringLiteral("cn"), QStringLiteral("sg"), QStringLiteral("my")};

AppLanguage chineseScript(const QStringList& subtags, AppLanguage unmarked)
{
    if (subtags.contains(QStringLiteral("hans")))
        return AppLanguage::chinese;
    if (subtags.contains(QStringLiteral("hant")))
        return AppLanguage::traditionalChinese;
    for (const QString& subtag : subtags) {
        if (traditionalChineseRegions.contains(subtag))
            return AppLanguage::traditionalChinese;
        if (simplifiedChineseRegions.contains(subtag))
            return AppLanguage::chinese;
    }
    return unmarked;
}

// A BCP 47 tag ("zh-Hant-TW") or a POSIX locale name ("zh_TW.UTF-8", "ja_JP@euro") to the
// supported language it names, if any.
std::optional<AppLanguage> supportedLanguage(const QString& tag)
{
    // The codeset (".UTF-8") and the modifier ("@euro") of a POSIX name say nothing of the language.
    const QString name =
        tag.trimmed().toLower().section(QLatin1Char('@'), 0, 0).section(QLatin1Char('.'), 0, 0);
    const QStringList subtags =
        QString(name).replace(QLatin1Char('_'), QLatin1Char('-')).split(QLatin1Char('-'), Qt::SkipEmptyParts);
    if (subtags.isEmpty())
        return std::nullopt;
    const QString& primary = subtags.first();
    if (primary == QLatin1String("en"))
        return AppLanguage::english;
    if (primary == QLatin1String("ja"))
        return AppLanguage::japanese;
    if (primary == QLatin1String("zh") || primary == QLatin1String("cmn"))
        return chineseScript(subtags.mid(1), AppLanguage::chinese);
    if (primary == QLatin1String("yue")) // Cantonese is mostly written in Traditional characters
        return chineseScript(subtags.mid(1), AppLanguage::traditionalChinese);
    return std::nullopt;
}

enum class PlaceholderKind { object, integer, percent };

struct Placeholder {
    qsizetype length = 0;
    int argument = -1; // -1: the next argument in order
    PlaceholderKind kind = PlaceholderKind::object;
};

const char* const lengthModifiers[] = {"ll", "hh", "l", "h", "q", "z", "t", "j"};

qsizetype lengthModifierAt(QStringView format, qsizetype at)
{
    for (const char* modifier : lengthModifiers) {
        if (format.sliced(at).startsWith(QLatin1String(modifier)))
            return qsizetype(qstrlen(modifier));
    }
    return 0;
}

// The placeholder that starts with the '%' at `at`: "%%", "%@", "%d", "%lld", "%2$@"…;
// none for a '%' that starts no placeholder we fill.
std::optional<Placeholder> placeholderAt(QStringView format, qsizetype at)
{
    qsizetype i = at + 1;
    if (i < format.size() && format[i] == QLatin1Char('%'))
        return Placeholder{2, -1, PlaceholderKind::percent};
    int argument = -1;
    qsizetype digitsEnd = i;
    while (digitsEnd < format.size() && format[digitsEnd].isDigit() && format[digitsEnd].unicode() < 0x80)
        ++digitsEnd;
    if (digitsEnd > i && digitsEnd < format.size() && format[digitsEnd] == QLatin1Char('$')) {
        bool ok = false;
        const int position = format.sliced(i, digitsEnd - i).toInt(&ok);
        if (!ok || position < 1)
            return std::nullopt;
        argument = position - 1;
        i = digitsEnd + 1;
    }
    const qsizetype modifier = lengthModifierAt(format, i);
    i += modifier;
    if (i >= format.size())
        return std::nullopt;
    const char16_t conversion = format[i].unicode();
    if (conversion == u'@' && modifier == 0)
        return Placeholder{i + 1 - at, argument, PlaceholderKind::object};
    if (conversion == u'd' || conversion == u'i' || conversion == u'u')
        return Placeholder{i + 1 - at, argument, PlaceholderKind::integer};
    return std::nullopt;
}

std::optional<QString> integerText(const QVariant& value, const QLocale& locale)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar:
        return locale.toString(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return locale.toString(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
        // Whole part, as a C conversion of the number would give.
        constexpr double limit = double(std::numeric_limits<qint64>::max());
        const double number = value.toDouble();
        if (!std::isfinite(number) || number >= limit || number < -limit)
            return std::nullopt;
        return locale.toString(qint64(std::trunc(number)));
    }
    default:
        if (value.metaType().flags().testFlag(QMetaType::IsEnumeration))
            return locale.toString(value.toLongLong());
        return std::nullopt;
    }
}

bool isFloatingPoint(const QVariant& value)
{
    const int type = value.metaType().id();
    return type == QMetaType::Double || type == QMetaType::Float;
}

// An argument of the wrong kind is shown as its text rather than refused.
QString render(const QVariant& value, PlaceholderKind kind, const QLocale& locale)
{
    if (kind == PlaceholderKind::object && isFloatingPoint(value))
        return locale.toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    if (const std::optional<QString> integer = integerText(value, locale))
        return *integer;
    return value.toString();
}

QLocale numberLocale(AppLanguage language)
{
    QLocale locale(AppLanguages::rawValue(language));
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

Localization& Localization::shared()
{
    // Never destroyed: texts may still be looked up while the application shuts down.
    static Localization* const instance = new Localization(nullptr, nullptr, nullptr);
    return *instance;
}

Localization::Localization(Platform::Defaults& defaults, Platform::Bundle& bundle, QObject* parent)
    : Localization(&defaults, &bundle, parent)
{}

Localization::Localization(Platform::Defaults* defaults, Platform::Bundle* bundle, QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
    , bundle_(bundle)
{
    const std::optional<QString> stored = this->defaults().stringValue(languageKey);
    language_ = AppLanguages::fromRawValue(stored.value_or(QString())).value_or(AppLanguage::system);
    resolved_ = computeResolved();
    watchSystemLocale();
}

Localization::~Localization() = default;

void Localization::setLanguage(AppLanguage language)
{
    if (language == language_)
        return;
    const AppLanguage before = resolvedLanguage();
    language_ = language;
    resolved_ = computeResolved();
    defaults().setString(languageKey, AppLanguages::rawValue(language));
    emit languageChanged();
    if (resolvedLanguage() != before)
        emit resolvedLanguageChanged();
    NotificationCenter::shared().post(Notifications::languageDidChange, this);
}

QString Localization::string(const QString& english)
{
    return shared().lookup(english);
}

QString Localization::format(const QString& englishFormat, const QVariantList& arguments)
{
    return shared().fill(englishFormat, arguments);
}

void Localization::formatPlatformTexts()
{
    Platform::setUserTextFormatter([](const QString& englishFormat, const QVariantList& arguments) {
        return format(englishFormat, arguments);
    });
}

AppLanguage Localization::resolve(const QStringList& preferredLanguages)
{
    for (const QString& tag : preferredLanguages) {
        if (const std::optional<AppLanguage> language = supportedLanguage(tag))
            return *language;
    }
    return AppLanguage::english;
}

QString Localization::lookup(const QString& english) const
{
    const AppLanguage language = resolvedLanguage();
    if (std::optional<QString> text = translation(language, english))
        return *text;
    if (language != AppLanguage::english) {
        if (std::optional<QString> text = translation(AppLanguage::english, english))
            return *text;
    }
    return english;
}

QString Localization::fill(const QString& englishFormat, const QVariantList& arguments) const
{
    const QString format = lookup(englishFormat);
    const QLocale locale = numberLocale(resolvedLanguage());
    QString result;
    result.reserve(format.size());
    int nextArgument = 0;
    qsizetype i = 0;
    while (i < format.size()) {
        const std::optional<Placeholder> placeholder =
            format[i] == QLatin1Char('%') ? placeholderAt(format, i) : std::nullopt;
        if (!placeholder) {
            result += format[i++];
            continue;
        }
        if (placeholder->kind == PlaceholderKind::percent) {
            result += QLatin1Char('%');
        } else {
            const int argument = placeholder->argument >= 0 ? placeholder->argument : nextArgument++;
            result += argument < arguments.size() ? render(arguments.at(argument), placeholder->kind, locale)
                                                  : format.sliced(i, placeholder->length);
        }
        i += placeholder->length;
    }
    return result;
}

void Localization::setPreferredLanguagesForTesting(std::optional<QStringList> languages)
{
    preferredForTesting_ = std::move(languages);
}

void Localization::systemLocaleChanged()
{
    const AppLanguage before = resolvedLanguage();
    resolved_ = computeResolved();
    if (language_ != AppLanguage::system || resolvedLanguage() == before)
        return;
    emit resolvedLanguageChanged();
    NotificationCenter::shared().post(Notifications::languageDidChange, this);
}

bool Localization::eventFilter(QObject* watched, QEvent* event)
{
    // Qt takes the new system locale in before it sends this event.
    if (watched == QCoreApplication::instance() && event->type() == QEvent::LocaleChange)
        systemLocaleChanged();
    return QObject::eventFilter(watched, event);
}

Platform::Defaults& Localization::defaults() const
{
    return defaults_ ? *defaults_ : Platform::defaults();
}

Platform::Bundle& Localization::bundle() const
{
    return bundle_ ? *bundle_ : Platform::mainBundle();
}

void Localization::watchSystemLocale()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    if (!parent() && thread() != application->thread())
        moveToThread(application->thread());
    application->installEventFilter(this);
}

QStringList Localization::preferredLanguages() const
{
    return preferredForTesting_ ? *preferredForTesting_ : QLocale::system().uiLanguages();
}

AppLanguage Localization::computeResolved() const
{
    return language_ == AppLanguage::system ? resolve(preferredLanguages()) : language_;
}

std::optional<QString> Localization::translation(AppLanguage language, const QString& english) const
{
    QMutexLocker lock(&tablesMutex_);
    auto table = tables_.find(language);
    if (table == tables_.end())
        table = tables_.insert(language, loadTable(language));
    const auto text = table->constFind(english);
    // An empty translation would blank the text out; the next table in the chain decides.
    if (text == table->cend() || text->isEmpty())
        return std::nullopt;
    return *text;
}

QHash<QString, QString> Localization::loadTable(AppLanguage language) const
{
    const QString folder = AppLanguages::rawValue(language) + QStringLiteral(".lproj");
    const QString path = bundle().resourcePath(tableName, tableExtension, folder);
    if (path.isEmpty()) {
        Platform::systemLog().write(
            QStringLiteral("Localization: no %1/%2.%3 in the bundle").arg(folder, tableName, tableExtension));
        return {};
    }
    try {
        return StringsTable::read(path).values();
    } catch (const StringsTable::Error& error) {
        Platform::systemLog().write(
            QStringLiteral("Localization: %1 is not used, %2").arg(path, error.description()));
        return {};
    }
}
