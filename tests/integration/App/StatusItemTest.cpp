#include "AppController.h"
#include "TrayHost.h"
#include "VelloraRun.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <X11/keysym.h>

namespace {

constexpr int dockTimeoutMs = 15000;
constexpr int popupTimeoutMs = 2000;
constexpr int menuAttempts = 5;

TEST(LaunchOptions, readsTheCommandLine)
{
    using Options = LaunchOptions;
    const struct {
        QStringList arguments;
        Options expected;
    } cases[] = {
        {{"vellora"}, {}},
        {{"vellora", "--demo"}, {true, std::nullopt, false}},
        {{"vellora", "--appearance", "dark"}, {false, AppearanceMode::dark, false}},
        {{"vellora", "--appearance", "light"}, {false, AppearanceMode::light, false}},
        {{"vellora", "--appearance", "system"}, {false, AppearanceMode::system, false}},
        {{"vellora", "--appearance", "Dark"}, {}},
        {{"vellora", "--appearance", "sepia", "--demo"}, {true, std::nullopt, false}},
        {{"vellora", "--appearance"}, {}},
        {{"vellora", "--appearance", "--demo"}, {}}, // "--demo" is the (unknown) appearance here
        {{"vellora", "--demo", "--demo-paste-to-textedit", "--appearance", "light"},
         {true, AppearanceMode::light, true}},
        {{"vellora", "--unknown", "dark", "-demo"}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Options::parse(c.arguments), c.expected) << c.arguments.join(' ').toStdString();
}

TEST(StatusItem, appearsInTheTrayAndQuitVelloraEndsTheApplication)
{
    TrayHost tray;
    ASSERT_TRUE(tray.isRunning()) << "another tray owns the selection";
    VelloraRun vellora;
    vellora.start({});
    const quint64 icon = tray.waitForDock(dockTimeoutMs);
    ASSERT_NE(icon, 0u) << "no status item docked";
    EXPECT_EQ(tray.processOf(icon), vellora.process.processId());

    // The menu opens on a right click; the first clicks may come before the icon is ready.
    bool menuShown = false;
    for (int attempt = 0; attempt < menuAttempts && !menuShown; ++attempt) {
        tray.click(tray.centreOf(icon), 3);
        menuShown = waitFor([&] { return tray.popupShownBy(vellora.process.processId()); }, popupTimeoutMs);
    }
    ASSERT_TRUE(menuShown) << "the status menu did not open";
    // "Quit Vellora" is the menu's last item: Up from no selection reaches it.
    tray.pressKey(XK_Up);
    tray.pressKey(XK_Return);

    EXPECT_EQ(vellora.waitForExit(), 0);
    EXPECT_TRUE(vellora.process.readAllStandardOutput().isEmpty()) << "Vellora prints nothing by default";
    EXPECT_EQ(vellora.preferences().value("onboarded"), QJsonValue(true));
}

TEST(Launch, aTerminationSignalQuitsNormally)
{
    TrayHost tray;
    ASSERT_TRUE(tray.isRunning());
    VelloraRun vellora;
    vellora.start({});
    ASSERT_NE(tray.waitForDock(dockTimeoutMs), 0u) << "the event loop runs once the status item shows";
    vellora.process.terminate();
    EXPECT_EQ(vellora.waitForExit(), 0);
}

TEST(StatusItem, isNotCreatedWhenThePreferenceHidesIt)
{
    TrayHost tray;
    ASSERT_TRUE(tray.isRunning());
    VelloraRun vellora;
    vellora.writePreferences({{"showMenuBarIcon", false}});
    vellora.start({}, true);
    ASSERT_EQ(vellora.waitForExit(), 0);
    EXPECT_TRUE(vellora.process.readAllStandardOutput().contains("status_item_visible=0"));
    tray.processEvents();
    EXPECT_TRUE(tray.dockedIcons().isEmpty());
    EXPECT_EQ(vellora.preferences().value("onboarded"), QJsonValue(true));
}

TEST(Launch, reportsStartupWhenAskedAndQuits)
{
    TrayHost tray;
    ASSERT_TRUE(tray.isRunning());
    VelloraRun vellora;
    vellora.start({}, true);
    ASSERT_EQ(vellora.waitForExit(), 0);
    const QByteArray report = vellora.process.readAllStandardOutput();
    EXPECT_TRUE(report.startsWith("startup_ms_since_main=")) << report.toStdString();
    EXPECT_TRUE(report.contains("status_item_visible=1")) << report.toStdString();
}

TEST(Launch, appearanceOnTheCommandLineIsForThisRunOnly)
{
    for (const char* value : {"dark", "light", "purple"}) {
        VelloraRun vellora;
        vellora.start({"--appearance", value}, true);
        ASSERT_EQ(vellora.waitForExit(), 0) << value;
        EXPECT_FALSE(vellora.preferences().contains("dorvaneAppearance")) << value;
    }
}

TEST(Launch, demoLeavesTheUsersDataDirectoryAlone)
{
    VelloraRun vellora;
    vellora.start({"--demo", "--demo-paste-to-textedit"}, true);
    ASSERT_EQ(vellora.waitForExit(), 0);
    EXPECT_FALSE(QFileInfo::exists(vellora.dataPath("Dorvane")));
}

} // namespace
