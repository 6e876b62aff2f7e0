#include "Util/AppLanguage.h"

#include <array>
#include <utility>

namespace AppLanguages {

namespace {
constexpr std::array<std::pair<AppLanguage, const char*>, 5> rawValues{{
    {AppLanguage::system, "system"},
    {AppLanguage::chinese, "zh-Hans"},
    {AppLanguage::english, "en"},
    {AppLanguage::traditionalChinese, "zh-Hant"},
    {AppLanguage::japanese, "ja"},
}};
} // namespace

const QList<AppLanguage>& allCases()
{
    static const QList<AppLanguage> cases = [] {
        QList<AppLanguage> list;
        for (const auto& [language, raw] : rawValues)
            list.append(language);
        return list;
    }();
    return cases;
}

QString rawValue(AppLanguage language)
{
    for (const auto& [candidate, raw] : rawValues) {
        if (candidate == language)
            return QString::fromLatin1(raw);
    }
    return QString::fromLatin1(rawValues.front().second);
}

std::optional<AppLanguage> fromRawValue(const QString& raw)
{
    for (const auto& [language, candidate] : rawValues) {
        if (raw == QLatin1String(candidate))
            return language;
    }
    return std::nullopt;
}

} // namespace AppLanguages
