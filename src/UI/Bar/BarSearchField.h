#pragma once

#include <QLineEdit>

class QAction;

// The bar's search field: filters the cards as the user types. It keeps the keyboard focus
// while the bar is shown, so typed text lands here. A rounded field in the card colours with a
// magnifier glyph before the text and a clear button after it.
class BarSearchField final : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int preferredWidth = 280;
    static constexpr int preferredHeight = 32;

    explicit BarSearchField(QWidget* parent = nullptr);

    // Whether the text searches the open browser tabs rather than the clips; only the
    // placeholder differs.
    void setSearchesBrowserTabs(bool searchesBrowserTabs);
    // Empties the field for a new opening, its clear button gone at once rather than fading
    // out over the first frames.
    void clearForOpening();
    // Whether the text changes now by the user's typing (a key or an input method).
    bool isTyping() const { return typing_; }

signals:
    // The field has drawn its text as it is now.
    void painted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void retranslate();
    void applyTheme();

    QAction* magnifier_ = nullptr;
    bool searchesBrowserTabs_ = false;
    bool typing_ = false;
};
