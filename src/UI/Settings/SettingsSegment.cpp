#include "UI/Settings/SettingsSegment.h"

#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"

#include <QPainter>

namespace {

constexpr qreal disabledOpacity = 0.4;
constexpr qreal focusBorderWidth = 1.5;
constexpr int textInset = 6;

} // namespace

SettingsSegment::SettingsSegment(QWidget* parent)
    : QPushButton(parent)
{
    setCheckable(true);
    setAttribute(Qt::WA_Hover);
}

void SettingsSegment::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(disabledOpacity);

    const QRectF shape = QRectF(rect()).adjusted(gap, gap, -gap, -gap);
    const QPainterPath path = continuousRoundedRect(shape, cornerRadius);
    QColor fill = isChecked() ? QColor(Theme::selection()) : QColor(Theme::pillBG());
    if (!isChecked() && (isDown() || underMouse()))
        fill = Theme::cardBorder();
    painter.fillPath(path, fill);
    if (!isChecked()) {
        painter.setPen(QPen(QColor(Theme::cardBorder()), 1));
        painter.drawPath(continuousRoundedRect(shape.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5));
    }
    if (hasFocus()) {
        painter.setPen(QPen(QColor(Theme::selection()), focusBorderWidth));
        painter.drawPath(continuousRoundedRect(shape.adjusted(0.75, 0.75, -0.75, -0.75), cornerRadius));
    }

    painter.setPen(palette().color(isChecked() ? QPalette::HighlightedText : QPalette::ButtonText));
    const QRect textArea = rect().adjusted(textInset, 0, -textInset, 0);
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine,
                     fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width()));
}
