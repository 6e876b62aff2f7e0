#pragma once

#include "Util/ClipColorTheme.h"

#include <QColor>
#include <QList>
#include <QString>

// The colour of each source application (by desktop-entry id), as the cards show it.
namespace SourceColor {

inline constexpr int accentShadeCount = 10;

// The colour under the theme and the accent (hex text).
QColor color(const QString& bundleID, ClipColorTheme theme, const QString& accentHex);

// The application's own colour: remembered in the preference "appColorMap" (an object of
// id -> "#RRGGBB"), else its well-known colour, else the dominant colour of its icon, else a
// palette colour chosen by the id; a new colour is remembered so it stays the same.
QColor defaultColor(const QString& bundleID);
// A stronger, higher-contrast version of a colour.
QColor vibrant(const QColor& base);
// Ten distinct shades, darkest first, of the accent colour given as hex text; system pink
// (#FF2D55) when the text does not parse.
QList<QColor> accentShades(const QString& accentHex);

// FNV-1a (32 bits) of the id's UTF-8 bytes: the same in every run, unlike qHash.
quint32 stableHash(const QString& bundleID);

} // namespace SourceColor
