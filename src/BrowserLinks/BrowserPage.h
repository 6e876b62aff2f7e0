#pragma once

#include "BrowserLinks/LinkBrowser.h"

#include <QString>

// One open tab of a browser.
struct BrowserPage {
    // The browser's raw value, the 1-based window index and the 1-based tab index joined by
    // ":" (e.g. "chrome:2:3"). Positional: it may name another tab after the next read.
    QString id;
    LinkBrowser browser = LinkBrowser::safari;
    // Empty when the browser gave none.
    QString title;
    // Exactly as the browser reported it.
    QString url;

    bool operator==(const BrowserPage&) const = default;

    // Whether a text is an address that may be listed and pasted: an http or https URL
    // reference (scheme in any case) with a non-empty host.
    static bool isWebURL(const QString& text);

    // Whether every whitespace-separated term of the query is found, case- and
    // diacritic-insensitively, in the title, the address or the browser's display name.
    // A query without terms matches every page.
    bool matches(const QString& query) const;
};
