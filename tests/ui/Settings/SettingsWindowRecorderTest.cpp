#include "SettingsWindowFixture.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeHotKeys.h"
#include "fakes/FakeSystemSound.h"

#include "Hotkey/HotKeyCenter.h"
#include "Platform/SystemSound.h"
#include "Platform/linux/EvdevKeyMap.h"
#include "Settings/Settings.h"
#include "UI/Settings/HotkeyRecorderView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QVBoxLayout>

namespace {

const QString reserved =
    QStringLiteral("This shortcut is reserved for another action. Choose another combination.");

struct WindowKeyCase {
    const char* name;
    int keyCode;
    Qt::Key qtKey;
    Qt::KeyboardModifiers modifiers;
    bool stillRecording;
    std::optional<QString> message;
    int beeps;
};

// The Ask AI recorder on a page of the real settings window: while it records, the window's
// own keys (pane stepping, Escape) are the recorder's.
class SettingsWindowRecorderTest : public ::testing::TestWithParam<WindowKeyCase> {
protected:
    void SetUp() override
    {
        Platform::setSystemSoundForTesting(&sound);
        center.connectSettings();
        center.start();
        controller = std::make_unique<SettingsWindowController>(
            navigation,
            [this](SettingsTab) {
                auto* page = new QWidget;
                recorder = new HotkeyRecorderView(settings, page);
                recorder->setTarget(HotkeyRecorderView::Target::askAI);
                (new QVBoxLayout(page))->addWidget(recorder);
                return page;
            },
            [this] { ++closes; });
        controller->present(SettingsTab::general);
        controller->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    }

    void TearDown() override
    {
        controller.reset();
        Platform::setSystemSoundForTesting(nullptr);
    }

    // A key press as the X server delivers it, to the focus widget.
    void press(int keyCode, Qt::Key qtKey, Qt::KeyboardModifiers modifiers)
    {
        const std::optional<quint8> x11 = Platform::EvdevKeyMap::x11KeyCode(keyCode);
        QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, x11.value_or(0), 0, 0);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    }

    FakeDefaults defaults;
    Settings settings{defaults};
    FakeHotKeys hotKeys;
    HotKeyCenter center{hotKeys, settings};
    FakeSystemSound sound;
    SettingsNavigation navigation;
    HotkeyRecorderView* recorder = nullptr;
    int closes = 0;
    std::unique_ptr<SettingsWindowController> controller;
};

TEST_P(SettingsWindowRecorderTest, WindowKeysGoToTheRecorderWhileItRecords)
{
    const WindowKeyCase& c = GetParam();
    const RivEVShortcut before = settings.askAIShortcut();
    recorder->start();
    ASSERT_TRUE(recorder->isRecording());

    press(c.keyCode, c.qtKey, c.modifiers);

    EXPECT_EQ(navigation.tab(), SettingsTab::general) << "the pane does not step";
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(recorder->isRecording(), c.stillRecording);
    EXPECT_EQ(recorder->message(), c.message);
    EXPECT_EQ(sound.beeps, c.beeps);
    EXPECT_EQ(settings.askAIShortcut(), before);

    // Once recording has ended, Escape is the window's again.
    recorder->stop();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(closes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SettingsWindowRecorderTest,
    ::testing::Values(WindowKeyCase{"ctrlTab", 48, Qt::Key_Tab, Qt::ControlModifier, true, reserved, 1},
                      WindowKeyCase{"ctrlShiftTab", 48, Qt::Key_Backtab,
                                    Qt::ControlModifier | Qt::ShiftModifier, true, reserved, 1},
                      WindowKeyCase{"escape", 53, Qt::Key_Escape, Qt::NoModifier, false, std::nullopt, 0},
                      WindowKeyCase{"ctrlEscape", 53, Qt::Key_Escape, Qt::ControlModifier, false,
                                    std::nullopt, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
