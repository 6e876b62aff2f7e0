#include "UI/Bar/BarKeyCommand.h"

#include <QKeyEvent>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

namespace {

using Kind = BarKeyCommand::Kind;

constexpr quint32 x11Offset = 8;

struct Case {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    quint32 nativeScanCode;
    BarKeyCommand expected;
};

BarKeyBindings defaults()
{
    return {RivEVShortcut::commandMask, RivEVShortcut::shiftMask,
            RivEVShortcut{36, RivEVShortcut::commandMask}};
}

class BarKeyCommandTest : public testing::TestWithParam<Case> {};

TEST_P(BarKeyCommandTest, MapsKeysWithTheDefaultBindings)
{
    const Case& c = GetParam();
    const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.nativeScanCode, 0, 0);
    EXPECT_EQ(BarKeyCommand::of(event, defaults()), c.expected) << c.name;
}

const BarKeyCommand none{};
const BarKeyCommand plainPaste{Kind::paste, PasteFormat::plainText};

INSTANTIATE_TEST_SUITE_P(
    Keys, BarKeyCommandTest,
    testing::Values(
        Case{"left", Qt::Key_Left, Qt::NoModifier, 0, {Kind::selectPrevious}},
        Case{"right", Qt::Key_Right, Qt::NoModifier, 0, {Kind::selectNext}},
        Case{"shift-left stays with the field", Qt::Key_Left, Qt::ShiftModifier, 0, none},
        Case{"return", Qt::Key_Return, Qt::NoModifier, 0, {Kind::paste}},
        Case{"keypad enter", Qt::Key_Enter, Qt::KeypadModifier, 0, {Kind::paste}},
        Case{"shift-return is plain", Qt::Key_Return, Qt::ShiftModifier, 0, plainPaste},
        Case{"alt-return pastes as captured", Qt::Key_Return, Qt::AltModifier, 0, {Kind::paste}},
        Case{"ctrl-return asks", Qt::Key_Return, Qt::ControlModifier, 0, {Kind::askAI}},
        Case{
            "ctrl-enter asks too", Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, 0, {Kind::askAI}},
        Case{"ctrl-shift-return pastes plain", Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier, 0,
             plainPaste},
        Case{"escape", Qt::Key_Escape, Qt::NoModifier, 0, {Kind::hide}},
        Case{"ctrl-1", Qt::Key_1, Qt::ControlModifier, 0, {Kind::quickPaste, PasteFormat::asCaptured, 1}},
        Case{"ctrl-9", Qt::Key_9, Qt::ControlModifier, 0, {Kind::quickPaste, PasteFormat::asCaptured, 9}},
        Case{"ctrl-shift-3 by scan code",
             Qt::Key_NumberSign,
             Qt::ControlModifier | Qt::ShiftModifier,
             KEY_3 + x11Offset,
             {Kind::quickPaste, PasteFormat::plainText, 3}},
        Case{"ctrl and keypad 7",
             Qt::Key_7,
             Qt::ControlModifier | Qt::KeypadModifier,
             KEY_KP7 + x11Offset,
             {Kind::quickPaste, PasteFormat::asCaptured, 7}},
        Case{"ctrl and the 1 key of an AZERTY layout",
             Qt::Key_Ampersand,
             Qt::ControlModifier,
             KEY_1 + x11Offset,
             {Kind::quickPaste, PasteFormat::asCaptured, 1}},
        Case{"ctrl-0 is no card", Qt::Key_0, Qt::ControlModifier, 0, none},
        Case{"a digit alone is typing", Qt::Key_2, Qt::NoModifier, 0, none},
        Case{"alt-2 is not the quick-paste modifier", Qt::Key_2, Qt::AltModifier, 0, none},
        Case{"a letter is typing", Qt::Key_A, Qt::NoModifier, 0, none},
        Case{"delete", Qt::Key_Delete, Qt::NoModifier, 0, {Kind::deleteSelected}},
        Case{"alt-delete skips undo",
             Qt::Key_Delete,
             Qt::AltModifier,
             0,
             {Kind::deleteSelected, PasteFormat::asCaptured, 0, true}},
        Case{"ctrl-delete stays with the field", Qt::Key_Delete, Qt::ControlModifier, 0, none},
        Case{"ctrl-z undoes", Qt::Key_Z, Qt::ControlModifier, 0, {Kind::undoDelete}},
        Case{"tab", Qt::Key_Tab, Qt::NoModifier, 0, {Kind::nextSource}},
        Case{"shift-tab", Qt::Key_Backtab, Qt::ShiftModifier, 0, {Kind::previousSource}},
        Case{"ctrl-tab stays", Qt::Key_Tab, Qt::ControlModifier, 0, none}));

TEST(BarKeyCommand, FollowsChangedBindings)
{
    const BarKeyBindings bindings{RivEVShortcut::optionMask, RivEVShortcut::commandMask,
                                  RivEVShortcut{0, RivEVShortcut::optionMask | RivEVShortcut::shiftMask}};
    const auto command = [&](int key, Qt::KeyboardModifiers modifiers, quint32 scan = 0) {
        return BarKeyCommand::of(QKeyEvent(QEvent::KeyPress, key, modifiers, scan, 0, 0), bindings);
    };
    EXPECT_EQ(command(Qt::Key_A, Qt::AltModifier | Qt::ShiftModifier).kind, Kind::askAI);
    EXPECT_EQ(command(Qt::Key_A, Qt::AltModifier).kind, Kind::none);
    EXPECT_EQ(command(Qt::Key_Q, Qt::AltModifier | Qt::ShiftModifier, KEY_A + x11Offset).kind, Kind::askAI);
    EXPECT_EQ(command(Qt::Key_Return, Qt::ControlModifier),
              (BarKeyCommand{Kind::paste, PasteFormat::plainText}));
    EXPECT_EQ(command(Qt::Key_4, Qt::AltModifier),
              (BarKeyCommand{Kind::quickPaste, PasteFormat::asCaptured, 4}));
    EXPECT_EQ(command(Qt::Key_4, Qt::ControlModifier).kind, Kind::none);
}

TEST(BarKeyCommand, AnUnsetAskShortcutNeverMatches)
{
    BarKeyBindings bindings = defaults();
    bindings.askAI = RivEVShortcut{};
    const QKeyEvent event(QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier, 0, 0, 0);
    EXPECT_EQ(BarKeyCommand::of(event, bindings).kind, Kind::paste);
}

TEST(BarKeyCommand, VirtualKeyCodesComeFromTheKeyPlaceWhenKnown)
{
    const QKeyEvent qwerty(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, KEY_A + x11Offset, 0, 0);
    const QKeyEvent azerty(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, KEY_A + x11Offset, 0, 0);
    const QKeyEvent offscreen(QEvent::KeyPress, Qt::Key_V, Qt::NoModifier, 0, 0, 0);
    const QKeyEvent unknown(QEvent::KeyPress, Qt::Key_Launch0, Qt::NoModifier, 0, 0, 0);
    EXPECT_EQ(BarKeyCommand::virtualKeyCode(qwerty), 0);
    EXPECT_EQ(BarKeyCommand::virtualKeyCode(azerty), 0);
    EXPECT_EQ(BarKeyCommand::virtualKeyCode(offscreen), 9);
    EXPECT_EQ(BarKeyCommand::virtualKeyCode(unknown), std::nullopt);
}

} // namespace
