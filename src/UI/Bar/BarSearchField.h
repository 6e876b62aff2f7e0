#pragma once

#include <QLineEdit>

// The bar's search field: filters the cards as the user types. It keeps the keyboard focus
// while the bar is shown, so typed text lands here.
class BarSearchField final : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int preferredWidth = 280;

    explicit BarSearchField(QWidget* parent = nullptr);

private:
    void retranslate();
};
