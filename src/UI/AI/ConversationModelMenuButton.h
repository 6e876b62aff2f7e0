#pragma once

#include <QRect>
#include <QToolButton>

// The composer's pull-down of models: the model label on one line with a small chevron after
// it, both always whole. It takes the width they need and no keyboard focus from a click.
class ConversationModelMenuButton final : public QToolButton {
    Q_OBJECT
public:
    explicit ConversationModelMenuButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where the label and the chevron are drawn.
    QRect textRect() const;
    QRect chevronRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool isHovered() const;
};
