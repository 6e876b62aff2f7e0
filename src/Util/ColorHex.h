#pragma once

#include <QColor>
#include <QString>
#include <optional>

// A colour from hex text: white space around it and one leading "#" are ignored; six hex
// digits give RGB, eight give RGBA; anything else gives none.
std::optional<QColor> colorFromHex(const QString& text);

// "#RRGGBB": two upper-case hex digits for each sRGB component, each the component times 255
// rounded to the nearest integer (and kept within 0...255).
QString hexString(const QColor& color);
