#include "ui/App/AppControllerFixture.h"

#include <QWidget>

namespace {

// The application controller of a demo run, with its bar as a real window on the display.
class DemoBarHotKeyTest : public AppControllerTest {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs an X display";
        AppControllerTest::SetUp();
        LaunchOptions options;
        options.demo = true;
        controller->applicationDidFinishLaunching(options);
    }

    QWidget* barWindow() const { return controller->barController()->window(); }
};

// Guards the demo's own bar being closed by the first hot key the user presses: the bar
// they asked for vanished at once.
TEST_F(DemoBarHotKeyTest, theFirstHotKeyKeepsTheBarTheDemoShowedAndTheNextClosesIt)
{
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    ASSERT_TRUE(QTest::qWaitForWindowActive(barWindow()));

    pressHotKey();
    EXPECT_EQ(barPhase(), BarPhaseKind::shown) << "the first press keeps the bar";
    EXPECT_TRUE(QTest::qWaitForWindowActive(barWindow())) << "with the keyboard";

    pressHotKey();
    EXPECT_EQ(barPhase(), BarPhaseKind::hiding) << "the next press closes it";
    ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));
    pressHotKey();
    EXPECT_EQ(barPhase(), BarPhaseKind::showing) << "then presses toggle as always";
}

} // namespace
