#include "UI/QtTranslations.h"

#include "Util/Localization.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace {

const QString catalogue = QStringLiteral("qtbase");

} // namespace

QtTranslations::QtTranslations(Localization& localization, QObject* parent)
    : QObject(parent)
    , localization_(localization)
{
    connect(&localization_, &Localization::resolvedLanguageChanged, this, &QtTranslations::load);
    load();
}

QtTranslations::~QtTranslations()
{
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
}

void QtTranslations::load()
{
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
    installed_ = false;
    const AppLanguage language = localization_.resolvedLanguage();
    if (language == AppLanguage::english)
        return;
    // "zh-Hans" and "zh-Hant" find Qt's zh_CN and zh_TW catalogues through the locale's likely region.
    if (translator_.load(QLocale(AppLanguages::rawValue(language)), catalogue, QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installed_ = QCoreApplication::installTranslator(&translator_);
}
