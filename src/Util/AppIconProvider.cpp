#include "Util/AppIconProvider.h"

#include "Platform/Workspace.h"

#include <QHash>

namespace AppIconProvider {

namespace {

// Loaded as a file so that the core library needs no drawing code of the views; the SVG
// icon engine renders it at any size.
const QString genericIconPath = QStringLiteral(":/Vellora_Vellora.bundle/symbols/app.dashed.svg");

QHash<QString, QIcon>& cache()
{
    static QHash<QString, QIcon> icons;
    return icons;
}

QIcon lookUp(const QString& bundleID)
{
    if (!bundleID.isEmpty()) {
        QIcon icon = Platform::workspace().icon(bundleID);
        if (!icon.isNull())
            return icon;
    }
    return QIcon(genericIconPath);
}

} // namespace

QIcon icon(const std::optional<QString>& bundleID)
{
    const QString key = bundleID.value_or(QString()).trimmed();
    const auto found = cache().constFind(key);
    if (found != cache().constEnd())
        return *found;
    const QIcon result = lookUp(key);
    cache().insert(key, result);
    return result;
}

void clearCache()
{
    cache().clear();
}

} // namespace AppIconProvider
