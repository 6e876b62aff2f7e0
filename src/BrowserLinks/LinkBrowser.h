#pragma once

#include <QHashFunctions>
#include <QList>
#include <QString>
#include <optional>

// A browser whose open tabs can be read, stored by its raw value. The order of the cases is
// the order in which browsers are read and listed (also as a std::map key).
enum class LinkBrowser { safari, chrome, edge };

inline size_t qHash(LinkBrowser browser, size_t seed = 0) noexcept
{
    return qHash(static_cast<int>(browser), seed);
}

namespace LinkBrowsers {
// All cases in order: safari, chrome, edge.
const QList<LinkBrowser>& allCases();
// "safari", "chrome", "edge"; also the browser's identifier.
QString rawValue(LinkBrowser browser);
std::optional<LinkBrowser> fromRawValue(const QString& raw);
// "Safari", "Chrome", "Edge": the raw value with its first letter in capitals.
QString displayName(LinkBrowser browser);
// The application identifier to look for among running applications and to script.
QString bundleIdentifier(LinkBrowser browser);
} // namespace LinkBrowsers
