#include "UI/Settings/AccentShadeSwatches.h"

#include <QPainter>

AccentShadeSwatches::AccentShadeSwatches(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void AccentShadeSwatches::setColors(const QList<QColor>& colors)
{
    if (colors_ == colors)
        return;
    const bool resized = colors_.size() != colors.size();
    colors_ = colors;
    if (resized)
        updateGeometry();
    update();
}

QSize AccentShadeSwatches::sizeHint() const
{
    const auto count = int(colors_.size());
    const int width = count == 0 ? 0 : count * swatchDiameter + (count - 1) * swatchSpacing;
    return {width, swatchDiameter};
}

void AccentShadeSwatches::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const int top = (height() - swatchDiameter) / 2;
    for (int i = 0; i < colors_.size(); ++i) {
        painter.setBrush(colors_.at(i));
        painter.drawEllipse(
            QRectF(i * (swatchDiameter + swatchSpacing), top, swatchDiameter, swatchDiameter));
    }
}
