#include "UI/Settings/SettingsDetailCard.h"

#include "UI/Appearance.h"
#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"

#include <QPainter>
#include <QVBoxLayout>

SettingsDetailCard::SettingsDetailCard(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setFont(VelloraTypography::body());
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(padding, padding, padding, padding);
    layout_->setSpacing(itemSpacing);
    // No alignment: an aligned layout is laid out at its size hint, which is lower than what
    // wrapped labels need at a narrower width than their hint's.
    applyTextStyle();
    connect(&Appearance::shared(), &Appearance::changed, this, [this] {
        applyTextStyle();
        update();
    });
}

void SettingsDetailCard::addItem(QWidget* item)
{
    layout_->addWidget(item);
}

void SettingsDetailCard::addLayout(QLayout* layout)
{
    layout_->addLayout(layout);
}

void SettingsDetailCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(QRectF(rect()), cornerRadius);
    painter.fillPath(shape, QColor(Theme::cardBody()));

    // The border lies inside the same shape: inset by half its width.
    const qreal inset = borderWidth / 2;
    QColor border = Theme::cardBorder();
    border.setAlphaF(borderOpacity);
    painter.setPen(QPen(border, borderWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(
        continuousRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), cornerRadius - inset));
}

void SettingsDetailCard::applyTextStyle()
{
    // Disabled controls keep the application's dimmed text.
    QPalette p = palette();
    const QColor text = Theme::chromeTextPrimary();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Text, text);
    }
    setPalette(p);
}
