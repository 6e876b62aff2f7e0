#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

// A row of round swatches, one per colour, in the order given.
class AccentShadeSwatches : public QWidget {
    Q_OBJECT
public:
    static constexpr int swatchDiameter = 13;
    static constexpr int swatchSpacing = 4;

    explicit AccentShadeSwatches(QWidget* parent = nullptr);

    const QList<QColor>& colors() const { return colors_; }
    void setColors(const QList<QColor>& colors);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QColor> colors_;
};
