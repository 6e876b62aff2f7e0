#include "RoadDesktop.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>

#include <X11/keysym.h>

namespace {

constexpr int helperLifetimeMs = 120000;

void say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class PasteRoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.isOpen()) << "needs an X display";
        ASSERT_TRUE(startPasteTarget(target));

        ASSERT_TRUE(vellora.start());
    }

    // Brings the target's window to the front, as the user working in it has it.
    void focusTarget()
    {
        ASSERT_TRUE(desktop.bringToFront(target.process.processId())) << "the target never came to the front";
    }

    bool barShown() const { return desktop.hasViewableWindow(vellora.process.processId(), barMinimumWidth); }

    void pressHotKeyAndWaitForTheBar()
    {
        desktop.pressKeys({XK_Control_L, XK_Shift_L, XK_v});
        ASSERT_TRUE(QTest::qWaitFor([&] { return barShown(); }, roadTimeoutMs))
            << "the hot key did not show the bar";
    }

    QString waitForTargetText(const QString& suffix)
    {
        return target.waitForLine(QStringLiteral("text:"),
                                  [&](const QString& text) { return text.endsWith(suffix); });
    }

    RoadDesktop desktop;
    Child target;
    VelloraProcess vellora;
};

TEST_F(PasteRoadTest, copyHotKeyReturnPastesIntoAnotherProcessAndTheBarHides)
{
    const QString copied = QStringLiteral("Copied elsewhere ✓ 42");
    ASSERT_TRUE(vellora.copyElsewhere(copied));
    ASSERT_NO_FATAL_FAILURE(focusTarget());
    ASSERT_NO_FATAL_FAILURE(pressHotKeyAndWaitForTheBar());
    desktop.pressKeys({XK_Return});
    EXPECT_EQ(waitForTargetText(copied), copied);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !barShown(); }, roadTimeoutMs)) << "the bar stays up";

    ASSERT_NO_FATAL_FAILURE(pressHotKeyAndWaitForTheBar());
    vellora.process.terminate();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return vellora.process.state() == QProcess::NotRunning; }, roadTimeoutMs));
    EXPECT_EQ(vellora.process.exitStatus(), QProcess::NormalExit) << "quitting with the bar up";
    EXPECT_EQ(vellora.process.exitCode(), 0);
}

TEST_F(PasteRoadTest, aSearchTypedFirstPastesTheMatchingClip)
{
    ASSERT_TRUE(vellora.copyElsewhere(QStringLiteral("alpha one")));
    ASSERT_TRUE(vellora.copyElsewhere(QStringLiteral("bravo two")));
    ASSERT_NO_FATAL_FAILURE(focusTarget());
    ASSERT_NO_FATAL_FAILURE(pressHotKeyAndWaitForTheBar());
    for (const unsigned long key : {XK_a, XK_l, XK_p, XK_h, XK_a})
        desktop.pressKeys({key});
    QTest::qWait(300);
    desktop.pressKeys({XK_Return});
    EXPECT_EQ(waitForTargetText(QStringLiteral("one")), QStringLiteral("alpha one"))
        << "the newest clip would be \"bravo two\"";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !barShown(); }, roadTimeoutMs));
}

// Shift+Return pastes a copied web page's text alone: an image in it leaves nothing behind.
TEST_F(PasteRoadTest, shiftReturnPastesAnHtmlCopyWithAnImageAsItsTextAlone)
{
    ASSERT_TRUE(vellora.copyElsewhere(QStringLiteral("<p>Chart<img src=chart.png> below</p>"),
                                      QStringLiteral("text/html"), QStringLiteral("Chart")));
    ASSERT_NO_FATAL_FAILURE(focusTarget());
    ASSERT_NO_FATAL_FAILURE(pressHotKeyAndWaitForTheBar());
    desktop.pressKeys({XK_Shift_L, XK_Return});
    EXPECT_EQ(waitForTargetText(QStringLiteral("below")), QStringLiteral("Chart below"));
}

// Not a test: the text field of another process that the road pastes into. It reports its
// text after each change and "ready" once it has the keyboard focus.
TEST(PasteTarget, DISABLED_Run)
{
    if (qEnvironmentVariableIsEmpty("VELLORA_TEST_PASTE_TARGET"))
        GTEST_SKIP() << "started without the target role";
    QLineEdit field;
    field.setWindowTitle(QStringLiteral("Paste target"));
    field.resize(480, 40);
    QObject::connect(&field, &QLineEdit::textChanged,
                     [](const QString& text) { say(QStringLiteral("text:") + text); });
    QObject::connect(qApp, &QApplication::focusChanged, [&field] {
        if (field.hasFocus())
            say(QStringLiteral("ready"));
    });
    field.show();
    field.activateWindow();
    field.setFocus();
    QTimer::singleShot(helperLifetimeMs, qApp, &QCoreApplication::quit);
    QApplication::exec();
}

} // namespace
