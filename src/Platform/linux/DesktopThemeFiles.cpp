#include "Platform/linux/DesktopThemeFiles.h"

#include <QHash>
#include <QStringList>

namespace Platform::DesktopThemeFiles {

namespace {

constexpr quint32 portalPrefersDark = 1;
constexpr quint32 portalPrefersLight = 2;
constexpr int darkLuminanceLimit = 128;

using IniSection = QHash<QString, QString>;

// Sections and keys of an INI text; later duplicates win, comments and junk are skipped.
QHash<QString, IniSection> parseIni(const QString& text)
{
    QHash<QString, IniSection> sections;
    QString section;
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        sections[section].insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return sections;
}

std::optional<bool> parseBool(const QString& value)
{
    const QString v = value.toLower();
    if (v == u"1" || v == u"true" || v == u"yes")
        return true;
    if (v == u"0" || v == u"false" || v == u"no")
        return false;
    return std::nullopt;
}

bool themeNameIsDark(const QString& name)
{
    return name.endsWith(QStringLiteral("-dark"), Qt::CaseInsensitive) ||
           name.endsWith(QStringLiteral(":dark"), Qt::CaseInsensitive);
}

std::optional<bool> backgroundIsDark(const QString& rgbList)
{
    const QStringList parts = rgbList.split(u',');
    if (parts.size() < 3)
        return std::nullopt;
    int rgb[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        rgb[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || rgb[i] < 0 || rgb[i] > 255)
            return std::nullopt;
    }
    // Rec. 601 luma, as the desktops themselves judge light and dark.
    const int luma = (299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2]) / 1000;
    return luma < darkLuminanceLimit;
}

} // namespace

std::optional<bool> colorSchemePrefersDark(quint32 colorScheme)
{
    if (colorScheme == portalPrefersDark)
        return true;
    if (colorScheme == portalPrefersLight)
        return false;
    return std::nullopt;
}

std::optional<bool> gtkThemePrefersDark(const QString& gtkTheme)
{
    const QString theme = gtkTheme.trimmed();
    if (theme.isEmpty())
        return std::nullopt;
    return themeNameIsDark(theme);
}

std::optional<bool> gtkSettingsPrefersDark(const QString& iniText)
{
    const IniSection settings = parseIni(iniText).value(QStringLiteral("Settings"));
    const std::optional<bool> preferDark =
        parseBool(settings.value(QStringLiteral("gtk-application-prefer-dark-theme")));
    if (preferDark == true)
        return true;
    const QString themeName = settings.value(QStringLiteral("gtk-theme-name"));
    if (!themeName.isEmpty())
        return themeNameIsDark(themeName);
    return preferDark;
}

std::optional<bool> kdeGlobalsPrefersDark(const QString& iniText)
{
    const QHash<QString, IniSection> sections = parseIni(iniText);
    const std::optional<bool> background = backgroundIsDark(
        sections.value(QStringLiteral("Colors:Window")).value(QStringLiteral("BackgroundNormal")));
    if (background)
        return background;
    const QString scheme = sections.value(QStringLiteral("General")).value(QStringLiteral("ColorScheme"));
    if (scheme.isEmpty())
        return std::nullopt;
    return scheme.contains(QStringLiteral("dark"), Qt::CaseInsensitive);
}

} // namespace Platform::DesktopThemeFiles
