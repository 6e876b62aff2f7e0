#include "UI/Bar/BarKeyCommand.h"

#include "Platform/NativeKeys.h"

#include <QHash>
#include <QKeyEvent>

namespace {

const QHash<int, int>& virtualKeyCodesByQtKey()
{
    static const QHash<int, int> table{
        {Qt::Key_A, 0},      {Qt::Key_S, 1},    {Qt::Key_D, 2},      {Qt::Key_F, 3},
        {Qt::Key_H, 4},      {Qt::Key_G, 5},    {Qt::Key_Z, 6},      {Qt::Key_X, 7},
        {Qt::Key_C, 8},      {Qt::Key_V, 9},    {Qt::Key_B, 11},     {Qt::Key_Q, 12},
        {Qt::Key_W, 13},     {Qt::Key_E, 14},   {Qt::Key_R, 15},     {Qt::Key_Y, 16},
        {Qt::Key_T, 17},     {Qt::Key_1, 18},   {Qt::Key_2, 19},     {Qt::Key_3, 20},
        {Qt::Key_4, 21},     {Qt::Key_6, 22},   {Qt::Key_5, 23},     {Qt::Key_9, 25},
        {Qt::Key_7, 26},     {Qt::Key_8, 28},   {Qt::Key_0, 29},     {Qt::Key_O, 31},
        {Qt::Key_U, 32},     {Qt::Key_I, 34},   {Qt::Key_P, 35},     {Qt::Key_Return, 36},
        {Qt::Key_L, 37},     {Qt::Key_J, 38},   {Qt::Key_K, 40},     {Qt::Key_N, 45},
        {Qt::Key_M, 46},     {Qt::Key_Tab, 48}, {Qt::Key_Space, 49}, {Qt::Key_Escape, 53},
        {Qt::Key_Enter, 76},
    };
    return table;
}

// The digit keys of the main block and the keypad, as quick-paste numbers.
const QHash<int, int>& quickPasteNumbers()
{
    static const QHash<int, int> table{
        {18, 1}, {19, 2}, {20, 3}, {21, 4}, {23, 5}, {22, 6}, {26, 7}, {28, 8}, {25, 9},
        {83, 1}, {84, 2}, {85, 3}, {86, 4}, {87, 5}, {88, 6}, {89, 7}, {91, 8}, {92, 9},
    };
    return table;
}

// Command plus a letter, by the letter's virtual key code.
const QHash<int, BarKeyCommand::Kind>& commandLetters()
{
    static const QHash<int, BarKeyCommand::Kind> table{
        {0, BarKeyCommand::Kind::selectAll},  // A
        {15, BarKeyCommand::Kind::refresh},   // R
        {8, BarKeyCommand::Kind::copy},       // C
        {6, BarKeyCommand::Kind::undoDelete}, // Z
    };
    return table;
}

bool held(int modifiers, int mask)
{
    return mask != 0 && (modifiers & mask) == mask;
}

PasteFormat formatFor(int modifiers, const BarKeyBindings& bindings)
{
    return held(modifiers, bindings.plainTextModifier) ? PasteFormat::plainText : PasteFormat::asCaptured;
}

} // namespace

std::optional<int> BarKeyCommand::virtualKeyCode(const QKeyEvent& event)
{
    if (Platform::isNativeScanCode(event.nativeScanCode()))
        return Platform::keyCodeOfNativeScanCode(event.nativeScanCode());
    const auto found = virtualKeyCodesByQtKey().constFind(event.key());
    if (found == virtualKeyCodesByQtKey().constEnd())
        return std::nullopt;
    return *found;
}

BarKeyCommand BarKeyCommand::of(const QKeyEvent& event, const BarKeyBindings& bindings)
{
    const int modifiers = RivEVShortcut::carbonModifiers(event.modifiers());
    const std::optional<int> keyCode = virtualKeyCode(event);
    if (keyCode && bindings.askAI.isSet() &&
        bindings.askAI.matchesIgnoringEnterKind(RivEVShortcut{*keyCode, modifiers}))
        return {Kind::askAI};
    switch (event.key()) {
    case Qt::Key_Escape:
        return {Kind::hide};
    case Qt::Key_Left:
        return modifiers == 0 ? BarKeyCommand{Kind::selectPrevious} : BarKeyCommand{};
    case Qt::Key_Right:
        return modifiers == 0 ? BarKeyCommand{Kind::selectNext} : BarKeyCommand{};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {Kind::paste, formatFor(modifiers, bindings)};
    case Qt::Key_Tab:
        return modifiers == 0 ? BarKeyCommand{Kind::nextSource} : BarKeyCommand{};
    case Qt::Key_Backtab:
        return modifiers == RivEVShortcut::shiftMask ? BarKeyCommand{Kind::previousSource} : BarKeyCommand{};
    case Qt::Key_Delete:
        if (modifiers != 0 && modifiers != RivEVShortcut::optionMask)
            return {};
        return {Kind::deleteSelected, PasteFormat::asCaptured, 0, modifiers == RivEVShortcut::optionMask};
    default:
        break;
    }
    if (!keyCode)
        return {};
    if (modifiers == RivEVShortcut::commandMask) {
        const auto letter = commandLetters().constFind(*keyCode);
        if (letter != commandLetters().constEnd())
            return {*letter};
    }
    if (!held(modifiers, bindings.quickPasteModifier))
        return {};
    const auto number = quickPasteNumbers().constFind(*keyCode);
    if (number == quickPasteNumbers().constEnd())
        return {};
    return {Kind::quickPaste, formatFor(modifiers, bindings), *number};
}
