#include "BrowserLinks/LinkBrowser.h"

#include <QSet>
#include <gtest/gtest.h>
#include <map>

namespace {

struct BrowserRow {
    LinkBrowser browser;
    const char* rawValue;
    const char* displayName;
    const char* bundleIdentifier;
};

constexpr BrowserRow browserRows[] = {
    {LinkBrowser::safari, "safari", "Safari", "com.apple.Safari"},
    {LinkBrowser::chrome, "chrome", "Chrome", "com.google.Chrome"},
    {LinkBrowser::edge, "edge", "Edge", "com.microsoft.edgemac"},
};

TEST(LinkBrowserTest, NamesOfEveryBrowser)
{
    for (const BrowserRow& row : browserRows) {
        EXPECT_EQ(LinkBrowsers::rawValue(row.browser), QLatin1String(row.rawValue));
        EXPECT_EQ(LinkBrowsers::displayName(row.browser), QLatin1String(row.displayName));
        EXPECT_EQ(LinkBrowsers::bundleIdentifier(row.browser), QLatin1String(row.bundleIdentifier));
        EXPECT_EQ(LinkBrowsers::fromRawValue(QLatin1String(row.rawValue)), row.browser);
    }
}

TEST(LinkBrowserTest, ListsSafariChromeEdgeInThatOrder)
{
    EXPECT_EQ(LinkBrowsers::allCases(),
              (QList<LinkBrowser>{LinkBrowser::safari, LinkBrowser::chrome, LinkBrowser::edge}));

    std::map<LinkBrowser, int> byBrowser{
        {LinkBrowser::edge, 3}, {LinkBrowser::safari, 1}, {LinkBrowser::chrome, 2}};
    QList<LinkBrowser> mapOrder;
    for (const auto& entry : byBrowser)
        mapOrder.append(entry.first);
    EXPECT_EQ(mapOrder, LinkBrowsers::allCases());
}

TEST(LinkBrowserTest, OtherRawValuesGiveNoBrowser)
{
    for (const char* raw : {"", "Safari", "CHROME", "edge ", "firefox", "com.google.Chrome"})
        EXPECT_EQ(LinkBrowsers::fromRawValue(QString::fromLatin1(raw)), std::nullopt) << raw;
}

TEST(LinkBrowserTest, KeysHashedSets)
{
    QSet<LinkBrowser> set;
    for (LinkBrowser browser : LinkBrowsers::allCases())
        set.insert(browser);
    set.insert(LinkBrowser::chrome);
    EXPECT_EQ(set.size(), 3);
    EXPECT_NE(qHash(LinkBrowser::safari, 0), qHash(LinkBrowser::chrome, 0));
}

} // namespace
