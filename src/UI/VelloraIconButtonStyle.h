#pragma once

#include <QRectF>
#include <QString>

class QPainter;

// The look of icon buttons: the label (a symbol or a short text) at 14 px in the secondary
// chrome colour, centred in a size × size square; behind it a continuous-corner rectangle
// of radius 8 filled with the pill colour while hovered or pressed, else with the card body
// and a border when bordered, else clear. A disabled button is drawn at 40 % opacity.
struct VelloraIconButtonStyle {
    int size = 32;
    bool bordered = false;

    static constexpr qreal cornerRadius = 8.0;
    static constexpr int labelPixelSize = 14;
    // A symbol drawn in this square matches the height of a 14 px label.
    static constexpr int symbolPixelSize = 16;
    static constexpr qreal disabledOpacity = 0.4;
    static constexpr qreal borderWidth = 1.0;

    struct State {
        bool hovered = false;
        bool pressed = false;
        bool enabled = true;
        bool keyboardFocus = false;
    };

    // Paints the button into `square`; the symbol wins over the text when both are given.
    void paint(QPainter& painter, const QRectF& square, const State& state, const QString& symbolName,
               const QString& text) const;

    bool operator==(const VelloraIconButtonStyle&) const = default;
};
