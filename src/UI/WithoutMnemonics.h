#pragma once

#include <QString>

// The text for a widget that reads "&" as a mnemonic marker (group titles, buttons, menu
// items, labels with a buddy): every "&" shows as written.
inline QString withoutMnemonics(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}
