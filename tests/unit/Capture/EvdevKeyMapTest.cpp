#include "Platform/linux/EvdevKeyMap.h"
#include "Util/KeyNames.h"
#include "Util/RivEVShortcut.h"

#include <QSet>
#include <gtest/gtest.h>
#include <xcb/xproto.h>

using namespace Platform;

namespace {

constexpr int largestVirtualKeyCode = 127;

struct KeyCase {
    int virtualKeyCode;
    int scanCode;
    const char* key;
};

// Scan codes from the kernel's key table (linux/input-event-codes.h), written out.
const KeyCase keyCases[] = {
    {0, 30, "A"},
    {1, 31, "S"},
    {6, 44, "Z"},
    {9, 47, "V"},
    {12, 16, "Q"},
    {13, 17, "W"},
    {16, 21, "Y"},
    {17, 20, "T"},
    {18, 2, "1"},
    {22, 7, "6"},
    {23, 6, "5"},
    {29, 11, "0"},
    {36, 28, "Return"},
    {76, 96, "keypad Enter"},
    {48, 15, "Tab"},
    {49, 57, "Space"},
    {51, 14, "Delete"},
    {53, 1, "Escape"},
    {117, 111, "Forward Delete"},
    {123, 105, "Left"},
    {124, 106, "Right"},
    {125, 108, "Down"},
    {126, 103, "Up"},
    {122, 59, "F1"},
    {120, 60, "F2"},
    {99, 61, "F3"},
    {109, 68, "F10"},
    {103, 87, "F11"},
    {111, 88, "F12"},
    {105, 183, "F13"},
    {64, 187, "F17"},
    {90, 190, "F20"},
    {43, 51, "comma"},
    {47, 52, "period"},
    {44, 53, "slash"},
    {10, 86, "ISO section"},
    {50, 41, "grave"},
    {82, 82, "keypad 0"},
    {83, 79, "keypad 1"},
    {92, 73, "keypad 9"},
};

} // namespace

TEST(EvdevKeyMap, MapsKeysByTheirPlaceOnTheKeyboard)
{
    for (const KeyCase& c : keyCases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(EvdevKeyMap::scanCode(c.virtualKeyCode), c.scanCode);
        EXPECT_EQ(EvdevKeyMap::x11KeyCode(c.virtualKeyCode), c.scanCode + 8);
    }
}

TEST(EvdevKeyMap, EveryNamedKeyHasAPlaceAndNoTwoShareOne)
{
    QSet<int> seen;
    int named = 0;
    for (int code = 0; code <= largestVirtualKeyCode; ++code) {
        const std::optional<int> scan = EvdevKeyMap::scanCode(code);
        if (KeyNames::isKnown(code)) {
            ++named;
            EXPECT_TRUE(scan.has_value()) << "virtual key " << code;
        }
        if (!scan)
            continue;
        EXPECT_FALSE(seen.contains(*scan)) << "scan code " << *scan << " used twice, again by " << code;
        seen.insert(*scan);
    }
    EXPECT_EQ(named, 70);
}

TEST(EvdevKeyMap, ModifierKeysAndUnknownCodesHaveNoKey)
{
    // Command 55, Shift 56, Caps Lock 57, Option 58, Control 59, Function 63.
    for (const int code : {-1, 54, 55, 56, 57, 58, 59, 63, 128, 1000}) {
        EXPECT_FALSE(EvdevKeyMap::scanCode(code).has_value()) << code;
        EXPECT_FALSE(EvdevKeyMap::x11KeyCode(code).has_value()) << code;
    }
}

TEST(EvdevKeyMap, ModifierMasksFollowQtsMapping)
{
    struct Case {
        int stored;
        quint16 x11;
    };
    const Case cases[] = {
        {0, 0},
        {RivEVShortcut::commandMask, XCB_MOD_MASK_CONTROL},
        {RivEVShortcut::controlMask, XCB_MOD_MASK_4},
        {RivEVShortcut::optionMask, XCB_MOD_MASK_1},
        {RivEVShortcut::shiftMask, XCB_MOD_MASK_SHIFT},
        {768, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT},
        {0x1900, XCB_MOD_MASK_4 | XCB_MOD_MASK_1 | XCB_MOD_MASK_CONTROL},
        // Caps Lock (0x400) and other bits do not count.
        {0x400 | 0x80 | RivEVShortcut::shiftMask, XCB_MOD_MASK_SHIFT},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EvdevKeyMap::x11Modifiers(c.stored), c.x11) << c.stored;
}
