#include "fakes/FakeDefaults.h"

#include "Hotkey/HotKeyCenter.h"
#include "Platform/HotKeys.h"
#include "Settings/Settings.h"
#include "UI/Settings/HotkeyRecorderButton.h"
#include "UI/Settings/HotkeyRecorderView.h"
#include "Util/Localization.h"

#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

constexpr int waitMs = 5000;
// Long enough for a grabbed key's press to arrive and be handed to the main queue.
constexpr int settleMs = 300;
const char* const browserLinksKeys = "ctrl+alt+super+l";

bool type(const char* keys)
{
    QProcess xdotool;
    xdotool.start(QStandardPaths::findExecutable(QStringLiteral("xdotool")), {QStringLiteral("key"), keys});
    return xdotool.waitForStarted() &&
           QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, waitMs) &&
           xdotool.exitCode() == 0;
}

// Vellora's real hot keys on the X server, and a recorder in a window that the window manager
// gives the focus; keys come from another X client through XTest.
class RecorderHotKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty());
        Localization::shared().setLanguage(AppLanguage::english);
        center.browserLinksTrigger = [this] { ++browserLinksPresses; };
        center.connectSettings();
        center.start();
        auto* layout = new QVBoxLayout(&window);
        recorder = new HotkeyRecorderView(settings, &window);
        layout->addWidget(recorder);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    FakeDefaults defaults;
    Settings settings{defaults};
    HotKeyCenter center{Platform::hotKeys(), settings};
    QWidget window;
    HotkeyRecorderView* recorder = nullptr;
    int browserLinksPresses = 0;
};

TEST_F(RecorderHotKeys, BrowserLinksKeysWhileRecordingReachTheRecorderNotTheShelf)
{
    // The hot key works while nothing records.
    ASSERT_TRUE(type(browserLinksKeys));
    ASSERT_TRUE(QTest::qWaitFor([&] { return browserLinksPresses == 1; }, waitMs));

    QTest::mouseClick(recorder->recorderButton(), Qt::LeftButton);
    ASSERT_TRUE(recorder->isRecording());
    ASSERT_TRUE(type(browserLinksKeys));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder->message().has_value(); }, waitMs));
    QTest::qWait(settleMs);

    EXPECT_EQ(browserLinksPresses, 1) << "the shelf's hot key fired while recording";
    EXPECT_TRUE(recorder->isRecording());
    EXPECT_EQ(recorder->messageLabel()->text(),
              QStringLiteral("This shortcut is used by Browser Links. Choose another combination."));

    // Recording ends with Escape, and the hot key works again.
    ASSERT_TRUE(type("Escape"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder->isRecording(); }, waitMs));
    ASSERT_TRUE(type(browserLinksKeys));
    EXPECT_TRUE(QTest::qWaitFor([&] { return browserLinksPresses == 2; }, waitMs));
}

} // namespace
