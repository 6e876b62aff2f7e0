#include "BrowserLinks/LinkBrowser.h"

namespace LinkBrowsers {

const QList<LinkBrowser>& allCases()
{
    static const QList<LinkBrowser> cases{LinkBrowser::safari, LinkBrowser::chrome, LinkBrowser::edge};
    return cases;
}

QString rawValue(LinkBrowser browser)
{
    switch (browser) {
    case LinkBrowser::safari:
        return QStringLiteral("safari");
    case LinkBrowser::chrome:
        return QStringLiteral("chrome");
    case LinkBrowser::edge:
        return QStringLiteral("edge");
    }
    return {};
}

std::optional<LinkBrowser> fromRawValue(const QString& raw)
{
    for (LinkBrowser browser : allCases()) {
        if (rawValue(browser) == raw)
            return browser;
    }
    return std::nullopt;
}

QString displayName(LinkBrowser browser)
{
    const QString raw = rawValue(browser);
    return raw.left(1).toUpper() + raw.mid(1);
}

QString bundleIdentifier(LinkBrowser browser)
{
    switch (browser) {
    case LinkBrowser::safari:
        return QStringLiteral("com.apple.Safari");
    case LinkBrowser::chrome:
        return QStringLiteral("com.google.Chrome");
    case LinkBrowser::edge:
        return QStringLiteral("com.microsoft.edgemac");
    }
    return {};
}

} // namespace LinkBrowsers
