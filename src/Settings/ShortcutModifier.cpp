#include "Settings/ShortcutModifier.h"

#include "Util/Localization.h"
#include "Util/RivEVShortcut.h"

namespace ShortcutModifiers {

const QList<ShortcutModifier>& allCases()
{
    static const QList<ShortcutModifier> cases{ShortcutModifier::command, ShortcutModifier::option,
                                               ShortcutModifier::control, ShortcutModifier::shift};
    return cases;
}

int carbonValue(ShortcutModifier modifier)
{
    switch (modifier) {
    case ShortcutModifier::command:
        return RivEVShortcut::commandMask;
    case ShortcutModifier::option:
        return RivEVShortcut::optionMask;
    case ShortcutModifier::control:
        return RivEVShortcut::controlMask;
    case ShortcutModifier::shift:
        return RivEVShortcut::shiftMask;
    }
    return RivEVShortcut::commandMask;
}

QString title(ShortcutModifier modifier)
{
    switch (modifier) {
    case ShortcutModifier::command:
        return Localization::string(QStringLiteral("Command"));
    case ShortcutModifier::option:
        return Localization::string(QStringLiteral("Option"));
    case ShortcutModifier::control:
        return Localization::string(QStringLiteral("Control"));
    case ShortcutModifier::shift:
        return Localization::string(QStringLiteral("Shift"));
    }
    return {};
}

} // namespace ShortcutModifiers
