#pragma once

#include "BrowserLinks/BrowserPageResult.h"
#include "BrowserLinks/LinkBrowser.h"

#include <QString>

// Reads the web pages open in one browser through Platform::browserScripting(). Stateless.
class BrowserPageReader {
public:
    BrowserPageReader() = delete;

    // Blocks while the browser answers: call it only off the main thread. Never throws; every
    // failure comes back inside the result.
    static BrowserPageResult read(LinkBrowser browser);
    // The automation status for scripting the browser: 0 when allowed, -600 when it does not
    // run, otherwise the platform's status. Asks the user only when ask is true.
    static qint32 permission(LinkBrowser browser, bool ask);
    // What the tab-listing script of a browser is made of.
    struct ScriptParameters {
        QString bundleID;
        // Which windows the script visits: "true", or only those whose mode is not incognito.
        QString windowCondition;
        // The tab property read as its title: "name" or "title".
        QString titleProperty;
    };
    static constexpr int scriptTimeoutSeconds = 8;
    static ScriptParameters scriptParameters(LinkBrowser browser);
    // The script that lists the browser's tabs.
    static QString source(LinkBrowser browser);
    // Tells the platform's scripting service which texts source() writes and what each asks:
    // a service that can't run scripts (Linux reads the browsers' session files) carries out
    // only these. Installed at start-up; until then every text fails to compile.
    static void installScriptCatalogue();
    // The English text of a result's message, for looking it up in the user's language: the
    // reader keeps two of its own messages in Chinese; any other message is returned as it is.
    static QString englishMessage(const QString& message);
};
