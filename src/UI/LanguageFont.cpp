#include "UI/LanguageFont.h"

#include "Util/Localization.h"

#include <QApplication>

namespace {

// Noto Sans CJK (Debian's fonts-noto-cjk) carries Latin letters of its own design.
QString cjkFamily(AppLanguage language)
{
    switch (language) {
    case AppLanguage::japanese:
        return QStringLiteral("Noto Sans CJK JP");
    case AppLanguage::chinese:
        return QStringLiteral("Noto Sans CJK SC");
    case AppLanguage::traditionalChinese:
        return QStringLiteral("Noto Sans CJK TC");
    case AppLanguage::system:
    case AppLanguage::english:
        break;
    }
    return {};
}

} // namespace

LanguageFont::LanguageFont(Localization& localization, QObject* parent)
    : QObject(parent)
    , localization_(localization)
    , desktopFont_(QApplication::font())
{
    connect(&localization_, &Localization::resolvedLanguageChanged, this, &LanguageFont::apply);
    apply();
}

LanguageFont::~LanguageFont()
{
    QApplication::setFont(desktopFont_);
}

void LanguageFont::apply()
{
    QFont font = desktopFont_;
    const QString family = cjkFamily(localization_.resolvedLanguage());
    if (!family.isEmpty()) {
        const QStringList behind = desktopFont_.families();
        font.setFamilies(QStringList{family} +
                         (behind.isEmpty() ? QStringList{desktopFont_.family()} : behind));
    }
    QApplication::setFont(font);
}
