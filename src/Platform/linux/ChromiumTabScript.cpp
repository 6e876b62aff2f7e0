#include "Platform/linux/ChromiumTabScript.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "BrowserLinks/LinkBrowser.h"

namespace Platform {

std::unique_ptr<ChromiumTabScript> ChromiumTabScript::recognise(const QString& source)
{
    for (const LinkBrowser browser : LinkBrowsers::allCases()) {
        if (source != BrowserPageReader::source(browser))
            continue;
        const BrowserPageReader::ScriptParameters parameters = BrowserPageReader::scriptParameters(browser);
        auto script = std::make_unique<ChromiumTabScript>();
        script->bundleID = parameters.bundleID;
        script->timeoutSeconds = BrowserPageReader::scriptTimeoutSeconds;
        script->skipsIncognito = parameters.windowCondition != QLatin1String("true");
        script->titleProperty = parameters.titleProperty;
        return script;
    }
    return nullptr;
}

} // namespace Platform
