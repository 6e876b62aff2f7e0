#include "UI/Bar/ClipCardView.h"

#include "UI/ContinuousCorners.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal padding = 12;
constexpr qreal iconSize = 28;
constexpr qreal selectedBorderWidth = 3;
constexpr qreal borderWidth = 1;
constexpr qreal swatchRadius = 8;
constexpr int placeholderSymbolSize = 28;
constexpr qreal lineGap = 4;

QColor headerTextColor(const QColor& background)
{
    return background.lightnessF() > 0.7 ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace

void ClipCardView::paint(QPainter& painter, const QRectF& rect) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(rect, cornerRadius);
    painter.fillPath(shape, QColor(Theme::cardBody()));
    painter.setClipPath(shape);
    paintHeader(painter, QRectF(rect.topLeft(), QSizeF(rect.width(), headerHeight)));
    paintBody(painter, rect.adjusted(padding, headerHeight + padding, -padding, -padding));
    painter.setClipping(false);
    const qreal width = selected ? selectedBorderWidth : borderWidth;
    const QColor border = selected ? QColor(Theme::selection()) : QColor(Theme::cardBorder());
    painter.setPen(QPen(border, width));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = width / 2;
    painter.drawPath(continuousRoundedRect(rect.adjusted(inset, inset, -inset, -inset), cornerRadius));
    painter.restore();
}

void ClipCardView::paintHeader(QPainter& painter, const QRectF& rect) const
{
    painter.fillRect(rect, sourceColor);
    const QColor textColor = headerTextColor(sourceColor);
    const QRectF iconRect(rect.right() - padding - iconSize, rect.center().y() - iconSize / 2, iconSize,
                          iconSize);
    appIcon.paint(&painter, iconRect.toAlignedRect());
    const QRectF textRect = rect.adjusted(padding, lineGap, -(2 * padding + iconSize), -lineGap);
    painter.setPen(textColor);
    painter.setFont(VelloraTypography::title());
    const QFontMetricsF titleMetrics(painter.font());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop,
                     titleMetrics.elidedText(content.title, Qt::ElideRight, textRect.width()));
    painter.setFont(VelloraTypography::caption());
    QString time = timeText;
    if (quickPasteNumber > 0)
        time = QString::number(quickPasteNumber) + QStringLiteral("  ·  ") + time;
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignBottom, time);
}

void ClipCardView::paintBody(QPainter& painter, const QRectF& rect) const
{
    switch (type) {
    case ClipType::link:
        paintLink(painter, rect);
        return;
    case ClipType::image:
        paintImage(painter, rect);
        return;
    case ClipType::color:
        paintColor(painter, rect);
        return;
    case ClipType::text:
    case ClipType::richText:
    case ClipType::file:
        paintText(painter, rect);
        return;
    }
}

void ClipCardView::paintText(QPainter& painter, const QRectF& rect) const
{
    painter.setPen(QColor(Theme::chromeTextPrimary()));
    const QFont font =
        VelloraTypography::isCode(content.preview) ? VelloraTypography::code() : VelloraTypography::body();
    painter.setFont(font);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, content.preview);
}

void ClipCardView::paintLink(QPainter& painter, const QRectF& rect) const
{
    painter.setPen(QColor(Theme::chromeTextPrimary()));
    painter.setFont(VelloraTypography::title());
    const QFontMetricsF metrics(painter.font());
    const QString host = content.linkHost.isEmpty() ? content.preview : content.linkHost;
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop,
                     metrics.elidedText(host, Qt::ElideRight, rect.width()));
    const QRectF addressRect = rect.adjusted(0, metrics.height() + lineGap, 0, 0);
    painter.setPen(QColor(Theme::chromeTextSecondary()));
    painter.setFont(VelloraTypography::caption());
    painter.drawText(addressRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, content.preview);
}

void ClipCardView::paintImage(QPainter& painter, const QRectF& rect) const
{
    if (imageState == ImageState::ready && !thumbnail.isNull()) {
        const QSizeF fitted = QSizeF(thumbnail.size()).scaled(rect.size(), Qt::KeepAspectRatio);
        const QRectF target(rect.center().x() - fitted.width() / 2, rect.center().y() - fitted.height() / 2,
                            fitted.width(), fitted.height());
        painter.drawImage(target, thumbnail);
        return;
    }
    if (imageState == ImageState::loading)
        return;
    const QColor tint = Theme::chromeTextTertiary();
    const QPixmap symbol = Symbols::pixmap(QStringLiteral("exclamationmark.triangle"), tint,
                                           placeholderSymbolSize, painter.device()->devicePixelRatioF());
    const QPointF symbolAt(rect.center().x() - placeholderSymbolSize / 2.0,
                           rect.center().y() - placeholderSymbolSize);
    painter.drawPixmap(symbolAt, symbol);
    painter.setPen(tint);
    painter.setFont(VelloraTypography::caption());
    const QRectF textRect(rect.left(), rect.center().y() + lineGap, rect.width(), rect.height() / 2);
    painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     Localization::string(QStringLiteral("Image not available")));
}

void ClipCardView::paintColor(QPainter& painter, const QRectF& rect) const
{
    painter.setFont(VelloraTypography::control());
    const qreal textHeight = QFontMetricsF(painter.font()).height();
    const QRectF swatch = rect.adjusted(0, 0, 0, -(textHeight + lineGap));
    if (content.color)
        painter.fillPath(continuousRoundedRect(swatch, swatchRadius), *content.color);
    painter.setPen(QColor(Theme::chromeTextPrimary()));
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignBottom, content.preview);
}
