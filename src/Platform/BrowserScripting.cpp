#include "Platform/BrowserScripting.h"

#include "Platform/LogCategories.h"
#include "Platform/linux/ChromiumSessionScripting.h"

#include <atomic>

namespace Platform {

namespace {
std::atomic<BrowserScripting*> installedFake = nullptr;
std::atomic<TabScriptCatalogue> installedCatalogue = nullptr;
} // namespace

void setTabScriptCatalogue(TabScriptCatalogue catalogue)
{
    installedCatalogue.store(catalogue);
}

std::optional<TabScriptRequest> knownTabScript(const QString& source)
{
    const TabScriptCatalogue catalogue = installedCatalogue.load();
    if (!catalogue) {
        qCWarning(logBrowserTabs) << "No tab-script catalogue is installed: the script is refused.";
        return std::nullopt;
    }
    return catalogue(source);
}

ScriptValue ScriptValue::text(const QString& text)
{
    ScriptValue value;
    value.text_ = text;
    return value;
}

ScriptValue ScriptValue::list(const QList<ScriptValue>& items)
{
    ScriptValue value;
    value.isList_ = true;
    value.items_ = items;
    return value;
}

std::optional<ScriptValue> ScriptValue::item(qsizetype oneBasedIndex) const
{
    if (!isList_ || oneBasedIndex < 1 || oneBasedIndex > items_.size())
        return std::nullopt;
    return items_.at(oneBasedIndex - 1);
}

std::optional<QString> ScriptValue::stringValue() const
{
    if (isList_)
        return std::nullopt;
    return text_;
}

BrowserScripting& browserScripting()
{
    if (BrowserScripting* fake = installedFake.load())
        return *fake;
    // Never destroyed: a browser read may still be running on its queue when the process exits.
    static auto* real = new ChromiumSessionScripting();
    return *real;
}

void setBrowserScriptingForTesting(BrowserScripting* fake)
{
    installedFake = fake;
}

} // namespace Platform
