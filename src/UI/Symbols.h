#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// Our symbol glyphs by name ("checkmark.circle.fill"): single-colour SVGs in the resource
// bundle's "symbols" folder, tinted at draw time. Results are cached; an unknown name gives
// an empty icon or a null pixmap.
namespace Symbols {
// The glyph in `color`, `size` device-independent pixels square, at the given pixel ratio.
QPixmap pixmap(const QString& name, const QColor& color, int size, qreal devicePixelRatio = 1.0);
// The glyph with pixmaps for standard and double pixel density.
QIcon icon(const QString& name, const QColor& color, int size);
bool exists(const QString& name);
// The resource path of a glyph, whether or not it exists.
QString resourcePath(const QString& name);
} // namespace Symbols
