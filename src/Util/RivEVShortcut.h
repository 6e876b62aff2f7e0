#pragma once

#include "Platform/ModifierMask.h"

#include <QJsonObject>
#include <QString>
#include <Qt>
#include <optional>

// A key code with modifiers: a virtual key code in the stored numbering (negative = not
// set) and a modifier mask (Command 0x100, Shift 0x200, Option 0x800, Control 0x1000).
// Stored as JSON {"keyCode", "modifiers"}.
struct RivEVShortcut {
    int keyCode = -1;
    int modifiers = 0;

    static constexpr int commandMask = Platform::ModifierMask::command;
    static constexpr int shiftMask = Platform::ModifierMask::shift;
    static constexpr int optionMask = Platform::ModifierMask::option;
    static constexpr int controlMask = Platform::ModifierMask::control;
    static constexpr int returnKeyCode = 36;
    static constexpr int keypadEnterKeyCode = 76;
    static constexpr int modifiersMask = commandMask | shiftMask | optionMask | controlMask;

    bool operator==(const RivEVShortcut&) const = default;

    bool isSet() const { return keyCode >= 0; }
    // Equal modifiers and the same key, Return and keypad Enter counted as one key.
    bool matchesIgnoringEnterKind(const RivEVShortcut& other) const;

    QJsonObject toJson() const;
    // None unless both fields are whole numbers.
    static std::optional<RivEVShortcut> fromJson(const QJsonObject& object);

    // The stored mask of keyboard modifiers as Qt reports them on Linux: Ctrl is Command,
    // Meta (Super) is Control, Alt is Option, Shift is Shift; every other flag is ignored.
    static int carbonModifiers(Qt::KeyboardModifiers modifiers);

    // Self is the candidate, `activation` the current clipboard hot key. None when the
    // candidate is acceptable, else the first rule's message in English: callers show it
    // through Localization::string().
    std::optional<QString> validationMessage(const RivEVShortcut& activation) const;

    // What a stored clipboard hot key must be to be used, as the recorder takes one: not set
    // (a negative key code), or a named key with Command, Option or Control and no bits
    // beyond the four modifiers.
    bool isAcceptableActivation() const;
    // The same for a stored bar key or browser-links hot key: not set, or no bits beyond the
    // four modifiers and no validationMessage() against `activation`.
    bool isAcceptableShortcut(const RivEVShortcut& activation) const;
};
