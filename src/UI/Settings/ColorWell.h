#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>

class QColorDialog;

// A colour well: a small rounded button filled with its colour. Clicking it opens a colour
// panel without opacity; each colour picked there is taken at once, and its Cancel takes back
// the colour the well showed when the panel opened.
class ColorWell : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int wellWidth = 44;
    static constexpr int wellHeight = 22;

    explicit ColorWell(QWidget* parent = nullptr);

    QColor color() const { return color_; }
    // Programmatic: emits nothing.
    void setColor(const QColor& color);
    // Takes a colour as the user's choice: shows it and emits colorPicked (alpha dropped).
    void pick(const QColor& color);
    // The open colour panel, or null.
    QColorDialog* panel() const;

    QSize sizeHint() const override;

signals:
    void colorPicked(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openPanel();

    QColor color_;
    QPointer<QColorDialog> panel_;
};
