#pragma once

#include <QColor>
#include <QtGlobal>

// A colour with a value for the light and one for the dark appearance; it resolves to the
// one of the appearance in effect each time it is converted.
struct AdaptiveColor {
    quint32 light = 0;
    quint32 dark = 0;

    QColor resolved(bool dark) const;
    QColor color() const; // for the appearance in effect
    operator QColor() const { return color(); }
    bool operator==(const AdaptiveColor&) const = default;
};

// The adaptive colours that every view uses (24-bit RGB, light and dark).
namespace Theme {
AdaptiveColor adaptiveNS(quint32 light, quint32 dark);

AdaptiveColor window();
AdaptiveColor sidebar();
AdaptiveColor chat();
AdaptiveColor cardBody();
AdaptiveColor cardBorder();
AdaptiveColor pillBG();
AdaptiveColor selection();
AdaptiveColor warning();
AdaptiveColor chromeTextPrimary();
AdaptiveColor chromeTextSecondary();
AdaptiveColor chromeTextTertiary();
// A text field's border: 3:1 or more against every sheet, card and sidebar of its appearance.
AdaptiveColor fieldBorder();
// The paste bar behind its cards, and the header of a card whose source is no known application.
AdaptiveColor barBackground();
AdaptiveColor neutralHeader();

// WCAG 2 relative luminance (0 black … 1 white) and contrast ratio (1 … 21).
double relativeLuminance(const QColor& color);
double contrastRatio(const QColor& a, const QColor& b);
// Black or white, whichever contrasts more with the background: at least 4.58:1 on any colour.
QColor readableTextOn(const QColor& background);
// The colour, darkened on a light background or lightened on a dark one just far enough to
// stand `ratio`:1 against it (as far as black or white allow); unchanged when it already does.
QColor withContrast(const QColor& color, const QColor& background, double ratio);
} // namespace Theme
