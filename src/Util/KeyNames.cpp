#include "Util/KeyNames.h"

#include "Platform/ModifierMask.h"
#include "Util/Localization.h"

#include <QHash>

namespace {

constexpr int spaceKeyCode = 49;

struct NamedKey {
    int code;
    const char16_t* name;
};

// Every named key except Space, whose name is localised. Keys are named as Qt names them on
// Linux (QKeySequence::NativeText), except the forward Delete, which Qt shortens to "Del".
constexpr NamedKey namedKeys[] = {
    {0, u"A"},       {1, u"S"},       {2, u"D"},      {3, u"F"},          {4, u"H"},     {5, u"G"},
    {6, u"Z"},       {7, u"X"},       {8, u"C"},      {9, u"V"},          {11, u"B"},    {12, u"Q"},
    {13, u"W"},      {14, u"E"},      {15, u"R"},     {16, u"Y"},         {17, u"T"},    {31, u"O"},
    {32, u"U"},      {34, u"I"},      {35, u"P"},     {37, u"L"},         {38, u"J"},    {40, u"K"},
    {45, u"N"},      {46, u"M"},      {18, u"1"},     {19, u"2"},         {20, u"3"},    {21, u"4"},
    {22, u"6"},      {23, u"5"},      {25, u"9"},     {26, u"7"},         {28, u"8"},    {29, u"0"},
    {36, u"Return"}, {76, u"Enter"},  {48, u"Tab"},   {51, u"Backspace"}, {53, u"Esc"},  {117, u"Delete"},
    {123, u"Left"},  {124, u"Right"}, {125, u"Down"}, {126, u"Up"},       {122, u"F1"},  {120, u"F2"},
    {99, u"F3"},     {118, u"F4"},    {96, u"F5"},    {97, u"F6"},        {98, u"F7"},   {100, u"F8"},
    {101, u"F9"},    {109, u"F10"},   {103, u"F11"},  {111, u"F12"},      {105, u"F13"}, {107, u"F14"},
    {113, u"F15"},   {106, u"F16"},   {64, u"F17"},   {79, u"F18"},       {80, u"F19"},  {90, u"F20"},
    {43, u","},      {47, u"."},      {44, u"/"},
};

// The modifiers in the order the desktop writes them, each with the key cap's name.
struct NamedModifier {
    int mask;
    const char16_t* name;
};

constexpr NamedModifier namedModifiers[] = {
    {Platform::ModifierMask::command, u"Ctrl"},
    {Platform::ModifierMask::option, u"Alt"},
    {Platform::ModifierMask::shift, u"Shift"},
    {Platform::ModifierMask::control, u"Super"},
};

const QHash<int, QString>& keyNames()
{
    static const QHash<int, QString> names = [] {
        QHash<int, QString> table;
        for (const NamedKey& key : namedKeys)
            table.insert(key.code, QString::fromUtf16(key.name));
        return table;
    }();
    return names;
}

} // namespace

namespace KeyNames {

QString describe(int keyCode, int modifiers)
{
    QString text;
    for (const NamedModifier& modifier : namedModifiers) {
        if (modifiers & modifier.mask)
            text += QString::fromUtf16(modifier.name) + QLatin1Char('+');
    }
    return text + name(keyCode);
}

QString name(int keyCode)
{
    if (keyCode == spaceKeyCode)
        return Localization::string(QStringLiteral("Space"));
    return keyNames().value(keyCode, QStringLiteral("?"));
}

bool isKnown(int keyCode)
{
    return keyCode == spaceKeyCode || keyNames().contains(keyCode);
}

} // namespace KeyNames
