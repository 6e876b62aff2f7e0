#include "fakes/FakeDefaults.h"

#include "BrowserLinks/BrowserPageReader.h"
#include "Platform/Defaults.h"
#include "UI/LanguageFont.h"
#include "Util/Localization.h"

#include <QApplication>
#include <gtest/gtest.h>

// Every test executable runs inside a QApplication with an in-memory preferences store,
// so that no test reads or writes the user's preferences, and with the browser scripts known to
// the platform and the language's font as the program installs them at start-up.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    FakeDefaults defaults;
    Platform::setDefaultsForTesting(&defaults);
    BrowserPageReader::installScriptCatalogue();
    const LanguageFont languageFont(Localization::shared());
    const int result = RUN_ALL_TESTS();
    Platform::setDefaultsForTesting(nullptr);
    return result;
}
