#pragma once

#include <QList>

// How source applications are coloured: raw values 0, 1, 2.
enum class ClipColorTheme { defaultTheme = 0, vibrant = 1, accentShades = 2 };

namespace ClipColorThemes {
const QList<ClipColorTheme>& allCases();
int rawValue(ClipColorTheme theme);
// A stored number other than 1 or 2 reads as the default theme.
ClipColorTheme fromStored(qint64 raw);
} // namespace ClipColorThemes
