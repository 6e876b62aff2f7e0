#include "UI/Settings/SettingsSegment.h"

#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"

#include <QPainter>

namespace {

constexpr qreal disabledOpacity = 0.4;
constexpr qreal focusBorderWidth = 1.5;
constexpr int textPadding = 12; // each side, in a segment at its natural width

} // namespace

SettingsSegment::SettingsSegment(QWidget* parent)
    : QPushButton(parent)
{
    setCheckable(true);
    setAttribute(Qt::WA_Hover);
}

QString SettingsSegment::shownText() const
{
    const QString written = text();
    QString shown;
    for (qsizetype i = 0; i < written.size(); ++i) {
        if (written[i] == u'&' && i + 1 < written.size())
            ++i;
        shown.append(written[i]);
    }
    return shown;
}

QSize SettingsSegment::sizeHint() const
{
    const QSize natural = QPushButton::sizeHint();
    const int needed = fontMetrics().horizontalAdvance(shownText()) + 2 * textPadding;
    return {std::max(natural.width(), needed), natural.height()};
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
                     fontMetrics().elidedText(shownText(), Qt::ElideRight, textArea.width()));
}
