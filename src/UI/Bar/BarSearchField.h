#pragma once

#include <QLineEdit>

// The bar's search field: filters the cards as the user types. It keeps the keyboard focus
// while the bar is shown, so typed text lands here.
class BarSearchField final : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int preferredWidth = 280;

    explicit BarSearchField(QWidget* parent = nullptr);

    // Whether the text searches the open browser tabs rather than the clips; only the
    // placeholder differs.
    void setSearchesBrowserTabs(bool searchesBrowserTabs);

private:
    void retranslate();

    bool searchesBrowserTabs_ = false;
};
