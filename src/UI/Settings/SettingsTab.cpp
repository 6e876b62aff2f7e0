#include "UI/Settings/SettingsTab.h"

namespace {

struct TabEntry {
    SettingsTab tab;
    const char* rawValue;
    const char* title;
};

constexpr TabEntry entries[] = {
    {SettingsTab::general, "general", "General"}, {SettingsTab::model, "model", "Model"},
    {SettingsTab::updates, "updates", "Updates"}, {SettingsTab::privacy, "privacy", "Privacy"},
    {SettingsTab::about, "about", "About"},
};

const TabEntry& entry(SettingsTab tab)
{
    return entries[static_cast<int>(tab)];
}

} // namespace

namespace SettingsTabs {

const QList<SettingsTab>& allCases()
{
    static const QList<SettingsTab> cases = [] {
        QList<SettingsTab> list;
        for (const TabEntry& e : entries)
            list.append(e.tab);
        return list;
    }();
    return cases;
}

QString rawValue(SettingsTab tab)
{
    return QString::fromLatin1(entry(tab).rawValue);
}

std::optional<SettingsTab> fromRawValue(const QString& raw)
{
    for (const TabEntry& e : entries) {
        if (raw == QLatin1String(e.rawValue))
            return e.tab;
    }
    return std::nullopt;
}

QString title(SettingsTab tab)
{
    return QString::fromLatin1(entry(tab).title);
}

} // namespace SettingsTabs
