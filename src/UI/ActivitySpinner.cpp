#include "UI/ActivitySpinner.h"

#include "UI/Theme.h"

#include <QPainter>

namespace {

constexpr int stepIntervalMs = 80;
constexpr int spokes = 8;
constexpr qreal spokeWidth = 2;

} // namespace

ActivitySpinner::ActivitySpinner(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(size, size);
    timer_.setInterval(stepIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % spokes;
        update();
    });
}

void ActivitySpinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal outer = size / 2.0 - spokeWidth / 2;
    for (int i = 0; i < spokes; ++i) {
        QColor color = Theme::chromeTextSecondary();
        color.setAlphaF(0.2 + 0.8 * ((i - step_ + spokes) % spokes) / (spokes - 1));
        painter.setPen(QPen(color, spokeWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -outer / 2), QPointF(0, -outer));
        painter.rotate(360.0 / spokes);
    }
}

void ActivitySpinner::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    timer_.start();
}

void ActivitySpinner::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    timer_.stop();
}
