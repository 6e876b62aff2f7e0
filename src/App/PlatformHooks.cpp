#include "App/PlatformHooks.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "Platform/UpdateFramework.h"
#include "UI/StandardUpdateUserDriver.h"
#include "Util/Localization.h"

void PlatformHooks::install()
{
    Localization::formatPlatformTexts();
    BrowserPageReader::installScriptCatalogue();
    Platform::updateFramework().makeStandardUserDriver = [](const Platform::Bundle&) {
        return std::make_unique<StandardUpdateUserDriver>();
    };
}
