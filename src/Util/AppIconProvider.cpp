#include "Util/AppIconProvider.h"

#include "Platform/Workspace.h"

#include <QHash>

namespace AppIconProvider {

namespace {

// Loaded as a file so that the core library needs no drawing code of the views; the SVG
// icon engine renders it at any size.
const QString genericIconPath = QStringLiteral(":/Vellora_Vellora.bundle/symbols/app.svg");

struct Entry {
    QIcon icon;
    bool installed = false;
};

QHash<QString, Entry>& cache()
{
    static QHash<QString, Entry> entries;
    return entries;
}

Entry lookUp(const QString& bundleID)
{
    if (bundleID.isEmpty())
        return {QIcon(genericIconPath), false};
    Platform::Workspace& workspace = Platform::workspace();
    QIcon icon = workspace.icon(bundleID);
    return {icon.isNull() ? QIcon(genericIconPath) : icon, workspace.applicationInfo(bundleID).installed};
}

const Entry& entry(const std::optional<QString>& bundleID)
{
    const QString key = bundleID.value_or(QString()).trimmed();
    auto found = cache().find(key);
    if (found == cache().end())
        found = cache().insert(key, lookUp(key));
    return *found;
}

} // namespace

QIcon icon(const std::optional<QString>& bundleID)
{
    return entry(bundleID).icon;
}

bool isInstalled(const std::optional<QString>& bundleID)
{
    return entry(bundleID).installed;
}

void clearCache()
{
    cache().clear();
}

} // namespace AppIconProvider
