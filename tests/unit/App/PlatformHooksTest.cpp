#include "App/PlatformHooks.h"

#include "../BrowserLinks/ExpectedScripts.h"
#include "Platform/BrowserScripting.h"
#include "Platform/UpdateFramework.h"
#include "Platform/UserText.h"

#include <gtest/gtest.h>

namespace {

// A start-up that left a hook out would refuse every browser read, or make no update windows,
// until something happened to install it.
TEST(PlatformHooks, StartUpInstallsTheBrowserScriptsAndTheUpdateWindowsBeforeFirstUse)
{
    Platform::setTabScriptCatalogue(nullptr);
    Platform::UpdateFramework& updates = Platform::updateFramework();
    const auto driverFactory = std::exchange(updates.makeStandardUserDriver, {});
    ASSERT_FALSE(Platform::knownTabScript(QString::fromUtf16(expectedChromeScript)));

    PlatformHooks::install();

    const std::optional<Platform::TabScriptRequest> chrome =
        Platform::knownTabScript(QString::fromUtf16(expectedChromeScript));
    ASSERT_TRUE(chrome);
    EXPECT_EQ(chrome->bundleID, QStringLiteral("com.google.Chrome"));
    EXPECT_TRUE(updates.makeStandardUserDriver);
    Platform::setUserTextFormatter(nullptr);
    updates.makeStandardUserDriver = driverFactory;
}

} // namespace
