#include "UI/Settings/PrivacySupportPage.h"

#include "Settings/PrivacyPolicyCatalog.h"
#include "Util/Localization.h"

#include <array>

namespace PrivacySupportPages {

namespace {
struct PageInfo {
    PrivacySupportPage page;
    const char* raw;
    const char* title;
};

constexpr std::array<PageInfo, 2> pages{{
    {PrivacySupportPage::privacy, "privacy", "Privacy Policy"},
    {PrivacySupportPage::support, "support", "Help & Support"},
}};

const PageInfo& info(PrivacySupportPage page)
{
    for (const PageInfo& candidate : pages) {
        if (candidate.page == page)
            return candidate;
    }
    return pages.front();
}
} // namespace

const QList<PrivacySupportPage>& allCases()
{
    static const QList<PrivacySupportPage> cases = [] {
        QList<PrivacySupportPage> list;
        for (const PageInfo& page : pages)
            list.append(page.page);
        return list;
    }();
    return cases;
}

QString rawValue(PrivacySupportPage page)
{
    return QString::fromLatin1(info(page).raw);
}

std::optional<PrivacySupportPage> fromRawValue(const QString& raw)
{
    for (const PageInfo& page : pages) {
        if (raw == QLatin1String(page.raw))
            return page.page;
    }
    return std::nullopt;
}

QString title(PrivacySupportPage page)
{
    return Localization::string(QString::fromLatin1(info(page).title));
}

const QUrl& onlineSupportURL()
{
    static const QUrl url =
        PrivacyPolicyCatalog::websiteBaseURL().resolved(QUrl(QStringLiteral("support.html")));
    return url;
}

} // namespace PrivacySupportPages
