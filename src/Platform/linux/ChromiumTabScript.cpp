#include "Platform/linux/ChromiumTabScript.h"

namespace Platform {

std::unique_ptr<ChromiumTabScript> ChromiumTabScript::recognise(const QString& source)
{
    const std::optional<TabScriptRequest> request = knownTabScript(source);
    if (!request)
        return nullptr;
    auto script = std::make_unique<ChromiumTabScript>();
    script->bundleID = request->bundleID;
    script->timeoutSeconds = request->timeoutSeconds;
    script->skipsIncognito = request->skipsIncognito;
    script->titleProperty = request->titleProperty;
    return script;
}

} // namespace Platform
