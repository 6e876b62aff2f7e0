#include "Util/RivEVShortcut.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

constexpr int command = 0x100;
constexpr int shift = 0x200;
constexpr int option = 0x800;
constexpr int control = 0x1000;

const QString needsCommand = "Include Command or Control in the shortcut.";
const QString opensVellora = "This shortcut opens Vellora. Choose another combination.";
const QString reserved = "This shortcut is reserved for another action. Choose another combination.";
const QString unknownKey = "Choose a letter, function key, or Return.";

TEST(RivEVShortcutTest, JsonRoundTripUsesTheStoredFieldNames)
{
    const RivEVShortcut shortcut{37, 6400};
    EXPECT_EQ(QJsonDocument(shortcut.toJson()).toJson(QJsonDocument::Compact),
              R"({"keyCode":37,"modifiers":6400})");
    EXPECT_EQ(RivEVShortcut::fromJson(shortcut.toJson()), shortcut);
    EXPECT_EQ(RivEVShortcut::fromJson(RivEVShortcut{-1, 0}.toJson()), RivEVShortcut({-1, 0}));
}

TEST(RivEVShortcutTest, FromJsonNeedsTwoWholeNumbers)
{
    const char* const cases[] = {
        R"({})",
        R"({"keyCode":9})",
        R"({"modifiers":256})",
        R"({"keyCode":"9","modifiers":256})",
        R"({"keyCode":9,"modifiers":null})",
        R"({"keyCode":9.5,"modifiers":256})",
        R"({"keyCode":9,"modifiers":4294967552})",
        R"({"keyCode":true,"modifiers":256})",
    };
    for (const char* json : cases)
        EXPECT_EQ(RivEVShortcut::fromJson(QJsonDocument::fromJson(json).object()), std::nullopt) << json;
    EXPECT_EQ(
        RivEVShortcut::fromJson(QJsonDocument::fromJson(R"({"keyCode":9.0,"modifiers":256,"x":1})").object()),
        RivEVShortcut({9, 256}));
}

TEST(RivEVShortcutTest, EqualityAndEnterKinds)
{
    struct Case {
        RivEVShortcut a;
        RivEVShortcut b;
        bool equal;
        bool matches;
    };
    const Case cases[] = {
        {{36, command}, {36, command}, true, true},  {{36, command}, {76, command}, false, true},
        {{76, command}, {36, command}, false, true}, {{76, command}, {76, command}, true, true},
        {{36, command}, {76, shift}, false, false},  {{36, command}, {37, command}, false, false},
        {{9, 768}, {9, 256}, false, false},          {{-1, 0}, {-1, 0}, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.a.keyCode << "/" << c.b.keyCode;
        EXPECT_EQ(c.a.matchesIgnoringEnterKind(c.b), c.matches) << c.a.keyCode << "/" << c.b.keyCode;
    }
}

TEST(RivEVShortcutTest, CarbonModifiersFromQtModifiers)
{
    const std::pair<Qt::KeyboardModifiers, int> cases[] = {
        {Qt::NoModifier, 0},
        {Qt::ControlModifier, command},
        {Qt::MetaModifier, control},
        {Qt::AltModifier, option},
        {Qt::ShiftModifier, shift},
        {Qt::KeypadModifier, 0},
        {Qt::GroupSwitchModifier, 0},
        {Qt::ControlModifier | Qt::ShiftModifier, command | shift},
        {Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier, 6400},
        {Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier | Qt::KeypadModifier,
         command | shift | option | control},
    };
    for (const auto& [modifiers, mask] : cases)
        EXPECT_EQ(RivEVShortcut::carbonModifiers(modifiers), mask) << modifiers.toInt();
}

struct ValidationCase {
    const char* name;
    RivEVShortcut candidate;
    RivEVShortcut activation;
    std::optional<QString> message;
};

TEST(RivEVShortcutTest, ValidationRulesInOrder)
{
    const RivEVShortcut clipboard{9, command | shift};
    const ValidationCase cases[] = {
        {"not set", {-1, 0}, clipboard, std::nullopt},
        {"not set, even without modifiers", {-1, shift}, clipboard, std::nullopt},
        {"no modifiers", {11, 0}, clipboard, needsCommand},
        {"Option and Shift only", {11, option | shift}, clipboard, needsCommand},
        {"needs Command before opens Vellora", {9, shift}, {9, shift}, needsCommand},
        {"Control alone is enough", {11, control}, clipboard, std::nullopt},
        {"Command and Control", {0, command | control}, clipboard, std::nullopt},
        {"the clipboard hot key", {9, command | shift}, clipboard, opensVellora},
        {"keypad Enter against Return", {76, command}, {36, command}, opensVellora},
        {"Return against keypad Enter", {36, command}, {76, command}, opensVellora},
        {"opens Vellora before reserved", {18, command}, {18, command}, opensVellora},
        {"cleared clipboard hot key never matches",
         {9, command | shift},
         {-1, command | shift},
         std::nullopt},
        {"same key, other modifiers", {9, command | option}, clipboard, std::nullopt},
        {"digit 1", {18, control | option}, clipboard, reserved},
        {"digit 9", {25, command | shift}, clipboard, reserved},
        {"digit 0 is free", {29, command}, clipboard, std::nullopt},
        {"keypad 1", {83, command}, clipboard, reserved},
        {"keypad 9", {92, control}, clipboard, reserved},
        {"keypad 0 is not reserved but has no name", {82, command}, clipboard, unknownKey},
        {"Escape", {53, control}, clipboard, reserved},
        {"Tab", {48, command | option}, clipboard, reserved},
        {"Space", {49, control}, clipboard, reserved},
        {"Delete", {51, control}, clipboard, reserved},
        {"Forward Delete", {117, command | shift}, clipboard, reserved},
        {"Left", {123, control}, clipboard, reserved},
        {"Right", {124, control}, clipboard, reserved},
        {"Down", {125, command | option}, clipboard, reserved},
        {"Up", {126, command | option}, clipboard, reserved},
        {"Command A", {0, command}, clipboard, reserved},
        {"Command comma", {43, command}, clipboard, reserved},
        {"Command M", {46, command}, clipboard, reserved},
        {"Command V", {9, command}, clipboard, reserved},
        {"Command Z", {6, command}, clipboard, reserved},
        {"Command S is free", {1, command}, clipboard, std::nullopt},
        {"Command Option A is free", {0, command | option}, clipboard, std::nullopt},
        {"Control A is free", {0, control}, clipboard, std::nullopt},
        {"Command Shift F", {3, command | shift}, clipboard, reserved},
        {"Command Shift S", {1, command | shift}, clipboard, reserved},
        {"Command Shift P", {35, command | shift}, clipboard, reserved},
        {"Command Shift Z", {6, command | shift}, clipboard, reserved},
        {"Command Shift A is free", {0, command | shift}, clipboard, std::nullopt},
        {"Command Shift Control Z is free", {6, command | shift | control}, clipboard, std::nullopt},
        {"unknown key", {10, command}, clipboard, unknownKey},
        {"unknown high key", {200, control}, clipboard, unknownKey},
        {"Return is fine", {36, command | option}, clipboard, std::nullopt},
        {"F13", {105, control}, clipboard, std::nullopt},
    };
    for (const ValidationCase& c : cases)
        EXPECT_EQ(c.candidate.validationMessage(c.activation), c.message) << c.name;
}

} // namespace
