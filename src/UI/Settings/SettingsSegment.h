#pragma once

#include <QPushButton>

// One segment of a segmented picker on a settings page: the chosen segment is filled with the
// accent and its text takes the colour drawn on the accent; the others lie on the pill colour.
// So the chosen one stands out in both looks (a pressed-in button of the style is darker in
// the dark look, which makes the wrong one look chosen).
class SettingsSegment final : public QPushButton {
    Q_OBJECT
public:
    static constexpr qreal cornerRadius = 6;
    static constexpr qreal gap = 1; // each side, so that neighbours stay apart

    explicit SettingsSegment(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
