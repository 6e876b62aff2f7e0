#include "UI/VelloraIconButtonStyle.h"

#include "UI/ContinuousCorners.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"

#include <QGuiApplication>
#include <QPainter>

namespace {

constexpr qreal focusRingWidth = 1.5;

void paintBackground(QPainter& painter, const QRectF& square, const VelloraIconButtonStyle& style,
                     const VelloraIconButtonStyle::State& state)
{
    const bool highlighted = state.hovered || state.pressed;
    if (!highlighted && !style.bordered)
        return;
    const qreal inset = style.bordered ? VelloraIconButtonStyle::borderWidth / 2 : 0;
    const QPainterPath shape = continuousRoundedRect(square.adjusted(inset, inset, -inset, -inset),
                                                     VelloraIconButtonStyle::cornerRadius);
    painter.fillPath(shape, highlighted ? Theme::pillBG().color() : Theme::cardBody().color());
    if (style.bordered)
        painter.strokePath(shape, QPen(Theme::cardBorder().color(), VelloraIconButtonStyle::borderWidth));
}

void paintFocusRing(QPainter& painter, const QRectF& square)
{
    const qreal inset = focusRingWidth / 2;
    painter.strokePath(continuousRoundedRect(square.adjusted(inset, inset, -inset, -inset),
                                             VelloraIconButtonStyle::cornerRadius),
                       QPen(Theme::selection().color(), focusRingWidth));
}

void paintLabel(QPainter& painter, const QRectF& square, const QString& symbolName, const QString& text)
{
    const QColor color = Theme::chromeTextSecondary().color();
    if (!symbolName.isEmpty()) {
        const int side = VelloraIconButtonStyle::symbolPixelSize;
        const QPixmap glyph = Symbols::pixmap(symbolName, color, side, painter.device()->devicePixelRatioF());
        const QRectF target(square.center() - QPointF(side / 2.0, side / 2.0), QSizeF(side, side));
        painter.drawPixmap(target, glyph, QRectF(glyph.rect()));
        return;
    }
    QFont font = QGuiApplication::font();
    font.setPixelSize(VelloraIconButtonStyle::labelPixelSize);
    font.setWeight(QFont::Normal);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(square, Qt::AlignCenter | Qt::TextSingleLine, text);
}

} // namespace

void VelloraIconButtonStyle::paint(QPainter& painter, const QRectF& square, const State& state,
                                   const QString& symbolName, const QString& text) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!state.enabled)
        painter.setOpacity(painter.opacity() * disabledOpacity);
    paintBackground(painter, square, *this, state);
    if (state.keyboardFocus)
        paintFocusRing(painter, square);
    paintLabel(painter, square, symbolName, text);
    painter.restore();
}
