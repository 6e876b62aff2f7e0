#include "UI/Settings/SettingsSwitch.h"

#include "UI/Theme.h"

#include <QPainter>

namespace {

constexpr qreal knobInset = 2;
constexpr qreal disabledOpacity = 0.4;

} // namespace

SettingsSwitch::SettingsSwitch(QWidget* parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SettingsSwitch::sizeHint() const
{
    return {trackWidth, trackHeight};
}

QSize SettingsSwitch::minimumSizeHint() const
{
    return sizeHint();
}

void SettingsSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(disabledOpacity);

    const QRectF track = QRectF(0, 0, trackWidth, trackHeight)
                             .translated((width() - trackWidth) / 2.0, (height() - trackHeight) / 2.0);
    const qreal radius = track.height() / 2;
    painter.setPen(isChecked() ? Qt::NoPen : QPen(QColor(Theme::cardBorder()), 1));
    painter.setBrush(isChecked() ? QColor(Theme::selection()) : QColor(Theme::pillBG()));
    painter.drawRoundedRect(track.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    const qreal knob = track.height() - 2 * knobInset;
    const qreal knobX = isChecked() ? track.right() - knobInset - knob : track.left() + knobInset;
    painter.setPen(QPen(QColor(Theme::cardBorder()), 0.5));
    // The knob stays light in both looks, like the card of the light look.
    painter.setBrush(Theme::cardBody().resolved(false));
    painter.drawEllipse(QRectF(knobX, track.top() + knobInset, knob, knob));

    if (hasFocus()) {
        painter.setPen(QPen(QColor(Theme::selection()), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track.adjusted(0.75, 0.75, -0.75, -0.75), radius, radius);
    }
}
