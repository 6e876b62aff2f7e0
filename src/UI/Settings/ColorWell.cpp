#include "UI/Settings/ColorWell.h"

#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"

#include <QColorDialog>
#include <QPainter>

namespace {

constexpr qreal wellRadius = 5;
constexpr qreal wellBorderWidth = 1;
constexpr qreal swatchInset = 3;

} // namespace

ColorWell::ColorWell(QWidget* parent)
    : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, &ColorWell::openPanel);
}

void ColorWell::setColor(const QColor& color)
{
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void ColorWell::pick(const QColor& color)
{
    QColor opaque = color;
    opaque.setAlpha(255);
    setColor(opaque);
    emit colorPicked(opaque);
}

QColorDialog* ColorWell::panel() const
{
    return panel_;
}

QSize ColorWell::sizeHint() const
{
    return {wellWidth, wellHeight};
}

void ColorWell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(wellBorderWidth / 2, wellBorderWidth / 2,
                                                 -wellBorderWidth / 2, -wellBorderWidth / 2);
    painter.setPen(QPen(QColor(Theme::cardBorder()), wellBorderWidth));
    painter.setBrush(palette().color(QPalette::Button));
    painter.drawPath(continuousRoundedRect(frame, wellRadius));
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_);
    const QRectF swatch = frame.adjusted(swatchInset, swatchInset, -swatchInset, -swatchInset);
    painter.drawPath(continuousRoundedRect(swatch, wellRadius - swatchInset / 2));
}

void ColorWell::openPanel()
{
    // A panel just closed is only waiting to be deleted: a click opens a new one.
    if (panel_ && panel_->isVisible()) {
        panel_->raise();
        panel_->activateWindow();
        return;
    }
    auto* panel = new QColorDialog(color_, window());
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setOption(QColorDialog::ShowAlphaChannel, false);
    connect(panel, &QColorDialog::currentColorChanged, this, &ColorWell::pick);
    // Colours are taken as they are picked; Cancel puts back the one shown before.
    connect(panel, &QDialog::rejected, this, [this, before = color_] {
        if (color_ != before)
            pick(before);
    });
    panel_ = panel;
    panel->show();
}
