#include "UI/Bar/BrowserPageCardView.h"

#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal padding = 12;
constexpr qreal lineGap = 6;
constexpr qreal focusedBorderWidth = 3;
constexpr qreal borderWidth = 1;
constexpr int selectedTintAlpha = 40;
constexpr int maxTitleLines = 3;

} // namespace

void BrowserPageCardView::paint(QPainter& painter, const QRectF& rect) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(rect, cornerRadius);
    painter.fillPath(shape, QColor(Theme::cardBody()));
    if (selected) {
        QColor tint = Theme::selection();
        tint.setAlpha(selectedTintAlpha);
        painter.fillPath(shape, tint);
    }
    painter.setClipPath(shape);
    paintHeader(painter, QRectF(rect.topLeft(), QSizeF(rect.width(), headerHeight)));
    paintBody(painter, rect.adjusted(padding, headerHeight + padding, -padding, -padding));
    painter.setClipping(false);
    const qreal width = focused ? focusedBorderWidth : borderWidth;
    const QColor border = focused || selected ? QColor(Theme::selection()) : QColor(Theme::cardBorder());
    painter.setPen(QPen(border, width));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = width / 2;
    painter.drawPath(continuousRoundedRect(rect.adjusted(inset, inset, -inset, -inset), cornerRadius));
    painter.restore();
}

void BrowserPageCardView::paintHeader(QPainter& painter, const QRectF& rect) const
{
    painter.fillRect(rect, QColor(Theme::pillBG()));
    const QRectF textRect = rect.adjusted(padding, 0, -padding, 0);
    painter.setPen(QColor(Theme::chromeTextPrimary()));
    painter.setFont(VelloraTypography::title());
    const QFontMetricsF metrics(painter.font());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(browserName, Qt::ElideRight, textRect.width()));
    if (quickPasteNumber <= 0)
        return;
    painter.setPen(QColor(Theme::chromeTextSecondary()));
    painter.setFont(VelloraTypography::caption());
    painter.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, QString::number(quickPasteNumber));
}

void BrowserPageCardView::paintBody(QPainter& painter, const QRectF& rect) const
{
    painter.setPen(QColor(Theme::chromeTextPrimary()));
    painter.setFont(VelloraTypography::body());
    // At most a few lines of title; the address takes the rest of the card.
    const qreal titleHeight =
        qMin(rect.height(), maxTitleLines * QFontMetricsF(painter.font()).lineSpacing());
    QRectF used;
    painter.drawText(QRectF(rect.topLeft(), QSizeF(rect.width(), titleHeight)),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title, &used);
    const QRectF addressRect = rect.adjusted(0, qMin(used.height(), titleHeight) + lineGap, 0, 0);
    painter.setPen(QColor(Theme::chromeTextSecondary()));
    painter.setFont(VelloraTypography::caption());
    painter.drawText(addressRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, address);
}
