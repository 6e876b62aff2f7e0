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
    static constexpr qreal gap = 1;     // each side, so that neighbours stay apart
    static constexpr int textInset = 6; // each side; the text is elided within

    explicit SettingsSegment(QWidget* parent = nullptr);

    // The text as a button shows it: "&&" is one "&", a single "&" marks a mnemonic.
    QString shownText() const;
    // Room for the whole text with space around it.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
