#include "Util/RivEVShortcut.h"

#include "Util/KeyNames.h"

#include <QJsonValue>
#include <QSet>
#include <cmath>
#include <limits>

namespace {

const QString keyCodeKey = QStringLiteral("keyCode");
const QString modifiersKey = QStringLiteral("modifiers");

constexpr int commandShiftMask = RivEVShortcut::commandMask | RivEVShortcut::shiftMask;

// Digits 1-9, keypad 1-9, and Escape, Tab, Space, Delete, Forward Delete and the arrows:
// the bar uses them whatever the modifiers.
const QSet<int>& reservedKeys()
{
    static const QSet<int> keys{18, 19, 20, 21, 23, 22, 26, 28, 25,  83,  84,  85,  86, 87,
                                88, 89, 91, 92, 53, 48, 49, 51, 117, 123, 124, 126, 125};
    return keys;
}

// Keys the bar and the desktop use with Command alone: A, C, F, H, M, Q, V, W, X, Z, comma,
// Left, Right, Delete.
const QSet<int>& reservedCommandKeys()
{
    static const QSet<int> keys{0, 8, 3, 4, 46, 12, 9, 13, 7, 6, 43, 123, 124, 51};
    return keys;
}

// With Command and Shift: F, S, P, Z.
const QSet<int>& reservedCommandShiftKeys()
{
    static const QSet<int> keys{3, 1, 35, 6};
    return keys;
}

std::optional<int> wholeInt(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (std::trunc(d) != d || d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(d);
}

bool isEnterKey(int keyCode)
{
    return keyCode == RivEVShortcut::returnKeyCode || keyCode == RivEVShortcut::keypadEnterKeyCode;
}

bool hasOnlyModifierBits(const RivEVShortcut& shortcut)
{
    return (shortcut.modifiers & ~RivEVShortcut::modifiersMask) == 0;
}

bool isReserved(const RivEVShortcut& shortcut)
{
    if (reservedKeys().contains(shortcut.keyCode))
        return true;
    if (shortcut.modifiers == RivEVShortcut::commandMask)
        return reservedCommandKeys().contains(shortcut.keyCode);
    if (shortcut.modifiers == commandShiftMask)
        return reservedCommandShiftKeys().contains(shortcut.keyCode);
    return false;
}

} // namespace

bool RivEVShortcut::matchesIgnoringEnterKind(const RivEVShortcut& other) const
{
    if (modifiers != other.modifiers)
        return false;
    return keyCode == other.keyCode || (isEnterKey(keyCode) && isEnterKey(other.keyCode));
}

QJsonObject RivEVShortcut::toJson() const
{
    return QJsonObject{{keyCodeKey, keyCode}, {modifiersKey, modifiers}};
}

std::optional<RivEVShortcut> RivEVShortcut::fromJson(const QJsonObject& object)
{
    const std::optional<int> keyCode = wholeInt(object.value(keyCodeKey));
    const std::optional<int> modifiers = wholeInt(object.value(modifiersKey));
    if (!keyCode || !modifiers)
        return std::nullopt;
    return RivEVShortcut{*keyCode, *modifiers};
}

int RivEVShortcut::carbonModifiers(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers.testFlag(Qt::ControlModifier))
        mask |= commandMask;
    if (modifiers.testFlag(Qt::ShiftModifier))
        mask |= shiftMask;
    if (modifiers.testFlag(Qt::AltModifier))
        mask |= optionMask;
    if (modifiers.testFlag(Qt::MetaModifier))
        mask |= controlMask;
    return mask;
}

std::optional<QString> RivEVShortcut::validationMessage(const RivEVShortcut& activation) const
{
    if (!isSet())
        return std::nullopt;
    if ((modifiers & (commandMask | controlMask)) == 0)
        return QStringLiteral("Include Command or Control in the shortcut.");
    if (activation.isSet() && matchesIgnoringEnterKind(activation))
        return QStringLiteral("This shortcut opens Vellora. Choose another combination.");
    if (isReserved(*this))
        return QStringLiteral("This shortcut is reserved for another action. Choose another combination.");
    if (!KeyNames::isKnown(keyCode))
        return QStringLiteral("Choose a letter, function key, or Return.");
    return std::nullopt;
}

bool RivEVShortcut::isAcceptableActivation() const
{
    constexpr int activatingMask = commandMask | optionMask | controlMask;
    return !isSet() ||
           (hasOnlyModifierBits(*this) && (modifiers & activatingMask) != 0 && KeyNames::isKnown(keyCode));
}

bool RivEVShortcut::isAcceptableShortcut(const RivEVShortcut& activation) const
{
    return !isSet() || (hasOnlyModifierBits(*this) && !validationMessage(activation));
}
