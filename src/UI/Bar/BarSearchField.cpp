#include "UI/Bar/BarSearchField.h"

#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

BarSearchField::BarSearchField(QWidget* parent)
    : QLineEdit(parent)
{
    setFont(VelloraTypography::body());
    setClearButtonEnabled(true);
    setFixedWidth(preferredWidth);
    retranslate();
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
}

void BarSearchField::setSearchesBrowserTabs(bool searchesBrowserTabs)
{
    searchesBrowserTabs_ = searchesBrowserTabs;
    retranslate();
}

void BarSearchField::retranslate()
{
    setPlaceholderText(Localization::string(searchesBrowserTabs_ ? QStringLiteral("Search open tabs")
                                                                 : QStringLiteral("Search clips")));
}
