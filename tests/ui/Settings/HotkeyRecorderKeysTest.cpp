#include "HotkeyRecorderFixture.h"

#include "Util/KeyNames.h"
#include "Util/Localization.h"

#include <QLabel>
#include <QPushButton>
#include <functional>

namespace {

using namespace RecorderKeys;
using Target = HotkeyRecorderView::Target;

const RivEVShortcut activationDefault{9, 0x300};
const RivEVShortcut askAIDefault{36, 0x100};
const RivEVShortcut browserLinksDefault{37, 0x1900};

const QString usedByBrowserLinks =
    QStringLiteral("This shortcut is used by Browser Links. Choose another combination.");
const QString usedByAskAI = QStringLiteral("This shortcut is used by Ask AI. Choose another combination.");
const QString unavailable = QStringLiteral("Shortcut unavailable. Choose another combination.");
const QString needsCommand = QStringLiteral("Include Command or Control in the shortcut.");
const QString opensVellora = QStringLiteral("This shortcut opens Vellora. Choose another combination.");
const QString reserved =
    QStringLiteral("This shortcut is reserved for another action. Choose another combination.");
const QString unnamedKey = QStringLiteral("Choose a letter, function key, or Return.");

struct CandidateCase {
    const char* name;
    Target target;
    RecorderKey key;
    // Prepares the preferences and the desktop before recording starts.
    std::function<void(Settings&, FakeHotKeys&)> prepare;
    // Accepted: the value written. Rejected: none.
    std::optional<RivEVShortcut> written;
    // The rejection's message; none for an acceptance or a beep alone.
    std::optional<QString> message;
};

void nothing(Settings&, FakeHotKeys&) {}

RivEVShortcut edited(const Settings& settings, Target target)
{
    switch (target) {
    case Target::activation:
        return settings.activationShortcut();
    case Target::askAI:
        return settings.askAIShortcut();
    case Target::browserLinks:
        return settings.browserLinksShortcut();
    }
    return {};
}

const CandidateCase candidateCases[] = {
    // The clipboard hot key.
    {"activationCommandShiftK",
     Target::activation,
     {k, Qt::Key_K, command | shift},
     nothing,
     RivEVShortcut{k, 0x300},
     {}},
    {"activationOptionSpace",
     Target::activation,
     {space, Qt::Key_Space, option},
     nothing,
     RivEVShortcut{space, 0x800},
     {}},
    {"activationControlTab",
     Target::activation,
     {tab, Qt::Key_Tab, control},
     nothing,
     RivEVShortcut{tab, 0x1000},
     {}},
    {"activationCommandUnnamedKey",
     Target::activation,
     {leftBracket, Qt::Key_BracketLeft, command},
     nothing,
     RivEVShortcut{leftBracket, 0x100},
     {}},
    {"activationCommandF5",
     Target::activation,
     {f5, Qt::Key_F5, command},
     nothing,
     RivEVShortcut{f5, 0x100},
     {}},
    {"activationShiftVBeepsOnly", Target::activation, {v, Qt::Key_V, shift}, nothing, {}, {}},
    {"activationBareF5BeepsOnly", Target::activation, {f5, Qt::Key_F5, none}, nothing, {}, {}},
    {"activationShiftDeleteIsACandidate",
     Target::activation,
     {deleteKey, Qt::Key_Backspace, shift},
     nothing,
     {},
     {}},
    {"activationBrowserLinksDefault",
     Target::activation,
     {l, Qt::Key_L, command | option | control},
     nothing,
     {},
     usedByBrowserLinks},
    {"activationAskAIDefault",
     Target::activation,
     {returnKey, Qt::Key_Return, command},
     nothing,
     {},
     usedByAskAI},
    {"activationKeypadEnterCountsAsReturn",
     Target::activation,
     {keypadEnter, Qt::Key_Enter, command},
     nothing,
     {},
     usedByAskAI},
    {"activationRefusedByTheDesktop",
     Target::activation,
     {k, Qt::Key_K, command},
     [](Settings&, FakeHotKeys& keys) {
         keys.taken.insert({k, 0x100});
     },
     {},
     unavailable},
    // The Ask AI key.
    {"askAICommandK", Target::askAI, {k, Qt::Key_K, command}, nothing, RivEVShortcut{k, 0x100}, {}},
    {"askAIControlB", Target::askAI, {b, Qt::Key_B, control}, nothing, RivEVShortcut{b, 0x1000}, {}},
    {"askAIBrowserLinksDefault",
     Target::askAI,
     {l, Qt::Key_L, command | option | control},
     nothing,
     {},
     usedByBrowserLinks},
    {"askAIOptionAlone", Target::askAI, {k, Qt::Key_K, option}, nothing, {}, needsCommand},
    {"askAIBareF5", Target::askAI, {f5, Qt::Key_F5, none}, nothing, {}, needsCommand},
    {"askAIClipboardHotKey", Target::askAI, {v, Qt::Key_V, command | shift}, nothing, {}, opensVellora},
    {"askAIKeypadEnterAgainstCommandReturn",
     Target::askAI,
     {keypadEnter, Qt::Key_Enter, command},
     [](Settings& s, FakeHotKeys&) {
         s.setAskAIShortcut({k, 0x100});
         s.setActivationShortcut({returnKey, 0x100});
     },
     {},
     opensVellora},
    {"askAIControlTabIsReserved", Target::askAI, {tab, Qt::Key_Tab, control}, nothing, {}, reserved},
    {"askAICommandAIsReserved", Target::askAI, {a, Qt::Key_A, command}, nothing, {}, reserved},
    {"askAIUnnamedKey", Target::askAI, {leftBracket, Qt::Key_BracketLeft, command}, nothing, {}, unnamedKey},
    // The browser-links hot key.
    {"browserLinksCommandOptionB",
     Target::browserLinks,
     {b, Qt::Key_B, command | option},
     nothing,
     RivEVShortcut{b, 0x900},
     {}},
    {"browserLinksOptionAlone", Target::browserLinks, {b, Qt::Key_B, option}, nothing, {}, needsCommand},
    {"browserLinksClipboardHotKey",
     Target::browserLinks,
     {v, Qt::Key_V, command | shift},
     nothing,
     {},
     opensVellora},
    {"browserLinksAskAIShortcut",
     Target::browserLinks,
     {returnKey, Qt::Key_Return, command},
     nothing,
     {},
     unavailable},
    {"browserLinksRefusedByTheDesktop",
     Target::browserLinks,
     {b, Qt::Key_B, command},
     [](Settings&, FakeHotKeys& keys) {
         keys.taken.insert({b, 0x100});
     },
     {},
     unavailable},
};

class HotkeyRecorderCandidateTest : public HotkeyRecorderFixture,
                                    public ::testing::WithParamInterface<CandidateCase> {};

TEST_P(HotkeyRecorderCandidateTest, AcceptsOrRejectsWithItsMessage)
{
    const CandidateCase& c = GetParam();
    c.prepare(settings, hotKeys);
    const RivEVShortcut before = edited(settings, c.target);
    const RivEVShortcut activationBefore = settings.activationShortcut();
    startRecording(c.target);

    EXPECT_TRUE(press(c.key)) << "every candidate is consumed";

    if (c.written) {
        EXPECT_EQ(edited(settings, c.target), *c.written);
        EXPECT_FALSE(recorder->isRecording());
        EXPECT_EQ(recorder->message(), std::nullopt);
        EXPECT_EQ(sound.beeps, 0);
        EXPECT_EQ(recorder->displayedText(), KeyNames::describe(c.written->keyCode, c.written->modifiers));
        if (c.target != Target::askAI) {
            EXPECT_TRUE(
                hotKeys.registeredCombinations().contains({c.written->keyCode, c.written->modifiers}));
        }
        return;
    }
    EXPECT_EQ(edited(settings, c.target), before);
    EXPECT_EQ(settings.activationShortcut(), activationBefore);
    EXPECT_TRUE(recorder->isRecording()) << "recording goes on after a rejection";
    EXPECT_EQ(sound.beeps, 1);
    EXPECT_EQ(recorder->message(), c.message);
    EXPECT_EQ(recorder->messageLabel()->isVisibleTo(host.get()), c.message.has_value());
    if (c.message) {
        EXPECT_EQ(recorder->messageLabel()->text(), Localization::string(*c.message)); // as the user reads it
    }
    EXPECT_EQ(recorder->displayedText(), QStringLiteral("Press keys…"));
}

INSTANTIATE_TEST_SUITE_P(Candidates, HotkeyRecorderCandidateTest, ::testing::ValuesIn(candidateCases),
                         [](const ::testing::TestParamInfo<CandidateCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(HotkeyRecorderFixture, RefusedClipboardHotKeyKeepsThePreviousOneRegistered)
{
    hotKeys.taken.insert({k, 0x100});
    startRecording(Target::activation);
    press({k, Qt::Key_K, command});
    EXPECT_EQ(settings.activationShortcut(), activationDefault);
    // Released while recording, registered again when it ends.
    recorder->stop();
    EXPECT_EQ(center.clipboardHotKey().registeredShortcut(), activationDefault);
}

TEST_F(HotkeyRecorderFixture, RejectionThenAcceptanceInOneRecording)
{
    startRecording(Target::askAI);
    press({k, Qt::Key_K, option});
    ASSERT_EQ(recorder->message(), needsCommand);
    press({k, Qt::Key_K, command});
    EXPECT_EQ(settings.askAIShortcut(), (RivEVShortcut{k, 0x100}));
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recorder->message(), std::nullopt);
    EXPECT_FALSE(recorder->messageLabel()->isVisibleTo(host.get()));
}

TEST_F(HotkeyRecorderFixture, BeepOnlyRejectionLeavesTheEarlierMessage)
{
    startRecording(Target::activation);
    press({returnKey, Qt::Key_Return, command});
    ASSERT_EQ(recorder->message(), usedByAskAI);
    press({v, Qt::Key_V, shift});
    EXPECT_EQ(recorder->message(), usedByAskAI);
    EXPECT_EQ(sound.beeps, 2);
}

TEST_F(HotkeyRecorderFixture, NextStartOrStopRemovesTheMessage)
{
    startRecording(Target::askAI);
    press({k, Qt::Key_K, option});
    recorder->stop();
    EXPECT_EQ(recorder->message(), std::nullopt);
    recorder->start();
    press({k, Qt::Key_K, option});
    ASSERT_TRUE(recorder->message());
    recorder->stop();
    recorder->start();
    EXPECT_EQ(recorder->message(), std::nullopt);
}

struct EndingKeyCase {
    const char* name;
    RecorderKey key;
};

class HotkeyRecorderEscapeTest : public HotkeyRecorderFixture,
                                 public ::testing::WithParamInterface<EndingKeyCase> {};

TEST_P(HotkeyRecorderEscapeTest, EndsRecordingWithoutClosingTheWindowOrRecording)
{
    for (Target target : {Target::activation, Target::askAI, Target::browserLinks}) {
        const RivEVShortcut before = edited(settings, target);
        startRecording(target);
        EXPECT_TRUE(press(GetParam().key));
        EXPECT_FALSE(recorder->isRecording());
        EXPECT_EQ(edited(settings, target), before);
        EXPECT_TRUE(host->isVisible()) << "the dialog never saw the Escape";
    }
    EXPECT_EQ(sound.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, HotkeyRecorderEscapeTest,
                         ::testing::Values(EndingKeyCase{"escape", {escape, Qt::Key_Escape}},
                                           EndingKeyCase{"commandEscape", {escape, Qt::Key_Escape, command}},
                                           EndingKeyCase{"shiftOptionEscape",
                                                         {escape, Qt::Key_Escape, shift | option}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyRecorderFixture, EscapeTypedThroughTheKeyboardSimulator)
{
    startRecording(Target::activation);
    QTest::keyClick(recorder->recorderButton(), Qt::Key_Escape);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_TRUE(host->isVisible());
    EXPECT_EQ(settings.activationShortcut(), activationDefault);
}

TEST_F(HotkeyRecorderFixture, TypedCombinationIsRecorded)
{
    startRecording(Target::activation);
    QTest::keyClick(recorder->recorderButton(), Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(settings.activationShortcut(), (RivEVShortcut{b, 0x900}));
    EXPECT_EQ(settings.hotkeyKeyCode(), b);
    EXPECT_EQ(settings.hotkeyModifiers(), 0x900);
    EXPECT_FALSE(recorder->isRecording());
}

class HotkeyRecorderDeleteTest : public HotkeyRecorderFixture,
                                 public ::testing::WithParamInterface<EndingKeyCase> {};

TEST_P(HotkeyRecorderDeleteTest, DeleteAloneClearsEachTarget)
{
    for (Target target : {Target::activation, Target::askAI, Target::browserLinks}) {
        startRecording(target);
        EXPECT_TRUE(press(GetParam().key));
        EXPECT_FALSE(recorder->isRecording());
        EXPECT_EQ(edited(settings, target), (RivEVShortcut{-1, 0}));
        EXPECT_EQ(recorder->displayedText(), QStringLiteral("Not Set"));
        EXPECT_EQ(recorder->focusedControl(), HotkeyRecorderView::Control::recorder);
    }
    EXPECT_EQ(center.clipboardHotKey().registeredShortcut(), std::nullopt);
    EXPECT_EQ(center.browserLinksHotKey().registeredShortcut(), std::nullopt);
    EXPECT_TRUE(hotKeys.registeredCombinations().isEmpty());
    EXPECT_EQ(sound.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, HotkeyRecorderDeleteTest,
                         ::testing::Values(EndingKeyCase{"delete", {deleteKey, Qt::Key_Backspace}},
                                           EndingKeyCase{"forwardDelete", {forwardDelete, Qt::Key_Delete}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyRecorderFixture, CommandDeleteIsACandidateNotAClear)
{
    startRecording(Target::askAI);
    press({deleteKey, Qt::Key_Backspace, command});
    EXPECT_EQ(settings.askAIShortcut(), askAIDefault);
    EXPECT_EQ(recorder->message(), reserved);
    EXPECT_TRUE(recorder->isRecording());
}

class HotkeyRecorderTabTest : public HotkeyRecorderFixture,
                              public ::testing::WithParamInterface<EndingKeyCase> {};

TEST_P(HotkeyRecorderTabTest, TabEndsRecordingAndMovesFocusOn)
{
    startRecording(Target::askAI);
    const QWidget* before = QApplication::focusWidget();
    press(GetParam().key);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(settings.askAIShortcut(), askAIDefault);
    EXPECT_NE(QApplication::focusWidget(), before) << "the Tab went on to move focus";
    EXPECT_EQ(sound.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, HotkeyRecorderTabTest,
                         ::testing::Values(EndingKeyCase{"tab", {tab, Qt::Key_Tab}},
                                           EndingKeyCase{"shiftTab", {tab, Qt::Key_Backtab, shift}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyRecorderFixture, TabMovesFocusForwardAndShiftTabBackward)
{
    startRecording(Target::activation);
    QTest::keyClick(recorder->recorderButton(), Qt::Key_Tab);
    EXPECT_FALSE(recorder->isRecording());
    const QWidget* afterTab = QApplication::focusWidget();
    ASSERT_NE(afterTab, nullptr);
    EXPECT_NE(afterTab, recorder->recorderButton());

    recorder->start();
    press({tab, Qt::Key_Backtab, shift});
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_NE(QApplication::focusWidget(), recorder->recorderButton());
    EXPECT_NE(QApplication::focusWidget(), afterTab);
}

TEST_F(HotkeyRecorderFixture, AutoRepeatIsConsumedWithoutEffect)
{
    startRecording(Target::askAI);
    EXPECT_TRUE(press({k, Qt::Key_K, option}, nullptr, true));
    EXPECT_TRUE(press({k, Qt::Key_K, command}, nullptr, true));
    EXPECT_TRUE(recorder->isRecording());
    EXPECT_EQ(settings.askAIShortcut(), askAIDefault);
    EXPECT_EQ(recorder->message(), std::nullopt);
    EXPECT_EQ(sound.beeps, 0);
}

TEST_F(HotkeyRecorderFixture, ModifierKeysAloneAreNotCandidates)
{
    startRecording(Target::activation);
    for (Qt::Key key : {Qt::Key_Control, Qt::Key_Shift, Qt::Key_Alt, Qt::Key_Meta}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(recorder->recorderButton(), &event);
    }
    EXPECT_TRUE(recorder->isRecording());
    EXPECT_EQ(sound.beeps, 0);
    EXPECT_EQ(settings.activationShortcut(), activationDefault);
}

TEST_F(HotkeyRecorderFixture, KeyWithoutAStoredCodeBeeps)
{
    startRecording(Target::activation);
    QKeyEvent event(QEvent::KeyPress, Qt::Key_VolumeUp, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::sendEvent(recorder->recorderButton(), &event));
    EXPECT_TRUE(recorder->isRecording());
    EXPECT_EQ(sound.beeps, 1);
    EXPECT_EQ(settings.activationShortcut(), activationDefault);
}

TEST_F(HotkeyRecorderFixture, WindowShortcutsDoNotFireWhileRecording)
{
    auto* action = new QAction(host.get());
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    host->addAction(action);
    int fired = 0;
    QObject::connect(action, &QAction::triggered, [&fired] { ++fired; });

    startRecording(Target::askAI);
    QTest::keyClick(recorder->recorderButton(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(settings.askAIShortcut(), (RivEVShortcut{k, 0x100}));

    // Once recording ended the shortcut works again.
    QTest::keyClick(recorder->recorderButton(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(fired, 1);
}

TEST_F(HotkeyRecorderFixture, KeysOfAnotherWindowPassThrough)
{
    QWidget other;
    auto* otherEdit = new QLineEdit(&other);
    other.show();
    startRecording(Target::askAI);

    QTest::keyClick(otherEdit, Qt::Key_K, Qt::NoModifier);
    EXPECT_EQ(otherEdit->text(), QStringLiteral("k"));
    EXPECT_TRUE(recorder->isRecording());
    EXPECT_EQ(sound.beeps, 0);
    EXPECT_EQ(settings.askAIShortcut(), askAIDefault);
}

TEST_F(HotkeyRecorderFixture, WindowlessKeyCountsOnlyWhileTheRecordingWindowIsActive)
{
    QObject windowless;
    startRecording(Target::askAI);
    ASSERT_EQ(QApplication::activeWindow(), host.get());
    EXPECT_TRUE(press({k, Qt::Key_K, option}, &windowless));
    EXPECT_EQ(recorder->message(), needsCommand);

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    // Switching windows ended the recording and removed the filter.
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_FALSE(press({k, Qt::Key_K, command}, &windowless));
    EXPECT_EQ(settings.askAIShortcut(), askAIDefault);
}

TEST_F(HotkeyRecorderFixture, RecordingWindowResigningStopsAndClearsFocus)
{
    startRecording(Target::activation);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(host->focusWidget(), nullptr);
    EXPECT_EQ(recorder->focusedControl(), std::nullopt);
    EXPECT_FALSE(recorder->recorderButton()->isHighlighted());

    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    EXPECT_FALSE(recorder->isRecording()) << "coming back does not resume recording";
}

TEST_F(HotkeyRecorderFixture, ClosingOrHidingTheWindowStops)
{
    startRecording(Target::activation);
    host->close();
    EXPECT_FALSE(recorder->isRecording());

    host->show();
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    recorder->start();
    ASSERT_TRUE(recorder->isRecording());
    recorder->hide();
    EXPECT_FALSE(recorder->isRecording());
}

TEST_F(HotkeyRecorderFixture, StartDoesNothingWhileNotShown)
{
    recorder->hide();
    recorder->start();
    EXPECT_FALSE(recorder->isRecording());
    QTest::keyClick(lineEdit, Qt::Key_X);
    EXPECT_EQ(lineEdit->text(), QStringLiteral("x"));
}

// After recording ends, however it ends, keys reach the window's widgets again.
struct EndingCase {
    const char* name;
    std::function<void(HotkeyRecorderFixture&)> end;
};

class HotkeyRecorderMonitorTest : public HotkeyRecorderFixture,
                                  public ::testing::WithParamInterface<EndingCase> {
public:
    void pressEscape() { press({escape, Qt::Key_Escape}); }
    void pressCandidate() { press({k, Qt::Key_K, command | shift}); }
    void pressDelete() { press({deleteKey, Qt::Key_Backspace}); }
    void clickRecorder() { QTest::mouseClick(recorder->recorderButton(), Qt::LeftButton); }
    void useClear() { recorder->clear(); }
    void focusLineEdit() { lineEdit->setFocus(Qt::MouseFocusReason); }
    void useRestore()
    {
        settings.setAskAIShortcut({k, 0x100});
        recorder->restoreDefault();
    }
};

TEST_P(HotkeyRecorderMonitorTest, FilterIsRemovedWhenRecordingEnds)
{
    startRecording(Target::askAI);
    GetParam().end(*this);
    ASSERT_FALSE(recorder->isRecording());

    lineEdit->setFocus();
    QTest::keyClicks(lineEdit, QStringLiteral("ok"));
    EXPECT_EQ(lineEdit->text(), QStringLiteral("ok"));
    const int beeps = sound.beeps;
    press({k, Qt::Key_K, option}, lineEdit);
    EXPECT_EQ(sound.beeps, beeps);
    EXPECT_EQ(recorder->message(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, HotkeyRecorderMonitorTest,
    ::testing::Values(
        EndingCase{"escape", [](auto& f) { static_cast<HotkeyRecorderMonitorTest&>(f).pressEscape(); }},
        EndingCase{"accepted", [](auto& f) { static_cast<HotkeyRecorderMonitorTest&>(f).pressCandidate(); }},
        EndingCase{"delete", [](auto& f) { static_cast<HotkeyRecorderMonitorTest&>(f).pressDelete(); }},
        EndingCase{"recorderClickedAgain",
                   [](auto& f) { static_cast<HotkeyRecorderMonitorTest&>(f).clickRecorder(); }},
        EndingCase{"clear", [](auto& f) { static_cast<HotkeyRecorderMonitorTest&>(f).useClear(); }},
        EndingCase{"restoreDefault",
                   [](auto& f) { static_cast<HotkeyRecorderMonitorTest&>(f).useRestore(); }},
        EndingCase{"lineEditFocused",
                   [](auto& f) { static_cast<HotkeyRecorderMonitorTest&>(f).focusLineEdit(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyRecorderFixture, DestroyedWhileRecordingLeavesNoFilter)
{
    startRecording(Target::askAI);
    delete recorder;
    recorder = nullptr;
    lineEdit->setFocus();
    QTest::keyClicks(lineEdit, QStringLiteral("go"));
    EXPECT_EQ(lineEdit->text(), QStringLiteral("go"));
    EXPECT_EQ(sound.beeps, 0);
}

TEST_F(HotkeyRecorderFixture, ClickingTheRecorderTogglesRecordingWithoutChangingTheShortcut)
{
    recorder->setTarget(Target::askAI);
    QTest::mouseClick(recorder->recorderButton(), Qt::LeftButton);
    EXPECT_TRUE(recorder->isRecording());
    EXPECT_EQ(recorder->displayedText(), QStringLiteral("Press keys…"));
    EXPECT_EQ(recorder->recorderButton()->text(), QStringLiteral("Press keys…"));
    QTest::mouseClick(recorder->recorderButton(), Qt::LeftButton);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(settings.askAIShortcut(), askAIDefault);
    EXPECT_EQ(recorder->recorderButton()->text(), QStringLiteral("Ctrl+Return"));
}

} // namespace
