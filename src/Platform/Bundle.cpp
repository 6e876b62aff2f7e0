#include "Platform/Bundle.h"

#include "Platform/linux/ResourceBundle.h"

#include <QFileInfo>

namespace Platform {

namespace {
Bundle* installedFake = nullptr;
} // namespace

QString Bundle::infoString(const QString& key) const
{
    const QJsonValue v = infoValue(key);
    return v.isString() ? v.toString() : QString();
}

QString Bundle::bundleIdentifier() const
{
    const QString identifier = infoString(QStringLiteral("CFBundleIdentifier"));
    return identifier.isEmpty() ? QString::fromLatin1(fallbackBundleIdentifier) : identifier;
}

QString Bundle::windowClass() const
{
    return infoString(QStringLiteral("CFBundleName"));
}

bool Bundle::isOwnApplication(const QString& identifier) const
{
    return !identifier.isEmpty() && (identifier == bundleIdentifier() || identifier == windowClass());
}

QString Bundle::appVersion() const
{
    const QJsonValue version = infoValue(QStringLiteral("CFBundleShortVersionString"));
    const QJsonValue build = infoValue(QStringLiteral("CFBundleVersion"));
    const QString shortVersion = version.isString() ? version.toString() : QStringLiteral("0.0");
    const QString buildNumber = build.isString() ? build.toString() : QStringLiteral("0");
    return QStringLiteral("%1 (%2)").arg(shortVersion, buildNumber);
}

QString Bundle::resourcePath(const QString& name, const QString& extension, const QString& subdirectory) const
{
    QString path = resourceRoot();
    if (!subdirectory.isEmpty())
        path += QLatin1Char('/') + subdirectory;
    path += QLatin1Char('/') + name;
    if (!extension.isEmpty())
        path += QLatin1Char('.') + extension;
    return QFileInfo::exists(path) ? path : QString();
}

Bundle& mainBundle()
{
    if (installedFake)
        return *installedFake;
    static ResourceBundle real;
    return real;
}

void setMainBundleForTesting(Bundle* fake)
{
    installedFake = fake;
}

} // namespace Platform
