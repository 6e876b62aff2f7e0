#pragma once

#include <QIcon>
#include <QString>
#include <optional>

// Icons of installed applications by identifier (a desktop-entry id on Linux).
namespace AppIconProvider {
// The application's icon, or the generic "app" symbol when the identifier is absent or names
// no installed application. Cached per identifier; never fails.
QIcon icon(const std::optional<QString>& bundleID);
// Whether the identifier names an installed application (a desktop entry), not merely a
// window class or a program. Cached like the icon.
bool isInstalled(const std::optional<QString>& bundleID);
void clearCache();
} // namespace AppIconProvider
