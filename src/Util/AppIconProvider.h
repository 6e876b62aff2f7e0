#pragma once

#include <QIcon>
#include <QString>
#include <optional>

// Icons of installed applications by identifier (a desktop-entry id on Linux).
namespace AppIconProvider {
// The application's icon, or the generic "app.dashed" symbol when the identifier is
// absent or names no installed application. Cached per identifier; never fails.
QIcon icon(const std::optional<QString>& bundleID);
void clearCache();
} // namespace AppIconProvider
