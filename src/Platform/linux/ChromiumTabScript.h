#pragma once

#include "Platform/BrowserScripting.h"

#include <QString>
#include <memory>

namespace Platform {

// The tab-reading script that the page reader generates, recognised by its exact text through
// knownTabScript(): the only script the session-file service knows how to carry out.
class ChromiumTabScript final : public BrowserScript {
public:
    QString bundleID;
    int timeoutSeconds = 0;
    // Whether the script passes over incognito windows or visits every window.
    bool skipsIncognito = false;
    // "title" or "name": the tab property the script reads as its title.
    QString titleProperty;

    // The script's parameters, or null when the text is not one the page reader wrote.
    static std::unique_ptr<ChromiumTabScript> recognise(const QString& source);
};

} // namespace Platform
