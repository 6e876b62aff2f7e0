#pragma once

#include <QWidget>

class QLayout;
class QVBoxLayout;

// A rounded card of a settings page: items stacked 12 px apart, leading-aligned, padded 16 px,
// in the body font and the primary chrome text colour, on Theme::cardBody with a 0.5 px
// Theme::cardBorder border at 0.65 opacity and continuous corners of radius 12.
class SettingsDetailCard : public QWidget {
    Q_OBJECT
public:
    static constexpr int padding = 16;
    static constexpr int itemSpacing = 12;
    static constexpr qreal cornerRadius = 12;
    static constexpr qreal borderWidth = 0.5;
    static constexpr qreal borderOpacity = 0.65;

    explicit SettingsDetailCard(QWidget* parent = nullptr);

    void addItem(QWidget* item);
    void addLayout(QLayout* layout);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyTextStyle();

    QVBoxLayout* layout_ = nullptr;
};
