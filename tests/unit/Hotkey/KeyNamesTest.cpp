#include "unit/Settings/LanguageScope.h"

#include "Util/KeyNames.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

// The 70 named keys, Space aside.
const std::pair<int, QString> namedKeys[] = {
    {0, "A"},       {11, "B"},      {8, "C"},      {2, "D"},          {14, "E"},    {3, "F"},
    {5, "G"},       {4, "H"},       {34, "I"},     {38, "J"},         {40, "K"},    {37, "L"},
    {46, "M"},      {45, "N"},      {31, "O"},     {35, "P"},         {12, "Q"},    {15, "R"},
    {1, "S"},       {17, "T"},      {32, "U"},     {9, "V"},          {13, "W"},    {7, "X"},
    {16, "Y"},      {6, "Z"},       {29, "0"},     {18, "1"},         {19, "2"},    {20, "3"},
    {21, "4"},      {23, "5"},      {22, "6"},     {26, "7"},         {28, "8"},    {25, "9"},
    {36, "Return"}, {76, "Enter"},  {48, "Tab"},   {51, "Backspace"}, {53, "Esc"},  {117, "Delete"},
    {123, "Left"},  {124, "Right"}, {125, "Down"}, {126, "Up"},       {122, "F1"},  {120, "F2"},
    {99, "F3"},     {118, "F4"},    {96, "F5"},    {97, "F6"},        {98, "F7"},   {100, "F8"},
    {101, "F9"},    {109, "F10"},   {103, "F11"},  {111, "F12"},      {105, "F13"}, {107, "F14"},
    {113, "F15"},   {106, "F16"},   {64, "F17"},   {79, "F18"},       {80, "F19"},  {90, "F20"},
    {43, ","},      {47, "."},      {44, "/"},
};
constexpr int spaceKeyCode = 49;

TEST(KeyNamesTest, KeyNamesOfTheSeventyKeys)
{
    LanguageScope english(AppLanguage::english);
    QSet<int> codes{spaceKeyCode};
    for (const auto& [code, name] : namedKeys) {
        codes.insert(code);
        EXPECT_EQ(KeyNames::name(code), name) << code;
        EXPECT_TRUE(KeyNames::isKnown(code)) << code;
    }
    EXPECT_EQ(codes.size(), 70);
    EXPECT_EQ(KeyNames::name(spaceKeyCode), "Space");
    EXPECT_TRUE(KeyNames::isKnown(spaceKeyCode));

    for (int code = -2; code < 300; ++code) {
        if (codes.contains(code))
            continue;
        EXPECT_EQ(KeyNames::name(code), "?") << code;
        EXPECT_FALSE(KeyNames::isKnown(code)) << code;
    }
}

TEST(KeyNamesTest, SpaceIsLocalised)
{
    const std::pair<AppLanguage, QString> cases[] = {
        {AppLanguage::japanese, "スペース"},
        {AppLanguage::chinese, "空格"},
        {AppLanguage::traditionalChinese, "空白鍵"},
    };
    for (const auto& [language, name] : cases) {
        LanguageScope scope(language);
        EXPECT_EQ(KeyNames::name(spaceKeyCode), name);
        EXPECT_EQ(KeyNames::describe(spaceKeyCode, 0x100), "Ctrl+" + name);
    }
}

TEST(KeyNamesTest, DescribeWritesCtrlAltShiftSuperWithPlusSigns)
{
    const std::pair<int, QString> cases[] = {
        {0, "V"},
        {0x100, "Ctrl+V"},
        {0x200, "Shift+V"},
        {0x800, "Alt+V"},
        {0x1000, "Super+V"},
        {0x300, "Ctrl+Shift+V"},
        {0x1100, "Ctrl+Super+V"},
        {0x900, "Ctrl+Alt+V"},
        {0xA00, "Alt+Shift+V"},
        {0x1200, "Shift+Super+V"},
        {0x1800, "Alt+Super+V"},
        {0x1900, "Ctrl+Alt+Super+V"},
        {0x1300, "Ctrl+Shift+Super+V"},
        {0x1A00, "Alt+Shift+Super+V"},
        {0xB00, "Ctrl+Alt+Shift+V"},
        {0x1B00, "Ctrl+Alt+Shift+Super+V"},
        {0x1B00 | 0x10000 | 0x1 | 0x400, "Ctrl+Alt+Shift+Super+V"}, // other bits say nothing
    };
    for (const auto& [modifiers, text] : cases)
        EXPECT_EQ(KeyNames::describe(9, modifiers), text) << modifiers;
    EXPECT_EQ(KeyNames::describe(-1, 0), "?");
    EXPECT_EQ(KeyNames::describe(76, 0x1100), "Ctrl+Super+Enter");
    EXPECT_EQ(KeyNames::describe(80, 0x200), "Shift+F19");
    EXPECT_EQ(KeyNames::describe(43, 0x100), "Ctrl+,");
}

} // namespace
