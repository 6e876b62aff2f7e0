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
} // namespace Theme
