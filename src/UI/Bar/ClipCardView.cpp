#include "UI/Bar/ClipCardView.h"

#include "UI/Appearance.h"
#include "UI/Bar/ClipCardText.h"
#include "UI/ContinuousCorners.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"

#include <QAbstractTextDocumentLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>

namespace {

constexpr qreal padding = 12;
constexpr qreal selectionRingWidth = 2.5;
constexpr qreal borderWidth = 1;
constexpr qreal swatchRadius = 8;
constexpr int placeholderSymbolSize = 28;
constexpr qreal lineGap = 4;
// A drop shadow this wide around the card, this opaque in each appearance.
constexpr qreal shadowWidth = 3;
constexpr int shadowAlphaLight = 12;
constexpr int shadowAlphaDark = 60;
constexpr qreal shadowDrop = 2;

const QString separator = QStringLiteral("  ·  ");

} // namespace

void ClipCardView::paint(QPainter& painter, const QRectF& rect) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    paintShadow(painter, rect);
    const QPainterPath shape = continuousRoundedRect(rect, cornerRadius);
    painter.fillPath(shape, QColor(Theme::cardBody()));
    painter.setClipPath(shape);
    paintHeader(painter, QRectF(rect.topLeft(), QSizeF(rect.width(), headerHeight)));
    paintBody(painter,
              QRectF(rect.topLeft() + QPointF(padding, headerHeight + padding), bodySize(rect.size())));
    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(Theme::cardBorder()), borderWidth));
    const qreal inset = borderWidth / 2;
    painter.drawPath(continuousRoundedRect(rect.adjusted(inset, inset, -inset, -inset), cornerRadius));
    if (selected) {
        // A ring apart from the card marks the selection by its shape, whatever the hues.
        const qreal out = selectionRingOffset - selectionRingWidth / 2;
        painter.setPen(QPen(QColor(Theme::selection()), selectionRingWidth));
        painter.drawPath(continuousRoundedRect(rect.adjusted(-out, -out, out, out), cornerRadius + out));
    }
    painter.restore();
}

// Only the rim outside the card shows, so a ring is stroked rather than an area filled.
void ClipCardView::paintShadow(QPainter& painter, const QRectF& rect) const
{
    const int alpha = Appearance::shared().isDark() ? shadowAlphaDark : shadowAlphaLight;
    const qreal out = shadowWidth / 2;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, alpha), shadowWidth));
    painter.drawPath(continuousRoundedRect(rect.adjusted(-out, -out + shadowDrop, out, out + shadowDrop),
                                           cornerRadius + out));
}

QString ClipCardView::captionText() const
{
    QStringList parts;
    if (quickPasteNumber > 0)
        parts.append(QString::number(quickPasteNumber));
    if (!sourceName.isEmpty())
        parts.append(sourceName);
    if (!timeText.isEmpty())
        parts.append(timeText);
    return parts.join(separator);
}

void ClipCardView::paintHeader(QPainter& painter, const QRectF& rect) const
{
    painter.fillRect(rect, sourceColor);
    const QRectF iconRect(rect.right() - padding - iconSize, rect.center().y() - iconSize / 2, iconSize,
                          iconSize);
    appIcon.paint(&painter, iconRect.toAlignedRect());
    const QRectF textRect = rect.adjusted(padding, lineGap, -(2 * padding + iconSize), -lineGap);
    painter.setPen(Theme::readableTextOn(sourceColor));
    painter.setFont(VelloraTypography::title());
    painter.drawText(
        textRect, Qt::AlignLeft | Qt::AlignTop,
        QFontMetricsF(painter.font()).elidedText(content.title, Qt::ElideRight, textRect.width()));
    painter.setFont(VelloraTypography::caption());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignBottom,
                     fittedCaption(QFontMetricsF(painter.font()), textRect.width()));
}

// The time is worth more than the source's name where both do not fit: the name is elided
// first, and left out when not even its first character fits beside the time.
QString ClipCardView::fittedCaption(const QFontMetricsF& metrics, qreal width) const
{
    const QString whole = captionText();
    if (metrics.horizontalAdvance(whole) <= width || sourceName.isEmpty())
        return metrics.elidedText(whole, Qt::ElideRight, width);
    ClipCardView shorter = *this;
    shorter.sourceName.clear();
    const QString withoutName = shorter.captionText();
    const qreal room = width - metrics.horizontalAdvance(withoutName + separator);
    const QString name = metrics.elidedText(sourceName, Qt::ElideRight, room);
    if (!name.isEmpty() && name != QString(QChar(0x2026))) {
        shorter.sourceName = name;
        if (metrics.horizontalAdvance(shorter.captionText()) > width)
            shorter.sourceName.clear();
    }
    return metrics.elidedText(shorter.captionText(), Qt::ElideRight, width);
}

bool ClipCardView::showsLength(const QSizeF& body) const
{
    if (content.length == 0)
        return false;
    switch (type) {
    case ClipType::link:
        return content.preview.contains(u'\n') ||
               QFontMetricsF(VelloraTypography::caption()).horizontalAdvance(content.preview) > body.width();
    case ClipType::text:
    case ClipType::file:
        return (laidOutText ? *laidOutText : bodyText(content, body)).leftOut;
    default:
        return false;
    }
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
    case ClipType::richText:
        if (content.richText) {
            paintRichText(painter, rect);
            return;
        }
        [[fallthrough]];
    case ClipType::text:
    case ClipType::file:
        paintText(painter, rect);
        return;
    }
}

QSizeF ClipCardView::bodySize(const QSizeF& cardSize)
{
    return cardSize - QSizeF(2 * padding, headerHeight + 2 * padding);
}

ClipCardText ClipCardView::bodyText(const ClipCardContent& content, const QSizeF& body)
{
    const QFont font = content.isCode ? VelloraTypography::code() : VelloraTypography::body();
    const ClipCardText text = ClipCardText::layout(content.preview, font, body, content.isCode, content.cut);
    if (!text.leftOut || content.length == 0)
        return text;
    // Room for the length under the text.
    const QSizeF above = body - QSizeF(0, QFontMetricsF(VelloraTypography::caption()).height() + lineGap);
    return ClipCardText::layout(content.preview, font, above, content.isCode, content.cut);
}

void ClipCardView::paintText(QPainter& painter, const QRectF& rect) const
{
    const QFont font = content.isCode ? VelloraTypography::code() : VelloraTypography::body();
    const ClipCardText text = laidOutText ? *laidOutText : bodyText(content, rect.size());
    const QRectF textRect = rect;
    if (text.leftOut && content.length > 0)
        paintLength(painter, rect);
    painter.setPen(QColor(Theme::chromeTextPrimary()));
    painter.setFont(font);
    const qreal lineHeight = QFontMetricsF(font).lineSpacing();
    qreal y = textRect.top();
    for (const QString& line : text.lines) {
        painter.drawText(QRectF(textRect.left(), y, textRect.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop, line);
        y += lineHeight;
    }
}

void ClipCardView::paintRichText(QPainter& painter, const QRectF& rect) const
{
    QTextDocument& document = *content.richText;
    document.setTextWidth(rect.width());
    const bool overflows = document.size().height() > rect.height();
    QRectF textRect = rect;
    if (overflows || content.cut) {
        textRect.setBottom(rect.bottom() - QFontMetricsF(VelloraTypography::caption()).height() - lineGap);
        paintLength(painter, rect);
    }
    painter.save();
    painter.translate(textRect.topLeft());
    const QRectF clip(QPointF(0, 0), textRect.size());
    painter.setClipRect(clip, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Theme::chromeTextPrimary());
    context.palette.setColor(QPalette::Link, Theme::selection());
    context.clip = clip;
    document.documentLayout()->draw(&painter, context);
    if (overflows) {
        // The last line fades out rather than being cut through.
        const qreal fade = QFontMetricsF(document.defaultFont()).lineSpacing() * 1.5;
        QLinearGradient gradient(0, clip.bottom() - fade, 0, clip.bottom());
        QColor body = Theme::cardBody();
        gradient.setColorAt(1, body);
        body.setAlpha(0);
        gradient.setColorAt(0, body);
        painter.fillRect(QRectF(0, clip.bottom() - fade, clip.width(), fade), gradient);
    }
    painter.restore();
}

void ClipCardView::paintLength(QPainter& painter, const QRectF& rect) const
{
    painter.setPen(QColor(Theme::chromeTextTertiary()));
    painter.setFont(VelloraTypography::caption());
    painter.drawText(rect, Qt::AlignRight | Qt::AlignBottom,
                     Localization::format(QStringLiteral("%lld characters"), qint64(content.length)));
}

void ClipCardView::paintLink(QPainter& painter, const QRectF& rect) const
{
    painter.setPen(QColor(Theme::chromeTextPrimary()));
    painter.setFont(VelloraTypography::title());
    const QFontMetricsF metrics(painter.font());
    const QString host = content.linkHost.isEmpty() ? content.preview : content.linkHost;
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop,
                     metrics.elidedText(host, Qt::ElideRight, rect.width()));
    if (showsLength(rect.size()))
        paintLength(painter, rect);
    const QRectF addressRect = rect.adjusted(0, metrics.height() + lineGap, 0, 0);
    painter.setPen(QColor(Theme::chromeTextSecondary()));
    painter.setFont(VelloraTypography::caption());
    // An address keeps its start and its end; only the middle gives way.
    painter.drawText(
        addressRect, Qt::AlignLeft | Qt::AlignTop,
        QFontMetricsF(painter.font())
            .elidedText(content.preview.section(u'\n', 0, 0), Qt::ElideMiddle, addressRect.width()));
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
    const QFontMetricsF metrics(painter.font());
    const QRectF swatch = rect.adjusted(0, 0, 0, -(metrics.height() + lineGap));
    if (content.color) {
        const QPainterPath shape = continuousRoundedRect(swatch, swatchRadius);
        painter.fillPath(shape, *content.color);
        painter.setPen(QPen(QColor(Theme::cardBorder()), borderWidth));
        painter.drawPath(shape);
    }
    painter.setPen(QColor(Theme::chromeTextPrimary()));
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignBottom,
                     metrics.elidedText(content.preview, Qt::ElideRight, rect.width()));
}
